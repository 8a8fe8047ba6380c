#include "tests/support/ScreenCapture.h"

#include "tests/support/DibCanvas.h"
#include "tests/support/PngFile.h"

namespace quill::test {

RECT ClientAreaOnScreen(HWND window)
{
    RECT r{};
    GetClientRect(window, &r);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT WindowAreaOnScreen(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

COLORREF WindowPixel(HWND window, int x, int y)
{
    forms::gdi::WindowDc dc(window);
    return GetPixel(dc, x, y);
}

std::vector<uint32_t> ScreenPixels(const RECT& area)
{
    const int w = area.right - area.left, h = area.bottom - area.top;
    DibCanvas canvas(w, h);
    forms::gdi::WindowDc screen(nullptr);
    BitBlt(canvas.Dc(), 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
    return canvas.Pixels();
}

bool SaveScreenPng(const RECT& area, const std::wstring& path)
{
    return WritePng(path, area.right - area.left, area.bottom - area.top, ScreenPixels(area));
}

bool SaveClientAreaPng(HWND window, const std::wstring& path)
{
    return SaveScreenPng(ClientAreaOnScreen(window), path);
}

}  // namespace quill::test
