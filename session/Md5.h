// The password digest: MD5 (RFC 1321) of the password's code-page bytes,
// written as hexadecimal text.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quill::session {

// The MD5 digest of bytes, as the four state words A, B, C, D each least
// significant byte first.
std::array<std::uint8_t, 16> Md5(std::string_view bytes);

// The bytes of a text that enter the digest: a character whose code-page
// value lies from 0 to 255 gives the low byte of its UTF-16 code (its ASCII
// code; for a character the code page lacks, not the "?" it counts as), every
// other character its lead and trail byte. So Chinese text gives its GBK bytes.
std::string DigestBytes(std::wstring_view text);

// The digest of a text as hexadecimal digits: length 32 gives all 32 (A B C
// D), any other length the middle 16 (B C); upper case on request.
std::wstring MD5Hex(std::wstring_view text, int length, bool upperCase);

}  // namespace quill::session
