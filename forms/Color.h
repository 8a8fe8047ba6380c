#pragma once
// Colour values: red in the low byte; a value with the high bit set names a
// system colour and is translated before drawing.
#include <windows.h>

#include <cstdint>

namespace quill::forms {

using OleColor = uint32_t;

inline COLORREF TranslateColor(OleColor c)
{
    if (c & 0x80000000u)
        return GetSysColor(static_cast<int>(c & 0xFF));
    return c & 0xFFFFFF;
}

}  // namespace quill::forms
