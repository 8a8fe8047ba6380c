#include "workspace/ChartTemplate.h"
#include "workspace/ChartXml.h"
#include "workspace/Overview.h"

#include "forms/lang/Error.h"
#include "forms/web/ChartText.h"

#include <gtest/gtest.h>

using namespace quill::protocol;
using namespace quill::workspace;

namespace {

TEST(ChartXml, TheThreeStylesOfTheChartElement)
{
    EXPECT_EQ(ChartXml(ChartStyle::List, L"当前持有项目").Text(),
              L"<chart caption=\"当前持有项目\" yAxisName=\"Quillmoor\" baseFontSize=\"13\" showNames=\"1\" "
              L"decimalPrecision=\"1\" formatNumberScale=\"0\"></chart>");
    EXPECT_EQ(ChartXml(ChartStyle::Overview, L"x").Text(),
              L"<chart caption=\"x\" yAxisName=\"Quillmoor\" baseFontSize=\"14\" showNames=\"1\" "
              L"decimalPrecision=\"0\" formatNumberScale=\"0\"></chart>");
    ChartXml pie(ChartStyle::Pie, L"平台");
    pie.PieSet(L"人人贷", L"12345.6", L"0A0B0C");
    EXPECT_EQ(pie.Text(),
              L"<chart caption=\"平台\" yAxisName=\"Quillmoor\" baseFontSize=\"13\" showNames=\"1\" "
              L"showPercentValues=\"1\" formatNumberScale=\"0\"><set name=\"人人贷\" value=\"12345.6\" "
              L"color=\"0A0B0C\" toolText=\"人人贷: ￥1,2345.60\"/></chart>");
    EXPECT_EQ(pie.SetCount(), 1);
}

TEST(ChartXml, NamesAreEscapedAndValuesPassOnlyAsNumbers)
{
    ChartXml chart(ChartStyle::List, L"<b>\"caption'&</b>");
    chart.Set(L"<b>\"name'&</b>", L"1200", L"FF0000");
    chart.Set(L"b", L"1,200", L"00FF00");
    chart.Set(L"c", L"12\" onload=\"x", L"0000FF");
    chart.Set(L"d", 1025.5, L"123456");
    EXPECT_EQ(chart.Text(),
              L"<chart caption=\"&lt;b&gt;&quot;caption&apos;&amp;&lt;/b&gt;\" yAxisName=\"Quillmoor\" "
              L"baseFontSize=\"13\" showNames=\"1\" decimalPrecision=\"1\" formatNumberScale=\"0\">"
              L"<set name=\"&lt;b&gt;&quot;name&apos;&amp;&lt;/b&gt;\" value=\"1200\" color=\"FF0000\"/>"
              L"<set name=\"b\" value=\"0\" color=\"00FF00\"/><set name=\"c\" value=\"0\" color=\"0000FF\"/>"
              L"<set name=\"d\" value=\"1025.5\" color=\"123456\"/></chart>");
    // The chart control reads the same texts back.
    const quill::web::Chart read = quill::web::ReadChartText(chart.Text());
    EXPECT_EQ(read.caption, L"<b>\"caption'&</b>");
    ASSERT_EQ(read.sets.size(), 4u);
    EXPECT_EQ(read.sets[0].name, L"<b>\"name'&</b>");
    EXPECT_EQ(read.sets[0].value, 1200);
    EXPECT_EQ(read.sets[3].value, 1025.5);
}

// UserInfo as the demo account's snapshot has it, cut after item 18.
const wchar_t* const DemoInfo =
    L"演示用户|0|0|486523.45|2150.7|31270.88|3312.5|0|26|14|20000|1523.75|1.3|0|0|0|145453.54|10.8|9.96";

TEST(Overview, TheChartTextOfTheOverviewExactly)
{
    int draws = 0;
    const std::wstring colors[] = {L"111111", L"222222", L"333333", L"444444",
                                   L"555555", L"666666", L"777777"};
    const std::wstring xml = OverviewChartXml(UserInfo(DemoInfo), [&] { return colors[draws++]; });
    EXPECT_EQ(draws, 7);  // the fixed red draws none
    EXPECT_EQ(xml, L"<chart caption=\"账号概览\" yAxisName=\"Quillmoor\" baseFontSize=\"14\" showNames=\"1\" "
                   L"decimalPrecision=\"0\" formatNumberScale=\"0\">"
                   L"<set name=\"总投入本金\" value=\"486523.45\" color=\"111111\"/>"
                   L"<set name=\"总待收利息\" value=\"31270.88\" color=\"FF0000\"/>"
                   L"<set name=\"总待收本息\" value=\"517794.33\" color=\"222222\"/>"
                   L"<set name=\"本月持有利息\" value=\"3312.5\" color=\"333333\"/>"
                   L"<set name=\"本月回款利息\" value=\"1523.75\" color=\"444444\"/>"
                   L"<set name=\"本月回款本金\" value=\"20000\" color=\"555555\"/>"
                   L"<set name=\"本月回款本息\" value=\"21523.75\" color=\"666666\"/>"
                   L"<set name=\"已完结已收利息\" value=\"2150.7\" color=\"777777\"/></chart>");
}

TEST(Overview, SummaryLines)
{
    const UserInfo info(DemoInfo);
    const std::vector<std::pair<std::wstring, std::wstring>> expected{
        {L"当前投入本金：", L"48,6523.45"}, {L"总待收利息：", L"3,1270.88"},
        {L"总待收本息：", L"51,7794.33"},   {L"已完结已收利息：", L"2150.7"},
        {L"本月持有利息：", L"3312.5"},     {L"本月回款利息：", L"1523.75"},
        {L"本月回款本金：", L"2,0000"},     {L"本月回款本息：", L"2,1523.75"},
        {L"当前持有项目：", L"26"},         {L"持有加权利率：", L"10.80%"},
        {L"已经完结项目：", L"14"},         {L"已完结已收利息：", L"2150.7"},
    };
    for (int i = 0; i < kOverviewLines; ++i) {
        EXPECT_EQ(OverviewCaption(i), expected[static_cast<size_t>(i)].first) << i;
        EXPECT_EQ(OverviewValue(info, i), expected[static_cast<size_t>(i)].second) << i;
    }
    // 1000 and 25.5 make 1025.5; a principal that is no number counts 0 in
    // the sums but stops the page at line 0.
    const UserInfo odd(L"u|||1000|0|25.5|0|||||0||||||abc");
    EXPECT_EQ(OverviewValue(odd, 2), L"1025.5");
    EXPECT_EQ(OverviewValue(odd, 9), L"abc%");
    const UserInfo noNumber(L"u|||x|0|25.5|0|||||0");
    EXPECT_EQ(OverviewValue(noNumber, 2), L"25.5");
    EXPECT_THROW(OverviewValue(noNumber, 0), quill::forms::RuntimeError);
    EXPECT_THROW(OverviewValue(UserInfo(L"u|1|2"), 4), quill::forms::RuntimeError);
}

TEST(Overview, TheReminderLine)
{
    const struct {
        std::int32_t days;
        const wchar_t* caption;
        std::uint32_t color;
    } cases[] = {
        {5, L"距离最近一笔项目到期还有5天.", 0x004000},
        {1, L"距离最近一笔项目到期还有1天.", 0x004000},
        {kNoDueProject, L"最近30天没有待收项目，您可安心做甩手掌柜^_^!", 0x004000},
        {0, L"提醒：最近一笔项目到期已经超过0天！", 0x0000FF},
        {-3, L"提醒：最近一笔项目到期已经超过3天！", 0x0000FF},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReminderLine(c.days).caption, c.caption);
        EXPECT_EQ(ReminderLine(c.days).color, c.color);
    }
}

