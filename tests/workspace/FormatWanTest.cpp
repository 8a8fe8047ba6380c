// Money text: one comma before the last four integer digits from 10000 on.
#include "workspace/FormatWan.h"

#include "forms/lang/Error.h"
#include "tests/support/ErrorNumber.h"

#include <gtest/gtest.h>

#include <limits>

namespace quill::workspace {
namespace {

TEST(FormatWan, Cases)
{
    const struct {
        double amount;
        const wchar_t* text;
    } cases[] = {
        {0, L"0"},
        {1234.5, L"1234.5"},
        {9999.99, L"9999.99"},
        // Below 10000 the amount keeps its ordinary form, fraction and all.
        {9999.996, L"9999.996"},
        {1025.5, L"1025.5"},
        {10000, L"1,0000"},
        {20000, L"2,0000"},
        {12345.57, L"1,2345.57"},
        {12345.5, L"1,2345.50"},
        {123456789, L"12345,6789"},
        {-20000, L"-20000"},
        {-12345.67, L"-12345.67"},
        // A fraction, however small, shows as two decimals.
        {20000.001, L"2,0000.00"},
        {12345.004, L"1,2345.00"},
        // Rounded before the split: the carry reaches the integer digits.
        {12345.996, L"1,2346.00"},
        {19999.995, L"2,0000.00"},
        {99999.999, L"10,0000.00"},
        // An exact half goes away from zero, as the display format rounds.
        {12345.125, L"1,2345.13"},
        // Beyond the 32-bit range the amount is still shown.
        {3000000000, L"300000,0000"},
        {2147483648.5, L"214748,3648.50"},
        {1e15, L"100000000000,0000"},
        // A negative amount whose integer part fits 64 bits keeps its ordinary form.
        {-9.2e18, L"-9.2E+18"},
        {-9223372036854775808.0, L"-9.22337203685478E+18"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatWan(c.amount), c.text) << c.amount;
}

TEST(FormatWan, AmountsBeyondSixtyFourBitsAreAnOverflow)
{
    constexpr double infinity = std::numeric_limits<double>::infinity();
    // Either sign: a negative amount that does not fit is no more a number to show.
    for (double amount : {9.3e18, 1e300, 1e308, infinity, std::numeric_limits<double>::quiet_NaN(), -9.3e18,
                          -9223372036854777856.0, -1e308, -infinity}) {
        EXPECT_EQ(test::ErrorOf([&] { FormatWan(amount); }), forms::kOverflow) << amount;
    }
}

}  // namespace
}  // namespace quill::workspace
