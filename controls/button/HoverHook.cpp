#include "controls/button/StyledButtonBase.h"

#include "controls/button/PaintedStyles.h"
#include "forms/Lifetime.h"

#include <commctrl.h>

namespace quill::button {

// ---------------------------------------------------------------------------
// The hook on the control's own window procedure

bool StyledButtonBase::IsFunctionExported(const char* function, const wchar_t* library)
{
    if (HMODULE loaded = GetModuleHandleW(library))
        return GetProcAddress(loaded, function) != nullptr;
    HMODULE module = LoadLibraryW(library);
    if (!module)
        return false;
    const bool exported = GetProcAddress(module, function) != nullptr;
    FreeLibrary(module);
    return exported;
}

void StyledButtonBase::InstallHoverTracking()
{
    trackingAvailable_ = true;
    useUser32Tracking_ = IsFunctionExported("TrackMouseEvent", L"User32");
    if (!useUser32Tracking_ && !IsFunctionExported("_TrackMouseEvent", L"Comctl32"))
        trackingAvailable_ = false;
    if (!trackingAvailable_)
        return;
    if (AttachThunk(hWnd()) < 0)
        return;
    for (int32_t m : {WM_MOUSEMOVE, WM_MOUSELEAVE, WM_THEMECHANGED, WM_SYSCOLORCHANGE})
        AddThunkMessage(hWnd(), m, button::HookTable::After);
}

int StyledButtonBase::AttachThunk(HWND window)
{
    const auto key = reinterpret_cast<button::HookTable::Window>(window);
    if (!window || thunks_.Find(key))
        return window ? thunks_.FindThunkIndex(key, false) : -1;
    const int index = thunks_.AttachThunk(key);
    if (!thunkLink_->Hook(window)) {
        thunks_.DetachThunk(key);
        return -1;
    }
    return index;
}

void StyledButtonBase::AddThunkMessage(HWND window, int32_t message, int which)
{
    thunks_.AddThunkMessage(reinterpret_cast<button::HookTable::Window>(window), message, which);
}

void StyledButtonBase::DetachThunk(HWND window)
{
    if (thunks_.DetachThunk(reinterpret_cast<button::HookTable::Window>(window)))
        thunkLink_->Unhook(window);
}

void StyledButtonBase::DetachAllThunks()
{
    for (button::HookTable::Window w : thunks_.WindowsFromTop())
        DetachThunk(reinterpret_cast<HWND>(w));
}

bool StyledButtonBase::Hooked() const
{
    return hWnd() && thunks_.Find(reinterpret_cast<button::HookTable::Window>(hWnd()));
}

LRESULT StyledButtonBase::ThunkLink::HookProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    // The control may end inside this call (a handler unloads its form): the
    // link stays, and the control is deleted only after the call returns.
    const std::shared_ptr<ThunkLink> link = shared_from_this();
    forms::HandlerScope running;
    const auto key = reinterpret_cast<button::HookTable::Window>(hwnd);
    LRESULT result = 0;
    bool handled = false;
    if (StyledButtonBase* b = link->owner; b && b->thunks_.CallsBefore(key, msg))
        b->HookProc(true, handled, result, hwnd, msg, wp, lp);
    if (!handled) {
        result = Next(hwnd, msg, wp, lp);
        if (StyledButtonBase* b = link->owner; b && b->thunks_.CallsAfter(key, msg))
            b->HookProc(false, handled, result, hwnd, msg, wp, lp);
    }
    // The link leaves the window by itself once this call returns.
    if (StyledButtonBase* b = link->owner; b && msg == WM_NCDESTROY) {
        b->thunks_.DetachThunk(key);
        b->toolTipWindow_ = nullptr;  // an owned window, gone with ours
    }
    return result;
}

void StyledButtonBase::HookProc(bool before, bool& handled, LRESULT& returnValue, HWND window, UINT message,
                                WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEMOVE:
        if (hover_)
            break;
        hover_ = true;
        // Without a leave notification to come the button would stay hot:
        // it goes hot only once the system has taken the request.
        if (!TrackMouseLeave(window)) {
            hover_ = false;
            break;
        }
        state_ = StateHot;
        Refresh();
        MouseEnter();
        CreateToolTip();
        break;
    case WM_MOUSELEAVE:
        hover_ = false;
        state_ = StateNormal;
        DestroyToolTip();
        Refresh();
        MouseLeave();
        break;
    case WM_THEMECHANGED:
    case WM_SYSCOLORCHANGE:
        Refresh();
        break;
    default:
        break;
    }
}

bool StyledButtonBase::TrackMouseLeave(HWND window)
{
    if (!trackingAvailable_)
        return false;
    TRACKMOUSEEVENT request{sizeof(TRACKMOUSEEVENT), TME_LEAVE, window, 0};
    return (useUser32Tracking_ ? ::TrackMouseEvent(&request) : ::_TrackMouseEvent(&request)) != FALSE;
}

}  // namespace quill::button
