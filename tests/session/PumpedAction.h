#pragma once
// Runs an action from the message pump shortly after it is armed: the way a
// test acts while the code under test waits in its own pump (a request's
// wait, a message box).
#include <windows.h>

#include <functional>

class PumpedAction {
public:
    PumpedAction(UINT afterMs, std::function<void()> action) : action_(std::move(action))
    {
        Current() = this;
        id_ = SetTimer(nullptr, 0, afterMs, &PumpedAction::Fire);
    }
    ~PumpedAction()
    {
        if (id_)
            KillTimer(nullptr, id_);
        if (Current() == this)
            Current() = nullptr;
    }
    PumpedAction(const PumpedAction&) = delete;
    PumpedAction& operator=(const PumpedAction&) = delete;
    bool Done() const { return done_; }

private:
    static PumpedAction*& Current()
    {
        static PumpedAction* current = nullptr;
        return current;
    }
    static void CALLBACK Fire(HWND, UINT, UINT_PTR id, DWORD)
    {
        PumpedAction* self = Current();
        KillTimer(nullptr, id);
        if (!self || self->id_ != id || self->done_)
            return;
        self->id_ = 0;
        self->done_ = true;
        self->action_();
    }

    std::function<void()> action_;
    UINT_PTR id_ = 0;
    bool done_ = false;
};
