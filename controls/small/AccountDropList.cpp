#include "controls/small/AccountDropList.h"

#include "forms/Font.h"
#include "forms/Gdi.h"
#include "forms/Screen.h"

#include <windowsx.h>

namespace quill::small {

namespace {

constexpr forms::OleColor ListBack = 0xFFFFFF;
constexpr forms::OleColor ListFrame = 0xD1A04E;  // the box's frame colour
constexpr forms::OleColor HoverBack = 0xFFF4E4;  // the box's background colour
constexpr forms::OleColor EntryColor = 0x301C00;
// Entries start where the box's text does, so a picked name does not jump.
constexpr int TextLeft = 25;
constexpr int Frame = 1;

}  // namespace

AccountDropList::~AccountDropList()
{
    if (hWnd())
        DestroyHandle();
}

void AccountDropList::Move(HWND owner, int left, int top, int width, int height)
{
    const int x = forms::Screen::PixelsX(left), y = forms::Screen::PixelsY(top);
    const int w = forms::Screen::PixelsX(width), h = forms::Screen::PixelsY(height);
    if (!hWnd()) {
        CreateHandle({.style = WS_POPUP,
                      .exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE,
                      .x = x,
                      .y = y,
                      .width = w,
                      .height = h,
                      .parent = owner});
        surface_.Font(forms::Font::New(L"Verdana", 9));
    } else {
        SetWindowPos(hWnd(), nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    surface_.Resize(w, h);
    entries_.SetViewHeight(h - 2 * Frame);
}

void AccountDropList::ReDrawDrop()
{
    forms::Surface& g = surface_;
    g.BackColor(ListBack);
    const int w = g.ScaleWidth(), h = g.ScaleHeight();
    const int rows = entries_.VisibleRows();
    for (int row = 0; row < rows; ++row) {
        const std::size_t index = entries_.FirstShown() + static_cast<std::size_t>(row);
        if (index >= entries_.Count())
            break;
        const int top = Frame + row * AccountEntries::RowHeight;
        if (entries_.Hovered() == index)
            g.Line(Frame, top, w - 1 - Frame, top + AccountEntries::RowHeight - 1, HoverBack,
                   forms::Surface::Box::Filled);
        g.ForeColor(EntryColor);
        g.CurrentX = TextLeft;
        g.CurrentY = static_cast<float>(top + (AccountEntries::RowHeight - g.TextHeight(L"")) / 2);
        g.Print(entries_.At(index));
    }
    g.Line(0, 0, w - 1, h - 1, ListFrame, forms::Surface::Box::Border);
    if (hWnd())
        InvalidateRect(hWnd(), nullptr, FALSE);
}

void AccountDropList::Show()
{
    if (!hWnd())
        return;
    ShowWindow(hWnd(), SW_SHOWNOACTIVATE);
    SetCapture(hWnd());
}

void AccountDropList::Hide()
{
    if (!hWnd() || hiding_)
        return;
    hiding_ = true;
    entries_.Hover(std::nullopt);
    if (GetCapture() == hWnd())
        ReleaseCapture();
    ShowWindow(hWnd(), SW_HIDE);
    hiding_ = false;
}

bool AccountDropList::Visible() const
{
    return hWnd() && IsWindowVisible(hWnd());
}

void AccountDropList::Hover(int x, int y)
{
    RECT client{};
    GetClientRect(hWnd(), &client);
    const POINT pt{x, y};
    const auto entry = PtInRect(&client, pt) ? entries_.EntryAt(y - Frame) : std::nullopt;
    if (entries_.Hover(entry))
        ReDrawDrop();
}

LRESULT AccountDropList::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        forms::gdi::PaintDc dc(hWnd());
        surface_.BlitTo(dc, dc.Area());
        return 0;
    }
    case WM_MOUSEMOVE:
        Hover(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        RECT client{};
        GetClientRect(hWnd(), &client);
        const POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        if (!PtInRect(&client, pt))
            Hide();
        return 0;
    }
    case WM_LBUTTONUP: {
        const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
        RECT client{};
        GetClientRect(hWnd(), &client);
        const POINT pt{x, y};
        if (!PtInRect(&client, pt))
            return 0;
        if (const auto entry = entries_.EntryAt(y - Frame)) {
            Hide();
            Picked(*entry);
        }
        return 0;
    }
    case WM_MOUSEWHEEL:
        entries_.Scroll(GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA);
        ReDrawDrop();
        return 0;
    case WM_CAPTURECHANGED:
        // Another window took the mouse (a message box, the system): the list goes.
        if (reinterpret_cast<HWND>(lp) != hWnd())
            Hide();
        return 0;
    default:
        return Window::WndProc(msg, wp, lp);
    }
}

}  // namespace quill::small
