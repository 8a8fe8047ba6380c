#pragma once
// The Label control: windowless text, word-wrapped to its width, kept to one
// line, or sizing itself to its caption.
#include "forms/Color.h"
#include "forms/Font.h"
#include "forms/WindowlessControl.h"

namespace quill::forms {

struct LabelArgs {
    std::wstring caption{};
    int16_t alignment = 0;  // 0 left, 1 right, 2 centre
    int16_t backStyle = 1;  // 0 transparent, 1 opaque
    int16_t borderStyle = 0;
    OleColor backColor = 0x8000000F;
    OleColor foreColor = 0x80000012;
    forms::Font::Ref font{};
    int16_t mousePointer = 0;
    // Our labels show names, amounts and notes that come from the service or
    // the user, where "&" is an ordinary character: only a label that names
    // the access key of the control after it turns this on.
    bool useMnemonic = false;
    // The label takes the size of its caption (a line for each line break,
    // no wrapping), its left and top kept.
    bool autoSize = false;
    // The caption stays on its first line, cut with an ellipsis where it is
    // wider than the label: a label one line high would show only the top
    // of a second one.
    bool oneLine = false;
};

class Label : public WindowlessControl {
public:
    void Create(Container& container, const ControlArgs& args, const LabelArgs& label = {});

    const std::wstring& Caption() const { return caption_; }
    void Caption(std::wstring v);
    OleColor BackColor() const { return backColor_; }
    void BackColor(OleColor c);
    OleColor ForeColor() const { return foreColor_; }
    void ForeColor(OleColor c);
    int16_t BackStyle() const { return backStyle_; }
    void BackStyle(int16_t v);
    int16_t Alignment() const { return alignment_; }
    void Alignment(int16_t v);
    const forms::Font::Ref& Font() const { return font_; }
    void Font(forms::Font::Ref f);
    bool UseMnemonic() const { return useMnemonic_; }
    void UseMnemonic(bool v);
    bool AutoSize() const { return autoSize_; }
    void AutoSize(bool v);
    bool OneLine() const { return oneLine_; }
    void OneLine(bool v);

    std::wstring AccessKeyChars() const override;
    void AccessKeyPressed(wchar_t key) override;

protected:
    void PaintWindowless(HDC dc) override;

private:
    UINT TextFormat() const;
    // Changed: the caption, the font or the mnemonic setting.
    void TextChanged();

    std::wstring caption_;
    int16_t alignment_ = 0, backStyle_ = 1, borderStyle_ = 0;
    bool useMnemonic_ = false, autoSize_ = false, oneLine_ = false;
    OleColor backColor_ = 0x8000000F, foreColor_ = 0x80000012;
    forms::Font::Ref font_;
    forms::Font::Subscription fontWatch_;
};

}  // namespace quill::forms
