#include "forms/TimerControl.h"

#include "forms/lang/Clock.h"

#include <algorithm>
#include <vector>

namespace quill::forms {

namespace {

constexpr UINT kTick = WM_APP + 0x51;
constexpr UINT_PTR kWakeId = 1;

std::vector<TimerControl*>& Running()
{
    static std::vector<TimerControl*> timers;
    return timers;
}

}  // namespace

TimerControl::~TimerControl()
{
    std::erase(Running(), this);
}

void TimerControl::Create(Container& container, const ControlArgs& args, const TimerArgs& timer)
{
    ControlArgs a = args;
    a.visible = false;
    a.tabStop = false;
    Site(container, a);
    // A message-only window of its own: its ticks reach whatever loop pumps.
    CreateHandle({.parent = HWND_MESSAGE});
    interval_ = timer.interval;
    enabled_ = timer.enabled;
    Restart();
    Sited();
}

void TimerControl::Terminating()
{
    enabled_ = false;
    Restart();
    Control::Terminating();
}

void TimerControl::Interval(int32_t ms)
{
    interval_ = ms < 0 ? 0 : ms;
    Restart();
}

void TimerControl::Enabled(bool v)
{
    enabled_ = v;
    Restart();
}

void TimerControl::Restart()
{
    std::erase(Running(), this);
    if (hWnd())
        KillTimer(hWnd(), kWakeId);
    if (!enabled_ || interval_ <= 0 || !hWnd())
        return;
    due_ = MonotonicMilliseconds() + interval_;
    Running().push_back(this);
    // Wakes a waiting message loop when the time comes on the real clock.
    SetTimer(hWnd(), kWakeId, static_cast<UINT>(interval_), nullptr);
}

void TimerControl::PostDueTicks()
{
    int64_t now = MonotonicMilliseconds();
    for (TimerControl* t : Running())
        if (!t->tickPosted_ && now >= t->due_ && t->hWnd()) {
            t->tickPosted_ = true;
            PostMessageW(t->hWnd(), kTick, 0, 0);
        }
}

bool TimerControl::AnyDue()
{
    const int64_t now = MonotonicMilliseconds();
    return std::ranges::any_of(Running(),
                               [now](const TimerControl* t) { return now >= t->due_ && t->hWnd(); });
}

void TimerControl::Tick()
{
    tickPosted_ = false;
    if (!enabled_ || interval_ <= 0)
        return;
    int64_t now = MonotonicMilliseconds();
    if (now < due_)
        return;
    // The next tick counts from now, as the platform's timers do: ticks that
    // were missed while a handler ran are not made up.
    due_ = now + interval_;
    // A handler that pumps messages does not get its own timer's next tick
    // nested inside it.
    if (ticking_)
        return;
    ticking_ = true;
    Timer();
    ticking_ = false;
}

LRESULT TimerControl::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_TIMER && wp == kWakeId) {
        Tick();
        // Wake again when the next tick is due: a system timer may come a
        // little early, and the clock decides.
        if (hWnd() && enabled_ && interval_ > 0) {
            int64_t left = due_ - MonotonicMilliseconds();
            SetTimer(hWnd(), kWakeId,
                     static_cast<UINT>(left < 1           ? 1
                                       : left > interval_ ? interval_
                                                          : left),
                     nullptr);
        }
        return 0;
    }
    if (msg == kTick) {
        Tick();
        return 0;
    }
    return Control::WndProc(msg, wp, lp);
}

}  // namespace quill::forms
