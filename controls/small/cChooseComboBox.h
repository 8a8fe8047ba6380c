// The login window's account box: a one-line text field in a painted
// frame, an account icon on the left, a grey "<请输入帐号>" while the field
// is empty and unfocused, a light-blue glow while the mouse is over it, and a
// drop label on the right that lists the accounts the host offers.
#pragma once

#include "controls/small/AccountDropList.h"
#include "controls/small/AccountEntries.h"
#include "controls/small/LoginControlArt.h"
#include "controls/small/PlaceholderField.h"
#include "forms/KeyMouseEvents.h"
#include "forms/Label.h"
#include "forms/Loaded.h"
#include "forms/TextBox.h"
#include "forms/TimerControl.h"
#include "forms/UserControl.h"

#include <string>

namespace quill::small {

// Its key and mouse events come from the text field, not its own window.
class cChooseComboBox : public forms::UserControl, public forms::KeyAndMouseEvents, private TextFieldPort {
public:
    cChooseComboBox();
    ~cChooseComboBox() override;

    std::wstring Text() const;
    void Text(const std::wstring& value);

    // The accounts the drop label lists; a pick puts one into the field.
    void AddEntry(const std::wstring& text) { entries_.Add(text); }
    void ClearEntries() { entries_.Clear(); }
    std::size_t EntryCount() const { return entries_.Count(); }

    forms::Event<> Click;
    forms::Event<> DblClick;
    forms::Event<> Change;

    // For tests: the drop window and the text field's state.
    const AccountDropList& DropWindow() const { return drop_; }
    const forms::TextBox& TextField() const { return *txtMain; }
    bool Hot() const { return hot_; }
    DropLook DropLabelLook() const { return dropLook_; }

protected:
    void UserControl_InitProperties() override;
    void UserControl_ReadProperties(forms::PropertyBag& PropBag) override;
    void UserControl_WriteProperties(forms::PropertyBag& PropBag) override;
    void UserControl_Resize() override;
    void UserControl_MouseMove(forms::MouseArgs& e) override;
    void UserControl_Hide() override { drop_.Hide(); }
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // TextFieldPort: the placeholder rules drive txtMain through these.
    std::wstring FieldText() const override;
    void WriteFieldText(const std::wstring& text) override;
    void SetFieldTextColor(std::uint32_t colour) override;
    void SelectAllText() override;

    void LoadConstituents();
    void DrawComboFrame();
    void DrawDropLabel();
    void SetDropLook(DropLook look);
    void Hover();

    void txtMain_GotFocus() { field_.GotFocus(); }
    void txtMain_LostFocus() { field_.LostFocus(); }
    void txtMain_Change();
    void txtMain_MouseMove(forms::MouseArgs& e);
    void cmdDown_MouseDown(forms::MouseArgs& e);
    void cmdDown_MouseMove(forms::MouseArgs& e);
    void cmdDown_MouseUp(forms::MouseArgs& e);
    void cmdDown_Click();
    void timMouse_Timer();
    void drop_Picked(std::size_t index);

    forms::Loaded<forms::TextBox> txtMain;
    forms::Loaded<forms::Label> cmdDown;
    forms::Loaded<forms::TimerControl> timMouse;
    forms::Picture::Ref imgQQ;
    forms::Picture::Ref imgBorder_C;
    forms::Picture::Ref imgBorder_Top;
    forms::Picture::Ref imgBorder_Left;
    forms::Picture::Ref imgDown_Normal;
    forms::Picture::Ref imgDown_Over;
    forms::Picture::Ref imgDown_Down;

    PlaceholderField field_{*this};
    bool hot_ = false;
    DropLook dropLook_ = DropLook::Normal;
    AccountEntries entries_;
    AccountDropList drop_{entries_};
};

}  // namespace quill::small
