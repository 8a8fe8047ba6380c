#include "protocol/RequestEncoding.h"

#include "forms/lang/Ansi.h"
#include "forms/lang/Text.h"

#include <cstdint>
#include <vector>

namespace quill::protocol {
namespace {

constexpr wchar_t kHexDigits[] = L"0123456789ABCDEF";

void AppendByte(std::wstring& out, unsigned byte)
{
    out += L'%';
    out += kHexDigits[(byte >> 4) & 0x0F];
    out += kHexDigits[byte & 0x0F];
}

}  // namespace

std::wstring UrlEncodeAnsi(std::wstring_view body)
{
    const std::vector<std::int16_t> codes = forms::AnsiCodes(body);
    std::wstring encoded;
    encoded.reserve(body.size() * 2);
    for (size_t k = 0; k < body.size(); ++k) {
        const wchar_t c = body[k];
        const unsigned value = static_cast<unsigned>(codes[k]) & 0xFFFF;
        if (value >= 0x100) {
            AppendByte(encoded, value >> 8);
            AppendByte(encoded, value & 0xFF);
        } else if (value >= 0x80) {
            AppendByte(encoded, value);
        } else if (c == L' ') {
            encoded += L"%20";
        } else if (c == L'+') {
            encoded += L"%2B";
        } else {
            // ASCII as it is; a character the code page lacks counts as "?".
            encoded += static_cast<wchar_t>(value);
        }
    }
    return encoded;
}

std::wstring EscapeFieldValue(std::wstring_view value)
{
    std::wstring escaped;
    escaped.reserve(value.size());
    for (wchar_t c : value) {
        const unsigned long code = static_cast<unsigned long>(c);
        if (code < 0x20 || code == 0x7F || c == L'&' || c == L'=' || c == L'%' || c == L'+' || c == L'#')
            AppendByte(escaped, static_cast<unsigned>(code));
        else
            escaped += c;
    }
    return escaped;
}

std::wstring BytesToText(std::string_view bytes, std::wstring_view charset)
{
    for (const wchar_t* name : {L"GB2312", L"GBK", L"CP936"}) {
        if (forms::TextEquals(charset, name))
            return forms::AnsiToText(bytes);
    }
    return std::wstring();
}

}  // namespace quill::protocol
