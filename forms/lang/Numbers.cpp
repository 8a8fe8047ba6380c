#include "forms/lang/Numbers.h"

#include "forms/lang/Error.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace quill::forms {
namespace {

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}
bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}
bool IsExponentLetter(wchar_t c)
{
    return c == L'E' || c == L'e' || c == L'D' || c == L'd';
}

// A decimal number taken apart by one of the readers, ready for conversion.
struct DecimalText {
    bool negative = false;
    std::string integerDigits;
    std::string fractionDigits;
    long long exponent = 0;
};

// Exponents beyond this decide nothing more: every such value overflows or is 0.
constexpr long long kExponentLimit = 100000;

void AddExponentDigit(long long& exponent, wchar_t digit)
{
    if (exponent < kExponentLimit)
        exponent = exponent * 10 + (digit - L'0');
}

double ToBinary(const DecimalText& number)
{
    const size_t firstInteger = number.integerDigits.find_first_not_of('0');
    const size_t firstFraction = number.fractionDigits.find_first_not_of('0');
    if (firstInteger == std::string::npos && firstFraction == std::string::npos)
        return number.negative ? -0.0 : 0.0;

    std::string text = number.integerDigits.empty() ? "0" : number.integerDigits;
    if (!number.fractionDigits.empty()) {
        text += '.';
        text += number.fractionDigits;
    }
    text += 'e';
    text += std::to_string(number.exponent);

    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range || std::isinf(value)) {
        // The decimal place of the first significant digit tells which end was passed.
        const long long place = firstInteger != std::string::npos
                                    ? static_cast<long long>(number.integerDigits.size() - firstInteger)
                                    : -static_cast<long long>(firstFraction);
        if (place + number.exponent > 0)
            throw RuntimeError(kOverflow);
        value = 0;
    } else if (result.ec != std::errc()) {
        throw RuntimeError(kTypeMismatch);
    }
    return number.negative ? -value : value;
}

// The strict reader's grammar; false when the text is no number.
bool ParseStrict(std::wstring_view text, DecimalText& number)
{
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && IsBlank(text[i]))
        ++i;
    if (i < n && (text[i] == L'+' || text[i] == L'-'))
        number.negative = text[i++] == L'-';
    while (i < n) {
        if (IsDigit(text[i])) {
            number.integerDigits += static_cast<char>(text[i++]);
        } else if (text[i] == L',' && !number.integerDigits.empty() && i + 1 < n && IsDigit(text[i + 1])) {
            ++i;
        } else {
            break;
        }
    }
    if (i < n && text[i] == L'.') {
        ++i;
        while (i < n && IsDigit(text[i]))
            number.fractionDigits += static_cast<char>(text[i++]);
    }
    if (number.integerDigits.empty() && number.fractionDigits.empty())
        return false;
    if (i < n && IsExponentLetter(text[i])) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (text[i] == L'+' || text[i] == L'-'))
            negativeExponent = text[i++] == L'-';
        if (i >= n || !IsDigit(text[i]))
            return false;
        while (i < n && IsDigit(text[i]))
            AddExponentDigit(number.exponent, text[i++]);
        if (negativeExponent)
            number.exponent = -number.exponent;
    }
    while (i < n && IsBlank(text[i]))
        ++i;
    return i == n;
}

// Pattern of Format: see the header.
struct NumberPattern {
    bool grouping = false;
    int integerZeros = 0;
    int fixedDecimals = 0;
    int optionalDecimals = 0;
    bool percent = false;
};

