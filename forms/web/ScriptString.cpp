#include "forms/web/ScriptString.h"

#include "forms/web/HexDigit.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <utility>

namespace quill::web {

namespace {

// Characters a script string holds only after a backslash, and the letter
// written for them there. A tab is written as \u0009 but read either way.
constexpr std::pair<wchar_t, wchar_t> kEscapes[] = {
    {L'\\', L'\\'}, {L'\'', L'\''}, {L'"', L'"'}, {L'\n', L'n'}, {L'\r', L'r'}, {L'\t', L't'},
};
constexpr std::size_t kWrittenEscapes = 5;

// `digits` hexadecimal digits at `at`, or -1.
long Hex(std::wstring_view text, std::size_t at, int digits)
{
    if (at + static_cast<std::size_t>(digits) > text.size())
        return -1;
    long value = 0;
    for (int i = 0; i < digits; ++i) {
        const int d = HexDigit(text[at + static_cast<std::size_t>(i)]);
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
    const auto written = std::begin(kEscapes) + kWrittenEscapes;
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        const auto* escape =
            std::find_if(std::begin(kEscapes), written, [c](const auto& e) { return e.first == c; });
        if (escape != written) {
            out += L'\\';
            out += escape->second;
            continue;
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
        const auto* escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                          [e](const auto& pair) { return pair.second == e; });
        if (escape != std::end(kEscapes)) {
            out += escape->first;
        } else if (e == L'x' || e == L'u') {
            const int length = e == L'x' ? 2 : 4;
            const long v = Hex(text, i, length);
            if (v < 0)
                return std::nullopt;
            out += static_cast<wchar_t>(v);
            i += static_cast<std::size_t>(length);
        } else {
            out += e;
        }
    }
    return std::nullopt;
}

}  // namespace quill::web
