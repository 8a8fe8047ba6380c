// The pop-up calendar's figures: month lengths and the day cells they
// enable, the grid's places, the years offered, the arrows at the ends of
// their lists, the date text of a chosen day and where the panel opens.
#include "workspace/CalendarGrid.h"

#include "tests/support/ErrorNumber.h"

#include "forms/lang/Clock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quill::workspace {
namespace {

// Which of the 31 cells a month enables, as a row of '1' and '0'.
std::string EnabledCells(const wchar_t* year, const wchar_t* month)
{
    const int length = MonthLength(year, month).value();
    std::string cells;
    for (int i = 0; i < kDayCells; ++i)
        cells += DayCellEnabled(i, length) ? '1' : '0';
    return cells;
}

TEST(CalendarGrid, MonthLengthsAndTheCellsTheyEnable)
{
    const struct {
        const wchar_t* year;
        const wchar_t* month;
        int length;
    } cases[] = {
        {L"2016", L"2", 29},  // leap year
        {L"2015", L"2", 28},  //
        {L"2000", L"2", 29},  // divisible by 400
        {L"1900", L"2", 28},  // by 100 only
        {L"2015", L"1", 31}, {L"2015", L"4", 30}, {L"2015", L"6", 30}, {L"2015", L"12", 31},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MonthLength(c.year, c.month), c.length) << c.year << "-" << c.month;
    const std::string first27(27, '1');
    EXPECT_EQ(EnabledCells(L"2016", L"2"), first27 + "1100");
    EXPECT_EQ(EnabledCells(L"2015", L"2"), first27 + "1000");
    EXPECT_EQ(EnabledCells(L"2015", L"4"), first27 + "1110");
    EXPECT_EQ(EnabledCells(L"2015", L"1"), first27 + "1111");
    EXPECT_EQ(EnabledCells(L"2024", L"2"), first27 + "1100");
}

TEST(CalendarGrid, AnEmptyListTextLeavesTheCellsAlone)
{
    EXPECT_FALSE(MonthLength(L"", L"2"));
    EXPECT_FALSE(MonthLength(L"2016", L""));
    EXPECT_EQ(test::ErrorOf([] { MonthLength(L"2016", L"13"); }), 13);
}

TEST(CalendarGrid, FiveRowsOfSevenCells)
{
    const struct {
        int index;
        TwipRect rect;
    } cases[] = {
        {0, {180, 540, 270, 225}},    {1, {600, 540, 270, 225}},    {6, {2700, 540, 270, 225}},
        {7, {180, 990, 270, 225}},    {13, {2700, 990, 270, 225}},  {14, {180, 1440, 270, 225}},
        {21, {180, 1890, 270, 225}},  {27, {2700, 1890, 270, 225}}, {28, {180, 2295, 270, 225}},
        {30, {1020, 2295, 270, 225}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DayCellRect(c.index), c.rect) << c.index;
    // Every cell lies inside the panel and above the two buttons' row or
    // left of them.
    for (int i = 0; i < kDayCells; ++i) {
        const TwipRect cell = DayCellRect(i);
        EXPECT_LE(cell.left + cell.width, kCalendarWidth) << i;
        EXPECT_LE(cell.top + cell.height, kCalendarHeight) << i;
        EXPECT_TRUE(cell.top + cell.height <= 2205 || cell.left + cell.width <= 1440) << i;
    }
}

TEST(CalendarGrid, ControlsOfThePanel)
{
    const std::vector<CalendarControl>& controls = CalendarControls();
    ASSERT_EQ(controls.size(), 8u);
    EXPECT_EQ(std::wstring(controls[0].caption), L"<<");
    EXPECT_EQ(controls[0].rect, (TwipRect{90, 180, 180, 180}));
    EXPECT_EQ(std::wstring(controls[5].caption), L">>");
    EXPECT_EQ(controls[5].index, 3);
    EXPECT_EQ(std::wstring(controls[6].caption), L"今天");
    EXPECT_EQ(controls[7].rect, (TwipRect{2295, 2205, 735, 345}));
}

TEST(CalendarGrid, SevenYearsAroundThisOneAndTwelveMonths)
{
    const forms::ClockOverride clock(test::DateAt(2016, 2, 29, 12, 0, 0));
    EXPECT_EQ(CalendarYears(forms::Today()),
              (std::vector<std::wstring>{L"2013", L"2014", L"2015", L"2016", L"2017", L"2018", L"2019"}));
    EXPECT_EQ(CalendarYears(forms::Today())[kThisYearIndex], L"2016");
    const std::vector<std::wstring> months = CalendarMonths();
    ASSERT_EQ(months.size(), 12u);
    EXPECT_EQ(months.front(), L"1");
    EXPECT_EQ(months.back(), L"12");
}

TEST(CalendarGrid, ArrowsStopAtTheEndsOfTheirLists)
{
    using A = CalendarArrow;
    const struct {
        A arrow;
        int year, month;
        bool yearList;
        int index;
    } cases[] = {
        {A::PreviousMonth, 3, 0, false, 0},   {A::PreviousMonth, 3, 5, false, 4},
        {A::NextMonth, 3, 11, false, 11},     {A::NextMonth, 3, 5, false, 6},
        {A::PreviousYear, 0, 5, true, 0},     {A::PreviousYear, 3, 5, true, 2},
        {A::NextYear, 6, 5, true, 6},         {A::NextYear, 3, 5, true, 4},
        {A::PreviousMonth, 3, -1, false, -1}, {A::NextMonth, 3, -1, false, 0},
    };
    for (const auto& c : cases) {
        const ArrowStep step = StepArrow(c.arrow, c.year, 7, c.month, 12);
        EXPECT_EQ(step.yearList, c.yearList) << static_cast<int>(c.arrow);
        EXPECT_EQ(step.index, c.index) << static_cast<int>(c.arrow) << " " << c.year << " " << c.month;
    }
}

TEST(CalendarGrid, DateTextOfAChosenDayHasNoPadding)
{
    EXPECT_EQ(ChosenDateText(L"2015", L"12", 2), L"2015-12-3");
    EXPECT_EQ(ChosenDateText(L"2016", L"1", 14), L"2016-1-15");
    EXPECT_EQ(ChosenDateText(L"2016", L"2", 28), L"2016-2-29");
}

TEST(CalendarGrid, ThePanelOpensUnderTheBox)
{
    EXPECT_EQ(CalendarOrigin({2212, 1710}, {1440, 1305, 1500, 315}), (TwipPoint{3652, 3330}));
    EXPECT_EQ(CalendarOrigin({0, 0}, {0, 0, 10, 0}), (TwipPoint{0, 0}));
}

}  // namespace
}  // namespace quill::workspace
