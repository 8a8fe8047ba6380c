// The platform summary pages: shares, row texts, pies and their caps.
#include "workspace/PlatformPages.h"

#include "RecordingPageHost.h"
#include "tests/support/ErrorNumber.h"

#include <gtest/gtest.h>

namespace quill::workspace {
namespace {

using Texts = std::vector<std::wstring>;

std::wstring Platforms(int count)
{
    std::wstring text;
    for (int i = 1; i <= count; ++i)
        text += L"P" + std::to_wstring(i) + L",1000,10,2,9.5,8.25,0,0,0|";
    return text;
}

TEST(PlatformShare, PercentWithTwoDecimalsAndZeroForANothingTotal)
{
    const struct {
        double amount, total;
        const wchar_t* share;
    } cases[] = {
        {2500, 10000, L"25.00%"},
        {1, 3, L"33.33%"},
        {2, 3, L"66.67%"},
        {10000, 10000, L"100.00%"},
        {0, 10000, L"0.00%"},
        {-50, 200, L"-25.00%"},
        {1, 8000, L"0.01%"},
        {1, 80000, L"0.00%"},
        // A total of 0 (every project prepaid its interest) shares nothing.
        {2500, 0, L"0.00%"},
        {0, 0, L"0.00%"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlatformShare(c.amount, c.total), c.share) << c.amount << "/" << c.total;
}

TEST(PlatformRowText, TheTwelveColumns)
{
    const protocol::PlatformRow row(L"人人贷,123456.5,2500,3,9.5,8.25,50,12,3");
    Texts texts;
    for (int column = 0; column < kPlatformRowColumns; ++column)
        texts.push_back(PlatformRowText(row, column, 2, 246913, 10000));
    EXPECT_EQ(texts, (Texts{L"3", L"人人贷   ", L"12,3456.50", L"50.00%", L"2500", L"25.00%", L"3", L"9.5%",
                            L"8.25%", L"50", L"12", L"3"}));
    EXPECT_EQ(
        test::ErrorOf([] { PlatformRowText(protocol::PlatformRow(L"P,abc,1,1,1,1,1,1,1"), 2, 0, 1, 1); }),
        13);
    EXPECT_EQ(test::ErrorOf([] { PlatformRowText(protocol::PlatformRow(L"P,1,1,1,1,1,1,1"), 11, 0, 1, 1); }),
              9);
}

TEST(PlatformPage, ThreeRowsOnTheCurrentPage)
{
    RecordingPageHost host;
    host.info = UserInfoWith({{3, L"10000"}, {5, L"200"}, {6, L"12.5"}, {11, L"3"}});
    host.sections[protocol::AccountSnapshot::CurrentPlatforms] =
        L"P1,2500,50,2,9,9,0,0,0|P2,7500,150,3,10,9.5,10,0,1|P3,0,0,1,8,8,0,0,0|";
    ASSERT_EQ(BuildPlatformPage(host, false), PageEnd::Completed);
    EXPECT_EQ(host.caption, L"当前持有平台明细（双击项目查看平台项目）");
    EXPECT_EQ(host.Column(0), (Texts{L"1", L"2", L"3"}));
    EXPECT_EQ(host.Column(1), (Texts{L"P1  ", L"P2  ", L"P3  "}));
    EXPECT_EQ(host.Column(3), (Texts{L"25.00%", L"75.00%", L"0.00%"}));
    EXPECT_EQ(host.Column(5), (Texts{L"25.00%", L"75.00%", L"0.00%"}));
    const PageChart& principal = host.charts[1].chart;
    const PageChart& interest = host.charts[2].chart;
    EXPECT_EQ(principal.caption, L"当前持有平台 - 本金分布");
    EXPECT_EQ(interest.caption, L"当前持有平台 - 利息收入分布");
    EXPECT_TRUE(principal.pie && interest.pie);
    ASSERT_EQ(principal.sets.size(), 3u);
    // One colour per row, the same in both pies.
    EXPECT_EQ(principal.sets[1], (ChartSet{L"P2", L"7500", L"000002"}));
    EXPECT_EQ(interest.sets[1], (ChartSet{L"P2", L"150", L"000002"}));
    EXPECT_EQ(host.charts[1].place, ChartPlace::HalfColumn);
    EXPECT_EQ(host.charts[2].place, ChartPlace::HalfColumn);
    const std::map<int, std::pair<std::wstring, std::wstring>> summary{{0, {L"当前投入本金：", L"1,0000"}},
                                                                       {1, {L"当前投入平台：", L"3"}},
                                                                       {2, {L"本月持有利息：", L"12.5"}},
                                                                       {3, {L"本月回款利息：", L"3"}}};
    EXPECT_EQ(host.summary, summary);
    EXPECT_EQ(host.angle, 12345);  // left as the previous page set it
    EXPECT_EQ(host.shownKind, PlatformList);
}

TEST(PlatformPage, NothingToShareStillBuildsThePage)
{
    // Every current project prepaid its interest: nothing is pending.
    RecordingPageHost host;
    host.info = UserInfoWith({{3, L"10000"}, {5, L"0"}});
    host.sections[protocol::AccountSnapshot::CurrentPlatforms] = L"P1,10000,0,2,9,9,0,0,0|";
    ASSERT_EQ(BuildPlatformPage(host, false), PageEnd::Completed);
    EXPECT_EQ(host.Column(3), Texts{L"100.00%"});
    EXPECT_EQ(host.Column(5), Texts{L"0.00%"});
    // The finished page with nothing finished yet shares nothing either.
    host.sections[protocol::AccountSnapshot::FinishedPlatforms] = L"P1,0,0,0,0,0,0,0,0|";
    ASSERT_EQ(BuildPlatformPage(host, true), PageEnd::Completed);
    EXPECT_EQ(host.Column(3), Texts{L"0.00%"});
}

TEST(PlatformPage, TheFinishedPageSharesBySumsOfItsRows)
{
    RecordingPageHost host;
    host.info = UserInfoWith({{4, L"300"}, {9, L"07"}, {16, L"4000"}, {18, L"7.5"}});
    // The sums read leniently: "1000x" counts 1000 there.
    host.sections[protocol::AccountSnapshot::FinishedPlatforms] =
        L"A,3000,100,1,9,9,0,0,0|B,1000,300,1,9,9,0,0,0|";
    ASSERT_EQ(BuildPlatformPage(host, true), PageEnd::Completed);
    EXPECT_EQ(host.caption, L"已经完结平台明细（双击项目查看平台项目）");
    EXPECT_EQ(host.Column(3), (Texts{L"75.00%", L"25.00%"}));
    EXPECT_EQ(host.Column(5), (Texts{L"25.00%", L"75.00%"}));
    EXPECT_EQ(host.charts[1].chart.caption, L"已经完结平台 - 本金分布");
    EXPECT_EQ(host.charts[2].chart.caption, L"已经完结平台 - 利息收入分布");
    const std::map<int, std::pair<std::wstring, std::wstring>> summary{{0, {L"已完结已收本金：", L"4000"}},
                                                                       {1, {L"已完结已收利息：", L"300"}},
                                                                       {2, {L"已经完结项目：", L"07"}},
                                                                       {3, {L"已完结加权利率：", L"7.50%"}}};
    EXPECT_EQ(host.summary, summary);

    host.sections[protocol::AccountSnapshot::FinishedPlatforms] =
        L"A,1000x,100,1,9,9,0,0,0|B,1000,300,1,9,9,0,0,0|";
    EXPECT_EQ(test::ErrorOf([&] { BuildPlatformPage(host, true); }), 13);  // the column reads strictly
    EXPECT_EQ(host.rows.size(), 1u);
}

TEST(PlatformPage, PieCapsAtThirtyOnlyOnTheFinishedPage)
{
    const struct {
        bool finished;
        int rows;
        size_t sets;
    } cases[] = {{false, 25, 25}, {false, 31, 31}, {true, 25, 25}, {true, 30, 30}, {true, 31, 30}};
    for (const auto& c : cases) {
        RecordingPageHost host;
        host.info = UserInfoWith({{3, L"31000"}, {5, L"310"}});
        host.sections[c.finished ? protocol::AccountSnapshot::FinishedPlatforms
                                 : protocol::AccountSnapshot::CurrentPlatforms] = Platforms(c.rows);
        ASSERT_EQ(BuildPlatformPage(host, c.finished), PageEnd::Completed);
        EXPECT_EQ(host.rows.size(), size_t(c.rows));
        EXPECT_EQ(host.charts[1].chart.sets.size(), c.sets) << c.finished << c.rows;
        EXPECT_EQ(host.charts[2].chart.sets.size(), c.sets) << c.finished << c.rows;
        EXPECT_EQ(host.colors, c.rows);  // every row draws its colour
    }
}

TEST(PlatformPage, AnEmptySectionAndBrokenRows)
{
    RecordingPageHost host;
    ASSERT_EQ(BuildPlatformPage(host, false), PageEnd::Completed);
    EXPECT_TRUE(host.rows.empty());
    EXPECT_TRUE(host.charts[1].chart.sets.empty());
    EXPECT_EQ(host.summary[1].second, L"0");

    const struct {
        const wchar_t* section;
        int error;
        size_t rows;
    } cases[] = {
        {L"P1,100,1,1,1,1,1,1|", 9, 1},  // eight items
        {L"P1,100,1,1,1,1,1,1,1|P2|", 9, 1},
        {L"P1,abc,1,1,1,1,1,1,1|", 13, 1},
    };
    for (const auto& c : cases) {
        RecordingPageHost broken;
        broken.info = UserInfoWith({{3, L"100"}, {5, L"1"}});
        broken.sections[protocol::AccountSnapshot::CurrentPlatforms] = c.section;
        EXPECT_EQ(test::ErrorOf([&] { BuildPlatformPage(broken, false); }), c.error) << c.section;
        EXPECT_EQ(broken.rows.size(), c.rows) << c.section;
    }
}

}  // namespace
}  // namespace quill::workspace
