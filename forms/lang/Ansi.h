// Text and the system's ANSI code page, 936 (GBK) on a Chinese Windows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quill::forms {

// The code-page bytes of a text, one or two per character; a character the
// code page lacks (a surrogate included) becomes "?".
std::string TextToAnsi(std::wstring_view text);

// A text from code-page bytes. A lead byte with a valid trail byte makes one
// character; a lead byte without one becomes "?" and the byte after it is
// read on its own, so no ASCII byte is ever swallowed.
std::wstring AnsiToText(std::string_view bytes);

// The character's code in the code page as a signed 16-bit number: a byte
// value for a single-byte character, lead * 256 + trail for a double-byte one
// (negative, as every lead byte is 0x81 or more), 63 ("?") when the code page
// lacks the character.
std::int16_t AnsiCode(wchar_t character);
// AnsiCode of every character of a text.
std::vector<std::int16_t> AnsiCodes(std::wstring_view text);
// AnsiCode of the first character; an empty text raises 5.
std::int16_t Asc(std::wstring_view text);
// The character of a code-page code (-32768 to 65535, else raises 5).
std::wstring Chr(long code);

// The UTF-16 code of the first character as a signed 16-bit number; an
// empty text raises 5.
std::int16_t AscW(std::wstring_view text);
// The character of a UTF-16 code (-32768 to 65535, else raises 5).
std::wstring ChrW(long code);

}  // namespace quill::forms
