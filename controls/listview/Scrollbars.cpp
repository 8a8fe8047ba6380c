#include "controls/listview/Scrollbars.h"

#include <commctrl.h>

#include "forms/lang/Error.h"

namespace quill::listview {

namespace {

bool IsBar(int eBar)
{
    return eBar == SB_HORZ || eBar == SB_VERT;
}

size_t BarIndex(int eBar)
{
    if (!IsBar(eBar))
        throw forms::RuntimeError(forms::kSubscriptOutOfRange);
    return static_cast<size_t>(eBar);
}

}  // namespace

bool Scrollbars::Visible(int eBar) const
{
    return Visible_[BarIndex(eBar)];
}

void Scrollbars::Visible(int eBar, bool value)
{
    Visible_[BarIndex(eBar)] = value;
    if (standardMode_)
        ShowScrollBar(hWnd_, eBar, value);
    else
        FlatSB_ShowScrollBar(hWnd_, eBar, value);
}

bool Scrollbars::Enabled(int eBar) const
{
    return Enabled_[BarIndex(eBar)];
}

void Scrollbars::Enabled(int eBar, bool value)
{
    Enabled_[BarIndex(eBar)] = value;
    const UINT arrows = value ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH;
    if (standardMode_)
        EnableScrollBar(hWnd_, eBar, arrows);
    else
        FlatSB_EnableScrollBar(hWnd_, eBar, arrows);
}

void Scrollbars::Orientation(int32_t value)
{
    Orientation_ = value;
    ShowScrollBar(hWnd_, SB_HORZ, value == 0 || value == 2);
    ShowScrollBar(hWnd_, SB_VERT, value == 1 || value == 2);
}

void Scrollbars::Style(int32_t value)
{
    if (value != 0 && standardMode_)
        return;
    if (Orientation_ == 0 || Orientation_ == 2)
        FlatSB_SetScrollProp(hWnd_, WSB_PROP_HSTYLE, value, TRUE);
    if (Orientation_ == 1 || Orientation_ == 2)
        FlatSB_SetScrollProp(hWnd_, WSB_PROP_VSTYLE, value, TRUE);
    Style_ = value;
}

int32_t Scrollbars::SmallChange(int eBar) const
{
    return SmallChange_[BarIndex(eBar)];
}

void Scrollbars::SmallChange(int eBar, int32_t value)
{
    SmallChange_[BarIndex(eBar)] = value;
}

SCROLLINFO Scrollbars::GetInfo(int eBar, UINT mask) const
{
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = mask;
    if (standardMode_)
        GetScrollInfo(hWnd_, eBar, &info);
    else
        FlatSB_GetScrollInfo(hWnd_, eBar, &info);
    return info;
}

void Scrollbars::SetInfo(int eBar, SCROLLINFO& info)
{
    info.cbSize = sizeof(info);
    if (standardMode_)
        SetScrollInfo(hWnd_, eBar, &info, redrawBars_);
    else
        FlatSB_SetScrollInfo(hWnd_, eBar, &info, redrawBars_);
}

int32_t Scrollbars::Min(int eBar) const
{
    return GetInfo(eBar, SIF_RANGE).nMin;
}

int32_t Scrollbars::Max(int eBar) const
{
    const SCROLLINFO info = GetInfo(eBar, SIF_RANGE | SIF_PAGE);
    return info.nMax - static_cast<int32_t>(info.nPage);
}

int32_t Scrollbars::Value(int eBar) const
{
    return GetInfo(eBar, SIF_POS).nPos;
}

int32_t Scrollbars::LargeChange(int eBar) const
{
    return static_cast<int32_t>(GetInfo(eBar, SIF_PAGE).nPage);
}

// The bar keeps nMax = Max + LargeChange, so a new Min keeps the old Max.
void Scrollbars::Min(int eBar, int32_t value)
{
    SCROLLINFO info{};
    info.fMask = SIF_RANGE;
    info.nMin = value;
    info.nMax = Max(eBar) + LargeChange(eBar);
    SetInfo(eBar, info);
}

void Scrollbars::Max(int eBar, int32_t value)
{
    SCROLLINFO info{};
    info.fMask = SIF_RANGE;
    info.nMax = value + LargeChange(eBar);
    info.nMin = Min(eBar);
    SetInfo(eBar, info);
    // The platform may have moved the position into the new range.
    RaiseIfValueChanged(eBar, false);
}

void Scrollbars::Value(int eBar, int32_t value)
{
    if (value == Value(eBar))
        return;
    SCROLLINFO info{};
    info.fMask = SIF_POS;
    info.nPos = value;
    SetInfo(eBar, info);
    RaiseIfValueChanged(eBar, false);
}

// A new page keeps Max: the range grows or shrinks with it.
void Scrollbars::LargeChange(int eBar, int32_t value)
{
    SCROLLINFO info = GetInfo(eBar, SIF_ALL);
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMax = info.nMax - static_cast<int32_t>(info.nPage) + value;
    info.nPage = static_cast<UINT>(value);
    SetInfo(eBar, info);
}

void Scrollbars::Create(HWND hWndA)
{
    if (!hWndA || subclassed_)
        return;
    Detach();
    hWnd_ = hWndA;
    ChooseMode();
    Attach();
}

void Scrollbars::Terminate()
{
    Detach();
}

void Scrollbars::ChooseMode()
{
    const DWORD version = GetVersion();
    const int major = LOBYTE(LOWORD(version));
    const int minor = HIBYTE(LOWORD(version));
    if (major > 5 || (major == 5 && minor >= 1)) {
        standardMode_ = true;
        return;
    }
    using InitializeFlatSBFn = BOOL(WINAPI*)(HWND);
    const auto initializeFlatSB = reinterpret_cast<InitializeFlatSBFn>(
        GetProcAddress(GetModuleHandleW(L"comctl32"), "InitializeFlatSB"));
    if (!initializeFlatSB) {
        standardMode_ = true;
        return;
    }
    initializeFlatSB(hWnd_);
    standardMode_ = false;
    Style(Style_);
}

void Scrollbars::Attach()
{
    if (!subclasser_.Subclass(hWnd_, this, 0, true))
        return;
    subclassed_ = true;
    for (UINT message : {WM_HSCROLL, WM_VSCROLL, WM_MOUSEWHEEL, WM_NCLBUTTONDOWN, WM_NCRBUTTONDOWN})
        subclasser_.AddMsg(hWnd_, message, Subclasser::MSG_AFTER);
    UINT lines = 0;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    wheelLines_ = static_cast<int32_t>(lines) < 1 ? 3 : static_cast<int32_t>(lines);
}

void Scrollbars::Detach()
{
    if (!hWnd_)
        return;
    if (!standardMode_)
        UninitializeFlatSB(hWnd_);
    if (subclassed_) {
        subclasser_.UnSubclass(hWnd_);
        subclassed_ = false;
    }
    hWnd_ = nullptr;
}

void Scrollbars::RaiseIfValueChanged(int eBar, bool tracking)
{
    const size_t bar = BarIndex(eBar);
    if (Value(eBar) == lastValue_[bar])
        return;
    ScrollArgs args{eBar};
    if (tracking)
        Scroll(args);
    else
        Change(args);
    // A handler may have moved it.
    lastValue_[bar] = Value(eBar);
}

void Scrollbars::WndProc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND lng_hWnd, UINT uMsg,
                         WPARAM wParam, LPARAM lParam, LONG_PTR& lParamUser)
{
    switch (uMsg) {
    case WM_HSCROLL:
        OnScroll(SB_HORZ, LOWORD(wParam));
        break;
    case WM_VSCROLL:
        OnScroll(SB_VERT, LOWORD(wParam));
        break;
    case WM_MOUSEWHEEL:
        OnMouseWheel(wParam, bHandled, lReturn);
        break;
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN: {
        if (wParam != HTHSCROLL && wParam != HTVSCROLL)
            break;
        ScrollClickArgs args{wParam == HTHSCROLL ? SB_HORZ : SB_VERT, uMsg == WM_NCLBUTTONDOWN ? 1 : 2};
        ScrollClick(args);
        break;
    }
    }
}

