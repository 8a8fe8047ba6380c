#include "controls/button/AboutBox.h"

#include "controls/button/DcCanvas.h"
#include "controls/button/StyledButtonBase.h"
#include "forms/Gdi.h"

namespace quill::button {

AboutBox::AboutBox(StyledButtonBase& owner, HWND parent) : owner_(owner)
{
    CreateHandle({.style = WS_CHILD | WS_CLIPSIBLINGS, .width = kWidth, .height = kHeight, .parent = parent});
    surface_.Resize(kWidth, kHeight);
}

LRESULT AboutBox::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        Draw(pressed_);
        forms::gdi::PaintDc dc(hWnd());
        surface_.BlitTo(dc, dc.Area());
        return 0;
    }
    case WM_PRINTCLIENT: {
        Draw(pressed_);
        RECT all{0, 0, kWidth, kHeight};
        surface_.BlitTo(reinterpret_cast<HDC>(wp), all);
        return 0;
    }
    case WM_LBUTTONDOWN:
        pressed_ = true;
        SetCapture(hWnd());
        InvalidateRect(hWnd(), nullptr, FALSE);
        return 0;
    case WM_LBUTTONUP:
        // A click anywhere in the box closes it.
        pressed_ = false;
        if (GetCapture() == hWnd())
            ReleaseCapture();
        ShowWindow(hWnd(), SW_HIDE);
        return 0;
    default:
        return Window::WndProc(msg, wp, lp);
    }
}

void AboutBox::Text(const std::wstring& text, double points, bool underline, COLORREF colour, RECT r,
                    UINT format)
{
    auto font =
        forms::Font::New(owner_.Font() ? owner_.Font()->Name() : L"Verdana", points, false, false, underline);
    forms::gdi::FontHandle handle = font->CreateHandle();
    forms::gdi::Selection use(surface_.hDC(), handle);
    SetTextColor(surface_.hDC(), colour);
    SetBkMode(surface_.hDC(), TRANSPARENT);
    DrawTextW(surface_.hDC(), text.c_str(), -1, &r, format | DT_SINGLELINE | DT_VCENTER);
}

void AboutBox::Draw(bool pressed)
{
    HDC dc = surface_.hDC();
    surface_.Cls();
    Text(L"StyledButton", 18, false, GetSysColor(COLOR_BTNTEXT), {20, 10, 220, 40}, 0);
    Text(L"Version " + owner_.Version(), 10, false, GetSysColor(COLOR_BTNTEXT), {160, 70, 300, 20}, 0);

    DcCanvas canvas(dc, kWidth, kHeight, [this](Colour c) { surface_.BackColor(c); });
    const Colour face = GetSysColor(COLOR_BTNFACE);
    const Colour light = button::ShiftColor(face, 15), dark = button::ShiftColor(face, -15);
    button::PaintGradientV(canvas, pressed ? dark : light, pressed ? light : dark, 290, 80, 360, 26);
    const Colour shadow = GetSysColor(COLOR_BTNSHADOW);
    canvas.DrawLine(292, 80, 358, 80, shadow);
    canvas.DrawLine(292, 80, 290, 82, shadow);
    canvas.DrawLine(358, 80, 360, 82, shadow);
    canvas.DrawLine(290, 82, 290, 104, shadow);
    canvas.DrawLine(360, 82, 360, 106, shadow);
    canvas.DrawLine(290, 104, 292, 106, shadow);
    canvas.DrawLine(360, 104, 357, 107, shadow);
    canvas.DrawLine(292, 106, 358, 106, shadow);
    button::Pixels(canvas,
                   {{290, 80},
                    {291, 80},
                    {290, 81},
                    {360, 80},
                    {359, 80},
                    {360, 81},
                    {290, 106},
                    {291, 106},
                    {290, 105},
                    {360, 106},
                    {359, 106},
                    {360, 105}},
                   face);
    Text(L"Close", 8, true, 0xFF0000, {290, 80, 360, 106}, DT_CENTER);
}

HWND StyledButtonBase::AboutWindow() const
{
    return m_About ? m_About->Handle() : nullptr;
}

void StyledButtonBase::About()
{
    if (!m_About)
        m_About = std::make_unique<AboutBox>(*this, hWnd());
    HWND box = m_About->Handle();
    if (!box)
        return;
    ShowWindow(box, SW_SHOW);
    SetWindowLongPtrW(box, GWL_STYLE, savedAboutStyle_ + (WS_CAPTION | WS_THICKFRAME | WS_MINIMIZEBOX));
    SetWindowPos(box, HWND_TOPMOST, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(box, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
    SetWindowTextW(box, (L"About StyledButton " + Version()).c_str());
    SetWindowPos(box, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
    SetParent(box, nullptr);
}
}  // namespace quill::button
