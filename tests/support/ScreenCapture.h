#pragma once
// What the screen shows, read back as pixels or saved as a PNG file for
// review by eye.
#include "forms/UserControl.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quill::test {

// A window's client area, or the whole window with its frame, in screen
// coordinates.
RECT ClientAreaOnScreen(HWND window);
RECT WindowAreaOnScreen(HWND window);

// What the screen shows at a point of a window's client area, as a colour
// value (red in the low byte); CLR_INVALID outside what is visible.
COLORREF WindowPixel(HWND window, int x, int y);

// Where the screen does not show a control's own drawing inside its window
// region (child windows left out), as text naming the first such pixel;
// empty when it shows it all.
std::string ScreenMismatch(const forms::UserControl& control);

// The screen pixels of `area` (screen coordinates), row by row from the top,
// as colour values (red in the low byte); empty on failure.
std::vector<uint32_t> ScreenPixels(const RECT& area);

// The same written to a PNG file; false on failure.
bool SaveScreenPng(const RECT& area, const std::wstring& path);
bool SaveClientAreaPng(HWND window, const std::wstring& path);

// A file in the build's folder of pictures (screens/ in the build tree,
// made when missing). Tests write their pictures there, never into the
// source tree; tools/refresh-docs.sh copies the ones docs/ shows.
std::wstring ScreensPath(const std::wstring& name);

}  // namespace quill::test
