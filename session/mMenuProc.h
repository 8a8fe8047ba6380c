// Closes the popup menu when it loses activation: its window is subclassed
// while it is loaded, and a deactivation while it is shown asks for its
// unload, which runs once the window's procedure has returned.
#pragma once

#include <windows.h>

#include <cstdint>

namespace quill::session {

// True from ShowMenu until the menu unloads.
inline bool MenuShown = false;

// Hooks the menu window (forms/WindowHook.h) until the window goes.
void HookMenuWindow(HWND hWnd);

// Unloads the menu once the current message has been handled: a window is
// never destroyed from inside its own procedure chain. Only that showing of
// the menu (frmMenu::Showing) is unloaded: a menu closed and opened again
// before the message arrives stays open.
void PostMenuUnload(std::uint64_t showing);

}  // namespace quill::session
