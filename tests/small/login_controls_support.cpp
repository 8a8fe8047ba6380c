#include "login_controls_support.h"

#include <gdiplus.h>

#include <vector>

namespace quill::testing {

void Pump(int rounds)
{
    for (int i = 0; i < rounds; ++i) {
        forms::DoEvents();
        Sleep(5);
    }
    forms::DoEvents();
}

namespace {

void Send(INPUT in)
{
    SendInput(1, &in, sizeof(in));
    Pump();
}

} // namespace

void MoveMouse(HWND window, int x, int y)
{
    POINT pt{x, y};
    ClientToScreen(window, &pt);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(pt.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    in.mi.dy = MulDiv(pt.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    Send(in);
}

void MouseButton(bool down)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    Send(in);
}

void ClickAt(HWND window, int x, int y)
{
    MoveMouse(window, x, y);
    MouseButton(true);
    MouseButton(false);
}

void PressKey(WORD vk)
{
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    Send(in);
    in.ki.dwFlags = KEYEVENTF_KEYUP;
    Send(in);
}

COLORREF ScreenPixel(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return c;
}

bool SaveWindowPng(HWND window, const std::wstring& path)
{
    RECT r{};
    GetClientRect(window, &r);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return SaveScreenPng(r, path);
}

bool SaveScreenPng(const RECT& area, const std::wstring& path)
{
    const int w = area.right - area.left, h = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(mem, 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);

    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    bool saved = false;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok) {
        {
            Gdiplus::Bitmap image(bitmap, nullptr);
            // The PNG encoder's class id, fixed by the platform.
            const CLSID png = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
            saved = image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
        }
        Gdiplus::GdiplusShutdown(token);
    }
    DeleteObject(bitmap);
    return saved;
}

} // namespace quill::testing
