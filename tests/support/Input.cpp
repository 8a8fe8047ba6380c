#include "tests/support/Input.h"

#include "tests/support/Pump.h"

namespace quill::test {

namespace {

void Send(INPUT in)
{
    SendInput(1, &in, sizeof in);
}

void SendKey(WORD vk, bool up)
{
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    Send(in);
}

}  // namespace

void InputSettled()
{
    // Wine places injected input in the receiving thread's queue before
    // SendInput returns (input for another program's window never shows up
    // here); what it leads to is posted, and handled before the marker.
    PumpUntil([] { return HIWORD(GetQueueStatus(QS_INPUT)) == 0; }, "the input to be taken");
    PumpPosted();
}

void MoveMouseTo(POINT screen)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    // Normalised coordinates that the system maps back onto exactly this pixel.
    in.mi.dx = MulDiv(screen.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    in.mi.dy = MulDiv(screen.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    Send(in);
    InputSettled();
}

void MoveMouse(HWND window, int x, int y)
{
    POINT pt{x, y};
    ClientToScreen(window, &pt);
    MoveMouseTo(pt);
}

void MouseButton(bool down, DWORD time)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    in.mi.time = time;
    Send(in);
    InputSettled();
}

void DoubleClick()
{
    // The system pairs two presses by the times the input carries, so all
    // four carry one moment: a loaded machine taking long between them
    // still makes a double click.
    const DWORD now = GetTickCount();
    for (int click = 0; click < 2; ++click) {
        MouseButton(true, now);
        MouseButton(false, now);
    }
}

void ClickAt(HWND window, int x, int y)
{
    MoveMouse(window, x, y);
    MouseButton(true);
    MouseButton(false);
}

void ClickAt(HWND window)
{
    RECT r{};
    GetClientRect(window, &r);
    ClickAt(window, r.right / 2, r.bottom / 2);
}

void KeyDown(WORD vk)
{
    SendKey(vk, false);
    InputSettled();
}

void KeyUp(WORD vk)
{
    SendKey(vk, true);
    InputSettled();
}

void PressKey(WORD vk)
{
    KeyDown(vk);
    KeyUp(vk);
}

}  // namespace quill::test
