#include "workspace/SpacePressWatch.h"

#include <commctrl.h>

namespace quill::workspace {

namespace {

constexpr UINT_PTR kSubclassId = 0x53504B57;  // "SPKW"
// Bit 30 of a key message: the key was already down (a repeat).
constexpr LPARAM kWasDown = LPARAM{1} << 30;

}  // namespace

SpacePressWatch::~SpacePressWatch()
{
    for (const auto& [button, state] : buttons_)
        RemoveWindowSubclass(button, Proc, kSubclassId);
}

void SpacePressWatch::Watch(HWND button)
{
    if (!button || buttons_.contains(button))
        return;
    if (SetWindowSubclass(button, Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        buttons_[button] = {};
}

bool SpacePressWatch::TakePress(HWND button)
{
    const auto found = buttons_.find(button);
    if (found == buttons_.end() || !found->second.down)
        return true;
    if (found->second.acted)
        return false;
    found->second.acted = true;
    return true;
}

LRESULT CALLBACK SpacePressWatch::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref)
{
    auto* watch = reinterpret_cast<SpacePressWatch*>(ref);
    switch (msg) {
    case WM_KEYDOWN:
        if (wp != VK_SPACE)
            break;
        if (!(lp & kWasDown))
            watch->buttons_[hwnd] = {true, false};
        else if (!watch->buttons_[hwnd].down)
            // Held since before the button had the focus (pressed on a
            // message box that has closed): no new press.
            watch->buttons_[hwnd] = {true, true};
        break;
    case WM_KEYUP:
        if (wp == VK_SPACE)
            watch->buttons_[hwnd].down = false;
        break;
    case WM_KILLFOCUS:
        // The key's release goes elsewhere: the press ends here.
        watch->buttons_[hwnd].down = false;
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, Proc, kSubclassId);
        watch->buttons_.erase(hwnd);
        break;
    default:
        break;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace quill::workspace
