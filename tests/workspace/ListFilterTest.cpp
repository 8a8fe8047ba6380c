// The list filter: which rows pass the boxes, and the run over the page's
// last list reply, with its busy flag, its own copy of the rows and its stop
// when the window goes away.
#include "workspace/ListFilter.h"

#include "RecordingPageHost.h"
#include "tests/support/ErrorNumber.h"

#include "forms/lang/Clock.h"
#include "forms/lang/Text.h"
#include "workspace/ListPages.h"

#include <gtest/gtest.h>

namespace quill::workspace {
namespace {

using Texts = std::vector<std::wstring>;

const protocol::ProjectRow kRow(L"7,人人贷,U计划 12,2015-3-1,2015-9-1,5000,6,10,9,x,250,240,2,alice01");

TEST(FilterMatches, PlatformAccountKeyAndBothDateKinds)
{
    const struct {
        const char* what;
        FilterBoxes boxes;
        bool passes;
    } cases[] = {
        {"all empty", {}, true},
        {"end alone", {.end = L"2015-12-31"}, false},
        {"platform", {.platform = L"人人贷"}, true},
        {"part of the platform", {.platform = L"人人"}, true},
        {"other platform", {.platform = L"拍拍贷"}, false},
        {"platform case", {.platform = L"人人贷 "}, false},
        {"account with its platform", {.platform = L"人人", .account = L"alice"}, true},
        {"account alone", {.account = L"alice"}, true},
        {"account case", {.account = L"Alice"}, false},
        {"account, other platform", {.platform = L"拍拍贷", .account = L"alice"}, false},
        {"key in the name", {.key = L"U计划"}, true},
        {"key across platform and name", {.key = L"贷U"}, true},
        {"key nowhere", {.key = L"V计划"}, false},
        {"value dates around", {.start = L"2015-3-1", .end = L"2015-3-1"}, true},
        {"value date after the range", {.start = L"2015-1-1", .end = L"2015-2-28"}, false},
        {"due date kind", {.start = L"2015-9-1", .end = L"2015/9/30", .dateKind = 1}, true},
        {"due date kind, value date range",
         {.start = L"2015-3-1", .end = L"2015-3-31", .dateKind = 1},
         false},
        {"everything", {L"人人贷", L"alice01", L"计划", L"2015-1-1", L"2015-12-31", 0}, true},
        {"everything but the key", {L"人人贷", L"alice01", L"计划 13", L"2015-1-1", L"2015-12-31", 0}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FilterMatches(c.boxes, kRow), c.passes) << c.what;
}

TEST(FilterMatches, ARowThatCannotBeTestedDoesNotPass)
{
    const struct {
        const char* what;
        const wchar_t* row;
        FilterBoxes boxes;
    } cases[] = {
        {"too few items for the account", L"7,人人贷,U计划,2015-3-1,2015-9-1", {.account = L"a"}},
        {"too few items for the key", L"7,人人贷", {}},
        {"a value date that is no date",
         L"7,P,N,soon,2015-9-1,1,1,1,1,x,1,1,2,a",
         {.start = L"2015-1-1", .end = L"2015-12-31"}},
        {"a due date that is no date",
         L"7,P,N,2015-3-1,later,1,1,1,1,x,1,1,2,a",
         {.start = L"2015-1-1", .end = L"2015-12-31", .dateKind = 1}},
        {"a start box that is no date",
         L"7,P,N,2015-3-1,2015-9-1,1,1,1,1,x,1,1,2,a",
         {.start = L"x", .end = L"2015-12-31"}},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(FilterMatches(c.boxes, protocol::ProjectRow(c.row))) << c.what;
}

std::wstring Projects(int count)
{
    std::wstring text;
    for (int i = 1; i <= count; ++i)
        text += std::to_wstring(i) + L",P" + std::to_wstring(i % 3) + L",L" + std::to_wstring(i) +
                L",2015-1-" + std::to_wstring(i) + L",2015-7-5,1000,3,10,9,x,20,19,1,acc|";
    return text;
}

// A window on the current projects with the project columns and nothing
// under way, whose last list reply holds `projects` rows.
void ReadyForARun(RecordingPageHost& host, int projects)
{
    ShowListView(host, host.shownKind, ProjectList);
    host.busy = false;
    host.currentCache = Projects(projects);
}

TEST(FilterRun, AllBoxesEmptyListsEveryRowAgainNumberedFromOne)
{
    const forms::ClockOverride clock(test::DateAt(2015, 6, 30));
    RecordingPageHost host;
    ReadyForARun(host, 3);
    ASSERT_EQ(RunFilter(host), FilterEnd::Completed);
    ASSERT_EQ(host.rows.size(), 3u);
    EXPECT_EQ(host.Column(0), (Texts{L"1", L"2", L"3"}));
    EXPECT_EQ(host.rows[2].tag, 3);
    EXPECT_EQ(host.rows[2].cells, (Texts{L"3", L"P0 L3     ", L"2015-1-3", L"2015-7-5", L"1000", L"3 天 ",
                                         L"10%", L"9%", L"20", L"19", L"5"}));
    EXPECT_EQ(host.charts[1].chart.caption, L"当前持有项目 - 筛选");
    EXPECT_EQ(host.charts[1].place, ChartPlace::Column);
    EXPECT_EQ(host.shownKind, ProjectList);  // the columns stay
    EXPECT_FALSE(host.busy);
    EXPECT_TRUE(host.filterButtonEnabled);
    EXPECT_EQ(host.doEvents, 3);
}

TEST(FilterRun, TheFinishedPageShowsDaysAndItsOwnCaption)
{
    const forms::ClockOverride clock(test::DateAt(2015, 7, 8));
    RecordingPageHost host;
    ShowListView(host, host.shownKind, ProjectList);
    host.busy = false;
    host.page = FinishedProjectsPage;
    host.finishedCache = Projects(2);
    host.currentCache = Projects(5);
    ASSERT_EQ(RunFilter(host), FilterEnd::Completed);
    EXPECT_EQ(host.rows.size(), 2u);
    EXPECT_EQ(host.Column(10), (Texts{L"-3", L"-3"}));
    EXPECT_EQ(host.charts[1].chart.caption, L"已经完结项目 - 筛选");
}

TEST(FilterRun, DateBoxes)
{
    const forms::ClockOverride clock(test::DateAt(2015, 1, 4, 15, 0));
    {
        // Only an end date: nothing passes.
        RecordingPageHost host;
        ReadyForARun(host, 6);
        host.boxes.end = L"2015-1-5";
        ASSERT_EQ(RunFilter(host), FilterEnd::Completed);
        EXPECT_TRUE(host.rows.empty());
        EXPECT_TRUE(host.charts[1].chart.sets.empty());
    }
    {
        // A start date alone runs to today, which the end box then shows.
        RecordingPageHost host;
        ReadyForARun(host, 6);
        host.boxes.start = L"2015-1-2";
        ASSERT_EQ(RunFilter(host), FilterEnd::Completed);
        EXPECT_EQ(host.boxes.end, L"2015/1/4");
        EXPECT_EQ(host.Column(2), (Texts{L"2015-1-2", L"2015-1-3", L"2015-1-4"}));
    }
    {
        // An end before the start: the user is told and nothing changes.
        RecordingPageHost host;
        ReadyForARun(host, 6);
        host.AddItem();
        host.boxes = {.key = L" L ", .start = L"2015-1-3", .end = L"2015-1-2"};
        EXPECT_EQ(RunFilter(host), FilterEnd::EndBeforeStart);
        EXPECT_EQ(host.informed, Texts{kEndBeforeStartMessage});
        EXPECT_EQ(host.rows.size(), 1u);
        EXPECT_TRUE(host.charts.empty());
        EXPECT_EQ(host.boxes.key, L" L ");
        EXPECT_FALSE(host.busy);
        EXPECT_TRUE(host.filterButtonEnabled);
    }
}

TEST(FilterRun, TheKeyIsTrimmedAndPassesAcrossPlatformAndName)
{
    const forms::ClockOverride clock(test::DateAt(2015, 1, 4));
    RecordingPageHost host;
    ReadyForARun(host, 12);
    host.boxes.key = L"  1L1  ";
    ASSERT_EQ(RunFilter(host), FilterEnd::Completed);
    EXPECT_EQ(host.boxes.key, L"1L1");
    // P1 + L1..: rows 1, 10 (P1L10) and only those whose name starts with 1.
    EXPECT_EQ(host.Column(1), (Texts{L"P1 L1     ", L"P1 L10      "}));
}

TEST(FilterRun, ChartCapAndPlace)
{
    const forms::ClockOverride clock(test::DateAt(2015, 1, 4));
    const struct {
        int matches;
        size_t sets;
        ChartPlace place;
    } cases[] = {{19, 19, ChartPlace::Column},
                 {20, 20, ChartPlace::WholeWindow},
                 {29, 29, ChartPlace::WholeWindow},
                 {30, 29, ChartPlace::WholeWindow},
                 {31, 29, ChartPlace::WholeWindow}};
    for (const auto& c : cases) {
        RecordingPageHost host;
        ReadyForARun(host, c.matches);
        ASSERT_EQ(RunFilter(host), FilterEnd::Completed);
        EXPECT_EQ(host.rows.size(), size_t(c.matches));
        EXPECT_EQ(host.charts[1].chart.sets.size(), c.sets) << c.matches;
        EXPECT_EQ(host.charts[1].place, c.place) << c.matches;
    }
}

TEST(FilterRun, BrokenRowsAreLeftOutAndBrokenCellsLeftEmpty)
{
    const forms::ClockOverride clock(test::DateAt(2015, 7, 1));
    RecordingPageHost host;
    ShowListView(host, host.shownKind, ProjectList);
    host.busy = false;
    host.currentCache = L"1,P,A,2015-1-1,2015-7-5,1000,3,10,9,x,20,19,1,acc|"
                        L"2,P|"                                                 // too few items: no match
                        L"3,P,C,2015-1-1,2015-7-5,lots,3,10,9,x,20,19,1,acc|"   // amount no number
                        L"x4,P,D,2015-1-1,someday,1000,3,10,9,x,20,19,1,acc|";  // id and due date
    ASSERT_EQ(RunFilter(host), FilterEnd::Completed);
    ASSERT_EQ(host.rows.size(), 3u);
    EXPECT_EQ(host.Column(4), (Texts{L"1000", L"", L"1000"}));
    EXPECT_EQ(host.Column(10), (Texts{L"4", L"4", L""}));
    EXPECT_EQ(host.rows[2].tag, 0);
    EXPECT_EQ(host.Column(0), (Texts{L"1", L"2", L"3"}));
    // With a date box the row whose due date does not read is no match.
    host.boxes = {.start = L"2015-1-1", .end = L"2015-12-31", .dateKind = 1};
    ASSERT_EQ(RunFilter(host), FilterEnd::Completed);
    EXPECT_EQ(host.rows.size(), 2u);
}

TEST(FilterRun, HoldsTheBusyFlagAndItsButtonAndRefusesASecondRun)
{
    const forms::ClockOverride clock(test::DateAt(2015, 1, 4));
    RecordingPageHost host;
    ReadyForARun(host, 5);
    std::vector<FilterEnd> nested;
    host.onDoEvents = [&] {
        EXPECT_TRUE(host.busy);
        EXPECT_FALSE(host.filterButtonEnabled);
        if (host.doEvents == 2) {
            // A second run (the detail page's, or a click that got through)
            // and a new list reply arrive while messages run.
            nested.push_back(RunFilter(host));
            host.currentCache = Projects(1);
            host.replyRows.clear();
        }
        return true;
    };
    ASSERT_EQ(RunFilter(host), FilterEnd::Completed);
    EXPECT_EQ(nested, std::vector<FilterEnd>{FilterEnd::Refused});
    EXPECT_EQ(host.rows.size(), 5u);  // its own copy of the rows
    EXPECT_FALSE(host.busy);
    EXPECT_TRUE(host.filterButtonEnabled);
}

TEST(FilterRun, ALogoutWhileMessagesRunStopsTheRunWithoutTouchingTheWindow)
{
    const forms::ClockOverride clock(test::DateAt(2015, 1, 4));
    RecordingPageHost host;
    ReadyForARun(host, 5);
    host.onDoEvents = [&] {
        if (host.doEvents < 3)
            return true;
        host.busy = false;  // the logout clears the flag and closes the window
        return false;
    };
    EXPECT_EQ(RunFilter(host), FilterEnd::Abandoned);
    EXPECT_EQ(host.rows.size(), 2u);
    EXPECT_FALSE(host.redraw);
    EXPECT_TRUE(host.charts.empty());
    EXPECT_FALSE(host.filterButtonEnabled);  // the window is gone with its button
}

TEST(FilterRun, OnAnotherPageTheRowsLeftInTheScratchAreUsed)
{
    const forms::ClockOverride clock(test::DateAt(2015, 1, 4));
    RecordingPageHost host;
    ShowListView(host, host.shownKind, ProjectList);
    host.busy = false;
    host.page = OverviewPage;
    host.replyRows = forms::Split(Projects(2), L"|");
    ASSERT_EQ(RunFilter(host), FilterEnd::Completed);
    EXPECT_EQ(host.rows.size(), 2u);
    EXPECT_EQ(host.charts[1].chart.caption, L"已经完结项目 - 筛选");
}

}  // namespace
}  // namespace quill::workspace
