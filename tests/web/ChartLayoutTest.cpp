#include "forms/web/ChartLayout.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace quill::web;

namespace {

// Every character 7 pixels wide, captions 9.
ChartMetrics FixedMetrics()
{
    ChartMetrics m;
    m.captionHeight = 18;
    m.labelHeight = 14;
    m.width = [](std::wstring_view text, ChartFont font) {
        return static_cast<int>(text.size()) * (font == ChartFont::Caption ? 9 : 7);
    };
    return m;
}

Chart Columns(std::initializer_list<double> values)
{
    Chart chart;
    chart.caption = L"caption";
    chart.yAxisName = L"axis";
    chart.decimalPrecision = 1;
    int i = 0;
    for (double v : values)
        chart.sets.push_back({L"set" + std::to_wstring(i++), v, std::nullopt, {}});
    return chart;
}

TEST(ChartLayout, AxisSteps)
{
    const struct {
        double lowest, highest;
        double min, max, step;
        int decimals;
    } cases[] = {
        {0, 100, 0, 100, 20, 0},   {0, 93, 0, 100, 20, 0},      {0, 101, 0, 125, 25, 0},
        {0, 0, 0, 0.2, 0.2, 1},    {0, 1, 0, 1, 0.2, 1},        {0, 0.07, 0, 0.08, 0.02, 2},
        {-30, 70, -40, 80, 20, 0}, {-5, -1, -5, 0, 1, 0},       {0, 123456.78, 0, 125000, 25000, 0},
        {12, 20, 0, 20, 5, 0},     {0, 1e20, 0, 1e15, 2e14, 0},
    };
    for (const auto& c : cases) {
        const Axis axis = ChooseAxis(c.lowest, c.highest);
        EXPECT_DOUBLE_EQ(axis.min, c.min) << c.lowest << ".." << c.highest;
        EXPECT_DOUBLE_EQ(axis.max, c.max) << c.lowest << ".." << c.highest;
        EXPECT_DOUBLE_EQ(axis.step, c.step) << c.lowest << ".." << c.highest;
        EXPECT_EQ(axis.decimals, c.decimals) << c.lowest << ".." << c.highest;
    }
}

TEST(ChartLayout, OneBarPerSetInItsColourAndProportionalHeight)
{
    Chart chart = Columns({100, 50, 25, 0});
    chart.sets[1].color = 0x123456;
    const ColumnLayout layout = LayOutColumns(chart, 600, 300, FixedMetrics());
    ASSERT_EQ(layout.bars.size(), 4u);
    EXPECT_EQ(layout.axisMax, 100);
    EXPECT_EQ(layout.bars[0].color, PaletteColor(0));
    EXPECT_EQ(layout.bars[1].color, Rgb(0x123456));
    const int full = layout.bars[0].box.Height();
    EXPECT_EQ(full, layout.plot.Height());
    EXPECT_NEAR(layout.bars[1].box.Height(), full / 2.0, 1);
    EXPECT_NEAR(layout.bars[2].box.Height(), full / 4.0, 1);
    EXPECT_EQ(layout.bars[3].box.Height(), 0);
    for (size_t i = 0; i < layout.bars.size(); ++i) {
        const Bar& bar = layout.bars[i];
        EXPECT_EQ(bar.box.bottom, layout.baseline);
        EXPECT_GT(bar.box.Width(), 0);
        EXPECT_GE(bar.box.left, layout.plot.left);
        EXPECT_LE(bar.box.right, layout.plot.right);
        if (i > 0) {
            EXPECT_GT(bar.box.left, layout.bars[i - 1].box.right);  // a gap between bars
        }
        EXPECT_EQ(bar.value.y + 14 + 2, bar.box.top);  // the value just above
    }
    EXPECT_EQ(layout.bars[0].value.text, L"100.0");
    EXPECT_EQ(layout.bars[2].value.text, L"25.0");
    // Captions: the chart's centred on top, the axis title turned upwards at the left.
    ASSERT_EQ(layout.titles.size(), 2u);
    EXPECT_EQ(layout.titles[0].text, L"caption");
    EXPECT_EQ(layout.titles[0].x, 300);
    EXPECT_EQ(layout.titles[1].angle, 900);
    EXPECT_LT(layout.titles[1].x, layout.plot.left);
    // Axis values 0 to 100 in steps of 20, the grid on each.
    ASSERT_EQ(layout.ticks.size(), 6u);
    EXPECT_EQ(layout.ticks.front().text, L"0");
    EXPECT_EQ(layout.ticks.back().text, L"100");
    EXPECT_EQ(layout.gridLines.front(), layout.baseline);
    EXPECT_EQ(layout.gridLines.back(), layout.plot.top);
}

TEST(ChartLayout, NegativeValuesHangBelowTheBaseline)
{
    const ColumnLayout layout = LayOutColumns(Columns({40, -20}), 400, 300, FixedMetrics());
    ASSERT_EQ(layout.bars.size(), 2u);
    EXPECT_EQ(layout.bars[0].box.bottom, layout.baseline);
    EXPECT_EQ(layout.bars[1].box.top, layout.baseline);
    EXPECT_GT(layout.bars[1].value.y, layout.bars[1].box.bottom);
    EXPECT_LT(layout.baseline, layout.plot.bottom);
}

TEST(ChartLayout, LevelLabelsWrapIntoTwoLinesSlantedOnesTurn)
{
    Chart chart = Columns({1, 2});
    chart.sets[0].name = std::wstring(40, L'x');  // far wider than its slot
    const ColumnLayout level = LayOutColumns(chart, 300, 300, FixedMetrics());
    // Two lines for the long name, one for the short one; none wider than the slot.
    ASSERT_EQ(level.categories.size(), 3u);
    const int slot = level.plot.Width() / 2;
    for (const PlacedText& t : level.categories) {
        EXPECT_EQ(t.angle, 0);
        EXPECT_LE(static_cast<int>(t.text.size()) * 7, slot);
    }
    EXPECT_EQ(level.categories[1].text.back(), L'\u2026');
    EXPECT_EQ(level.categories[1].y, level.categories[0].y + 14);

    const ColumnLayout slanted = LayOutColumns(chart, 300, 300, FixedMetrics(), -25);
    ASSERT_EQ(slanted.categories.size(), 2u);
    EXPECT_EQ(slanted.categories[0].angle, 250);
    EXPECT_EQ(slanted.categories[0].align, PlacedText::Align::Right);
    // The band under the plot takes at most about a third of the height.
    EXPECT_GE(slanted.plot.bottom, 300 - 300 * 0.35 - 10);

    chart.showNames = false;
    EXPECT_TRUE(LayOutColumns(chart, 300, 300, FixedMetrics()).categories.empty());
}

TEST(ChartLayout, PieSlicesAreProportionalClockwiseFromTwelve)
{
    Chart chart;
    chart.showPercentValues = true;
    chart.decimalPrecision = 1;
    chart.sets = {{L"a", 50, 0x0000FF, {}},
                  {L"b", 25, std::nullopt, {}},
                  {L"c", 0, std::nullopt, {}},
                  {L"d", -5, std::nullopt, {}},
                  {L"e", 25, std::nullopt, {}}};
    const PieLayout pie = LayOutPie(chart, 400, 300, FixedMetrics());
    ASSERT_EQ(pie.slices.size(), 3u);  // zero and negative values have no slice
    EXPECT_EQ(pie.slices[0].set, 0);
    EXPECT_EQ(pie.slices[1].set, 1);
    EXPECT_EQ(pie.slices[2].set, 4);
    EXPECT_DOUBLE_EQ(pie.slices[0].startDegrees, 90);
    EXPECT_DOUBLE_EQ(pie.slices[0].sweepDegrees, 180);
    EXPECT_DOUBLE_EQ(pie.slices[1].startDegrees, -90);
    EXPECT_DOUBLE_EQ(pie.slices[2].startDegrees, -180);
    EXPECT_EQ(pie.slices[0].color, Rgb(0x0000FF));
    EXPECT_EQ(pie.slices[2].color, PaletteColor(4));
    EXPECT_EQ(pie.slices[0].percent, L"50.0%");
    ASSERT_EQ(pie.labels.size(), 3u);
    EXPECT_EQ(pie.labels[0].text, L"a, 50.0%");
    EXPECT_EQ(pie.labels[0].align, PlacedText::Align::Left);  // on the right half
    EXPECT_EQ(pie.labels[1].align, PlacedText::Align::Right);
    EXPECT_GT(pie.radius, 50);

    // The right half is a, the lower left quarter b, the upper left quarter e.
    const int r = pie.radius / 2;
    EXPECT_EQ(SliceAt(pie, pie.centreX + r, pie.centreY), 0);
    EXPECT_EQ(SliceAt(pie, pie.centreX - r, pie.centreY + 5), 1);
    EXPECT_EQ(SliceAt(pie, pie.centreX - r, pie.centreY - 5), 4);
    EXPECT_EQ(SliceAt(pie, pie.centreX, pie.centreY - pie.radius - 2), -1);
}

TEST(ChartLayout, NothingToShowOrNoRoomBreaksNothing)
{
    for (auto [w, h] : {std::pair{0, 0}, {1, 1}, {-5, 20}, {30, 5}}) {
        const ColumnLayout columns = LayOutColumns(Columns({1, 2, 3}), w, h, FixedMetrics(), -25);
        EXPECT_GT(columns.plot.Height(), 0);
        EXPECT_GT(columns.plot.Width(), 0);
        Chart pie = Columns({1, 2});
        const PieLayout slices = LayOutPie(pie, w, h, FixedMetrics());
        EXPECT_GE(slices.radius, 0);
    }
    EXPECT_TRUE(LayOutColumns(Chart{}, 300, 200, FixedMetrics()).bars.empty());
    EXPECT_TRUE(LayOutPie(Columns({0, -1}), 300, 200, FixedMetrics()).slices.empty());
    EXPECT_TRUE(LayOutPie(Columns({1e300, 1e300}), 300, 200, FixedMetrics()).slices.size() == 2);
}

}  // namespace