NumberPattern ParsePattern(std::wstring_view pattern)
{
    NumberPattern p;
    size_t i = 0;
    const size_t n = pattern.size();
    while (i < n && (pattern[i] == L'#' || pattern[i] == L',')) {
        if (pattern[i] == L',')
            p.grouping = true;
        ++i;
    }
    while (i < n && pattern[i] == L'0')
        ++p.integerZeros, ++i;
    if (i < n && pattern[i] == L'.') {
        ++i;
        while (i < n && pattern[i] == L'0')
            ++p.fixedDecimals, ++i;
        while (i < n && pattern[i] == L'#')
            ++p.optionalDecimals, ++i;
    }
    if (i < n && pattern[i] == L'%')
        p.percent = true, ++i;
    if (i != n)
        throw RuntimeError(kInvalidCall);
    return p;
}

// `value` (>= 0) as decimal digits rounded at `decimals` places, a half away
// from zero, from its 15 significant digits. Returns the integer digits (maybe
// empty) and exactly `decimals` fraction digits.
void RoundedDigits(double value, int decimals, std::string& integerPart, std::string& fractionPart)
{
    integerPart.clear();
    fractionPart.assign(static_cast<size_t>(decimals), '0');
    if (value == 0)
        return;
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    const std::string scientific(buffer, result.ptr);
    const size_t e = scientific.find('e');
    std::string digits = scientific.substr(0, 1) + scientific.substr(2, e - 2);
    long long pointAfter = std::stoll(scientific.substr(e + 1)) + 1;  // digits before the point

    const long long keep = pointAfter + decimals;
    if (keep < 0)
        return;
    if (keep < static_cast<long long>(digits.size())) {
        const bool up = digits[static_cast<size_t>(keep)] >= '5';
        digits.resize(static_cast<size_t>(keep));
        if (up) {
            long long k = keep - 1;
            for (; k >= 0; --k) {
                if (digits[static_cast<size_t>(k)] != '9') {
                    ++digits[static_cast<size_t>(k)];
                    break;
                }
                digits[static_cast<size_t>(k)] = '0';
            }
            if (k < 0) {
                digits.insert(digits.begin(), '1');
                ++pointAfter;
            }
        }
    }
    // Place the digits around the point.
    for (long long k = 0; k < pointAfter; ++k)
        integerPart += k < static_cast<long long>(digits.size()) ? digits[static_cast<size_t>(k)] : '0';
    for (int k = 0; k < decimals; ++k) {
        const long long at = pointAfter + k;
        if (at >= 0 && at < static_cast<long long>(digits.size()))
            fractionPart[static_cast<size_t>(k)] = digits[static_cast<size_t>(at)];
    }
}

std::wstring Widen(const std::string& ascii)
{
    return std::wstring(ascii.begin(), ascii.end());
}

}  // namespace

double ToDouble(std::wstring_view text)
{
    DecimalText number;
    if (!ParseStrict(text, number))
        throw RuntimeError(kTypeMismatch);
    return ToBinary(number);
}

bool IsNumeric(std::wstring_view text)
{
    DecimalText number;
    return ParseStrict(text, number);
}

double Val(std::wstring_view text)
{
    DecimalText number;
    size_t i = 0;
    const size_t n = text.size();
    auto skipBlanks = [&] {
        while (i < n && (text[i] == L' ' || text[i] == L'\t' || text[i] == L'\n'))
            ++i;
    };
    skipBlanks();
    if (i < n && (text[i] == L'+' || text[i] == L'-')) {
        number.negative = text[i++] == L'-';
        skipBlanks();
    }
    for (; skipBlanks(), i < n && IsDigit(text[i]); ++i)
        number.integerDigits += static_cast<char>(text[i]);
    if (i < n && text[i] == L'.') {
        ++i;
        for (; skipBlanks(), i < n && IsDigit(text[i]); ++i)
            number.fractionDigits += static_cast<char>(text[i]);
    }
    if (number.integerDigits.empty() && number.fractionDigits.empty())
        return 0;
    if (i < n && IsExponentLetter(text[i])) {
        size_t j = i + 1;
        auto skip = [&] {
            while (j < n && (text[j] == L' ' || text[j] == L'\t' || text[j] == L'\n'))
                ++j;
        };
        skip();
        bool negativeExponent = false;
        if (j < n && (text[j] == L'+' || text[j] == L'-')) {
            negativeExponent = text[j++] == L'-';
            skip();
        }
        for (; skip(), j < n && IsDigit(text[j]); ++j)
            AddExponentDigit(number.exponent, text[j]);
        if (negativeExponent)
            number.exponent = -number.exponent;
    }
    return ToBinary(number);
}

