// What the login controls' window tests share: a form whose layout step the
// test gives and the real mouse and keyboard of the virtual display.
#pragma once

#include "forms/Form.h"
#include "forms/Loaded.h"
#include "forms/Pump.h"

#include <windows.h>

#include <functional>
#include <string>

namespace quill::test {

class HostForm : public forms::Form {
public:
    explicit HostForm(std::function<void(HostForm&)> layout, forms::FormArgs args = {})
        : Form(std::move(args)), layout_(std::move(layout))
    {
    }

protected:
    void CreateControls() override { layout_(*this); }

private:
    std::function<void(HostForm&)> layout_;
};

// Dispatches what the input and the timers have queued, for a little while.
void Pump(int rounds = 10);

// The real pointer, placed in a window's client coordinates.
void MoveMouse(HWND window, int x, int y);
void MouseButton(bool down);
void ClickAt(HWND window, int x, int y);
// A key pressed and released on the real keyboard.
void PressKey(WORD vk);

// A pixel of what the screen shows of a window, as a colour value (red low).
COLORREF ScreenPixel(HWND window, int x, int y);

}  // namespace quill::test
