#include "forms/WindowHook.h"

#include "forms/Trace.h"

#include <commctrl.h>

#include <algorithm>

namespace quill::forms {

namespace {

UINT FindQuery()
{
    static const UINT message = RegisterWindowMessageW(L"Quillmoor.WindowHook.Find");
    return message;
}

}  // namespace

// A hook destroyed inside its calls empties `hook` in every one of them, so
// that none touches it once HookProc has returned.
struct WindowHook::Call {
    explicit Call(WindowHook& running) : hook(&running), outer(running.call_) { running.call_ = this; }
    ~Call()
    {
        if (hook)
            hook->call_ = outer;
    }
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

    WindowHook* hook;
    Call* outer;
};

WindowHook::~WindowHook()
{
    for (Call* call = call_; call; call = call->outer)
        call->hook = nullptr;
    for (HWND window : windows_)
        RemoveWindowSubclass(window, Procedure, Id());
}

bool WindowHook::Hook(HWND window)
{
    if (SetWindowSubclass(window, Procedure, Id(), reinterpret_cast<DWORD_PTR>(this)) == FALSE)
        return false;
    if (std::find(windows_.begin(), windows_.end(), window) == windows_.end())
        windows_.push_back(window);
    return true;
}

void WindowHook::Unhook(HWND window)
{
    if (std::find(windows_.begin(), windows_.end(), window) == windows_.end())
        return;
    RemoveWindowSubclass(window, Procedure, Id());
    Forget(window);
}

void WindowHook::PassOn(HWND window)
{
    if (std::find(windows_.begin(), windows_.end(), window) == windows_.end())
        return;
    SetWindowSubclass(window, Procedure, Id(), 0);
    Forget(window);
}

void WindowHook::Forget(HWND window)
{
    std::erase(windows_, window);
}

WindowHook* WindowHook::Find(HWND window, const void* key)
{
    if (!window || !key)
        return nullptr;
    return reinterpret_cast<WindowHook*>(SendMessageW(window, FindQuery(), reinterpret_cast<WPARAM>(key), 0));
}

LRESULT WindowHook::Next(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK WindowHook::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR data)
{
    auto* hook = reinterpret_cast<WindowHook*>(data);
    if (!hook)
        return DefSubclassProc(window, message, wParam, lParam);
    if (message == FindQuery() && hook->key_ && reinterpret_cast<WPARAM>(hook->key_) == wParam)
        return reinterpret_cast<LRESULT>(hook);
    if (trace::On())
        trace::Hooked(hook->name_, window, message, wParam, lParam);
    LRESULT result = 0;
    {
        const Call call(*hook);
        result = hook->HookProc(window, message, wParam, lParam);
        if (!call.hook)
            return result;
    }
    // The window's last message: the hook leaves it, so that nothing of the
    // window stays in the hook for a handle the system may give again.
    if (message == WM_NCDESTROY)
        hook->Unhook(window);
    return result;
}

}  // namespace quill::forms
