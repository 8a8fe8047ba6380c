#include "tests/support/Pump.h"

#include "forms/Pump.h"

#include <gtest/gtest.h>

#include <map>

namespace quill::test {

namespace {

// Far beyond anything a passing test waits for.
constexpr DWORD kGiveUpMs = 60000;

// Blocks until a message arrives or a short while passes (conditions set by
// other threads, or by the clock, change without a message).
void WaitForMessage()
{
    MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

std::map<UINT_PTR, PumpedAction*>& Actions()
{
    static std::map<UINT_PTR, PumpedAction*> actions;
    return actions;
}

}  // namespace

bool PumpUntil(const std::function<bool()>& done, const char* what)
{
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        forms::DoEvents();
        if (done())
            return true;
        if (GetTickCount64() - start > kGiveUpMs) {
            ADD_FAILURE() << "gave up waiting for " << what;
            return false;
        }
        WaitForMessage();
    }
}

namespace {

LONG lastHandledMarker = 0;

LRESULT CALLBACK MarkerProc(HWND window, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_APP) {
        lastHandledMarker = static_cast<LONG>(lp);
        return 0;
    }
    return DefWindowProcW(window, msg, wp, lp);
}

// A message-only window that notes the markers it is given.
HWND MarkerWindow()
{
    static const HWND window = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = MarkerProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QuillTestPumpMarker";
        RegisterClassW(&wc);
        return CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                               nullptr);
    }();
    return window;
}

}  // namespace

void PumpPosted()
{
    // Posted messages are taken in the order they were posted.
    static LONG next = 0;
    const LONG id = ++next;
    PostMessageW(MarkerWindow(), WM_APP, 0, id);
    PumpUntil([id] { return lastHandledMarker >= id; }, "the posted marker");
}

PumpedAction::PumpedAction(std::function<void()> action) : action_(std::move(action))
{
    timer_ = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &PumpedAction::Tick);
    Actions()[timer_] = this;
}

PumpedAction::~PumpedAction()
{
    if (timer_) {
        KillTimer(nullptr, timer_);
        Actions().erase(timer_);
    }
}

void CALLBACK PumpedAction::Tick(HWND, UINT, UINT_PTR id, DWORD)
{
    auto found = Actions().find(id);
    if (found == Actions().end()) {
        KillTimer(nullptr, id);
        return;
    }
    PumpedAction* self = found->second;
    if (self->done_ || (self->ready_ && !self->ready_()))
        return;
    KillTimer(nullptr, id);
    Actions().erase(found);
    self->timer_ = 0;
    self->done_ = true;
    self->action_();
}

namespace {
PassingTime* passingTime = nullptr;
}

PassingTime::PassingTime(forms::ClockOverride& clock, std::int64_t stepMs) : PassingTime(clock, stepMs, 0) {}

PassingTime PassingTime::Faster(forms::ClockOverride& clock, int factor)
{
    return PassingTime(clock, 0, factor);
}

PassingTime::PassingTime(forms::ClockOverride& clock, std::int64_t stepMs, int factor)
    : clock_(clock), step_(stepMs), factor_(factor), lastTick_(GetTickCount64())
{
    passingTime = this;
    id_ = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &PassingTime::Tick);
}

PassingTime::~PassingTime()
{
    KillTimer(nullptr, id_);
    passingTime = nullptr;
}

void CALLBACK PassingTime::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    PassingTime* self = passingTime;
    if (!self)
        return;
    const ULONGLONG now = GetTickCount64();
    self->clock_.Advance(self->factor_ ? static_cast<std::int64_t>(now - self->lastTick_) * self->factor_
                                       : self->step_);
    self->lastTick_ = now;
}

}  // namespace quill::test
