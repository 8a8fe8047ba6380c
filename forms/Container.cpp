#include "forms/Container.h"

#include "forms/Control.h"

#include <windowsx.h>

namespace quill::forms {

Container::~Container()
{
    for (Control* c : controls_)
        c->container_ = nullptr;
}

void Container::UpdateChildrenShown()
{
    // Copied: a Show or Hide handler may load or unload controls.
    auto children = controls_;
    for (Control* c : children)
        c->UpdateShown();
}

std::vector<Control*>* Container::FindTabOrder()
{
    // A container that has already left its own container while unloading
    // keeps no place in any order.
    for (Container* c = this; c; c = c->OuterContainer())
        if (auto* own = c->OwnTabOrder())
            return own;
    return nullptr;
}

std::vector<Control*>& Container::TabOrder()
{
    return *FindTabOrder();
}

void Container::PaintWindowlessChildren(HDC dc)
{
    for (Control* c : controls_)
        if (c->Windowless() && c->EffectivelyVisible())
            c->PaintWindowless(dc);
}

Control* Container::WindowlessAt(POINT px) const
{
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        Control* c = *it;
        RECT r = c->PixelRect();
        if (c->Windowless() && c->EffectivelyVisible() && PtInRect(&r, px))
            return c;
    }
    return nullptr;
}

bool Container::RouteWindowlessMouse(UINT msg, WPARAM wp, LPARAM lp)
{
    POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    bool down = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN ||
                msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
    bool up = msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP;
    Control* target = mouseOwner_ ? mouseOwner_ : WindowlessAt(pt);
    if (!target || !target->Enabled())
        return false;
    if (down && !mouseOwner_) {
        mouseOwner_ = target;
        SetCapture(ContainerWindow());
    }
    target->WindowlessMouse(msg, wp, pt);
    if (up && !(wp & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && mouseOwner_) {
        mouseOwner_ = nullptr;
        if (GetCapture() == ContainerWindow())
            ReleaseCapture();
    }
    return true;
}

bool Container::SetWindowlessCursor()
{
    POINT pt;
    GetCursorPos(&pt);
    ScreenToClient(ContainerWindow(), &pt);
    Control* c = WindowlessAt(pt);
    HCURSOR cursor = c ? c->WindowlessCursor() : nullptr;
    if (!cursor)
        return false;
    SetCursor(cursor);
    return true;
}

}  // namespace quill::forms
