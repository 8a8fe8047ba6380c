#pragma once
// The base of the intrinsic controls that are standard Windows controls
// (text box, combo box, list box, check box, option button, command button):
// the window is subclassed, its keys and mouse reach the host as the
// platform's events (KeyAscii and KeyCode by reference: 0 swallows the key),
// its colours and font are the control's own.
#include "forms/Color.h"
#include "forms/Control.h"
#include "forms/Font.h"
#include "forms/Gdi.h"
#include "forms/MouseSequence.h"

namespace quill::forms {

class StandardControl : public Control, public MouseEvents {
public:
    Event<KeyArgs&> KeyDown;
    Event<KeyPressArgs&> KeyPress;
    Event<KeyArgs&> KeyUp;

    const forms::Font::Ref& Font() const { return font_; }
    void Font(forms::Font::Ref f);
    OleColor BackColor() const { return backColor_; }
    void BackColor(OleColor c);
    OleColor ForeColor() const { return foreColor_; }
    void ForeColor(OleColor c);

protected:
    struct Look {
        OleColor backColor;
        OleColor foreColor;
        forms::Font::Ref font;  // nullptr: the form's
    };
    void CreateStandard(Container& container, const ControlArgs& args, const wchar_t* className, DWORD style,
                        DWORD exStyle, const std::wstring& text, const Look& look);
    // Click comes from the mouse (text box, picture) rather than from the
    // control's own notification.
    virtual bool ClicksFromMouse() const { return false; }
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    std::optional<LRESULT> Reflect(UINT msg, WPARAM wp, LPARAM lp) override;

    std::wstring WindowText() const;
    void WindowText(const std::wstring& text);
    // The character of the access key in a caption ("&Save" gives "s").
    static std::wstring AccessKeyOf(const std::wstring& caption);

private:
    void ApplyFont();

    forms::Font::Ref font_;
    forms::Font::Subscription fontWatch_;
    gdi::FontHandle fontHandle_;
    OleColor backColor_ = 0x80000005;
    OleColor foreColor_ = 0x80000008;
    gdi::BrushHandle backBrush_;
    MouseSequence mouse_;
};

}  // namespace quill::forms
