#pragma once
// An icon drawn grey: copies of its bitmaps, the colour one greyed pixel by
// pixel, made into a new icon and drawn.
#include <windows.h>

namespace quill::button {

// Draws `icon` grey at (x, y), `width` wide and `height` high; false when
// nothing was drawn (no DC, no icon, an icon without a colour bitmap).
bool DrawIconGrey(HDC dc, HICON icon, int x, int y, int width, int height);

}  // namespace quill::button
