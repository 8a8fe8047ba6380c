#include "workspace/SpacePressWatch.h"

namespace quill::workspace {

namespace {

// Bit 30 of a key message: the key was already down (a repeat).
constexpr LPARAM kWasDown = LPARAM{1} << 30;

}  // namespace

void SpacePressWatch::Watch(HWND button)
{
    if (!button || buttons_.contains(button))
        return;
    if (Hook(button))
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

LRESULT SpacePressWatch::HookProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_KEYDOWN:
        if (wp != VK_SPACE)
            break;
        if (!(lp & kWasDown))
            buttons_[hwnd] = {true, false};
        else if (!buttons_[hwnd].down)
            // Held since before the button had the focus (pressed on a
            // message box that has closed): no new press.
            buttons_[hwnd] = {true, true};
        break;
    case WM_KEYUP:
        if (wp == VK_SPACE)
            buttons_[hwnd].down = false;
        break;
    case WM_KILLFOCUS:
        // The key's release goes elsewhere: the press ends here.
        buttons_[hwnd].down = false;
        break;
    case WM_NCDESTROY:
        // The hook leaves the window by itself once this call returns.
        buttons_.erase(hwnd);
        break;
    default:
        break;
    }
    return Next(hwnd, msg, wp, lp);
}

}  // namespace quill::workspace