std::int16_t ToInt16(double value)
{
    const double r = std::nearbyint(value);
    if (!(r >= -32768.0 && r <= 32767.0))
        throw RuntimeError(kOverflow);
    return static_cast<std::int16_t>(r);
}

std::int32_t ToInt32(double value)
{
    const double r = std::nearbyint(value);
    if (!(r >= -2147483648.0 && r <= 2147483647.0))
        throw RuntimeError(kOverflow);
    return static_cast<std::int32_t>(r);
}

std::int16_t ToInt16(std::wstring_view text)
{
    return ToInt16(ToDouble(text));
}
std::int32_t ToInt32(std::wstring_view text)
{
    return ToInt32(ToDouble(text));
}

double Round(double value, int places)
{
    if (places < 0)
        throw RuntimeError(kInvalidCall);
    if (places == 0)
        return std::nearbyint(value);
    const double scale = std::pow(10.0, places);
    const double scaled = value * scale;
    if (!std::isfinite(scaled))
        return value;
    return std::nearbyint(scaled) / scale;
}

double Divide(double dividend, double divisor)
{
    if (divisor == 0)
        throw RuntimeError(dividend == 0 ? kOverflow : kDivisionByZero);
    const double result = dividend / divisor;
    if (!std::isfinite(result))
        throw RuntimeError(kOverflow);
    return result;
}

std::wstring NumberText(double value)
{
    if (value == 0)
        return L"0";
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::wstring text(buffer, result.ptr);
    for (wchar_t& c : text)
        if (c == L'e')
            c = L'E';
    return text;
}

std::wstring Format(double value, std::wstring_view pattern)
{
    const NumberPattern p = ParsePattern(pattern);
    const bool negative = value < 0;
    const double magnitude = std::fabs(value) * (p.percent ? 100 : 1);
    if (!std::isfinite(magnitude))
        throw RuntimeError(kOverflow);

    std::string integerPart, fractionPart;
    RoundedDigits(magnitude, p.fixedDecimals + p.optionalDecimals, integerPart, fractionPart);
    while (fractionPart.size() > static_cast<size_t>(p.fixedDecimals) && fractionPart.back() == '0')
        fractionPart.pop_back();
    const size_t firstNonZero = integerPart.find_first_not_of('0');
    integerPart = firstNonZero == std::string::npos ? std::string() : integerPart.substr(firstNonZero);
    if (integerPart.size() < static_cast<size_t>(p.integerZeros))
        integerPart.insert(0, static_cast<size_t>(p.integerZeros) - integerPart.size(), '0');
    if (p.grouping) {
        for (size_t k = integerPart.size(); k > 3; k -= 3)
            integerPart.insert(k - 3, 1, ',');
    }

    std::wstring text = negative ? L"-" : L"";
    text += Widen(integerPart);
    if (!fractionPart.empty())
        text += L"." + Widen(fractionPart);
    if (p.percent)
        text += L"%";
    return text;
}

std::wstring Format(std::wstring_view text, std::wstring_view pattern)
{
    if (!IsNumeric(text))
        return std::wstring(text);
    return Format(ToDouble(text), pattern);
}

std::wstring FormatNumber(double value, int places)
{
    if (places < 0)
        throw RuntimeError(kInvalidCall);
    std::wstring pattern = L"#,##0";
    if (places > 0)
        pattern += L"." + std::wstring(static_cast<size_t>(places), L'0');
    return Format(value, pattern);
}

}  // namespace quill::forms
