#pragma once
// The standard option button. The option buttons of one container form a
// group: choosing one clears the others. Click is raised when an option
// becomes chosen, by a click or by code. Tab stops only at the chosen one.
#include "forms/StandardControl.h"

namespace quill::forms {

struct OptionButtonArgs {
    std::wstring caption{};
    bool value = false;
    OleColor backColor = 0x8000000F;
    OleColor foreColor = 0x80000012;
    forms::Font::Ref font{};
};

class OptionButton : public StandardControl {
public:
    void Create(Container& container, const ControlArgs& args, const OptionButtonArgs& option = {});

    std::wstring Caption() const { return WindowText(); }
    void Caption(const std::wstring& v) { WindowText(v); }
    bool Value() const { return value_; }
    void Value(bool v);

    std::wstring AccessKeyChars() const override { return AccessKeyOf(Caption()); }
    void AccessKeyPressed(wchar_t key) override;
    bool TabStopNow() const override;

protected:
    std::optional<LRESULT> Reflect(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Show(bool v);
    bool value_ = false;
};

}  // namespace quill::forms
