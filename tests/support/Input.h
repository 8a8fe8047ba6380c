#pragma once
// The real mouse and keyboard of the virtual display, as a user works them.
// Each call returns once the input it sent has been taken from the queue and
// dispatched, with what was posted meanwhile, so a test asserts straight
// after it.
#include <windows.h>

namespace quill::test {

// The pointer to a point of the screen, or of a window's client area.
void MoveMouseTo(POINT screen);
void MoveMouse(HWND window, int x, int y);
// `time` 0: the input is stamped when it is sent.
void MouseButton(bool down, DWORD time = 0);
// Two presses and releases where the mouse is, taken as a double click.
void DoubleClick();
void ClickAt(HWND window, int x, int y);
// A click in the middle of a window (a button, a message box's button).
void ClickAt(HWND window);
// A key pressed and released (or only one of the two).
void PressKey(WORD vk);
void KeyDown(WORD vk);
void KeyUp(WORD vk);

// Sends nothing new: returns once every input sent before has been dispatched.
void InputSettled();

}  // namespace quill::test
