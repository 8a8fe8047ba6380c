// The layout pass's figures: header and page regions for window sizes,
// pages and margins.
#include "workspace/HomeLayout.h"

#include <gtest/gtest.h>

using namespace quill::workspace;

namespace {

LayoutInput Input(int W, int H, std::int32_t page, std::int32_t margin)
{
    LayoutInput in;
    in.W = W;
    in.H = H;
    in.NowId = page;
    in.margin = margin;
    in.maininfoRWidth = 6000;
    in.captionWidth = 3000;
    in.summaryHeight = 2985;
    return in;
}

TEST(HomeLayout, TheHeader)
{
    const struct {
        int W, H;
        std::int32_t page, margin;
        int chartHeight, pubLeft, pubTop;
    } cases[] = {
        // 1280 pixels wide: (19200 - 14775) / 2 = 2212.5 -> 2212; the margin of a high screen.
        {19200, 14000, 0, 90, 4500, 2212, 1410},  {19200, 11000, 2, 90, 4500, 2212, 1410},
        {19200, 10995, 0, 90, 3000, 2212, 1410},   // a low window: 200 pixels
        {19200, 14000, 20, 90, 3000, 2212, 1410},  // the detail page: 200 pixels
        {19200, 14000, 0, 15, 4500, 2212, 1260},   // a low screen's margin
        {14775, 14000, 0, 90, 4500, 15, 1410},     // no wider than the column
        {14000, 9000, 3, 15, 3000, 15, 1260},     {0, 0, 0, 90, 3000, 15, 1410},  // minimised
        {19201, 14000, 0, 90, 4500, 2213, 1410},                                  // 2213 exactly
    };
    for (const auto& c : cases) {
        const Header h = LayOutHeader(Input(c.W, c.H, c.page, c.margin));
        const std::string at =
            std::to_string(c.W) + "x" + std::to_string(c.H) + " page " + std::to_string(c.page);
        EXPECT_EQ(h.ChartHeight, c.chartHeight) << at;
        EXPECT_EQ(h.PubLeft, c.pubLeft) << at;
        EXPECT_EQ(h.PubTop, c.pubTop) << at;
        EXPECT_EQ(h.PubWidth, 14725) << at;  // 8 x 1670 + 1365
        EXPECT_EQ(h.maininfo.top, c.margin == 90 ? 1110 : 1035) << at;
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(h.tabs[static_cast<size_t>(i)].left, c.pubLeft + 1670 * i) << at;
        EXPECT_EQ(h.tabs[7].top, 90);
        EXPECT_EQ(h.update.left, c.pubLeft + 8 * 1670) << at;
        EXPECT_EQ(h.update.top, 90);
        EXPECT_EQ(h.logout.left, h.update.left);
        EXPECT_EQ(h.logout.top, 600);
        EXPECT_EQ(h.maininfoR.left + 6000, c.pubLeft + 14725) << at;  // its right edge on the column's
        EXPECT_EQ(h.maininfoR.top, h.maininfo.top);
        EXPECT_FALSE(h.loading);
    }
    LayoutInput loading = Input(19200, 14000, 2, 90);
    loading.loadingVisible = true;
    ASSERT_TRUE(LayOutHeader(loading).loading);
    EXPECT_EQ(LayOutHeader(loading).loading->left, 7028);  // 9600 - 2572.5, to the even neighbour
    EXPECT_EQ(LayOutHeader(loading).loading->top, 1410 + 1500);
}

TEST(HomeLayout, TheOverviewStacksChartPanelCaptionAndList)
{
    const LayoutInput in = Input(19200, 14000, OverviewPage, 90);
    const PageRegions r = LayOutPage(in, LayOutHeader(in));
    EXPECT_TRUE(r.showOverviewRegions);
    ASSERT_TRUE(r.chart1 && r.summary && r.caption && r.list);
    EXPECT_EQ(r.chart1->left, 2212);
    EXPECT_EQ(r.chart1->top, 1410);
    EXPECT_EQ(r.chart1->width, 14725);
    EXPECT_EQ(r.chart1->height, 4500);
    EXPECT_EQ(r.summary->left, 2212);
    EXPECT_EQ(r.summary->top, 1410 + 4500 + 90);
    EXPECT_EQ(r.summary->width, 14725);
    EXPECT_EQ(r.caption->left, 9600 - 1500);
    EXPECT_EQ(r.caption->top, 6000 + 2985 + 30);
    EXPECT_EQ(r.list->top, 9015 + 240 + 60);
    EXPECT_EQ(r.list->width, 14725);
    EXPECT_EQ(r.list->height, 14000 - 9315);
    EXPECT_FALSE(r.chart2 || r.filter || r.entry || r.buttonBar);
}

TEST(HomeLayout, ListChartsWidenFromTwentyItems)
{
    const struct {
        std::int32_t page;
        double current, finished;
        int items;
        int W;
        int left, width;
    } cases[] = {
        {CurrentProjectsPage, 19, 50, 0, 19200, 2212, 14725},
        {CurrentProjectsPage, 20, 0, 0, 19200, 0, 19200},  // spans the window from its left edge
        {CurrentProjectsPage, 20, 0, 0, 14000, 0, 14725},  // a window narrower than the column
        {FinishedProjectsPage, 50, 19, 0, 19200, 2212, 14725},
        {FinishedProjectsPage, 0, 20, 0, 19200, 0, 19200},
        {MonthlyReportPage, 0, 0, 11, 19200, 2212, 14725},
        {MonthlyReportPage, 0, 0, 12, 19200, 0, 19200},
        {YearlyReportPage, 0, 0, 40, 19200, 2212, 14725},
        {DetailPage, 0, 0, 19, 19200, 2212, 14725},
        {DetailPage, 0, 0, 20, 19200, 0, 19200},
    };
    for (const auto& c : cases) {
        LayoutInput in = Input(c.W, 14000, c.page, 90);
        in.currentProjects = c.current;
        in.finishedProjects = c.finished;
        in.ChartItemCount = c.items;
        const PageRegions r = LayOutPage(in, LayOutHeader(in));
        ASSERT_TRUE(r.chart1) << c.page;
        EXPECT_EQ(r.chart1->left, c.left) << c.page << " " << c.current << " " << c.items;
        EXPECT_EQ(r.chart1->width, c.width) << c.page << " " << c.current << " " << c.items;
        EXPECT_FALSE(r.showOverviewRegions);
    }
}

TEST(HomeLayout, TheOtherPages)
{
    const Header h = LayOutHeader(Input(19200, 14000, CurrentProjectsPage, 90));
    // Project lists: chart, panel, caption, filter, list.
    PageRegions r = LayOutPage(Input(19200, 14000, CurrentProjectsPage, 90), h);
    ASSERT_TRUE(r.filter && r.list);
    EXPECT_EQ(r.filter->top, 9015 + 240 + 90);
    EXPECT_EQ(r.list->top, 9345 + 735);
    EXPECT_EQ(r.list->height, 14000 - (10080 + 60));
    // Platforms: two half charts side by side; the list right under the caption.
    r = LayOutPage(Input(19200, 14000, FinishedPlatformsPage, 90), h);
    ASSERT_TRUE(r.chart1 && r.chart2 && r.list);
    EXPECT_EQ(r.chart1->width, 7362);  // 7362.5 to the even neighbour
    EXPECT_EQ(r.chart2->left, 2212 + 7362);
    EXPECT_EQ(r.list->top, 9015 + 240);
    EXPECT_EQ(r.list->height, 14000 - (9255 + 60));
    EXPECT_FALSE(r.filter);
    // The entry form 300 twips under the header.
    r = LayOutPage(Input(19200, 14000, EntryPage, 90), h);
    ASSERT_TRUE(r.entry);
    EXPECT_EQ(r.entry->top, 1710);
    EXPECT_FALSE(r.chart1 || r.list);
    EXPECT_EQ(LayOutPage(Input(19200, 14000, EditPage, 90), h).entry->left, 2212);
    // Pages without regions.
    for (std::int32_t page : {std::int32_t(NoPage), 8, 19, 22})
        EXPECT_FALSE(LayOutPage(Input(19200, 14000, page, 90), h).chart1) << page;
}

TEST(HomeLayout, TheDetailPagesButtonBar)
{
    LayoutInput in = Input(19200, 14000, DetailPage, 90);
    const Header h = LayOutHeader(in);
    PageRegions r = LayOutPage(in, h);
    ASSERT_TRUE(r.buttonBar && r.detailButtonLefts && r.list);
    EXPECT_EQ(r.buttonBar->top, h.PubTop + 3000 + 90 + 2985);
    const auto& lefts = *r.detailButtonLefts;
    // Five buttons: the row starts 4710 left of the bar's middle and is 8625 wide.
    EXPECT_EQ(*lefts[0], 7362 - 4710);  // 7362.5 - 4710 = 2652.5 -> 2652
    for (size_t i = 1; i < 5; ++i)
        EXPECT_EQ(*lefts[i], *lefts[i - 1] + 1365 + 450);
    EXPECT_EQ(*lefts[4] + 1365 - *lefts[0], 8625);
    EXPECT_EQ(r.list->top, r.buttonBar->Bottom());
    EXPECT_EQ(r.list->height, 14000 - r.buttonBar->Bottom());
    // A finished project: delete ending at the bar's middle, then back.
    in.editButtonVisible = false;
    r = LayOutPage(in, h);
    const auto& finished = *r.detailButtonLefts;
    EXPECT_FALSE(finished[0] || finished[1] || finished[3]);
    EXPECT_NEAR(*finished[2] + 1365, 7362.5, 0.5);
    EXPECT_EQ(*finished[4], *finished[2] + 1365 + 450);
}

TEST(HomeLayout, MinimisedOrLowWindowsGetNoNegativeList)
{
    for (std::int32_t page : {OverviewPage, CurrentProjectsPage, CurrentPlatformsPage, MonthlyReportPage}) {
        const LayoutInput minimised = Input(0, 0, page, 90);
        const PageRegions r = LayOutPage(minimised, LayOutHeader(minimised));
        EXPECT_TRUE(r.chart1) << page;  // the header and the charts move all the same
        EXPECT_FALSE(r.list) << page;
        const LayoutInput low = Input(19200, 4000, page, 90);
        const PageRegions lowRegions = LayOutPage(low, LayOutHeader(low));
        ASSERT_TRUE(lowRegions.list) << page;
        EXPECT_EQ(lowRegions.list->height, 0) << page;
    }
    const LayoutInput lowDetail = Input(19200, 8000, DetailPage, 90);
    EXPECT_FALSE(LayOutPage(lowDetail, LayOutHeader(lowDetail)).list);
}

TEST(HomeLayout, ChartsInsideTheirFrames)
{
    const Rect control = ChartControlPlace(14725, 4500, 15, 18);
    EXPECT_EQ(control.left, 0);
    EXPECT_EQ(control.top, -270);
    EXPECT_EQ(control.width, 14725);
    EXPECT_EQ(control.height, 4770);
    EXPECT_EQ(control.Bottom(), 4500);  // its bottom on the frame's
    const Rect browser = ChartBrowserPlace(14725, 4500, 15, 12);
    EXPECT_EQ(browser.left, -15);
    EXPECT_EQ(browser.top, -12);
    EXPECT_EQ(browser.width, 14725);
    EXPECT_EQ(browser.height, 4500);
}

}  // namespace
