#pragma once
// Key values as the platform's forms give them to handlers.
#include <windows.h>

#include <cstdint>

namespace quill::forms {

// vbShiftMask | vbCtrlMask | vbAltMask of the keys held now.
int16_t ShiftState();
// A typed character as its code in the ANSI code page: one byte, or the two
// bytes of a double-byte character as a signed 16-bit value; "?" (63) for a
// character the code page lacks.
int16_t KeyAsciiFromChar(wchar_t c);
wchar_t CharFromKeyAscii(int16_t keyAscii);

}  // namespace quill::forms
