// One Space press of a button, however long the key is held: the keyboard
// repeats the key while it is down, and each repeated character would press
// the button again. The watch sees the key go down and up on the buttons it
// watches (a subclass of each button's window, removed when the window goes
// or the watch ends), so a handler can act once per press.
#pragma once

#include "forms/WindowHook.h"

#include <windows.h>

#include <map>

namespace quill::workspace {

class SpacePressWatch : forms::WindowHook {
public:
    SpacePressWatch() : WindowHook("workspace::SpacePressWatch") {}
    SpacePressWatch(const SpacePressWatch&) = delete;
    SpacePressWatch& operator=(const SpacePressWatch&) = delete;

    void Watch(HWND button);
    // True for a click by the mouse, and for the first click of a Space
    // press; false for the clicks its held key repeats.
    bool TakePress(HWND button);

private:
    struct KeyState {
        bool down = false;
        bool acted = false;
    };
    LRESULT HookProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;
    std::map<HWND, KeyState> buttons_;
};

}  // namespace quill::workspace
