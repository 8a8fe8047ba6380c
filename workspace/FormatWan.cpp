#include "workspace/FormatWan.h"

#include "forms/lang/Error.h"
#include "forms/lang/Numbers.h"

#include <cmath>

namespace quill::workspace {

namespace {

constexpr double kWan = 10000;
// 2^63: the integer parts that fit 64 bits lie from -2^63 up to below it.
constexpr double kBeyondInt64 = 9223372036854775808.0;

}  // namespace

std::wstring FormatWan(double amount)
{
    const double whole = std::trunc(amount);
    if (!(whole >= -kBeyondInt64 && whole < kBeyondInt64))
        throw forms::RuntimeError(forms::kOverflow);
    if (whole < kWan)
        return forms::NumberText(amount);

    // Rounding the whole amount, not its fraction alone, lets a fraction of
    // .995 or more carry into the integer digits instead of showing ".00".
    const std::wstring rounded = forms::Format(amount, L"0.00");
    const std::size_t point = rounded.find(L'.');
    const std::wstring digits = rounded.substr(0, point);
    if (digits.size() <= 4)
        throw forms::RuntimeError(forms::kOverflow);
    std::wstring text = digits.substr(0, digits.size() - 4) + L"," + digits.substr(digits.size() - 4);
    if (amount != whole && point != std::wstring::npos)
        text += rounded.substr(point);
    return text;
}

}  // namespace quill::workspace
