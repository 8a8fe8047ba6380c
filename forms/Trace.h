#pragma once
// The trace switch: with QUILL_TRACE=1 in the environment, our windows log
// every message they receive and every event a control raises to standard
// error, one line each (for debugging under Wine, where no debugger shows
// the program's own view of its windows).
#include <windows.h>

namespace quill::forms {

class Window;

namespace trace {

// True when QUILL_TRACE is "1" (read once, at the first use).
bool On();

// "msg WM_LBUTTONDOWN to StyledButton 'cmdLogin' 0x1234 wp=0x1 lp=0x50005"
void Message(const Window& window, UINT msg, WPARAM wp, LPARAM lp);

// "event raised in UserControl_Click (cCheckBox.cpp:42)"
void Event(const char* raisedIn, const char* file, int line);

// One line of text, as the two above write theirs.
void Line(const char* text);

}  // namespace trace
}  // namespace quill::forms
