#pragma once
// The Timer control: raises Timer every Interval milliseconds while Enabled,
// measured on the program's clock (MonotonicMilliseconds), so a test that
// advances the clock makes it fire at the next pump. It fires from any
// message pump, nested ones included (a wait loop, a message box).
#include "forms/Control.h"
#include "forms/Events.h"

#include <cstdint>

namespace quill::forms {

struct TimerArgs {
    int32_t interval = 0;  // milliseconds; 0 never fires
    bool enabled = true;
};

class TimerControl : public Control {
public:
    TimerControl() = default;
    ~TimerControl() override;

    void Create(Container& container, const ControlArgs& args, const TimerArgs& timer = {});

    int32_t Interval() const { return interval_; }
    void Interval(int32_t ms);
    bool Enabled() const { return enabled_; }
    void Enabled(bool v);

    Event<> Timer;

    // Posts a tick to every enabled timer whose time has come (the pumps call it).
    static void PostDueTicks();
    // Whether an enabled timer's time has come: a loop that pumps only now
    // and then asks it without looking at the message queue.
    static bool AnyDue();

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool Windowless() const override { return false; }
    bool CanTakeFocus() const override { return false; }
    void Terminating() override;

private:
    void Restart();
    void Tick();

    int32_t interval_ = 0;
    bool enabled_ = false;
    int64_t due_ = 0;
    bool tickPosted_ = false;
    bool ticking_ = false;
};

}  // namespace quill::forms
