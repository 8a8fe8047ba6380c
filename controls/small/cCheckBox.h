// The login window's check box: a 13 x 13 box, a light-blue frame around it
// while the mouse is over the control, and a one-line caption to its right.
// Only a mouse click changes its state; keys are passed on untouched.
#pragma once

#include "forms/KeyMouseEvents.h"

#include <string>

namespace quill::small {

class cCheckBox : public forms::KeyAndMouseEventsControl {
public:
    cCheckBox();

    bool Checked() const { return checked_; }
    void Checked(bool value);
    const std::wstring& Caption() const { return caption_; }
    void Caption(std::wstring value);
    forms::OleColor BackColor() const { return UserControl::BackColor(); }
    void BackColor(forms::OleColor value);

    forms::Event<> Click;
    forms::Event<> MouseOut;

    static constexpr forms::OleColor DesignBackColor = 0xFFF4E4;

protected:
    void UserControl_InitProperties() override;
    void UserControl_ReadProperties(forms::PropertyBag& PropBag) override;
    void UserControl_WriteProperties(forms::PropertyBag& PropBag) override;
    void UserControl_Resize() override;
    void UserControl_Click() override;
    void UserControl_MouseMove(forms::MouseArgs& e) override;

private:
    void ApplyFixedLook();
    void DrawCheckBox();

    bool checked_ = false;
    std::wstring caption_;
    bool hot_ = false;
    forms::Picture::Ref imgChked;
    forms::Picture::Ref imgUnChked;
};

}  // namespace quill::small
