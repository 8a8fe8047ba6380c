#pragma once
// The two scroll bars of a window's own frame as one object: per-bar
// properties, and events for the scroll, wheel and non-client click messages
// the window receives. Bars are SB_HORZ (0) and SB_VERT (1).
#include <windows.h>

#include <cstdint>

#include "controls/listview/ISubclass.h"
#include "controls/listview/Subclasser.h"
#include "forms/Events.h"

namespace quill::listview {

struct ScrollClickArgs {
    int eBar = SB_HORZ;
    int eButton = 0;  // 1 left, 2 right
};

struct ScrollArgs {
    int eBar = SB_HORZ;
};

struct MouseWheelArgs {
    int eBar = SB_VERT;   // the handler may send the amount to the other bar
    int32_t lAmount = 0;  // positions to scroll; 0 keeps the bar still
};

class Scrollbars : private ISubclass {
public:
    Scrollbars() = default;
    ~Scrollbars() { Terminate(); }
    Scrollbars(const Scrollbars&) = delete;
    Scrollbars& operator=(const Scrollbars&) = delete;

    forms::Event<ScrollClickArgs&> ScrollClick;
    forms::Event<ScrollArgs&> Scroll;  // a new position while the thumb is dragged
    forms::Event<ScrollArgs&> Change;
    forms::Event<MouseWheelArgs&> MouseWheel;

    bool Visible(int eBar) const;
    void Visible(int eBar, bool value);
    // 0 horizontal bar only, 1 vertical only, 2 both.
    int32_t Orientation() const { return Orientation_; }
    void Orientation(int32_t value);
    // The flat scroll bars' look; only 0 in standard mode.
    int32_t Style() const { return Style_; }
    void Style(int32_t value);
    int32_t SmallChange(int eBar) const;
    void SmallChange(int eBar, int32_t value);
    bool Enabled(int eBar) const;
    void Enabled(int eBar, bool value);

    // Read from the bar itself. The highest position a bar reaches is Max + 1.
    int32_t Min(int eBar) const;
    int32_t Max(int eBar) const;
    int32_t Value(int eBar) const;
    int32_t LargeChange(int eBar) const;
    void Min(int eBar, int32_t value);
    void Max(int eBar, int32_t value);
    void Value(int eBar, int32_t value);
    void LargeChange(int eBar, int32_t value);

    bool CanBeFlat() const { return !standardMode_; }

    // While False, range and position changes reach the bars without
    // repainting them, for an owner that paints nothing meanwhile either (a
    // repaint of a bar costs more than everything else a row added costs);
    // the first change after True repaints.
    bool RedrawBars() const { return redrawBars_; }
    void RedrawBars(bool value) { redrawBars_ = value; }

    void Terminate();
    void Create(HWND hWndA);

private:
    void WndProc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND lng_hWnd, UINT uMsg, WPARAM wParam,
                 LPARAM lParam, LONG_PTR& lParamUser) override;
    void OnScroll(int eBar, WORD code);
    void OnMouseWheel(WPARAM wParam, bool& bHandled, LRESULT& lReturn);

    void ChooseMode();
    void Attach();
    void Detach();
    void RaiseIfValueChanged(int eBar, bool tracking);
    SCROLLINFO GetInfo(int eBar, UINT mask) const;
    void SetInfo(int eBar, SCROLLINFO& info);

    HWND hWnd_ = nullptr;
    bool standardMode_ = true;
    int32_t Orientation_ = 2;
    int32_t Style_ = 0;
    int32_t SmallChange_[2] = {1, 1};
    bool Enabled_[2] = {false, false};
    bool Visible_[2] = {false, false};
    int32_t wheelLines_ = 3;
    bool subclassed_ = false;
    BOOL redrawBars_ = TRUE;
    int32_t lastValue_[2] = {0, 0};
    Subclasser subclasser_;
};

}  // namespace quill::listview
