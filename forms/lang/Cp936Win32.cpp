// Code page 936 through the system's own conversions.
#include "forms/lang/Cp936.h"

#include <windows.h>

namespace quill::forms::cp936 {

struct Converter::State {};

Converter::Converter() = default;
Converter::~Converter() = default;

int Converter::Encode(char16_t unit, unsigned char bytes[2])
{
    const wchar_t in = static_cast<wchar_t>(unit);
    char out[4];
    BOOL usedDefault = FALSE;
    // No best-fit replacements: a character the code page lacks is a "?".
    const int n =
        WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, &in, 1, out, sizeof out, nullptr, &usedDefault);
    if (usedDefault || n < 1 || n > 2)
        return 0;
    bytes[0] = static_cast<unsigned char>(out[0]);
    bytes[1] = static_cast<unsigned char>(out[1]);
    return n;
}

char16_t Converter::Decode(unsigned char lead, int trail)
{
    const char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    wchar_t out[2];
    if (trail >= 0)
        return MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, in, 2, out, 2) == 1 ? out[0] : 0;
    // Single bytes from 80: the system's default decoding (FF included), with
    // its "?" for a byte that is no character.
    if (MultiByteToWideChar(936, 0, in, 1, out, 2) != 1 || out[0] == L'?')
        return 0;
    return out[0];
}

}  // namespace quill::forms::cp936
