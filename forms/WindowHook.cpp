#include "forms/WindowHook.h"

#include "forms/Trace.h"

#include <commctrl.h>

namespace quill::forms {

namespace {

UINT FindQuery()
{
    static const UINT message = RegisterWindowMessageW(L"Quillmoor.WindowHook.Find");
    return message;
}

}  // namespace

bool WindowHook::Hook(HWND window)
{
    return SetWindowSubclass(window, Procedure, Id(), reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

void WindowHook::Unhook(HWND window)
{
    RemoveWindowSubclass(window, Procedure, Id());
}

void WindowHook::PassOn(HWND window)
{
    SetWindowSubclass(window, Procedure, Id(), 0);
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
    return hook->HookProc(window, message, wParam, lParam);
}

}  // namespace quill::forms
