#include "forms/CommandButton.h"

namespace quill::forms {

void CommandButton::Create(Container& container, const ControlArgs& args, const CommandButtonArgs& button)
{
    CreateStandard(container, args, L"BUTTON", BS_PUSHBUTTON | BS_NOTIFY, 0, button.caption,
                   {button.backColor, 0x80000012, button.font});
    Cancel(button.isCancel);
    Default(button.isDefault);
    Sited();
}

void CommandButton::Value(bool v)
{
    if (v)
        Click();
}

void CommandButton::AccessKeyPressed(wchar_t key)
{
    Control::AccessKeyPressed(key);
    Click();
}

void CommandButton::DefaultChanged()
{
    if (hWnd())
        SendMessageW(hWnd(), BM_SETSTYLE, (Default() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | BS_NOTIFY, TRUE);
}

std::optional<LRESULT> CommandButton::Reflect(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
        Click();
        return 0;
    }
    return StandardControl::Reflect(msg, wp, lp);
}

}  // namespace quill::forms
