#include "forms/ListBox.h"

namespace quill::forms {

namespace {
const ListControl::Messages kListBox{LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT,
                                     LB_GETCOUNT,  LB_GETTEXT,      LB_GETTEXTLEN,   LB_GETCURSEL,
                                     LB_SETCURSEL, LB_GETITEMDATA,  LB_SETITEMDATA};
}

ListBox::ListBox() : ListControl(kListBox) {}

void ListBox::Create(Container& container, const ControlArgs& args, const ListBoxArgs& list)
{
    CreateStandard(container, args, L"LISTBOX",
                   LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | (list.sorted ? LBS_SORT : 0),
                   WS_EX_CLIENTEDGE, {}, {list.backColor, list.foreColor, list.font});
    Sited();
}

std::optional<LRESULT> ListBox::Reflect(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_COMMAND) {
        if (HIWORD(wp) == LBN_SELCHANGE) {
            SelectionChanged();
            return 0;
        }
        if (HIWORD(wp) == LBN_DBLCLK)
            return 0;  // DblClick comes from the mouse
    }
    return ListControl::Reflect(msg, wp, lp);
}

}  // namespace quill::forms
