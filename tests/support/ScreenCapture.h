#pragma once
// What the screen shows, read back as pixels or saved as a PNG file for
// review by eye.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quill::test {

// A window's client area in screen coordinates.
RECT ClientAreaOnScreen(HWND window);

// The screen pixels of `area` (screen coordinates), row by row from the top,
// as colour values (red in the low byte); empty on failure.
std::vector<uint32_t> ScreenPixels(const RECT& area);

// The same written to a PNG file; false on failure.
bool SaveScreenPng(const RECT& area, const std::wstring& path);
bool SaveClientAreaPng(HWND window, const std::wstring& path);

}  // namespace quill::test
