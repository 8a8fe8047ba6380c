#include "forms/lang/Ansi.h"

#include "forms/lang/Cp936.h"
#include "forms/lang/Error.h"

namespace quill::forms {
namespace {

constexpr unsigned char kQuestionMark = '?';

bool IsLeadByte(unsigned char b)
{
    return b >= 0x81 && b <= 0xFE;
}
bool IsTrailByte(unsigned char b)
{
    return b >= 0x40 && b <= 0xFE && b != 0x7F;
}

// One or two code-page bytes of a character; 0 when the code page lacks it.
int EncodeCharacter(cp936::Converter& converter, wchar_t c, unsigned char bytes[2])
{
    // Where wchar_t is wider than 16 bits, anything beyond UTF-16 wraps to a
    // large value and has no code, like a surrogate.
    const unsigned long code = static_cast<unsigned long>(c);
    if (code < 0x80) {
        bytes[0] = static_cast<unsigned char>(code);
        return 1;
    }
    if (code > 0xFFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return converter.Encode(static_cast<char16_t>(code), bytes);
}

}  // namespace

std::string TextToAnsi(std::wstring_view text)
{
    cp936::Converter converter;
    std::string bytes;
    bytes.reserve(text.size());
    for (wchar_t c : text) {
        unsigned char b[2];
        const int n = EncodeCharacter(converter, c, b);
        if (n == 0)
            bytes += static_cast<char>(kQuestionMark);
        else
            bytes.append(reinterpret_cast<const char*>(b), static_cast<size_t>(n));
    }
    return bytes;
}

std::wstring AnsiToText(std::string_view bytes)
{
    cp936::Converter converter;
    std::wstring text;
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            text += static_cast<wchar_t>(b);
            continue;
        }
        char16_t unit = 0;
        if (IsLeadByte(b) && i + 1 < bytes.size() && IsTrailByte(static_cast<unsigned char>(bytes[i + 1])))
            unit = converter.Decode(b, static_cast<unsigned char>(bytes[++i]));
        else
            unit = converter.Decode(b, -1);
        text += unit != 0 ? static_cast<wchar_t>(unit) : L'?';
    }
    return text;
}

std::vector<std::int16_t> AnsiCodes(std::wstring_view text)
{
    cp936::Converter converter;
    std::vector<std::int16_t> codes;
    codes.reserve(text.size());
    for (wchar_t c : text) {
        unsigned char b[2];
        switch (EncodeCharacter(converter, c, b)) {
        case 1:
            codes.push_back(b[0]);
            break;
        case 2:
            codes.push_back(static_cast<std::int16_t>(static_cast<std::uint16_t>(b[0] << 8 | b[1])));
            break;
        default:
            codes.push_back(kQuestionMark);
            break;
        }
    }
    return codes;
}

std::int16_t AnsiCode(wchar_t character)
{
    return AnsiCodes(std::wstring_view(&character, 1))[0];
}

std::int16_t Asc(std::wstring_view text)
{
    if (text.empty())
        throw RuntimeError(kInvalidCall);
    return AnsiCode(text[0]);
}

std::wstring Chr(long code)
{
    if (code < -32768 || code > 65535)
        throw RuntimeError(kInvalidCall);
    const unsigned value = static_cast<unsigned>(code) & 0xFFFF;
    if (value < 0x80)
        return std::wstring(1, static_cast<wchar_t>(value));
    cp936::Converter converter;
    const unsigned char lead = static_cast<unsigned char>(value < 0x100 ? value : value >> 8);
    const unsigned char trail = static_cast<unsigned char>(value & 0xFF);
    char16_t unit = 0;
    if (value < 0x100)
        unit = converter.Decode(lead, -1);
    else if (IsLeadByte(lead) && IsTrailByte(trail))
        unit = converter.Decode(lead, trail);
    return std::wstring(1, unit != 0 ? static_cast<wchar_t>(unit) : L'?');
}

std::int16_t AscW(std::wstring_view text)
{
    if (text.empty())
        throw RuntimeError(kInvalidCall);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(text[0]));
}

std::wstring ChrW(long code)
{
    if (code < -32768 || code > 65535)
        throw RuntimeError(kInvalidCall);
    return std::wstring(1, static_cast<wchar_t>(static_cast<unsigned>(code) & 0xFFFF));
}

}  // namespace quill::forms
