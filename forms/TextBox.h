#pragma once
// The TextBox control: a standard edit window.
#include "forms/StandardControl.h"

namespace quill::forms {

struct TextBoxArgs {
    std::wstring text{};
    wchar_t passwordChar = 0;  // 0: shows the text
    int32_t maxLength = 0;     // 0: no limit
    bool multiLine = false;
    int16_t scrollBars = 0;  // 0 none, 1 horizontal, 2 vertical, 3 both (multi-line)
    bool locked = false;
    int16_t borderStyle = 1;  // 0 none, 1 fixed single
    int16_t alignment = 0;    // 0 left, 1 right, 2 centre
    OleColor backColor = 0x80000005;
    OleColor foreColor = 0x80000008;
    forms::Font::Ref font{};
};

class TextBox : public StandardControl {
public:
    void Create(Container& container, const ControlArgs& args, const TextBoxArgs& box = {});

    std::wstring Text() const { return WindowText(); }
    void Text(const std::wstring& v) { WindowText(v); }
    wchar_t PasswordChar() const;
    void PasswordChar(wchar_t c);
    int32_t MaxLength() const { return maxLength_; }
    void MaxLength(int32_t n);
    bool Locked() const { return locked_; }
    void Locked(bool v);
    bool MultiLine() const { return multiLine_; }
    int32_t SelStart() const;
    void SelStart(int32_t v);
    int32_t SelLength() const;
    void SelLength(int32_t v);
    std::wstring SelText() const;
    void SelText(const std::wstring& v);

    // Raised for every change of the text, by the user or by code.
    Event<> Change;

protected:
    bool ClicksFromMouse() const override { return true; }
    bool WantsKey(UINT vk) const override { return multiLine_ && vk == VK_RETURN; }
    std::optional<LRESULT> Reflect(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    int32_t maxLength_ = 0;
    bool locked_ = false;
    bool multiLine_ = false;
};

}  // namespace quill::forms
