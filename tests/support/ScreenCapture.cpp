#include "tests/support/ScreenCapture.h"

#include "tests/support/ReferenceService.h"

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

std::string ScreenMismatch(const forms::UserControl& control)
{
    RECT r{};
    GetWindowRect(control.hWnd(), &r);
    const int w = control.ScaleWidth(), h = control.ScaleHeight();
    const std::vector<uint32_t> screen = ScreenPixels(r);
    if (screen.size() != size_t(w) * size_t(h))
        return "the window is not the surface's size";
    // What shows of the surface: the window's region, less its child windows.
    forms::gdi::RegionHandle region(CreateRectRgn(0, 0, w, h));
    forms::gdi::RegionHandle shape(CreateRectRgn(0, 0, 0, 0));
    if (GetWindowRgn(control.hWnd(), shape) != ERROR)
        CombineRgn(region, region, shape, RGN_AND);
    for (HWND child = GetWindow(control.hWnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child))
            continue;
        RECT c{};
        GetWindowRect(child, &c);
        MapWindowPoints(nullptr, control.hWnd(), reinterpret_cast<POINT*>(&c), 2);
        forms::gdi::RegionHandle covered(CreateRectRgnIndirect(&c));
        CombineRgn(region, region, covered, RGN_DIFF);
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!PtInRegion(region, x, y))
                continue;
            const uint32_t shown = screen[size_t(y) * w + x] & 0xFFFFFF;
            const int64_t drawn = control.Point(x, y);
            if (shown != drawn)
                return "at " + std::to_string(x) + "," + std::to_string(y) + " the screen shows " +
                       std::to_string(shown) + " for " + std::to_string(drawn);
        }
    return {};
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

std::wstring ScreensPath(const std::wstring& name)
{
    const std::wstring folder = UnixToWine(QUILL_SCREENS_DIR);
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\" + name;
}

}  // namespace quill::test
