#include "session/mMenuProc.h"

#include "session/frmMenu.h"

#include "forms/Trace.h"
#include "forms/WindowHook.h"

namespace quill::session {
namespace {

constexpr UINT kUnloadMenu = WM_APP + 1;

class MenuHook : public forms::WindowHook {
public:
    MenuHook() : WindowHook("session::MenuWndProc") {}

protected:
    LRESULT HookProc(HWND hWnd, UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (msg == WM_NCACTIVATE && wp == 0 && MenuShown)
            PostMenuUnload(MenuWindow().Showing());
        return Next(hWnd, msg, wp, lp);
    }
};

MenuHook& MenuWndProc()
{
    static MenuHook hook;
    return hook;
}

LRESULT CALLBACK CloserProc(HWND hWnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (forms::trace::On())
        forms::trace::Procedure("QuillMenuCloser", hWnd, msg, wp, lp);
    if (msg == kUnloadMenu) {
        frmMenu& menu = MenuWindow();
        if (menu.IsLoaded() && menu.Showing() == static_cast<std::uint64_t>(wp))
            menu.UnloadMenu();
        return 0;
    }
    return DefWindowProcW(hWnd, msg, wp, lp);
}

// A message-only window of its own: the unload runs from its procedure, not
// from the menu's.
HWND Closer()
{
    static HWND closer = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = CloserProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QuillMenuCloser";
        RegisterClassW(&wc);
        return CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                               nullptr);
    }();
    return closer;
}

}  // namespace

void HookMenuWindow(HWND hWnd)
{
    Closer();
    MenuWndProc().Hook(hWnd);
}

void PostMenuUnload(std::uint64_t showing)
{
    PostMessageW(Closer(), kUnloadMenu, static_cast<WPARAM>(showing), 0);
}

}  // namespace quill::session
