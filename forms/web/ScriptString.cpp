#include "forms/web/ScriptString.h"

#include <cstdint>

namespace quill::web {

namespace {

int HexValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// `digits` hexadecimal digits at `at`, or -1.
long Hex(std::wstring_view text, std::size_t at, int digits)
{
    if (at + static_cast<std::size_t>(digits) > text.size())
        return -1;
    long value = 0;
    for (int i = 0; i < digits; ++i) {
        const int d = HexValue(text[at + static_cast<std::size_t>(i)]);
        if (d < 0)
            return -1;
        value = value * 16 + d;
    }
    return value;
}

}  // namespace

std::wstring ScriptStringBody(std::wstring_view text)
{
    static constexpr wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        switch (c) {
        case L'\\':
            out += L"\\\\";
            continue;
        case L'\'':
            out += L"\\'";
            continue;
        case L'"':
            out += L"\\\"";
            continue;
        case L'\n':
            out += L"\\n";
            continue;
        case L'\r':
            out += L"\\r";
            continue;
        default:
            break;
        }
        if (c >= 0x20 && c < 0x7F && c != L'<' && c != L'>' && c != L'&') {
            out += c;
            continue;
        }
        auto unit = [&](unsigned code) {
            out += L"\\u";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += digits[(code >> shift) & 0xF];
        };
        const auto code = static_cast<std::uint32_t>(c);
        if (code > 0xFFFF && code <= 0x10FFFF) {  // where a wide character holds a whole code point
            unit(0xD800 + ((code - 0x10000) >> 10));
            unit(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            unit(code & 0xFFFF);
        }
    }
    return out;
}

std::optional<std::wstring> ReadScriptString(std::wstring_view text, std::size_t& pos)
{
    std::size_t i = pos;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t' || text[i] == L'\r' || text[i] == L'\n'))
        ++i;
    if (i >= text.size() || (text[i] != L'\'' && text[i] != L'"'))
        return std::nullopt;
    const wchar_t quote = text[i++];
    std::wstring out;
    while (i < text.size()) {
        const wchar_t c = text[i++];
        if (c == quote) {
            pos = i;
            return out;
        }
        if (c == L'\r' || c == L'\n')
            return std::nullopt;  // a script string cannot hold a raw line break
        if (c != L'\\') {
            out += c;
            continue;
        }
        if (i >= text.size())
            return std::nullopt;
        const wchar_t e = text[i++];
        switch (e) {
        case L'n':
            out += L'\n';
            break;
        case L'r':
            out += L'\r';
            break;
        case L't':
            out += L'\t';
            break;
        case L'x': {
            const long v = Hex(text, i, 2);
            if (v < 0)
                return std::nullopt;
            out += static_cast<wchar_t>(v);
            i += 2;
            break;
        }
        case L'u': {
            const long v = Hex(text, i, 4);
            if (v < 0)
                return std::nullopt;
            out += static_cast<wchar_t>(v);
            i += 4;
            break;
        }
        default:
            out += e;
        }
    }
    return std::nullopt;
}

}  // namespace quill::web
