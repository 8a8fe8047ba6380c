#pragma once
// The trace's lines for windows: with QUILL_TRACE=1 in the environment
// (forms/lang/TraceSwitch.h), our windows and hooks log every message they
// receive and every event a control raises to standard error, one line each.
#include "forms/lang/TraceSwitch.h"

#include <windows.h>

namespace quill::forms {

class Window;

namespace trace {

// "msg WM_LBUTTONDOWN to StyledButton 'cmdLogin' 0x1234 wp=0x1 lp=0x50005"
void Message(const Window& window, UINT msg, WPARAM wp, LPARAM lp);

// A message that a hook on the window's procedure receives (forms/WindowHook.h):
// "msg WM_MOUSEMOVE to hook StyledButton 0x1234 wp=0x0 lp=0x50005"
void Hooked(const char* hook, HWND window, UINT msg, WPARAM wp, LPARAM lp);

// A message to a window procedure of a class of our own that is no Window:
// "msg WM_APP+1 to QuillMenuCloser 0x1234 wp=0x0 lp=0x0"
void Procedure(const char* className, HWND window, UINT msg, WPARAM wp, LPARAM lp);

// "event raised in UserControl_Click (cCheckBox.cpp:42)"
void Event(const char* raisedIn, const char* file, int line);

}  // namespace trace
}  // namespace quill::forms
