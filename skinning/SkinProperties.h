// The skin's state of each window, kept in window properties (ANSI names,
// each value an integer stored as the property's handle).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace quill::skinning {

namespace prop {
// The window procedure in place when the skin came; present on every skinned
// window and only there.
constexpr char PROCADDR[] = "PROCADDR";
// Push buttons: the style before the skin changed it.
constexpr char OLDSTYLE[] = "OLDSTYLE";
constexpr char MOUSEFLAG[] = "MOUSEFLAG";  // 1 while a leave notice is asked for
constexpr char TIMERID[] = "TIMERID";      // the running fade timer, 0 for none
constexpr char OLDSTATE[] = "OLDSTATE";    // the visual state last drawn
constexpr char ALPHALEVEL[] = "ALPHALEVEL";
constexpr char HDINDEX[] = "HDINDEX";  // the header item held pressed, -1 none
constexpr char HMINDEX[] = "HMINDEX";  // the header item under the cursor, -1 none
}  // namespace prop

// "HDC0" to "HDC3": push button state image n's DC; "BMP0" to "BMP3": its
// bitmap.
std::string StateImageDcName(int state);
std::string StateImageBitmapName(int state);

std::intptr_t GetSkinValue(HWND hWnd, const char* name);
void SetSkinValue(HWND hWnd, const char* name, std::intptr_t value);
void RemoveSkinValue(HWND hWnd, const char* name);

}  // namespace quill::skinning
