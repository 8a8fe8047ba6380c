#include "forms/ComboBox.h"

#include "forms/lang/Error.h"

namespace quill::forms {

namespace {
const ListControl::Messages kComboBox{CB_ADDSTRING, CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT,
                                      CB_GETCOUNT,  CB_GETLBTEXT,    CB_GETLBTEXTLEN, CB_GETCURSEL,
                                      CB_SETCURSEL, CB_GETITEMDATA,  CB_SETITEMDATA};
}

ComboBox::ComboBox() : ListControl(kComboBox) {}

void ComboBox::Create(Container& container, const ControlArgs& args, const ComboBoxArgs& combo)
{
    style_ = combo.style;
    DWORD style = WS_VSCROLL | (combo.sorted ? CBS_SORT : 0) |
                  (style_ == vbComboDropdownList ? CBS_DROPDOWNLIST
                   : style_ == vbComboSimple     ? CBS_SIMPLE | CBS_AUTOHSCROLL
                                                 : CBS_DROPDOWN | CBS_AUTOHSCROLL);
    CreateStandard(container, args, L"COMBOBOX", style, 0, {},
                   {combo.backColor, combo.foreColor, combo.font});
    if (style_ != vbComboSimple) {
        // The window's height includes the open list; the field's own height
        // is the system's.
        RECT r = PixelRect();
        SetWindowPos(hWnd(), nullptr, 0, 0, r.right - r.left, combo.dropHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (!combo.text.empty() && style_ != vbComboDropdownList)
        WindowText(combo.text);
    Sited();
}

void ComboBox::Text(const std::wstring& v)
{
    if (style_ != vbComboDropdownList) {
        WindowText(v);
        return;
    }
    for (int32_t i = 0; i < ListCount(); ++i)
        if (List(i) == v) {
            ListIndex(i);
            return;
        }
    throw RuntimeError(383, L"'Text' 属性为只读");
}

LRESULT ComboBox::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    // The focus may sit in the field inside the box: focus comes from the
    // box's CBN_SETFOCUS / CBN_KILLFOCUS instead.
    if (msg == WM_SETFOCUS || msg == WM_KILLFOCUS)
        return DefaultProc(msg, wp, lp);
    return ListControl::WndProc(msg, wp, lp);
}

std::optional<LRESULT> ComboBox::Reflect(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_COMMAND) {
        switch (HIWORD(wp)) {
        case CBN_SELCHANGE:
            SelectionChanged();
            return 0;
        case CBN_EDITCHANGE:
            Change();
            return 0;
        case CBN_DROPDOWN:
            DropDown();
            return 0;
        case CBN_SETFOCUS:
            FocusChanged(true);
            return 0;
        case CBN_KILLFOCUS:
            FocusChanged(false);
            return 0;
        default:
            break;
        }
    }
    return ListControl::Reflect(msg, wp, lp);
}

}  // namespace quill::forms
