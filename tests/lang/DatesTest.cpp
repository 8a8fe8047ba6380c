// Date values, the date texts of the service and the system, and date arithmetic.
#include "forms/lang/Dates.h"
#include "forms/lang/Error.h"

#include "tests/support/ErrorNumber.h"

#include <gtest/gtest.h>

#include <string>

namespace quill::forms {
namespace {

using test::DateAt;
using test::ErrorOf;

void ExpectParts(double date, const DateParts& expected, const std::wstring& context)
{
    const DateParts p = SplitDate(date);
    EXPECT_EQ(p.year, expected.year) << context;
    EXPECT_EQ(p.month, expected.month) << context;
    EXPECT_EQ(p.day, expected.day) << context;
    EXPECT_EQ(p.hour, expected.hour) << context;
    EXPECT_EQ(p.minute, expected.minute) << context;
    EXPECT_EQ(p.second, expected.second) << context;
}

TEST(DateValue, CountsDaysFrom1899_12_30)
{
    EXPECT_DOUBLE_EQ(DateAt(1899, 12, 30), 0);
    EXPECT_DOUBLE_EQ(DateAt(2015, 1, 1), 42005);
    EXPECT_DOUBLE_EQ(DateAt(2016, 2, 29), 42429);
    EXPECT_NEAR(DateAt(2026, 12, 10, 13, 5, 9), 46366.54524305555, 1e-9);
    // Before day 0 the fraction still counts the time forwards.
    EXPECT_DOUBLE_EQ(DateAt(1899, 12, 29, 6), -1.25);
    ExpectParts(-1.25, {1899, 12, 29, 6, 0, 0}, L"-1.25");
    ExpectParts(DateAt(100, 1, 1), {100, 1, 1, 0, 0, 0}, L"first day");
    ExpectParts(DateAt(9999, 12, 31, 23, 59, 59), {9999, 12, 31, 23, 59, 59}, L"last second");
    EXPECT_EQ(Weekday(DateAt(2015, 1, 1)), 5);  // a Thursday
    EXPECT_EQ(Weekday(0), 7);
    EXPECT_EQ(Weekday(DateAt(2015, 1, 4)), 1);
}

TEST(DateValue, TimeRoundsToTheNearestSecond)
{
    ExpectParts(DateAt(2015, 1, 1) + 0.4 / 86400, {2015, 1, 1, 0, 0, 0}, L"0.4 s");
    ExpectParts(DateAt(2015, 1, 1) + 0.6 / 86400, {2015, 1, 1, 0, 0, 1}, L"0.6 s");
    ExpectParts(DateAt(2015, 1, 2) - 0.2 / 86400, {2015, 1, 2, 0, 0, 0}, L"just before midnight");
}

TEST(ReadDate, ReadsTheServiceAndChineseForms)
{
    const struct {
        const wchar_t* text;
        DateParts parts;
    } cases[] = {
        {L"2015-1-1 0:0:0", {2015, 1, 1, 0, 0, 0}},
        {L"2026-12-10 13:05:09", {2026, 12, 10, 13, 5, 9}},
        {L"2015-12-1", {2015, 12, 1}},
        {L"2015-12-3", {2015, 12, 3}},
        {L"2015/12/31", {2015, 12, 31}},
        {L"2015/12/31 9:05:07", {2015, 12, 31, 9, 5, 7}},
        {L"2015年12月", {2015, 12, 1}},
        {L"2015年12月1日", {2015, 12, 1}},
        {L"2016年1月1日", {2016, 1, 1}},
        {L"2015年03月", {2015, 3, 1}},
        {L"2015年12月1日 13:05:09", {2015, 12, 1, 13, 5, 9}},
        {L"  2015-12-3  ", {2015, 12, 3}},
        {L"2015-12", {2015, 12, 1}},
        {L"15-12-1", {2015, 12, 1}},
        {L"99-1-1", {1999, 1, 1}},
        {L"2016-2-29", {2016, 2, 29}},
        {L"2015-1-1 13:05", {2015, 1, 1, 13, 5, 0}},
        {L"13:05:09", {1899, 12, 30, 13, 5, 9}},
        {L"2015-01-01 00:00:00\r\n", {2015, 1, 1}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(IsDate(c.text)) << c.text;
        ExpectParts(ToDate(c.text), c.parts, c.text);
    }
}

TEST(ReadDate, TextThatIsNoDateIsTypeMismatch)
{
    for (const wchar_t* text : {L"",
                                L" ",
                                L"abc",
                                L"2015",
                                L"12-5",
                                L"2015-2-29",
                                L"2015-13-1",
                                L"2015-0-1",
                                L"2015-12-32",
                                L"2015-1-1 24:00:00",
                                L"2015-1-1 23:60",
                                L"2015-1-1x",
                                L"2015年13月",
                                L"2015年12月1",
                                L"2015年",
                                L"2015-1-1 0:0:0 extra",
                                L"2015.12.1",
                                L"0099-1-1",
                                L"20150-1-1",
                                L"2015-001-1",
                                L"2015-1-1 0:0:",
                                L"25:00",
                                L"2015-1-1 1:2:3:4",
                                L"err=2015-1-1"}) {
        EXPECT_FALSE(IsDate(text)) << text;
        EXPECT_EQ(ErrorOf([&] { ToDate(text); }), kTypeMismatch) << text;
    }
}

TEST(DateText, IsTheShortDateWithTheTimeWhenThereIsOne)
{
    const struct {
        double date;
        const wchar_t* text;
    } cases[] = {
        {DateAt(2015, 12, 3), L"2015/12/3"},
        {DateAt(2015, 12, 3, 9, 5, 7), L"2015/12/3 9:05:07"},
        {DateAt(2026, 12, 10, 13, 5, 9), L"2026/12/10 13:05:09"},
        {DateAt(1899, 12, 30, 13, 5, 9), L"13:05:09"},
        {0, L"0:00:00"},
        {DateAt(1899, 12, 29, 6), L"1899/12/29 6:00:00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DateText(c.date), c.text);
        EXPECT_DOUBLE_EQ(ToDate(DateText(c.date)), c.date) << c.text;
    }
}

TEST(DateSerial, CarriesMonthsAndDaysOutOfRange)
{
    const struct {
        int y, m, d;
        DateParts parts;
    } cases[] = {
        {2015, 13, 1, {2016, 1, 1}},  {2015, 0, 1, {2014, 12, 1}},       {2016, 3, 0, {2016, 2, 29}},
        {2015, -11, 1, {2014, 1, 1}}, {2015, 1, 32, {2015, 2, 1}},       {15, 1, 1, {2015, 1, 1}},
        {99, 12, 31, {1999, 12, 31}}, {2015, 12 + 12, 1, {2016, 12, 1}},
    };
    for (const auto& c : cases)
        ExpectParts(DateSerial(c.y, c.m, c.d), c.parts, std::to_wstring(c.y) + L"-" + std::to_wstring(c.m));
    EXPECT_EQ(ErrorOf([] { DateSerial(10000, 1, 1); }), kInvalidCall);
    EXPECT_EQ(ErrorOf([] { DateSerial(9999, 12, 32); }), kInvalidCall);
}

TEST(DateAdd, MonthsAndYearsKeepTheDayTheMonthHas)
{
    const struct {
        DateInterval interval;
        int count;
        double from;
        double to;
    } cases[] = {
        {DateInterval::Month, 1, DateAt(2015, 1, 31), DateAt(2015, 2, 28)},
        {DateInterval::Month, 1, DateAt(2016, 1, 31), DateAt(2016, 2, 29)},
        {DateInterval::Month, 12, DateAt(2016, 2, 29), DateAt(2017, 2, 28)},
        {DateInterval::Month, -1, DateAt(2016, 3, 31, 8), DateAt(2016, 2, 29, 8)},
        {DateInterval::Year, 1, DateAt(2016, 2, 29), DateAt(2017, 2, 28)},
        {DateInterval::Day, 10, DateAt(2015, 12, 25, 1, 2, 3), DateAt(2016, 1, 4, 1, 2, 3)},
        {DateInterval::Day, 1825, DateAt(2015, 1, 1), DateAt(2019, 12, 31)},
        {DateInterval::Second, 1, DateAt(2015, 12, 31, 23, 59, 59), DateAt(2016, 1, 1)},
        {DateInterval::Second, -1, DateAt(2016, 1, 1), DateAt(2015, 12, 31, 23, 59, 59)},
        {DateInterval::Day, 1, DateAt(1899, 12, 29, 6), DateAt(1899, 12, 30, 6)},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(DateAdd(c.interval, c.count, c.from), c.to) << DateText(c.from);
    EXPECT_EQ(ErrorOf([] { DateAdd(DateInterval::Year, 1, DateAt(9999, 6, 1)); }), kInvalidCall);
    EXPECT_EQ(ErrorOf([] { DateAdd(DateInterval::Day, -1, DateAt(100, 1, 1)); }), kInvalidCall);
}

TEST(DateDiff, CountsBoundariesCrossed)
{
    const struct {
        DateInterval interval;
        double from;
        double to;
        int expected;
    } cases[] = {
        {DateInterval::Day, DateAt(2015, 1, 1, 23), DateAt(2015, 1, 2, 1), 1},
        {DateInterval::Day, DateAt(2015, 1, 2, 1), DateAt(2015, 1, 1, 23), -1},
        {DateInterval::Day, DateAt(2015, 1, 1), DateAt(2015, 1, 1, 23, 59, 59), 0},
        {DateInterval::Month, DateAt(2015, 1, 31), DateAt(2015, 2, 1), 1},
        {DateInterval::Month, DateAt(2016, 3, 1), DateAt(2015, 12, 31), -3},
        {DateInterval::Year, DateAt(2015, 12, 31), DateAt(2016, 1, 1), 1},
        {DateInterval::Second, DateAt(2015, 1, 1), DateAt(2026, 12, 10, 13, 5, 9), 376837509},
        {DateInterval::Second, DateAt(2015, 1, 1), DateAt(2014, 12, 31, 23, 59, 59), -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DateDiff(c.interval, c.from, c.to), c.expected)
            << DateText(c.from) << " " << DateText(c.to);
    EXPECT_EQ(ErrorOf([] { DateDiff(DateInterval::Second, DateAt(100, 1, 1), DateAt(9999, 12, 31)); }),
              kOverflow);
}

}  // namespace
}  // namespace quill::forms
