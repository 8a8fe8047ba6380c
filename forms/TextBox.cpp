#include "forms/TextBox.h"

namespace quill::forms {

void TextBox::Create(Container& container, const ControlArgs& args, const TextBoxArgs& box)
{
    multiLine_ = box.multiLine;
    DWORD style = ES_AUTOHSCROLL | (box.alignment == 1 ? ES_RIGHT : box.alignment == 2 ? ES_CENTER : ES_LEFT);
    if (box.multiLine) {
        style = (style & ~ES_AUTOHSCROLL) | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
        style |= (box.scrollBars & 1) ? WS_HSCROLL | ES_AUTOHSCROLL : 0;
        style |= (box.scrollBars & 2) ? WS_VSCROLL : 0;
    }
    if (box.passwordChar)
        style |= ES_PASSWORD;
    CreateStandard(container, args, L"EDIT", style, box.borderStyle ? WS_EX_CLIENTEDGE : 0, box.text,
                   {box.backColor, box.foreColor, box.font});
    PasswordChar(box.passwordChar);
    MaxLength(box.maxLength);
    Locked(box.locked);
    Sited();
}

wchar_t TextBox::PasswordChar() const
{
    return hWnd() ? static_cast<wchar_t>(SendMessageW(hWnd(), EM_GETPASSWORDCHAR, 0, 0)) : 0;
}

void TextBox::PasswordChar(wchar_t c)
{
    if (!hWnd())
        return;
    SendMessageW(hWnd(), EM_SETPASSWORDCHAR, c, 0);
    InvalidateRect(hWnd(), nullptr, TRUE);
}

void TextBox::MaxLength(int32_t n)
{
    maxLength_ = n < 0 ? 0 : n;
    if (hWnd())
        SendMessageW(hWnd(), EM_SETLIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TextBox::Locked(bool v)
{
    locked_ = v;
    if (hWnd())
        SendMessageW(hWnd(), EM_SETREADONLY, v, 0);
}

int32_t TextBox::SelStart() const
{
    DWORD start = 0;
    if (hWnd())
        SendMessageW(hWnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    return static_cast<int32_t>(start);
}

void TextBox::SelStart(int32_t v)
{
    if (hWnd())
        SendMessageW(hWnd(), EM_SETSEL, v, v);
}

int32_t TextBox::SelLength() const
{
    DWORD start = 0, end = 0;
    if (hWnd())
        SendMessageW(hWnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int32_t>(end - start);
}

void TextBox::SelLength(int32_t v)
{
    int32_t start = SelStart();
    if (hWnd())
        SendMessageW(hWnd(), EM_SETSEL, start, start + (v < 0 ? 0 : v));
}

std::wstring TextBox::SelText() const
{
    std::wstring t = Text();
    size_t start = static_cast<size_t>(SelStart());
    return start > t.size() ? std::wstring() : t.substr(start, static_cast<size_t>(SelLength()));
}

void TextBox::SelText(const std::wstring& v)
{
    if (hWnd())
        SendMessageW(hWnd(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(v.c_str()));
}

std::optional<LRESULT> TextBox::Reflect(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_COMMAND && HIWORD(wp) == EN_CHANGE) {
        Change();
        return 0;
    }
    return StandardControl::Reflect(msg, wp, lp);
}

}  // namespace quill::forms
