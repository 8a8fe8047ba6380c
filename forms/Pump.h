#pragma once
// Message pumping: the program's message loop and DoEvents, both with the
// keyboard handling of the platform's forms (tab order, access keys, default
// and cancel buttons) and the due timers of the program's clock.
#include <string_view>

namespace quill::forms {

// Dispatches every waiting message; returns the number of loaded forms.
int DoEvents();

// Queues keystrokes for the focused window, as the platform's SendKeys does:
// they act once the current handler has returned and messages are pumped.
// "{TAB}" and "{+TAB}" (Shift+Tab) move the focus in tab order; other keys
// raise error 5.
void SendKeys(std::wstring_view keys);

// Ends the program at once: every window goes without its QueryUnload or
// Unload handlers, and the process ends. While an EndRecorder lives
// (tests), the windows go and the call returns.
void End();

class EndRecorder {
public:
    EndRecorder();
    ~EndRecorder();
    EndRecorder(const EndRecorder&) = delete;
    EndRecorder& operator=(const EndRecorder&) = delete;
    int Ends() const { return ends_; }

private:
    friend void End();
    int ends_ = 0;
};

// Runs the program: `startUp` shows the first window, then messages are
// dispatched until no form is loaded any more.
void Run(void (*startUp)());

}  // namespace quill::forms
