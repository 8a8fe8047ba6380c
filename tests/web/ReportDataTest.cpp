#include "forms/web/ReportData.h"

#include <gtest/gtest.h>

using namespace quill::web;

namespace {

const wchar_t* const Page = LR"(<html><head><script>
var quillChart = {
  title: '\u8D26\u53F7\u6982\u89C8',
  yAxisName: 'Quillmoor',
  fontSize: '14',
  type: 0,
  width: 985,
  height: 300,
  labelAngle: -25,
  data: [['A',10],['B',20.5],['it\'s',-3],]
};
</script></head><body><canvas></canvas></body></html>)";

TEST(ReportData, ReadsTheChartThePageCarries)
{
    const std::optional<ReportChart> report = ReadReportChart(Page);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->chart.caption, L"账号概览");
    EXPECT_EQ(report->chart.yAxisName, L"Quillmoor");
    EXPECT_EQ(report->chart.baseFontSize, 14);
    EXPECT_EQ(report->kind, ChartKind::Column);
    EXPECT_EQ(report->width, 985);
    EXPECT_EQ(report->height, 300);
    EXPECT_EQ(report->labelAngle, -25);
    ASSERT_EQ(report->chart.sets.size(), 3u);
    EXPECT_EQ(report->chart.sets[0].name, L"A");
    EXPECT_EQ(report->chart.sets[0].value, 10);
    EXPECT_EQ(report->chart.sets[1].value, 20.5);
    EXPECT_EQ(report->chart.sets[2].name, L"it's");
    EXPECT_EQ(report->chart.sets[2].value, -3);
    EXPECT_FALSE(report->chart.sets[0].color);     // the palette colours them
    EXPECT_EQ(report->chart.decimalPrecision, 1);  // as many places as the values carry
}

TEST(ReportData, APieAndOddMembers)
{
    const std::optional<ReportChart> pie = ReadReportChart(
        LR"(quillChart = {"type": 1, extra: {a: [1, [2, 'x']], b: true}, data: [['x', 'abc'], ['y', '2.25'], 7, ['z']]})");
    ASSERT_TRUE(pie);
    EXPECT_EQ(pie->kind, ChartKind::Pie);
    EXPECT_TRUE(pie->chart.showPercentValues);
    ASSERT_EQ(pie->chart.sets.size(), 3u);
    EXPECT_EQ(pie->chart.sets[0].value, 0);  // no chart number
    EXPECT_EQ(pie->chart.sets[1].value, 2.25);
    EXPECT_EQ(pie->chart.sets[2].name, L"z");
    EXPECT_EQ(pie->chart.decimalPrecision, 2);

    // An empty data text (a chart without sets) is a chart all the same.
    const std::optional<ReportChart> empty = ReadReportChart(L"quillChart = { data: [] }");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->chart.sets.empty());
}

// Members whose numbers lie beyond a double's range are left as a page
// without them has them.
TEST(ReportData, NumbersBeyondADoubleAreRefused)
{
    const std::optional<ReportChart> report =
        ReadReportChart(L"quillChart = {type: 1e999, width: 1e400, height: -1d400, fontSize: '9e999', "
                        L"labelAngle: 45e500, data: [['a', 1]]}");
    ASSERT_TRUE(report);
    EXPECT_EQ(report->kind, ChartKind::Column);
    EXPECT_EQ(report->width, 0);
    EXPECT_EQ(report->height, 0);
    EXPECT_EQ(report->labelAngle, 0);
    EXPECT_EQ(report->chart.baseFontSize, Chart::kDefaultFontSize);
    ASSERT_EQ(report->chart.sets.size(), 1u);
}

TEST(ReportData, PagesWithoutAChart)
{
    for (const wchar_t* page : {L"", L"<html><body>hello</body></html>", L"quillChart", L"quillChart = {",
                                L"quillChart = { title: 'open", L"quillChart = { data: [['a', 1]",
                                L"quillChart = { @: 1 }", L"quillChart = {a:[[[[[[[[[[1]]]]]]]]]]}"})
        EXPECT_FALSE(ReadReportChart(page)) << page;
}

}  // namespace
