#pragma once
// Waiting on events, never on time: the message pump runs until a condition
// holds, or until the messages queued so far have been handled.
#include "forms/lang/Clock.h"

#include <windows.h>

#include <cstdint>
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

// While it lives, each pass of the message pump (a timer message comes once
// per pass, when nothing else waits) lets `stepMs` milliseconds pass on the
// program's clock: a wait for a reply that never comes reaches its limit
// without the test waiting for it. One at a time.
class PassingTime {
public:
    PassingTime(forms::ClockOverride& clock, std::int64_t stepMs);
    // Lets the program's clock run `factor` times as fast as the real one
    // (moved on at each pass as above): a transfer that takes a few real
    // seconds takes `factor` times as long for the program.
    static PassingTime Faster(forms::ClockOverride& clock, int factor);
    ~PassingTime();
    PassingTime(const PassingTime&) = delete;
    PassingTime& operator=(const PassingTime&) = delete;

private:
    PassingTime(forms::ClockOverride& clock, std::int64_t stepMs, int factor);
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);

    forms::ClockOverride& clock_;
    std::int64_t step_;
    int factor_;
    ULONGLONG lastTick_;
    UINT_PTR id_ = 0;
};

}  // namespace quill::test
