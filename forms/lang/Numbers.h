// Numbers as the platform's language reads, converts and writes them, in the
// user's locale of a Chinese Windows (decimal point ".", digit grouping ",").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quill::forms {

// Strict reading: the whole text, blanks at either end aside, is a decimal
// number: optional sign, digits with optional grouping commas between them,
// optional fraction, optional exponent (E or D). Anything else raises 13 (type
// mismatch); a number beyond the double range raises 6 (overflow).
double ToDouble(std::wstring_view text);
bool IsNumeric(std::wstring_view text);

// Lenient reading: the text's leading decimal number, 0 when there is none.
// Blanks, tabs and line feeds anywhere are skipped; an exponent is read
// ("1e3" is 1000). Only a number beyond the double range raises 6.
double Val(std::wstring_view text);

// Conversions to whole numbers: the nearest one, halves to the even one;
// outside the type's range raises 6.
std::int16_t ToInt16(double value);
std::int32_t ToInt32(double value);
// The same after a strict reading of the text.
std::int16_t ToInt16(std::wstring_view text);
std::int32_t ToInt32(std::wstring_view text);

// `value` to `places` decimals, an exact half to the even neighbour
// (places < 0 raises 5).
double Round(double value, int places = 0);

// Division as the language does it: x / 0 raises 11 (division by zero),
// 0 / 0 and a result beyond the double range raise 6.
double Divide(double dividend, double divisor);

// The ordinary text of a number: at most 15 significant digits, no grouping,
// no trailing zeros, exponent form ("1E+15", "1E-05") where the digits would
// not fit.
std::wstring NumberText(double value);

// A number written with a format pattern, a half rounded away from zero.
// Patterns: an integer part of "0"s, optionally grouped ("#,##0"), an
// optional fraction of "0"s (always written) then "#"s (written when not 0),
// and an optional "%" (the value times 100). Other patterns raise 5.
std::wstring Format(double value, std::wstring_view pattern);
// A text formatted with a pattern: a number is read strictly and formatted;
// any other text comes back unchanged.
std::wstring Format(std::wstring_view text, std::wstring_view pattern);
// A number with digit grouping and `places` decimals, the regional default
// being 2.
std::wstring FormatNumber(double value, int places = 2);

}  // namespace quill::forms
