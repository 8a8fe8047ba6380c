#include "session/mMenuProc.h"

#include "session/frmMenu.h"

#include <commctrl.h>

namespace quill::session {
namespace {

constexpr UINT_PTR kSubclassId = 0x51AE;
constexpr UINT kUnloadMenu = WM_APP + 1;

LRESULT CALLBACK MenuWndProc(HWND hWnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR)
{
    if (msg == WM_NCACTIVATE && wp == 0 && MenuShown)
        PostMenuUnload(MenuWindow().Showing());
    return DefSubclassProc(hWnd, msg, wp, lp);
}

LRESULT CALLBACK CloserProc(HWND hWnd, UINT msg, WPARAM wp, LPARAM lp)
{
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
    SetWindowSubclass(hWnd, MenuWndProc, kSubclassId, 0);
}

void UnhookMenuWindow(HWND hWnd)
{
    RemoveWindowSubclass(hWnd, MenuWndProc, kSubclassId);
}

void PostMenuUnload(std::uint64_t showing)
{
    PostMessageW(Closer(), kUnloadMenu, static_cast<WPARAM>(showing), 0);
}

}  // namespace quill::session
