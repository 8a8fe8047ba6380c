#include "forms/CheckBox.h"

namespace quill::forms {

void CheckBox::Create(Container& container, const ControlArgs& args, const CheckBoxArgs& box)
{
    CreateStandard(container, args, L"BUTTON", BS_3STATE | BS_NOTIFY, 0, box.caption,
                   {box.backColor, box.foreColor, box.font});
    value_ = box.value;
    SendMessageW(hWnd(), BM_SETCHECK, value_, 0);
    Sited();
}

void CheckBox::Value(int16_t v)
{
    if (v < vbUnchecked || v > vbGrayed || v == value_)
        return;
    value_ = v;
    if (hWnd())
        SendMessageW(hWnd(), BM_SETCHECK, value_, 0);
    Click();
}

void CheckBox::AccessKeyPressed(wchar_t key)
{
    Control::AccessKeyPressed(key);
    Value(value_ == vbChecked ? vbUnchecked : vbChecked);
}

std::optional<LRESULT> CheckBox::Reflect(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
        Value(value_ == vbChecked ? vbUnchecked : vbChecked);
        return 0;
    }
    return StandardControl::Reflect(msg, wp, lp);
}

}  // namespace quill::forms
