#include "LoginControlsSupport.h"

namespace quill::test {

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

}  // namespace

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

}  // namespace quill::test
