// A text link: a one-line caption in the link colour, underlined while the
// mouse is over it, under a pointing-hand cursor. The host decides what a
// click opens.
#pragma once

#include "forms/KeyMouseEvents.h"

#include <string>

namespace quill::small {

class cHyperLink : public forms::KeyAndMouseEventsControl {
public:
    cHyperLink();

    forms::OleColor BackColor() const { return UserControl::BackColor(); }
    void BackColor(forms::OleColor value);
    forms::OleColor ForeColor() const { return UserControl::ForeColor(); }
    void ForeColor(forms::OleColor value);
    const std::wstring& Caption() const { return caption_; }
    void Caption(std::wstring value);

    forms::Event<> Click;
    forms::Event<> DblClick;
    forms::Event<> MouseOut;

    static constexpr forms::OleColor DesignBackColor = 0xFFF4E4;
    static constexpr forms::OleColor DesignForeColor = 0xEB7016;

protected:
    void UserControl_InitProperties() override;
    void UserControl_ReadProperties(forms::PropertyBag& PropBag) override;
    void UserControl_WriteProperties(forms::PropertyBag& PropBag) override;
    void UserControl_Resize() override;
    void UserControl_Click() override { Click(); }
    void UserControl_DblClick() override { DblClick(); }
    void UserControl_MouseMove(forms::MouseArgs& e) override;

private:
    void ApplyFixedLook();
    void DrawLinkText();

    std::wstring caption_;
    bool hot_ = false;
};

}  // namespace quill::small
