#pragma once
// The base of the windowless intrinsic controls (label, image, line): they
// have no window; their container paints them and hands them its mouse
// messages. Mouse events follow the platform's order; X and Y are in the
// container's units, relative to the control.
#include "forms/Control.h"
#include "forms/MouseSequence.h"
#include "forms/Picture.h"

namespace quill::forms {

enum : int16_t { vbHandPointer = 99 };  // vbCustom with no MouseIcon: the system's hand

class WindowlessControl : public Control, public MouseEvents {
public:
    int16_t MousePointer() const { return mousePointer_; }
    void MousePointer(int16_t v) { mousePointer_ = v; }
    const Picture::Ref& MouseIcon() const { return mouseIcon_; }
    void MouseIcon(Picture::Ref p) { mouseIcon_ = std::move(p); }

    void Refresh() const;

protected:
    void Place(Container& container, const ControlArgs& args);
    bool Windowless() const override { return true; }
    bool CanTakeFocus() const override { return false; }
    void WindowlessMouse(UINT msg, WPARAM wp, POINT pt) override;
    HCURSOR WindowlessCursor() const override;

private:
    MouseSequence mouse_;
    int16_t mousePointer_ = 0;
    Picture::Ref mouseIcon_;
};

}  // namespace quill::forms
