#include "controls/button/StyledButtonBase.h"

#include "forms/App.h"
#include "forms/lang/Ansi.h"

#include <commctrl.h>

namespace quill::button {

// ---------------------------------------------------------------------------
// Tool tip, about box

void StyledButtonBase::CreateToolTip()
{
    toolTipText_ = Extender().ToolTipText();
    Extender().ToolTipText(L"");
    if (!hWnd())
        return;
    if (toolTipWindow_) {
        DestroyWindow(toolTipWindow_);
        toolTipWindow_ = nullptr;
    }
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    DWORD style = TTS_ALWAYSTIP | TTS_NOPREFIX;
    if (toolTipType_ == 1)
        style |= TTS_BALLOON;
    toolTipWindow_ =
        CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, hWnd(), nullptr, forms::App::hInstance(), nullptr);
    if (!toolTipWindow_)
        return;
    SetWindowPos(toolTipWindow_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);

    toolRecordText_ = forms::TextToAnsi(toolTipText_);
    toolRecord_ = {};
    toolRecord_.cbSize = sizeof(TOOLINFOA);
    toolRecord_.uFlags = TTF_SUBCLASS;
    toolRecord_.hwnd = hWnd();
    toolRecord_.uId = 0;
    GetClientRect(hWnd(), &toolRecord_.rect);
    toolRecord_.hinst = forms::App::hInstance();
    toolRecord_.lpszText = toolRecordText_.data();
    SendMessageA(toolTipWindow_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&toolRecord_));
    if (!toolTipTitle_.empty() || toolTipIcon_ != 0) {
        const std::string title = forms::TextToAnsi(toolTipTitle_);
        SendMessageA(toolTipWindow_, TTM_SETTITLEA, static_cast<WPARAM>(toolTipIcon_),
                     reinterpret_cast<LPARAM>(title.c_str()));
    }
    if (toolTipForeColor_ != 0)
        SendMessageA(toolTipWindow_, TTM_SETTIPTEXTCOLOR, toolTipForeColor_, 0);
    if (toolTipBackColor_ != 0)
        SendMessageA(toolTipWindow_, TTM_SETTIPBKCOLOR, toolTipBackColor_, 0);
}

void StyledButtonBase::DestroyToolTip()
{
    Extender().ToolTipText(toolTipText_);
    if (toolTipWindow_) {
        if (IsWindow(toolTipWindow_))
            DestroyWindow(toolTipWindow_);
        toolTipWindow_ = nullptr;
    }
}

}  // namespace quill::button
