// The texts of a request on the wire: the form-encoded body and the decoded
// reply.
#pragma once

#include <string>
#include <string_view>

namespace quill::protocol {

// The body encoding of every request, character by character in code page
// 936: a double-byte character becomes "%" lead "%" trail in upper-case
// hexadecimal ("记账" is "%BC%C7%D5%CB"), a space "%20", a plus sign "%2B";
// every other ASCII character, "&", "=", "%", "#" and line breaks included,
// stays as it is. The result is plain ASCII: a single-byte code-page
// character from 80 hexadecimal is written as its byte in percent form
// ("€" is "%80"), and a character the code page lacks as "?". No length limit.
std::wstring UrlEncodeAnsi(std::wstring_view body);

// A field value as the user typed it, escaped so that it cannot split the
// body or start another field: "&", "=", "%", "+", "#" and control characters
// become percent-escaped bytes; everything else is left for UrlEncodeAnsi.
// Builders escape each value and keep their own "&" and "=":
//   L"username=" + EscapeFieldValue(account) + L"&password=" + digest ...
std::wstring EscapeFieldValue(std::wstring_view value);

// Reply bytes decoded in the named charset, as the decoding stream does;
// "GB2312" (every caller's, and "GBK" or "CP936") is code page 936. A charset
// the stream cannot decode gives "".
std::wstring BytesToText(std::string_view bytes, std::wstring_view charset);

}  // namespace quill::protocol