void Scrollbars::OnScroll(int eBar, WORD code)
{
    switch (code) {
    case SB_LINEUP: {
        const int32_t v = Value(eBar) - SmallChange(eBar);
        Value(eBar, v < Min(eBar) ? Min(eBar) : v);
        break;
    }
    case SB_LINEDOWN: {
        const int32_t v = Value(eBar) + SmallChange(eBar);
        Value(eBar, v > Max(eBar) + 1 ? Max(eBar) + 1 : v);
        break;
    }
    case SB_PAGEUP:
        Value(eBar, Value(eBar) - LargeChange(eBar));
        break;
    case SB_PAGEDOWN:
        Value(eBar, Value(eBar) + LargeChange(eBar));
        break;
    case SB_THUMBTRACK:
        Value(eBar, GetInfo(eBar, SIF_TRACKPOS).nTrackPos);
        RaiseIfValueChanged(eBar, true);
        return;
    case SB_TOP:
        Value(eBar, Min(eBar));
        break;
    case SB_BOTTOM:
        Value(eBar, Max(eBar));
        break;
    case SB_ENDSCROLL:
        break;
    default:
        return;
    }
    RaiseIfValueChanged(eBar, false);
}

void Scrollbars::OnMouseWheel(WPARAM wParam, bool& bHandled, LRESULT& lReturn)
{
    const int delta = static_cast<short>(HIWORD(wParam));
    // A turn away from the user (positive delta) scrolls up.
    MouseWheelArgs args{SB_VERT, -delta / WHEEL_DELTA * SmallChange(SB_VERT) * wheelLines_};
    MouseWheel(args);
    // A handler may have named a bar that does not exist: nothing scrolls.
    if (args.lAmount == 0 || !IsBar(args.eBar) || !Visible(args.eBar) || !Enabled(args.eBar))
        return;
    Value(args.eBar, Value(args.eBar) + args.lAmount);
    lReturn = 1;
    bHandled = true;
}

}  // namespace quill::listview
