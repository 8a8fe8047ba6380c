#pragma once
// The standard check box: Value 0 unchecked, 1 checked, 2 grey. Click is
// raised whenever Value changes, by a click or by code.
#include "forms/StandardControl.h"

namespace quill::forms {

enum : int16_t { vbUnchecked = 0, vbChecked = 1, vbGrayed = 2 };

struct CheckBoxArgs {
    std::wstring caption{};
    int16_t value = vbUnchecked;
    OleColor backColor = 0x8000000F;
    OleColor foreColor = 0x80000012;
    forms::Font::Ref font{};
};

class CheckBox : public StandardControl {
public:
    void Create(Container& container, const ControlArgs& args, const CheckBoxArgs& box = {});

    std::wstring Caption() const { return WindowText(); }
    void Caption(const std::wstring& v) { WindowText(v); }
    int16_t Value() const { return value_; }
    void Value(int16_t v);

    std::wstring AccessKeyChars() const override { return AccessKeyOf(Caption()); }
    void AccessKeyPressed(wchar_t key) override;

protected:
    std::optional<LRESULT> Reflect(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    int16_t value_ = vbUnchecked;
};

}  // namespace quill::forms
