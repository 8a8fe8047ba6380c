#include "forms/ContainerControl.h"

#include "forms/Gdi.h"
#include "forms/Keyboard.h"
#include "forms/Screen.h"

#include <windowsx.h>

namespace quill::forms {

void ContainerControl::CreateContainerWindow(Container& container, const ControlArgs& args, DWORD exStyle,
                                             OleColor backColor)
{
    Site(container, args);
    backColor_ = backColor;
    RECT r = PixelRect();
    CreateHandle({.style = ChildStyle() | WS_CLIPCHILDREN,
                  .exStyle = exStyle,
                  .x = r.left,
                  .y = r.top,
                  .width = r.right - r.left,
                  .height = r.bottom - r.top,
                  .parent = container.ContainerWindow()});
}

double ContainerControl::PixelsPerUnitX() const
{
    return 1.0 / Screen::TwipsPerPixelX();
}
double ContainerControl::PixelsPerUnitY() const
{
    return 1.0 / Screen::TwipsPerPixelY();
}

void ContainerControl::BackColor(OleColor c)
{
    backColor_ = c;
    if (hWnd())
        InvalidateRect(hWnd(), nullptr, FALSE);
}

LRESULT ContainerControl::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        gdi::PaintDc dc(hWnd());
        RECT client{};
        GetClientRect(hWnd(), &client);
        PaintFace(dc, client);
        PaintWindowlessChildren(dc);
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT client{};
        GetClientRect(hWnd(), &client);
        PaintFace(reinterpret_cast<HDC>(wp), client);
        PaintWindowlessChildren(reinterpret_cast<HDC>(wp));
        return 0;
    }
    case WM_SIZE:
        Resized();
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lp) == HTCLIENT && reinterpret_cast<HWND>(wp) == hWnd() && SetWindowlessCursor())
            return TRUE;
        break;
    default:
        if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL) {
            if (RouteWindowlessMouse(msg, wp, lp))
                return 0;
            POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            RECT client{};
            GetClientRect(hWnd(), &client);
            MouseArgs e{0, ShiftState(), static_cast<float>(pt.x / PixelsPerUnitX()),
                        static_cast<float>(pt.y / PixelsPerUnitY())};
            mouse_.Feed(msg, wp, e, PtInRect(&client, pt) != 0, Raisers());
            return 0;
        }
        break;
    }
    return Control::WndProc(msg, wp, lp);
}

}  // namespace quill::forms
