#pragma once
// Waiting on events, never on time: the message pump runs until a condition
// holds, or until the messages queued so far have been handled.
#include <windows.h>

#include <functional>

namespace quill::test {

// Pumps messages (and the program clock's due timers) until `done` holds.
// Fails the current test, naming `what`, if it never does; the limit only
// keeps a broken test from hanging and says nothing about speed.
bool PumpUntil(const std::function<bool()>& done, const char* what = "the condition");

// Returns once every message posted to this thread before the call has been
// handled: a marker message posted last ends the wait.
void PumpPosted();

// Runs `action` once from inside whatever message loop pumps next (after
// `When`'s condition holds, if one is given): the way a test acts while the
// code under test waits in a pump of its own (a request's wait, a message
// box).
class PumpedAction {
public:
    explicit PumpedAction(std::function<void()> action);
    // Only once `ready` holds; set before anything pumps.
    void When(std::function<bool()> ready) { ready_ = std::move(ready); }
    ~PumpedAction();
    PumpedAction(const PumpedAction&) = delete;
    PumpedAction& operator=(const PumpedAction&) = delete;
    bool Done() const { return done_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD);

    std::function<void()> action_;
    std::function<bool()> ready_;
    UINT_PTR timer_ = 0;
    bool done_ = false;
};

}  // namespace quill::test
