// The project list pages, the column sets of the window's list and the
// double-click dispatch, driven through a recording window.
#include "workspace/ListPages.h"

#include "RecordingPageHost.h"
#include "tests/support/ErrorNumber.h"

#include "forms/lang/Clock.h"

#include <gtest/gtest.h>

namespace quill::workspace {
namespace {

using Texts = std::vector<std::wstring>;

// One project row of the example: id, platform, name, value date, due date,
// amount, term, rates, an unread item, incomes, term unit, account.
std::wstring ProjectLine(int id, const std::wstring& name = L"Loan 7",
                         const std::wstring& platform = L"P2P-A", const std::wstring& due = L"2015-7-5",
                         const std::wstring& amount = L"20000")
{
    return std::to_wstring(id) + L"," + platform + L"," + name + L",2015-1-5," + due + L"," + amount +
           L",6,12,11.5,x,1200,1150,2,acc";
}

std::wstring Reply(int rows)
{
    std::wstring text;
    for (int i = 1; i <= rows; ++i)
        text += ProjectLine(i, L"Loan " + std::to_wstring(i)) + L"|";
    return text;
}

TEST(ListColumns, TheFiveSetsWithTheirCaptionsKeysAndWidths)
{
    const struct {
        std::int32_t kind;
        std::vector<std::pair<const wchar_t*, int>> columns;  // caption, width; keys are LV1, LV2, ...
    } cases[] = {
        {ProjectList,
         {{L"序号  ", 50},
          {L"平台&&项目名称  ", 150},
          {L"起息日期    ", 90},
          {L"到期日期    ", 90},
          {L"投资金额    ", 90},
          {L"投资限期    ", 90},
          {L"预期利率    ", 75},
          {L"实际利率    ", 75},
          {L"预期收益    ", 85},
          {L"实际收益    ", 85},
          {L"倒计天数    ", 80}}},
        {PlatformList,
         {{L"序号  ", 50},
          {L"平台名称    ", 110},
          {L"投入本金    ", 100},
          {L"本金占比    ", 80},
          {L"实际收益    ", 90},
          {L"收益占比    ", 80},
          {L"项目数量    ", 75},
          {L"平均利率    ", 75},
          {L"实际利率    ", 75},
          {L"代金券   ", 65},
          {L"其它收入    ", 75},
          {L"其它支出    ", 75}}},
        {MonthList,
         {{L"序号  ", 50},
          {L"年度月份    ", 110},
          {L"持有项目    ", 100},
          {L"回款本金    ", 100},
          {L"回款利息    ", 100},
          {L"回款汇总    ", 120},
          {L"持有利息    ", 100}}},
        {YearList,
         {{L"序号  ", 80},
          {L"年度  ", 110},
          {L"持有月份     ", 150},
          {L"月均利息    ", 120},
          {L"年度总利息     ", 150}}},
        {ScheduleList,
         {{L"序号  ", 60},
          {L"年度月份    ", 110},
          {L"投资期限     ", 100},
          {L"月度回款本金      ", 140},
          {L"月度回款利息      ", 140},
          {L"月度回款汇总      ", 140},
          {L"月度回款日期      ", 140},
          {L"月度持有利息      ", 130}}},
    };
    for (const auto& c : cases) {
        const std::vector<ListColumn>& columns = ListColumns(c.kind);
        ASSERT_EQ(columns.size(), c.columns.size()) << c.kind;
        for (size_t i = 0; i < columns.size(); ++i) {
            EXPECT_EQ(columns[i].key, L"LV" + std::to_wstring(i + 1)) << c.kind << " " << i;
            EXPECT_EQ(columns[i].caption, c.columns[i].first) << c.kind << " " << i;
            EXPECT_EQ(columns[i].width, c.columns[i].second) << c.kind << " " << i;
        }
    }
}

TEST(ShowListView, KeepsTheColumnsOfTheSameKindAndRebuildsForAnother)
{
    const struct {
        std::int32_t from, to;  // pages
        bool rebuilt;
    } cases[] = {
        {CurrentProjectsPage, FinishedProjectsPage, false},
        {FinishedProjectsPage, CurrentProjectsPage, false},
        {OverviewPage, CurrentProjectsPage, false},
        {CurrentProjectsPage, CurrentPlatformsPage, true},
        {CurrentPlatformsPage, FinishedPlatformsPage, false},
        {MonthlyReportPage, YearlyReportPage, true},
        {YearlyReportPage, CurrentProjectsPage, true},
    };
    for (const auto& c : cases) {
        RecordingPageHost host;
        ShowListView(host, host.shownKind, PageListKind(c.from));
        host.AddItem();
        const int added = host.columnsAdded;
        ShowListView(host, host.shownKind, PageListKind(c.to));
        EXPECT_TRUE(host.rows.empty()) << c.from << "->" << c.to;
        EXPECT_EQ(host.clears, 2);
        EXPECT_EQ(host.columnsRemoved, c.rebuilt ? added : 0) << c.from << "->" << c.to;
        EXPECT_EQ(host.columns.size(), ListColumns(PageListKind(c.to)).size());
        EXPECT_EQ(host.shownKind, PageListKind(c.to));
    }
}

TEST(ShowListView, AKindOutsideTheSetsRemovesTheColumnsAndIsRecorded)
{
    RecordingPageHost host;
    ShowListView(host, host.shownKind, ProjectList);
    ShowListView(host, host.shownKind, 9);
    EXPECT_TRUE(host.columns.empty());
    EXPECT_EQ(host.shownKind, 9);
    // The next list page builds its columns afresh.
    ShowListView(host, host.shownKind, ProjectList);
    EXPECT_EQ(host.columns.size(), 11u);
}

TEST(ShowinfoArgument, PlatformAndReportPagesHandTheSecondColumnOthersTheId)
{
    const struct {
        std::int32_t page;
        const wchar_t* expected;
    } cases[] = {
        {OverviewPage, L"17"},
        {CurrentProjectsPage, L"17"},
        {FinishedProjectsPage, L"17"},
        {DetailPage, L"17"},
        {EditPage, L"17"},
        {CurrentPlatformsPage, L"人人贷      "},
        {FinishedPlatformsPage, L"人人贷      "},
        {MonthlyReportPage, L"人人贷      "},
        {YearlyReportPage, L"人人贷      "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShowinfoArgument(c.page, 17, L"人人贷      "), c.expected) << c.page;
    EXPECT_EQ(ShowinfoArgument(MonthlyReportPage, 0, L"2015年12月  "), L"2015年12月  ");
}

TEST(ProjectListPage, TheExampleRowOnBothPages)
{
    const forms::ClockOverride clock(test::DateAt(2015, 6, 30, 9, 30));
    const struct {
        bool finished;
        const wchar_t* days;
    } cases[] = {{false, L"5"}, {true, L"-"}};
    for (const auto& c : cases) {
        RecordingPageHost host;
        host.reply = ProjectLine(1) + L"|";
        ASSERT_EQ(BuildProjectListPage(host, c.finished), PageEnd::Completed);
        ASSERT_EQ(host.rows.size(), 1u);
        EXPECT_EQ(host.rows[0].tag, 1);
        EXPECT_EQ(host.rows[0].cells,
                  (Texts{L"1", L"P2P-A Loan 7            ", L"2015-1-5", L"2015-7-5", L"2,0000", L"6 月 ",
                         L"12%", L"11.5%", L"1200", L"1150", c.days}));
        EXPECT_EQ(host.requests, std::vector<bool>{c.finished});
        EXPECT_EQ(host.ListCache(c.finished), host.reply);
        EXPECT_TRUE(host.redraw);
        EXPECT_EQ(host.loading, (std::vector<std::int16_t>{1, 0}));
        EXPECT_EQ(host.regions,
                  unsigned(SummaryPanel | ChartFrame1 | ListCaption | FilterPanel | ListRegion));
        ASSERT_EQ(host.charts[1].chart.sets.size(), 1u);
        EXPECT_EQ(host.charts[1].chart.sets[0], (ChartSet{L"Loan 7", L"1150", L"000001"}));
        EXPECT_FALSE(host.charts[1].chart.pie);
    }
}

TEST(ProjectListPage, DoubleByteNamesCarryOneBlankPerCharacter)
{
    const forms::ClockOverride clock(test::DateAt(2015, 6, 30));
    RecordingPageHost host;
    host.reply = ProjectLine(9, L"U计划", L"人人贷") + L"|";
    BuildProjectListPage(host, false);
    EXPECT_EQ(host.Column(1), Texts{L"人人贷 U计划       "});
}

TEST(ProjectListPage, CaptionsAndSummaryLinesOfBothPages)
{
    const forms::ClockOverride clock(test::DateAt(2015, 6, 30));
    RecordingPageHost host;
    host.info = UserInfoWith({{3, L"123456"},
                              {4, L"900.5"},
                              {6, L"45"},
                              {8, L"3"},
                              {9, L"12"},
                              {11, L"7"},
                              {16, L"20000"},
                              {18, L"7.5"}});
    host.reply = ProjectLine(1) + L"|";
    BuildProjectListPage(host, false);
    EXPECT_EQ(host.caption, L"当前持有项目明细（双击项目:操作/查看详情）");
    EXPECT_EQ(host.charts[1].chart.caption, L"当前持有项目-实际收益(显示最近到期20项)");
    EXPECT_EQ(host.tiles, 4);
    const std::map<int, std::pair<std::wstring, std::wstring>> current{{0, {L"当前投入本金：", L"12,3456"}},
                                                                       {1, {L"当前持有项目：", L"3"}},
                                                                       {2, {L"本月持有利息：", L"45"}},
                                                                       {3, {L"本月回款利息：", L"7"}}};
    EXPECT_EQ(host.summary, current);
    BuildProjectListPage(host, true);
    EXPECT_EQ(host.caption, L"已经完结项目明细（双击项目查看详情）");
    EXPECT_EQ(host.charts[1].chart.caption, L"已经完结项目-实际收益(显示最新到期20项)");
    const std::map<int, std::pair<std::wstring, std::wstring>> finished{{0, {L"已完结已收本金：", L"2,0000"}},
                                                                        {1, {L"已完结已收利息：", L"900.5"}},
                                                                        {2, {L"已经完结项目：", L"12"}},
                                                                        {3, {L"已完结加权利率：", L"7.50%"}}};
    EXPECT_EQ(host.summary, finished);
}

TEST(ProjectListPage, TwentyFiveRowsGiveTwentyFiveListRowsAndTwentySets)
{
    const forms::ClockOverride clock(test::DateAt(2015, 6, 30));
    for (bool finished : {false, true}) {
        RecordingPageHost host;
        host.reply = Reply(25);
        ASSERT_EQ(BuildProjectListPage(host, finished), PageEnd::Completed);
        EXPECT_EQ(host.rows.size(), 25u);
        const auto& sets = host.charts[1].chart.sets;
        ASSERT_EQ(sets.size(), 20u);
        EXPECT_EQ(sets.front().name, L"Loan 1");
        EXPECT_EQ(sets.back().name, L"Loan 20");
        EXPECT_EQ(host.Column(0).back(), L"25");
        EXPECT_EQ(host.replyRows.size(), 26u);
    }
}

TEST(ProjectListPage, LabelAngleAndFullWidthFollowTheProjectCount)
{
    const forms::ClockOverride clock(test::DateAt(2015, 6, 30));
    const struct {
        const wchar_t* count;
        std::int32_t angle;
        ChartPlace place;
    } cases[] = {
        {L"5", 0, ChartPlace::Column},
        {L"6", -25, ChartPlace::Column},
        {L"19", -25, ChartPlace::Column},
        {L"20", -25, ChartPlace::WholeWindow},
        {L"20.5x", -25, ChartPlace::WholeWindow},
        {L"abc", 0, ChartPlace::Column},
    };
    for (const auto& c : cases)
        for (bool finished : {false, true}) {
            RecordingPageHost host;
            // The count of the other page stays 0 (and the summary reads it
            // strictly, so the number of the page shown must be one).
            const int item =
                finished ? protocol::UserInfo::FinishedProjectCount : protocol::UserInfo::CurrentProjectCount;
            host.info = UserInfoWith({{item, c.count}});
            host.reply = Reply(2);
            try {
                BuildProjectListPage(host, finished);
            } catch (const forms::RuntimeError&) {
                // "20.5x" and "abc" stop the page at the summary line after the chart.
            }
            EXPECT_EQ(host.angle, c.angle) << c.count << finished;
            EXPECT_EQ(host.charts[1].place, c.place) << c.count << finished;
        }
}

TEST(ProjectListPage, AnEmptyReplyShowsTheFailurePictureAndClearsTheBusyFlag)
{
    RecordingPageHost host;
    host.shownKind = PlatformList;
    host.currentCache = L"old";
    EXPECT_EQ(BuildProjectListPage(host, false), PageEnd::RequestFailed);
    EXPECT_EQ(host.loading, (std::vector<std::int16_t>{1, 2}));
    EXPECT_FALSE(host.busy);
    EXPECT_EQ(host.currentCache, L"");
    EXPECT_EQ(host.shownKind, PlatformList);  // the list was not touched
    EXPECT_TRUE(host.charts.empty());
    EXPECT_EQ(host.regions, 0u);
}

// A reply without "|" is the empty list only for an account whose summary
// counts none of the page's projects; otherwise the page failed.
TEST(ProjectListPage, AReplyWithoutRowsFailsWhileTheSummaryCountsProjects)
{
    const struct {
        const wchar_t* reply;
        const wchar_t* count;
        bool failed;
    } cases[] = {
        {L"0", L"0", false},
        {L"0", L"3", true},
        {L"err=2026-12-10 13:05:09", L"3", true},
        {L"<html><body><h1>500 - Internal server error.</h1></body></html>", L"26", true},
    };
    for (bool finished : {false, true})
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << c.reply << " " << c.count << " " << finished);
            RecordingPageHost host;
            const int item =
                finished ? protocol::UserInfo::FinishedProjectCount : protocol::UserInfo::CurrentProjectCount;
            host.info = UserInfoWith({{item, c.count}});
            host.busy = true;
            host.reply = c.reply;
            EXPECT_EQ(BuildProjectListPage(host, finished),
                      c.failed ? PageEnd::RequestFailed : PageEnd::Completed);
            EXPECT_EQ(host.ListCache(finished), c.reply);
            EXPECT_EQ(host.loading, (std::vector<std::int16_t>{1, std::int16_t(c.failed ? 2 : 0)}));
            EXPECT_EQ(host.busy, !c.failed);
            EXPECT_EQ(host.charts.empty(), c.failed);
            // The empty list as the service writes it: no rows, no sets.
            EXPECT_TRUE(host.rows.empty());
            if (!c.failed) {
                EXPECT_TRUE(host.charts[1].chart.sets.empty());
            }
            EXPECT_EQ(host.regions, c.failed ? 0u
                                             : unsigned(SummaryPanel | ChartFrame1 | ListCaption |
                                                        FilterPanel | ListRegion));
        }
}

// The reference service's fault modes as the page meets them.
TEST(ProjectListPage, BrokenRepliesStopThePageWithTheRowsSoFar)
{
    const forms::ClockOverride clock(test::DateAt(2015, 6, 30));
    const struct {
        const char* what;
        std::wstring reply;
        int error;
        size_t rows;
    } cases[] = {
        // An IIS-style error page without "|" is a list without rows.
        {"html page", L"<html><body><h1>500 - Internal server error.</h1></body></html>", 0, 0},
        // With a "|" in it, but not at its end: no row list ends there, and
        // the page shows its failure picture (below).
        // Page 2 charts a row before it lists it, so a short row stops at its set.
        {"fewer items", ProjectLine(1) + L"|2,P,N,2015-1-5,2015-7-5,100|", 9, 1},
        {"amount no number", ProjectLine(1) + L"|" + ProjectLine(2, L"N", L"P", L"2015-7-5", L"12a") + L"|",
         13, 2},
        {"due date no date", ProjectLine(1) + L"|" + ProjectLine(2, L"N", L"P", L"soon") + L"|", 13, 2},
        {"id no number", L"x" + ProjectLine(1) + L"|", 13, 1},
    };
    for (const auto& c : cases) {
        RecordingPageHost host;
        host.reply = c.reply;
        const int error = test::ErrorOf([&] { BuildProjectListPage(host, false); });
        EXPECT_EQ(error, c.error) << c.what;
        EXPECT_EQ(host.rows.size(), c.rows) << c.what;
        if (c.error) {
            EXPECT_FALSE(host.redraw) << c.what;  // left off until the next list page
            EXPECT_EQ(host.loading, std::vector<std::int16_t>{1}) << c.what;
            EXPECT_EQ(host.regions, 0u) << c.what;
        }
    }
}

// A reply whose last row lacks its "|" was cut inside that row: the failure
// picture, no row of it; the same rows whole are listed.
TEST(ProjectListPage, AReplyCutInsideARowShowsTheFailurePicture)
{
    const forms::ClockOverride clock(test::DateAt(2015, 6, 30));
    const std::wstring whole = ProjectLine(1) + L"|" + ProjectLine(2) + L"|";
    for (const std::wstring& reply : {whole.substr(0, whole.size() - 1), whole.substr(0, whole.size() - 9),
                                      std::wstring(L"<html><body>Server Error|</body></html>")}) {
        RecordingPageHost host;
        host.reply = reply;
        EXPECT_EQ(test::ErrorOf([&] { BuildProjectListPage(host, false); }), 0);
        EXPECT_TRUE(host.rows.empty());
        EXPECT_EQ(host.loading, (std::vector<std::int16_t>{1, 2}));
        EXPECT_FALSE(host.busy);
    }
    RecordingPageHost host;
    host.reply = whole;
    BuildProjectListPage(host, false);
    EXPECT_EQ(host.rows.size(), 2u);
}

TEST(ProjectListPage, MessagesRunBeforeTheRequestAndOncePerRow)
{
    const forms::ClockOverride clock(test::DateAt(2015, 6, 30));
    for (bool finished : {false, true}) {
        RecordingPageHost host;
        host.reply = Reply(7);
        BuildProjectListPage(host, finished);
        EXPECT_EQ(host.doEvents, 1 + 7);
    }
}

TEST(ProjectListPage, ALogoutWhileMessagesRunStopsThePageAtOnce)
{
    const forms::ClockOverride clock(test::DateAt(2015, 6, 30));
    for (bool finished : {false, true}) {
        RecordingPageHost host;
        host.reply = Reply(10);
        host.onDoEvents = [&] { return host.doEvents < 4; };  // the window goes away at the fourth look
        EXPECT_EQ(BuildProjectListPage(host, finished), PageEnd::Abandoned);
        EXPECT_EQ(host.rows.size(), 2u);
        EXPECT_TRUE(host.charts.empty());
        EXPECT_EQ(host.tiles, -1);
    }
    RecordingPageHost host;
    host.requestAbandons = true;
    EXPECT_EQ(BuildProjectListPage(host, false), PageEnd::Abandoned);
    EXPECT_EQ(host.currentCache, L"");
    EXPECT_EQ(host.loading, std::vector<std::int16_t>{1});
}

}  // namespace
}  // namespace quill::workspace
