// The window procedure of every skinned window: each message of interest goes
// to one handler, which mostly lets the control paint and then draws the skin
// over it; push buttons are painted entirely by the skin, with a cross-fade
// between their state images.
#pragma once

#include <windows.h>

#include <cstdint>

namespace quill::skinning {

struct SkinSubclassData;

// Run by the window's skin hook (SkinSubclassData); forwarding goes to the
// procedures below it, so a window whose skin is gone answers through its own
// class.
LRESULT SkinWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, const SkinSubclassData* data);

// The push button's 15 ms fade timer (identifier 1), noted in TIMERID.
std::int32_t StartFadeTimer(HWND hWnd);
std::int32_t StopFadeTimer(HWND hWnd);

// Child-enumeration callback: redraws a skinned check box or option button.
BOOL CALLBACK RefreshSiblingButtons(HWND hWnd, LPARAM lParam);

// The low and high 16 bits as signed numbers (mouse coordinates).
constexpr int LoWord(LPARAM value)
{
    return static_cast<std::int16_t>(value & 0xFFFF);
}
constexpr int HiWord(LPARAM value)
{
    return static_cast<std::int16_t>((value >> 16) & 0xFFFF);
}

}  // namespace quill::skinning
