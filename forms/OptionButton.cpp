#include "forms/OptionButton.h"

#include "forms/Container.h"

namespace quill::forms {

void OptionButton::Create(Container& container, const ControlArgs& args, const OptionButtonArgs& option)
{
    CreateStandard(container, args, L"BUTTON", BS_RADIOBUTTON | BS_NOTIFY, 0, option.caption,
                   {option.backColor, option.foreColor, option.font});
    if (option.value)
        Value(true);
    Sited();
}

void OptionButton::Show(bool v)
{
    value_ = v;
    if (hWnd())
        SendMessageW(hWnd(), BM_SETCHECK, v ? BST_CHECKED : BST_UNCHECKED, 0);
}

void OptionButton::Value(bool v)
{
    if (!v) {
        Show(false);
        return;
    }
    if (value_)
        return;
    if (ParentContainer())
        for (Control* c : ParentContainer()->Controls())
            if (auto* other = dynamic_cast<OptionButton*>(c); other && other != this)
                other->Show(false);
    Show(true);
    Click();
}

void OptionButton::AccessKeyPressed(wchar_t key)
{
    Control::AccessKeyPressed(key);
    Value(true);
}

bool OptionButton::TabStopNow() const
{
    if (!TabStop())
        return false;
    if (value_ || !ParentContainer())
        return true;
    // With none of the group chosen, Tab stops at each of them.
    for (Control* c : ParentContainer()->Controls())
        if (auto* other = dynamic_cast<OptionButton*>(c); other && other->value_)
            return false;
    return true;
}

std::optional<LRESULT> OptionButton::Reflect(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
        Value(true);
        return 0;
    }
    return StandardControl::Reflect(msg, wp, lp);
}

}  // namespace quill::forms
