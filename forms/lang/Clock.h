// The one clock of the program: the local wall clock for dates and the
// session token, and a monotonic millisecond count for timers and time-outs.
// Tests fix and advance both through ClockOverride instead of waiting.
#pragma once

#include <cstdint>

namespace quill::forms {

// Local date and time now, in whole seconds (a date value).
double Now();
// Today's date (Now without its time).
double Today();
// Seconds since local midnight, with the fraction of the current second.
float Timer();
// Milliseconds on a clock that only moves forwards, whatever the wall clock
// does; only differences mean anything.
std::int64_t MonotonicMilliseconds();

// For tests: while it lives, the wall clock stands at the date value given
// (and moves only through this object) and the monotonic clock moves only by
// Advance. One at a time.
class ClockOverride {
public:
    explicit ClockOverride(double now);
    ~ClockOverride();
    ClockOverride(const ClockOverride&) = delete;
    ClockOverride& operator=(const ClockOverride&) = delete;

    // Lets time pass: both clocks move on by `milliseconds`.
    void Advance(std::int64_t milliseconds);
    // Sets the wall clock, as when the user changes the system time; the
    // monotonic clock does not move.
    void SetNow(double now);
};

}  // namespace quill::forms
