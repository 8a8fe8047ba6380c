#include "forms/Control.h"

#include "forms/Container.h"
#include "forms/Form.h"
#include "forms/UserControl.h"

#include <algorithm>
#include <cmath>

namespace quill::forms {

namespace {

// The user controls around a control, outermost first; the control itself
// last when it is one.
std::vector<Control*> UserControlChain(Control* c)
{
    std::vector<Control*> chain;
    if (dynamic_cast<UserControl*>(c))
        chain.push_back(c);
    for (Container* k = c->ParentContainer(); k; k = k->OuterContainer())
        if (auto* uc = dynamic_cast<UserControl*>(k))
            chain.push_back(uc);
    std::reverse(chain.begin(), chain.end());
    return chain;
}

}  // namespace

Control::~Control()
{
    if (container_) {
        if (auto* order = container_->FindTabOrder())
            std::erase(*order, this);
        std::erase(container_->controls_, this);
        if (container_->mouseOwner_ == this)
            container_->mouseOwner_ = nullptr;
    }
}

void Control::Terminating()
{
    // Leave the container's lists while the container is surely still there.
    if (container_) {
        if (Windowless())
            InvalidateWindowless();
        std::erase(container_->controls_, this);
        if (auto* order = container_->FindTabOrder())
            std::erase(*order, this);
        if (container_->mouseOwner_ == this)
            container_->mouseOwner_ = nullptr;
        container_ = nullptr;
    }
}

Form& Control::ParentForm() const
{
    return container_->ParentForm();
}

void Control::Site(Container& container, const ControlArgs& a)
{
    container_ = &container;
    name_ = a.name;
    index_ = a.index;
    left_ = a.left;
    top_ = a.top;
    width_ = a.width;
    height_ = a.height;
    visible_ = a.visible;
    enabled_ = a.enabled;
    tabStop_ = a.tabStop;
    toolTipText_ = a.toolTipText;
    container.controls_.push_back(this);
    auto& order = container.TabOrder();
    if (a.tabIndex < 0 || a.tabIndex >= static_cast<int>(order.size()))
        order.push_back(this);
    else
        order.insert(order.begin() + a.tabIndex, this);
}

DWORD Control::ChildStyle() const
{
    return WS_CHILD | WS_CLIPSIBLINGS | (visible_ ? WS_VISIBLE : 0) | (enabled_ ? 0 : WS_DISABLED);
}

RECT Control::PixelRect() const
{
    if (!container_)
        return {};
    double sx = container_->PixelsPerUnitX(), sy = container_->PixelsPerUnitY();
    auto px = [](double v) { return static_cast<LONG>(std::nearbyint(v)); };
    LONG l = px(left_ * sx), t = px(top_ * sy);
    return {l, t, l + px(width_ * sx), t + px(height_ * sy)};
}

bool Control::EffectivelyVisible() const
{
    return visible_ && container_ && container_->ShowsChildren();
}

void Control::Sited()
{
    sited_ = true;
    if (!toolTipText_.empty() && hWnd())
        ParentForm().ToolTipChanged(*this);
    UpdateShown();
}

void Control::UpdateShown()
{
    if (!sited_)
        return;
    bool now = EffectivelyVisible();
    if (now != shown_) {
        shown_ = now;
        ShownChanged(now);
    }
    if (auto* c = dynamic_cast<Container*>(this))
        c->UpdateChildrenShown();
}

void Control::InvalidateWindowless() const
{
    if (!container_ || !container_->ContainerWindow())
        return;
    RECT r = PixelRect();
    InvalidateRect(container_->ContainerWindow(), &r, FALSE);
}

void Control::Visible(bool v)
{
    if (v == visible_)
        return;
    visible_ = v;
    if (Windowless())
        InvalidateWindowless();
    else if (hWnd())
        ShowWindow(hWnd(), v ? SW_SHOWNA : SW_HIDE);
    UpdateShown();
}

void Control::Move(int left, std::optional<int> top, std::optional<int> width, std::optional<int> height)
{
    if (Windowless())
        InvalidateWindowless();
    left_ = left;
    top_ = top.value_or(top_);
    width_ = width.value_or(width_);
    height_ = height.value_or(height_);
    ApplyPlacement();
}

void Control::ApplyPlacement()
{
    if (Windowless()) {
        InvalidateWindowless();
        return;
    }
    if (!hWnd())
        return;
    RECT r = PixelRect();
    // Synchronous: a control that resizes itself inside its Resize handler
    // gets the nested Resize the platform gives it.
    SetWindowPos(hWnd(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::ToolTipText(std::wstring v)
{
    toolTipText_ = std::move(v);
    if (container_)
        ParentForm().ToolTipChanged(*this);
}

void Control::Enabled(bool v)
{
    enabled_ = v;
    if (hWnd())
        EnableWindow(hWnd(), v);
    else if (Windowless())
        InvalidateWindowless();
}

void Control::Default(bool v)
{
    if (v == default_)
        return;
    default_ = v;
    DefaultChanged();
}

int Control::TabIndex() const
{
    if (!container_)
        return 0;
    auto& order = container_->TabOrder();
    return static_cast<int>(std::find(order.begin(), order.end(), this) - order.begin());
}

void Control::TabIndex(int position)
{
    if (!container_)
        return;
    auto& order = container_->TabOrder();
    std::erase(order, this);
    position = std::clamp(position, 0, static_cast<int>(order.size()));
    order.insert(order.begin() + position, this);
}

void Control::SetFocus()
{
    if (hWnd())
        ::SetFocus(hWnd());
}

void Control::ZOrder(int position)
{
    if (!container_)
        return;
    auto& list = container_->controls_;
    std::erase(list, this);
    if (position == 0)
        list.push_back(this);
    else
        list.insert(list.begin(), this);
    if (hWnd())
        SetWindowPos(hWnd(), position == 0 ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    else
        InvalidateWindowless();
}

bool Control::CanTakeFocus() const
{
    if (!hWnd() || !EffectivelyVisible() || !IsWindowVisible(hWnd()))
        return false;
    for (HWND h = hWnd(); h; h = GetParent(h))
        if (!IsWindowEnabled(h))
            return false;
    return true;
}

void Control::AccessKeyPressed(wchar_t)
{
    if (CanTakeFocus())
        SetFocus();
}

bool Control::ContainsWindow(HWND h) const
{
    return h && hWnd() && (h == hWnd() || IsChild(hWnd(), h));
}

void Control::FocusArrived(HWND previous)
{
    auto chain = UserControlChain(this);
    std::vector<Control*> entered;
    for (Control* uc : chain)
        if (!uc->ContainsWindow(previous))
            entered.push_back(uc);
    for (Control* uc : entered)
        uc->FocusEntered();
    OwnFocusGot();
    GotFocus();
    for (Control* uc : entered)
        if (uc != this)
            uc->GotFocus();
    if (container_)
        ParentForm().ControlFocused(chain.empty() ? this : chain.front());
}

void Control::FocusLeft(HWND next)
{
    auto chain = UserControlChain(this);
    OwnFocusLost();
    if (chain.empty() || chain.back() != this)
        LostFocus();
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        Control* uc = *it;
        if (uc->ContainsWindow(next))
            break;
        uc->FocusExited();
        uc->LostFocus();
    }
}

void Control::FocusChanged(bool arrived)
{
    if (arrived)
        FocusArrived(nullptr);
    else
        FocusLeft(GetFocus());
}

LRESULT Control::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_SETFOCUS: {
        LRESULT r = DefaultProc(msg, wp, lp);
        FocusArrived(reinterpret_cast<HWND>(wp));
        return r;
    }
    case WM_KILLFOCUS: {
        LRESULT r = DefaultProc(msg, wp, lp);
        FocusLeft(reinterpret_cast<HWND>(wp));
        return r;
    }
    default:
        return Window::WndProc(msg, wp, lp);
    }
}

void Control::HandleDestroyed() {}

}  // namespace quill::forms
