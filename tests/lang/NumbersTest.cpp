// Reading, converting and writing numbers.
#include "forms/lang/Error.h"
#include "forms/lang/Numbers.h"

#include "tests/support/ErrorNumber.h"

#include <gtest/gtest.h>

#include <string>

namespace quill::forms {
namespace {

using test::DateAt;
using test::ErrorOf;

TEST(StrictReading, AcceptsWholeNumbersInTheLocale)
{
    const struct {
        const wchar_t* text;
        double value;
    } cases[] = {
        {L"12", 12},    {L" 12 ", 12},    {L"-5", -5},
        {L"+5", 5},     {L"1.5", 1.5},    {L".5", 0.5},
        {L"5.", 5},     {L"1,000", 1000}, {L"1,234,567.5", 1234567.5},
        {L"1e3", 1000}, {L"1E-2", 0.01},  {L"2D2", 200},
        {L"0.0", 0},    {L"\t7\r\n", 7},  {L"1e-400", 0},
        {L"0012", 12},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(IsNumeric(c.text)) << c.text;
        EXPECT_DOUBLE_EQ(ToDouble(c.text), c.value) << c.text;
    }
}

TEST(StrictReading, RefusesAnythingElseWithTypeMismatch)
{
    for (const wchar_t* text :
         {L"", L" ", L"abc", L"12abc", L"1.2.3", L",100", L"100,", L"1,,0", L"1e", L"1e+", L"--5", L"- 5",
          L"0x10", L"&H10", L"\uFF11\uFF12", L"1 000", L"12%", L"\u00A512", L"."}) {
        EXPECT_FALSE(IsNumeric(text)) << text;
        EXPECT_EQ(ErrorOf([&] { ToDouble(text); }), kTypeMismatch) << text;
    }
}

TEST(StrictReading, BeyondTheDoubleRangeIsOverflow)
{
    EXPECT_EQ(ErrorOf([] { ToDouble(L"1e309"); }), kOverflow);
    EXPECT_EQ(ErrorOf([] { ToDouble(L"-1e400"); }), kOverflow);
    EXPECT_EQ(ErrorOf([] { ToDouble(L"1e99999999999999999999"); }), kOverflow);
    EXPECT_EQ(ErrorOf([] { ToDouble(std::wstring(400, L'9')); }), kOverflow);
    EXPECT_DOUBLE_EQ(ToDouble(L"0." + std::wstring(400, L'0') + L"1e400"), 0.1);
}

TEST(LenientReading, TakesTheLeadingDecimalNumber)
{
    const struct {
        const wchar_t* text;
        double value;
    } cases[] = {
        {L"12abc", 12},   {L"-5", -5},    {L"", 0},           {L"abc", 0},     {L"1e3", 1000},
        {L" 1 2 3", 123}, {L"1,000", 1},  {L"3.14.15", 3.14}, {L"-.5", -0.5},  {L"1e", 1},
        {L"1e+", 1},      {L"+7x", 7},    {L"\t\n42", 42},    {L"1 e 2", 100}, {L"12\r3", 12},
        {L"1.3", 1.3},    {L"1.10", 1.1}, {L"-", 0},          {L".", 0},       {L"&H10", 0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(Val(c.text), c.value) << c.text;
    EXPECT_EQ(ErrorOf([] { Val(L"1e400"); }), kOverflow);
}

TEST(WholeNumbers, RoundHalvesToEven)
{
    const struct {
        double value;
        int expected;
    } cases[] = {
        {2.5, 2}, {3.5, 4},    {-2.5, -2},  {-3.5, -4},       {0.5, 0},
        {1.5, 2}, {2.4999, 2}, {2.5001, 3}, {32767.4, 32767}, {-32768.5, -32768},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToInt16(c.value), c.expected) << c.value;
        EXPECT_EQ(ToInt32(c.value), c.expected) << c.value;
    }
    EXPECT_EQ(ToInt32(2147483646.5), 2147483646);
    EXPECT_EQ(ToInt32(-2147483648.5), -2147483647 - 1);
    EXPECT_EQ(ToInt32(L" 12.5 "), 12);
    EXPECT_EQ(ToInt16(L"-3.5"), -4);
}

TEST(WholeNumbers, OutsideTheTypeIsOverflow)
{
    for (double value : {32767.5, -32768.6, 32768.0, 1e10})
        EXPECT_EQ(ErrorOf([&] { ToInt16(value); }), kOverflow) << value;
    for (double value : {2147483647.5, -2147483648.6, 3000000000.0, 1e300})
        EXPECT_EQ(ErrorOf([&] { ToInt32(value); }), kOverflow) << value;
    EXPECT_EQ(ErrorOf([] { ToInt32(L"abc"); }), kTypeMismatch);
}

TEST(Rounding, ToDecimalPlacesHalvesToEven)
{
    EXPECT_DOUBLE_EQ(Round(2.5), 2);
    EXPECT_DOUBLE_EQ(Round(3.5), 4);
    EXPECT_DOUBLE_EQ(Round(-2.5), -2);
    EXPECT_DOUBLE_EQ(Round(0.125, 2), 0.12);
    EXPECT_DOUBLE_EQ(Round(0.375, 2), 0.38);
    EXPECT_DOUBLE_EQ(Round(33.333333, 2), 33.33);
    EXPECT_DOUBLE_EQ(Round(1e300, 10), 1e300);
    EXPECT_EQ(ErrorOf([] { Round(1, -1); }), kInvalidCall);
}

TEST(Division, ByZeroRaisesAsTheLanguageDoes)
{
    EXPECT_DOUBLE_EQ(Divide(1, 4), 0.25);
    EXPECT_EQ(ErrorOf([] { Divide(1, 0); }), kDivisionByZero);
    EXPECT_EQ(ErrorOf([] { Divide(0, 0); }), kOverflow);
    EXPECT_EQ(ErrorOf([] { Divide(1e308, 1e-10); }), kOverflow);
}

TEST(NumberText, FifteenSignificantDigitsWithoutGrouping)
{
    const struct {
        double value;
        const wchar_t* text;
    } cases[] = {
        {0, L"0"},
        {-0.0, L"0"},
        {1234.5, L"1234.5"},
        {-12345.67, L"-12345.67"},
        {0.1 + 0.2, L"0.3"},
        {1.0 / 3, L"0.333333333333333"},
        {100.0 / 3, L"33.3333333333333"},
        {1e15, L"1E+15"},
        {123456789012345, L"123456789012345"},
        {1e-5, L"1E-05"},
        {0.0001, L"0.0001"},
        {100, L"100"},
        {1025.5, L"1025.5"},
        {-20000, L"-20000"},
        {1.5e-7, L"1.5E-07"},
        {2147483648.0, L"2147483648"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NumberText(c.value), c.text) << c.value;
}

TEST(Format, PatternsRoundHalfAwayFromZero)
{
    const struct {
        double value;
        const wchar_t* pattern;
        const wchar_t* text;
    } cases[] = {
        {0.125, L"0.00", L"0.13"},
        {2.675, L"0.00", L"2.68"},
        {12.3, L"0.00", L"12.30"},
        {0, L"0.00", L"0.00"},
        {-0.001, L"0.00", L"-0.00"},
        {-1.005, L"0.00", L"-1.01"},
        {9.5, L"0.00", L"9.50"},
        {1234567.891, L"#,##0.00", L"1,234,567.89"},
        {999.995, L"#,##0.00", L"1,000.00"},
        {0.5, L"0", L"1"},
        {2.5, L"0", L"3"},
        {0.1234, L"0.00%", L"12.34%"},
        {5, L"0.0#", L"5.0"},
        {5.25, L"0.0#", L"5.25"},
        {123, L"#,##0", L"123"},
        {1234, L"#,##0", L"1,234"},
        {0.57, L"#.00", L".57"},
        {1e20, L"0", L"100000000000000000000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Format(c.value, c.pattern), c.text) << c.value << " " << c.pattern;
    EXPECT_EQ(ErrorOf([] { Format(1.0, L"yyyy-mm-dd"); }), kInvalidCall);
    EXPECT_EQ(ErrorOf([] { Format(1e308, L"0%"); }), kOverflow);
}

TEST(Format, TextThatIsNoNumberComesBackUnchanged)
{
    EXPECT_EQ(Format(L"9.5", L"0.00"), L"9.50");
    EXPECT_EQ(Format(L" 12.345 ", L"0.00"), L"12.35");
    EXPECT_EQ(Format(L"abc", L"0.00"), L"abc");
    EXPECT_EQ(Format(L"", L"0.00"), L"");
    EXPECT_EQ(Format(L"9.5%", L"0.00"), L"9.5%");
}

TEST(FormatNumber, GroupsAndRoundsToTheDefaultTwoDecimals)
{
    EXPECT_EQ(FormatNumber(0.569999999999709), L"0.57");
    EXPECT_EQ(FormatNumber(0.995), L"1.00");
    EXPECT_EQ(FormatNumber(0.004), L"0.00");
    EXPECT_EQ(FormatNumber(12345.5), L"12,345.50");
    EXPECT_EQ(FormatNumber(-1234.5, 0), L"-1,235");
}

}  // namespace
}  // namespace quill::forms
