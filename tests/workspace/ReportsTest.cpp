// The monthly and yearly income reports: the month window, the skipped
// months, the YearRow text and the pages' rows and charts.
#include "workspace/Reports.h"

#include "RecordingPageHost.h"
#include "tests/support/ErrorNumber.h"

#include "forms/lang/Clock.h"

#include <gtest/gtest.h>

namespace quill::workspace {
namespace {

using Texts = std::vector<std::wstring>;

std::vector<std::wstring> SetNames(const PageChart& chart)
{
    std::vector<std::wstring> names;
    for (const ChartSet& set : chart.sets)
        names.push_back(set.name);
    return names;
}

TEST(MonthWindow, TwelveMonthsEitherSideOfTodaysMonth)
{
    const struct {
        double today;
        const wchar_t* yearMonth;
        bool charted;
    } cases[] = {
        {test::DateAt(2015, 12, 20), L"201412", true},  {test::DateAt(2015, 12, 20), L"201612", true},
        {test::DateAt(2015, 12, 20), L"201411", false}, {test::DateAt(2015, 12, 20), L"201701", false},
        {test::DateAt(2015, 12, 1), L"201512", true},   {test::DateAt(2016, 1, 31), L"201501", true},
        {test::DateAt(2016, 1, 31), L"201412", false},  {test::DateAt(2016, 1, 31), L"20171", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChartMonthWindow(c.today).Holds(
                      protocol::MonthRow(std::wstring(c.yearMonth) + L":1:1:1:1").MonthStart()),
                  c.charted)
            << c.yearMonth;
}

TEST(MonthlyReportPage, TheWindowComesFromTheProgramClock)
{
    const forms::ClockOverride clock(test::DateAt(2015, 12, 10, 23, 59, 59));
    RecordingPageHost host;
    host.sections[protocol::AccountSnapshot::Monthly] =
        L"201411:1:5:0:0|201412:1:6:0:0|201612:1:7:0:0|201701:1:8:0:0|";
    ASSERT_EQ(BuildMonthlyPage(host), PageEnd::Completed);
    EXPECT_EQ(host.rows.size(), 4u);
    EXPECT_EQ(SetNames(host.charts[1].chart), (Texts{L"2014-12", L"2016-12"}));
}

TEST(MonthlyReportPage, OnlyAMonthWithNothingAtAllIsLeftOut)
{
    const forms::ClockOverride clock(test::DateAt(2015, 12, 10));
    RecordingPageHost host;
    host.sections[protocol::AccountSnapshot::Monthly] =
        L"201509:2:10:0:0|"     // interest held
        L"201510:0:0:0:0|"      // nothing: left out, its number skipped
        L"201511:0:0:5000:75|"  // repaid only: listed (and charted with 0)
        L"201512:1:0.5:0:0|";   // half a unit: listed, charted as 0
    ASSERT_EQ(BuildMonthlyPage(host), PageEnd::Completed);
    EXPECT_EQ(host.Column(0), (Texts{L"1", L"3", L"4"}));
    EXPECT_EQ(host.Column(1), (Texts{L"2015年09月  ", L"2015年11月  ", L"2015年12月  "}));
    EXPECT_EQ(host.rows[1].cells, (Texts{L"3", L"2015年11月  ", L"0项 ", L"5000", L"75", L"5075", L"0"}));
    const std::vector<ChartSet>& sets = host.charts[1].chart.sets;
    ASSERT_EQ(sets.size(), 3u);
    EXPECT_EQ(sets[1], (ChartSet{L"2015-11", L"0", L"000002"}));
    EXPECT_EQ(sets[2].value, L"0");
    EXPECT_EQ(host.chartItemCount, 4);
    EXPECT_EQ(host.caption, L"综合月度收益明细（双击项目查看月度回款项）");
    EXPECT_EQ(host.charts[1].chart.caption, L"综合月度收益报表");
}

TEST(MonthlyReportPage, TheRowTexts)
{
    const protocol::MonthRow row(L"201512:3:12345.678:20000:-5");
    Texts texts;
    for (int column = 0; column < kMonthRowColumns; ++column)
        texts.push_back(MonthRowText(row, column, 6));
    EXPECT_EQ(texts, (Texts{L"7", L"2015年12月  ", L"3项 ", L"2,0000", L"-5", L"1,9995", L"1,2345.68"}));
    EXPECT_EQ(MonthSet(row, L"C").value, L"12345");
    EXPECT_EQ(MonthSet(protocol::MonthRow(L"201512:3:-7.9:0:0"), L"C").value, L"-7");
}

TEST(MonthlyReportPage, AngleAndPlaceFollowTheNumberOfRows)
{
    const forms::ClockOverride clock(test::DateAt(2015, 12, 10));
    const struct {
        int rows;
        std::int32_t angle;
        ChartPlace place;
    } cases[] = {{0, 0, ChartPlace::Column},
                 {19, 0, ChartPlace::Column},
                 {20, -25, ChartPlace::WholeWindow},
                 {25, -25, ChartPlace::WholeWindow}};
    for (const auto& c : cases) {
        RecordingPageHost host;
        std::wstring section;
        for (int i = 0; i < c.rows; ++i)
            section += L"2015" + std::to_wstring(10 + i % 3) + L":1:" + std::to_wstring(i) + L":0:0|";
        host.sections[protocol::AccountSnapshot::Monthly] = section;
        ASSERT_EQ(BuildMonthlyPage(host), PageEnd::Completed);
        EXPECT_EQ(host.angle, c.angle) << c.rows;
        EXPECT_EQ(host.charts[1].place, c.place) << c.rows;
        EXPECT_EQ(host.chartItemCount, c.rows);
    }
}

TEST(MonthlyReportPage, BrokenRowsStopThePage)
{
    const forms::ClockOverride clock(test::DateAt(2015, 12, 10));
    const struct {
        const wchar_t* section;
        int error;
        size_t rows;
    } cases[] = {
        {L"201511:1:2:3|", 9, 1},                    // four items: its last column fails
        {L"201511:1:2:3:4|201599:1:2:3:4|", 13, 1},  // no such month
        {L"201:1:2:3:4|", 13, 0},                    // too short for a month
        {L"201511:1:2:x:4|", 13, 1},                 // repaid principal no number
        {L"201511:1:2x:3:4|", 13, 0},                // the chart reads the interest strictly
    };
    for (const auto& c : cases) {
        RecordingPageHost host;
        host.sections[protocol::AccountSnapshot::Monthly] = c.section;
        EXPECT_EQ(test::ErrorOf([&] { BuildMonthlyPage(host); }), c.error) << c.section;
        EXPECT_EQ(host.rows.size(), c.rows) << c.section;
    }
}

TEST(YearRows, OneLinePerRunOfOneYearSummedOnce)
{
    const struct {
        Texts months;
        const wchar_t* years;
    } cases[] = {
        // Rounded once: 10.4 three times is 31.2, not 10 + 10 + 10.
        {{L"201501:1:10.4:0:0", L"201502:1:10.4:0:0", L"201503:1:10.4:0:0"}, L"2015,3,10.4,31.2|"},
        {{L"201501:1:10.4:0:0", L"201601:1:10.4:0:0", L"201602:1:10.4:0:0"},
         L"2015,1,10.4,10.4|2016,2,10.4,20.8|"},
        {{L"201511:1:1:0:0", L"201601:1:2:0:0", L"201512:1:3:0:0"}, L"2015,1,1,1|2016,1,2,2|2015,1,3,3|"},
        {{L"201501:1:10:0:0", L"201502:1:0:0:0", L"201503:1:0.01:0:0"}, L"2015,3,3.34,10.01|"},
        // Every month reads the same way: a later year's first month too.
        {{L"201512:1:5:0:0", L"201601:1:7x:0:0"}, L"2015,1,5,5|2016,1,7,7|"},
        {{L"201512:1:0:0:0"}, L"2015,1,0,0|"},
        {{}, L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(YearRows(c.months), c.years) << c.years;
    EXPECT_EQ(test::ErrorOf([] { YearRows({L"201512:1"}); }), 9);
}

TEST(YearlyReportPage, RowsSetsAndTheirTexts)
{
    RecordingPageHost host;
    host.info = UserInfoWith({{3, L"50000"}, {5, L"1200"}, {6, L"80"}, {11, L"40"}});
    host.sections[protocol::AccountSnapshot::Monthly] =
        L"201410:1:10.4:0:0|201411:1:10.4:0:0|201412:1:10.4:0:0|"
        L"201501:0:0:0:0|"
        L"201601:2:123456:0:0|";
    ASSERT_EQ(BuildYearlyPage(host), PageEnd::Completed);
    ASSERT_EQ(host.rows.size(), 2u);
    EXPECT_EQ(host.rows[0].cells, (Texts{L"1", L"2014年 ", L"3个月  ", L"10.4 元 ", L"31.2 元 "}));
    // 2015 held nothing: no row, no set, and 2016 keeps its own number.
    EXPECT_EQ(host.rows[1].cells, (Texts{L"3", L"2016年 ", L"1个月  ", L"12,3456 元 ", L"12,3456 元 "}));
    const std::vector<ChartSet>& sets = host.charts[1].chart.sets;
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0], (ChartSet{L"2014", L"31.2", L"000001"}));
    EXPECT_EQ(sets[1].value, L"123456");
    EXPECT_EQ(host.charts[1].chart.caption, kYearlyChartCaption);
    EXPECT_EQ(host.charts[1].place, ChartPlace::Column);
    EXPECT_EQ(host.angle, 0);
    EXPECT_EQ(host.chartItemCount, -1);  // left alone
    EXPECT_EQ(host.caption, L"综合年度收益明细（双击项目查看年度回款项目）");
    const std::map<int, std::pair<std::wstring, std::wstring>> summary{{0, {L"当前投入本金：", L"5,0000"}},
                                                                       {1, {L"总待收利息：", L"1200"}},
                                                                       {2, {L"本月持有利息：", L"80"}},
                                                                       {3, {L"本月回款利息：", L"40"}}};
    EXPECT_EQ(host.summary, summary);
    EXPECT_EQ(host.shownKind, YearList);
}

TEST(YearlyReportPage, AnEmptySectionBuildsNoYear)
{
    RecordingPageHost host;
    ASSERT_EQ(BuildYearlyPage(host), PageEnd::Completed);
    EXPECT_TRUE(host.rows.empty());
    EXPECT_TRUE(host.charts[1].chart.sets.empty());
    EXPECT_EQ(host.tiles, 4);
}

TEST(ReportPages, ALogoutWhileMessagesRunStopsThePage)
{
    const forms::ClockOverride clock(test::DateAt(2015, 12, 10));
    for (bool yearly : {false, true}) {
        RecordingPageHost host;
        host.sections[protocol::AccountSnapshot::Monthly] = L"201410:1:1:0:0|201511:1:2:0:0|201612:1:3:0:0|";
        host.onDoEvents = [&] { return host.doEvents < 3; };
        EXPECT_EQ(yearly ? BuildYearlyPage(host) : BuildMonthlyPage(host), PageEnd::Abandoned);
        EXPECT_EQ(host.rows.size(), 1u);
        EXPECT_TRUE(host.charts.empty());
    }
}

}  // namespace
}  // namespace quill::workspace
