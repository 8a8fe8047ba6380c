// The value of one hexadecimal digit, as the chart texts' colours and
// references and the script strings' escapes read them.
#pragma once

namespace quill::web {

// 0 to 15, or -1 for a character that is no hexadecimal digit.
constexpr int HexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

}  // namespace quill::web
