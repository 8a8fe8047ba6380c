// ucGifPlayer's timer: the frame timer that steps the animation and the
// deferred build of frames 2..N.
#include "controls/small/gif/ucGifPlayer.h"

#include <algorithm>

#include "forms/Form.h"

namespace quill::gif {

int32_t ucGifPlayer::FrameInterval() const
{
    if (SteppedDelay_ != 0)
        return SteppedDelay_;
    return std::max<int32_t>(store_.Frames[CurrentFrame_ - 1].DelayMs, MinFrameDelay_);
}

bool ucGifPlayer::SetAnimationTimer(int32_t type)
{
    if (type == 0) {
        if (timer_)
            timer_->Enabled(false);
        PlayState = 0;
        // Stopping, pausing or stepping during the deferred build builds the
        // remaining frames now rather than leaving them blank for good.
        if (framesPending_) {
            framesPending_ = false;
            bool laterPass = false;
            BuildFrameStrip(laterPass, false);
        }
        return false;
    }
    if (PlayState == 1)
        return false;
    PlayState = 0;
    if (!Loaded() || !RunTime() || (FrameCount() <= 1 && type != 2))
        return false;
    if (!ParentForm().hWnd())
        return false;
    timerType_ = type;
    ArmTimer(type == 2 ? 20 : FrameInterval());
    PlayState = 1;
    return true;
}

void ucGifPlayer::ArmTimer(int32_t milliseconds)
{
    if (!timer_) {
        timer_.Load(*this, forms::ControlArgs{.name = L"FrameTimer"}, forms::TimerArgs{milliseconds, false});
        // Each tick stops the timer first; the handlers set it again.
        timer_->Timer = [this] {
            timer_->Enabled(false);
            if (timerType_ == 2) {
                DeferredBuildCallback();
            } else {
                AnimationTimerProc();
            }
        };
    }
    timer_->Interval(milliseconds);
    timer_->Enabled(true);
}

void ucGifPlayer::DeferredBuildCallback()
{
    framesPending_ = false;
    SetAnimationTimer(0);
    bool laterPass = false;
    BuildFrameStrip(laterPass);
    AnnounceFirstFrame();
}

void ucGifPlayer::AnimationTimerProc()
{
    const int32_t count = FrameCount();
    if (count == 0)
        return;
    const int32_t previous = CurrentFrame_;
    bool wrapped = false;
    if (++CurrentFrame_ > count) {
        CurrentFrame_ = 1;
        wrapped = true;
    }
    bool goesOn = true;
    if (count == 1) {
        LoopsLeft = 0;
        PlayState = 0;
        goesOn = false;
    } else if (wrapped && Header().loops != 0) {
        if (--LoopsLeft == 0) {
            PlayState = 0;
            goesOn = false;
        }
    }
    Refresh();
    const uint32_t generation = loadGeneration_;
    bool viaTimer = true;
    FrameChanged(previous, viaTimer);
    // The handler may have stopped, paused, stepped, restarted or reloaded the
    // control: the timer goes on only for the same picture still playing and
    // not already set again.
    if (generation != loadGeneration_)
        return;
    if (goesOn) {
        if (PlayState == 1 && timer_ && !timer_->Enabled())
            ArmTimer(FrameInterval());
    } else if (PlayState == 0) {
        LoopsEnded();
    }
}

}  // namespace quill::gif
