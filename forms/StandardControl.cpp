#include "forms/StandardControl.h"

#include "forms/Container.h"
#include "forms/Form.h"
#include "forms/Keyboard.h"

#include <windowsx.h>

#include <cwctype>

namespace quill::forms {

void StandardControl::CreateStandard(Container& container, const ControlArgs& args, const wchar_t* className,
                                     DWORD style, DWORD exStyle, const std::wstring& text, const Look& look)
{
    Site(container, args);
    backColor_ = look.backColor;
    foreColor_ = look.foreColor;
    backBrush_.Reset(CreateSolidBrush(TranslateColor(backColor_)));
    RECT r = PixelRect();
    CreateHandle({.className = className,
                  .style = ChildStyle() | style,
                  .exStyle = exStyle,
                  .x = r.left,
                  .y = r.top,
                  .width = r.right - r.left,
                  .height = r.bottom - r.top,
                  .parent = container.ContainerWindow(),
                  .text = text});
    Font(look.font ? look.font : container.ParentForm().Font()->Clone());
}

void StandardControl::Font(forms::Font::Ref f)
{
    font_ = f ? std::move(f) : forms::Font::New();
    ApplyFont();
    fontWatch_ = font_->OnChanged([this](const std::wstring&) { ApplyFont(); });
}

void StandardControl::ApplyFont()
{
    gdi::FontHandle h = font_->CreateHandle();
    if (hWnd())
        SendMessageW(hWnd(), WM_SETFONT, reinterpret_cast<WPARAM>(h.Get()), TRUE);
    fontHandle_ = std::move(h);  // the window uses the new one now
}

void StandardControl::BackColor(OleColor c)
{
    backColor_ = c;
    backBrush_.Reset(CreateSolidBrush(TranslateColor(c)));
    if (hWnd())
        InvalidateRect(hWnd(), nullptr, TRUE);
}

void StandardControl::ForeColor(OleColor c)
{
    foreColor_ = c;
    if (hWnd())
        InvalidateRect(hWnd(), nullptr, TRUE);
}

std::wstring StandardControl::WindowText() const
{
    if (!hWnd())
        return {};
    int n = GetWindowTextLengthW(hWnd());
    std::wstring s(n, L'\0');
    GetWindowTextW(hWnd(), s.data(), n + 1);
    return s;
}

void StandardControl::WindowText(const std::wstring& text)
{
    if (hWnd())
        SetWindowTextW(hWnd(), text.c_str());
}

std::wstring StandardControl::AccessKeyOf(const std::wstring& caption)
{
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&')
            continue;
        if (caption[i + 1] != L'&')
            return std::wstring(1, static_cast<wchar_t>(std::towlower(caption[i + 1])));
        ++i;
    }
    return {};
}

std::optional<LRESULT> StandardControl::Reflect(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN: {
        HDC dc = reinterpret_cast<HDC>(wp);
        SetTextColor(dc, TranslateColor(foreColor_));
        SetBkColor(dc, TranslateColor(backColor_));
        return reinterpret_cast<LRESULT>(backBrush_.Get());
    }
    default:
        return std::nullopt;
    }
}

LRESULT StandardControl::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_KEYDOWN:
    case WM_KEYUP: {
        KeyArgs e{static_cast<int16_t>(wp), ShiftState()};
        (msg == WM_KEYDOWN ? KeyDown : KeyUp)(e);
        if (e.KeyCode == 0)
            return 0;
        return Control::WndProc(msg, static_cast<WPARAM>(static_cast<uint16_t>(e.KeyCode)), lp);
    }
    case WM_CHAR: {
        KeyPressArgs e{KeyAsciiFromChar(static_cast<wchar_t>(wp))};
        int16_t typed = e.KeyAscii;
        KeyPress(e);
        if (e.KeyAscii == 0 || !hWnd())
            return 0;
        WPARAM ch = e.KeyAscii == typed ? wp : static_cast<WPARAM>(CharFromKeyAscii(e.KeyAscii));
        return Control::WndProc(msg, ch, lp);
    }
    default:
        break;
    }
    if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL) {
        LRESULT r = Control::WndProc(msg, wp, lp);
        if (!hWnd())
            return r;
        POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        RECT client{};
        GetClientRect(hWnd(), &client);
        double ux = ParentContainer() ? 1.0 / ParentContainer()->PixelsPerUnitX() : 1.0;
        double uy = ParentContainer() ? 1.0 / ParentContainer()->PixelsPerUnitY() : 1.0;
        MouseArgs e{0, ShiftState(), static_cast<float>(pt.x * ux), static_cast<float>(pt.y * uy)};
        MouseSequence::Sinks sinks = Raisers();
        if (!ClicksFromMouse())
            sinks.click = nullptr;  // Click comes from the control's own notification
        mouse_.Feed(msg, wp, e, PtInRect(&client, pt) != 0, sinks);
        return r;
    }
    return Control::WndProc(msg, wp, lp);
}

}  // namespace quill::forms
