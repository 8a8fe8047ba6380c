#include "forms/UserControl.h"

#include "forms/Form.h"
#include "forms/Gdi.h"
#include "forms/Keyboard.h"
#include "forms/MouseSequence.h"

#include <windowsx.h>

#include <cwctype>

namespace quill::forms {

bool AmbientProperties::UserMode() const
{
    return !c_.ParentContainer() || !const_cast<UserControl&>(c_).ParentForm().DesignMode;
}

bool AmbientProperties::DisplayAsDefault() const
{
    return c_.Default();
}

std::wstring AmbientProperties::DisplayName() const
{
    return c_.Name();
}

Font::Ref AmbientProperties::Font() const
{
    if (!c_.ParentContainer())
        return Font::New();
    return const_cast<UserControl&>(c_).ParentForm().Font();
}

UserControl::UserControl()
{
    surface_.onDrawn = [this] {
        if (hWnd() && !painting_)
            InvalidateRect(hWnd(), nullptr, FALSE);
    };
}

UserControl::~UserControl() = default;

void UserControl::Create(Container& container, const ControlArgs& args, const PropertyBag* layout)
{
    Site(container, args);
    RECT r = PixelRect();
    CreateHandle({.style = ChildStyle() | WS_CLIPCHILDREN,
                  .x = r.left,
                  .y = r.top,
                  .width = r.right - r.left,
                  .height = r.bottom - r.top,
                  .parent = container.ContainerWindow()});
    RECT client{};
    GetClientRect(hWnd(), &client);
    surface_.Resize(client.right, client.bottom);
    surface_.Font(Ambient().Font()->Clone());
    if (layout) {
        PropertyBag bag = *layout;
        UserControl_ReadProperties(bag);
    } else {
        UserControl_InitProperties();
    }
    ready_ = true;
    UserControl_Resize();
    Sited();
}

void UserControl::SaveProperties(PropertyBag& bag)
{
    UserControl_WriteProperties(bag);
}

void UserControl::PropertyChanged(const std::wstring& propertyName)
{
    PropertyChangeReported(propertyName);
}

void UserControl::AmbientChanged(const std::wstring& propertyName)
{
    UserControl_AmbientChanged(propertyName);
}

void UserControl::Size(int width, int height)
{
    Move(Left(), Top(), width, height);
}

double UserControl::ContainerUnitsPerPixelX() const
{
    return ParentContainer() ? 1.0 / ParentContainer()->PixelsPerUnitX() : 1.0;
}

double UserControl::ContainerUnitsPerPixelY() const
{
    return ParentContainer() ? 1.0 / ParentContainer()->PixelsPerUnitY() : 1.0;
}

void UserControl::Refresh()
{
    if (hWnd())
        RedrawWindow(hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void UserControl::PaintContainerBehind()
{
    HWND parent = GetParent(hWnd());
    if (!parent)
        return;
    // The container draws in its own coordinates: shift them so that the
    // control's top left corner lands on the surface's.
    POINT origin{0, 0};
    MapWindowPoints(hWnd(), parent, &origin, 1);
    HDC dc = surface_.hDC();
    POINT old{};
    SetViewportOrgEx(dc, -origin.x, -origin.y, &old);
    // Our containers answer with their drawing and windowless controls.
    SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    SetViewportOrgEx(dc, old.x, old.y, nullptr);
    GdiFlush();
}

bool UserControl::HasFocusableChildren() const
{
    for (Control* c : tabOrder_)
        if (c->CanTakeFocus())
            return true;
    return false;
}

bool UserControl::CanTakeFocus() const
{
    return CanGetFocus && !HasFocusableChildren() && Control::CanTakeFocus();
}

std::wstring UserControl::AccessKeyChars() const
{
    std::wstring keys;
    for (wchar_t c : accessKeys_)
        keys += static_cast<wchar_t>(std::towlower(c));
    return keys;
}

void UserControl::AccessKeyPressed(wchar_t key)
{
    if (CanTakeFocus() && GetFocus() != hWnd())
        SetFocus();
    UserControl_AccessKeyPress(KeyAsciiFromChar(key));
}

void UserControl::ShownChanged(bool shown)
{
    if (shown)
        UserControl_Show();
    else
        UserControl_Hide();
}

void UserControl::Terminating()
{
    if (!terminated_) {
        terminated_ = true;
        UserControl_Terminate();
    }
    Control::Terminating();
}

bool UserControl::Mouse(UINT msg, WPARAM wp, LPARAM lp)
{
    POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    bool press = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN ||
                 msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
    if (press) {
        if (CanTakeFocus() && GetFocus() != hWnd())
            SetFocus();
        if (GetCapture() != hWnd()) {
            SetCapture(hWnd());
            autoCaptured_ = true;
        }
    }
    RECT client{};
    GetClientRect(hWnd(), &client);
    MouseArgs e{0, ShiftState(), static_cast<float>(pt.x), static_cast<float>(pt.y)};
    MouseSequence::Sinks s{
        .down = [this](MouseArgs& a) { UserControl_MouseDown(a); },
        .move = [this](MouseArgs& a) { UserControl_MouseMove(a); },
        .up =
            [this](MouseArgs& a) {
                // The capture this layer took ends with the last button.
                if (autoCaptured_ && !mouse_.Pressed()) {
                    autoCaptured_ = false;
                    if (GetCapture() == hWnd())
                        ReleaseCapture();
                }
                UserControl_MouseUp(a);
            },
        .click = [this] { UserControl_Click(); },
        .dblClick = [this] { UserControl_DblClick(); },
    };
    return mouse_.Feed(msg, wp, e, PtInRect(&client, pt) != 0, s);
}

bool UserControl::Key(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_KEYDOWN: {
        KeyArgs e{static_cast<int16_t>(wp), ShiftState()};
        UserControl_KeyDown(e);
        return true;
    }
    case WM_KEYUP: {
        KeyArgs e{static_cast<int16_t>(wp), ShiftState()};
        UserControl_KeyUp(e);
        return true;
    }
    case WM_CHAR: {
        KeyPressArgs e{KeyAsciiFromChar(static_cast<wchar_t>(wp))};
        UserControl_KeyPress(e);
        return true;
    }
    default:
        return false;
    }
}

LRESULT UserControl::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_SIZE:
        surface_.Resize(LOWORD(lp), HIWORD(lp));
        if (ready_)
            UserControl_Resize();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PRINTCLIENT:
        // A transparent child asks what lies behind it.
        GdiFlush();
        surface_.BlitTo(reinterpret_cast<HDC>(wp), {0, 0, surface_.ScaleWidth(), surface_.ScaleHeight()});
        PaintWindowlessChildren(reinterpret_cast<HDC>(wp));
        return 0;
    case WM_PAINT: {
        gdi::PaintDc dc(hWnd());
        painting_ = true;
        if (BackStyle == vbTransparent && !AutoRedraw)
            PaintContainerBehind();
        if (!AutoRedraw)
            UserControl_Paint();
        painting_ = false;
        surface_.BlitTo(dc, dc.Area());
        PaintWindowlessChildren(dc);
        return 0;
    }
    case WM_SETCURSOR:
        if (LOWORD(lp) == HTCLIENT) {
            if (SetWindowlessCursor())
                return TRUE;
            if (mousePointer_ == vbCustom && mouseIcon_) {
                SetCursor(static_cast<HCURSOR>(mouseIcon_->Handle()));
                return TRUE;
            }
            if (mousePointer_ != vbDefault) {
                const wchar_t* id = mousePointer_ == vbIbeam       ? IDC_IBEAM
                                    : mousePointer_ == vbSizeWE    ? IDC_SIZEWE
                                    : mousePointer_ == vbHourglass ? IDC_WAIT
                                                                   : IDC_ARROW;
                SetCursor(LoadCursorW(nullptr, id));
                return TRUE;
            }
        }
        break;
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    default:
        if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL) {
            if (RouteWindowlessMouse(msg, wp, lp) || Mouse(msg, wp, lp))
                return 0;
        }
        if (Key(msg, wp, lp))
            return 0;
        break;
    }
    return Control::WndProc(msg, wp, lp);
}

}  // namespace quill::forms
