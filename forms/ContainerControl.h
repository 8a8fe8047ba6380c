#pragma once
// The base of the intrinsic controls that hold other controls (frame,
// picture box): a child window of our own class whose children are placed
// in twips and are shown only while it is; it paints its windowless
// children and raises the platform's mouse events.
#include "forms/Color.h"
#include "forms/Container.h"
#include "forms/Control.h"
#include "forms/Font.h"
#include "forms/MouseSequence.h"

namespace quill::forms {

class ContainerControl : public Control, public Container, public MouseEvents {
public:
    OleColor BackColor() const { return backColor_; }
    virtual void BackColor(OleColor c);

    HWND ContainerWindow() const override { return hWnd(); }
    Form& ParentForm() override { return Control::ParentForm(); }
    bool ShowsChildren() const override { return shown_; }
    double PixelsPerUnitX() const override;
    double PixelsPerUnitY() const override;
    Container* OuterContainer() const override { return ParentContainer(); }
    bool CanTakeFocus() const override { return false; }

protected:
    void CreateContainerWindow(Container& container, const ControlArgs& args, DWORD exStyle,
                               OleColor backColor);
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // Paints the control's own face (before the windowless children).
    virtual void PaintFace(HDC dc, const RECT& area) = 0;
    virtual void Resized() {}

private:
    OleColor backColor_ = 0x8000000F;
    MouseSequence mouse_;
};

}  // namespace quill::forms