TEST(ChartTemplate, TheDataText)
{
    EXPECT_EQ(ChartDataText(L"<chart caption=\"x\"></chart>"), L"");
    EXPECT_EQ(ChartDataText(L"<chart><set name=\"A\" value=\"10\"/><set name=\"B\" value=\"20.5\"/></chart>"),
              L"['A',10],['B',20.5],");
    // A raw apostrophe (not from our own chart texts, which escape it) cuts the name short.
    EXPECT_EQ(ChartDataText(L"<set name=\"it's\" value=\"1\"/>"), L"['it',1],");
    // An escaped one reaches the page whole, as does every other character.
    ChartXml chart(ChartStyle::List, L"c");
    chart.Set(L"it's <b>\"&\"</b>", L"3", L"000000");
    chart.Set(L"账", L"x", L"000000");
    EXPECT_EQ(ChartDataText(chart.Text()),
              L"['it\\'s \\u003Cb\\u003E\\\"\\u0026\\\"\\u003C/b\\u003E',3],['\\u8D26',0],");
    // A value that is no number goes out as 0, so no value can end the array.
    EXPECT_EQ(ChartDataText(L"<set name=\"a\" value=\"1]);alert(1);//\"/>"), L"['a',0],");
}

TEST(ChartTemplate, PlaceholdersFilledInOnePass)
{
    const std::wstring xml = L"<chart caption=\"T [HEIGHT] x\" yAxisName=\"Quillmoor\" baseFontSize=\"14\">"
                             L"<set name=\"[WIDTH]\" value=\"2\"/></chart>";
    ChartPageSize size;
    size.type = 1;
    size.widthTwips = 14725;
    size.heightTwips = 4500;
    size.labelAngle = -25;
    EXPECT_EQ(
        FillChartTemplate(L"[TITLE]|[CAPTION]|[FONTSIZE]|[CHARTTYPE]|[WIDTH]|[HEIGHT]|[FONTDU]|[CHARTDATA]|"
                          L"[TITLE]|[title]|[NOPE]|[",
                          xml, size),
        L"T [HEIGHT] x|Quillmoor|14|1|982|300|-25|['[WIDTH]',2],|T [HEIGHT] x|[title]|[NOPE]|[");
    // 14725 / 15 = 981.67 -> 982; a half goes to the even neighbour.
    size.twipsPerPixelX = 2;
    size.widthTwips = 1963;  // 981.5
    EXPECT_EQ(FillChartTemplate(L"[WIDTH]", L"", size), L"982");
    size.widthTwips = 1961;  // 980.5
    EXPECT_EQ(FillChartTemplate(L"[WIDTH]", L"", size), L"980");
    // The usual chart height is 300 pixels whatever the factor.
    for (float factor : {15.0f, 12.0f, 20.0f}) {
        size.twipsPerPixelY = factor;
        size.heightTwips = static_cast<int>(300 * factor);
        EXPECT_EQ(FillChartTemplate(L"[HEIGHT]", L"", size), L"300");
    }
    EXPECT_EQ(FillChartTemplate(L"", xml, size), L"");
}

}  // namespace
