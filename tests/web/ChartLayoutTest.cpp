#include "forms/web/ChartLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <set>
#include <string>
#include <vector>

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

// A level name too wide for its slot goes on to a second line only where it
// may break (a blank, beside a CJK character), never inside a word or a
// number; one wider than the whole chart is cut with "…". Slanted names turn.
TEST(ChartLayout, LevelLabelsBreakOnlyBetweenWordsSlantedOnesTurn)
{
    const struct {
        std::wstring name;
        std::vector<std::wstring> lines;
    } cases[] = {
        {L"ab", {L"ab"}},
        {L"loan of may", {L"loan", L"of may"}},
        {L"\u7a33\u76c8\u5b89e\u8d371\u671f", {L"\u7a33\u76c8\u5b89", L"e\u8d371\u671f"}},
        {L"U\u8ba1\u52122606-2", {L"U\u8ba1\u5212", L"2606-2"}},
        {L"202612", {L"202612"}},
        {std::wstring(60, L'x'), {std::wstring(37, L'x') + L'\u2026'}},
    };
    for (const auto& c : cases) {
        Chart chart = Columns({1, 2, 3, 4, 5, 6, 7, 8});
        for (ChartSet& set : chart.sets)
            set.name = c.name;
        // Slots of 36 pixels: five characters and a bit.
        const ColumnLayout level = LayOutColumns(chart, 20 + 8 * 36, 300, FixedMetrics());
        // Each label shown in the same lines.
        ASSERT_FALSE(level.categories.empty());
        ASSERT_EQ(level.categories.size() % c.lines.size(), 0u);
        for (size_t i = 0; i < level.categories.size(); ++i) {
            EXPECT_EQ(level.categories[i].angle, 0);
            EXPECT_EQ(level.categories[i].text, c.lines[i % c.lines.size()]) << i;
        }
    }

    Chart chart = Columns({1, 2});
    chart.sets[0].name = std::wstring(40, L'x');
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

// A wedge needs two rim points at least two pixels apart; a thinner slice is
// drawn as a sliver, and one that leaves less of the rim as the whole disc.
TEST(ChartLayout, SlicesUnderTwoPixelsOfTheRimAreSliversAndTheirRestTheDisc)
{
    const struct {
        double sweep;
        int radius;
        SliceShape shape;
    } cases[] = {
        {0.1, 100, SliceShape::Sliver}, {1.14, 100, SliceShape::Sliver},  {1.15, 100, SliceShape::Wedge},
        {30, 100, SliceShape::Wedge},   {358.85, 100, SliceShape::Wedge}, {358.86, 100, SliceShape::Disc},
        {359.9, 100, SliceShape::Disc}, {360, 100, SliceShape::Disc},     {5.7, 20, SliceShape::Sliver},
        {5.8, 20, SliceShape::Wedge},   {360, 0, SliceShape::Sliver},     {0.28, 400, SliceShape::Sliver},
        {0.3, 400, SliceShape::Wedge},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShapeOfSlice(c.sweep, c.radius), c.shape) << c.sweep << " at " << c.radius;

    // The laid-out pie gives each slice its shape at its radius.
    const struct {
        std::initializer_list<double> values;
        std::vector<SliceShape> shapes;
    } pies[] = {
        {{0, 1, 3599}, {SliceShape::Sliver, SliceShape::Disc}},
        {{3599, 1}, {SliceShape::Disc, SliceShape::Sliver}},
        {{1, 1799, 1800}, {SliceShape::Sliver, SliceShape::Wedge, SliceShape::Wedge}},
        {{101000, 81000, 110, 1100},
         {SliceShape::Wedge, SliceShape::Wedge, SliceShape::Sliver, SliceShape::Wedge}},
    };
    for (const auto& p : pies) {
        const PieLayout pie = LayOutPie(Columns(p.values), 400, 300, FixedMetrics());
        ASSERT_GT(pie.radius, 80);
        ASSERT_LT(pie.radius, 150);
        ASSERT_EQ(pie.slices.size(), p.shapes.size());
        for (size_t i = 0; i < p.shapes.size(); ++i)
            EXPECT_EQ(pie.slices[i].shape, p.shapes[i]) << i;
    }
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

namespace {

// Where a level text lies by the fixed metrics.
Box Extent(const PlacedText& t)
{
    const bool caption = t.font == ChartFont::Caption;
    const int width = static_cast<int>(t.text.size()) * (caption ? 9 : 7);
    const int left = t.align == PlacedText::Align::Left     ? t.x
                     : t.align == PlacedText::Align::Centre ? t.x - width / 2
                                                            : t.x - width;
    return {left, t.y, left + width, t.y + (caption ? 18 : 14)};
}

// The first two level texts that overlap, named; empty when none does.
std::string Overlaps(const std::vector<PlacedText>& texts)
{
    for (size_t i = 0; i < texts.size(); ++i)
        for (size_t j = i + 1; j < texts.size(); ++j) {
            if (texts[i].angle != 0 || texts[j].angle != 0 || texts[i].text.empty() || texts[j].text.empty())
                continue;
            const Box a = Extent(texts[i]), b = Extent(texts[j]);
            if (a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom)
                return std::to_string(i) + " and " + std::to_string(j) + " overlap";
        }
    return {};
}

std::vector<PlacedText> EveryText(const ColumnLayout& layout)
{
    std::vector<PlacedText> texts = layout.titles;
    texts.insert(texts.end(), layout.ticks.begin(), layout.ticks.end());
    for (const Bar& bar : layout.bars)
        texts.push_back(bar.value);
    texts.insert(texts.end(), layout.categories.begin(), layout.categories.end());
    return texts;
}

// The line a bar's value stands in, counted away from the bar: the nearest
// 2 pixels from the bar's end, each next one a label's height and a pixel
// farther; -1 when the value stands between lines.
int ValueLine(const Bar& bar, int baseline)
{
    const Box value = Extent(bar.value);
    const int away = bar.box.bottom > baseline ? value.top - bar.box.bottom : bar.box.top - value.bottom;
    return away >= 2 && (away - 2) % 15 == 0 ? (away - 2) / 15 : -1;
}

// Values too wide for their slots stand in lines taken in turn (value i in
// line i modulo the lines), values in one line at least 2 pixels apart, and
// in as few lines as that allows: in one line fewer two values would come
// closer (by 3 pixels: a slot is a fraction of a pixel wide, the values'
// places whole pixels). The first fault, named; empty when none.
std::string StaggerFault(const ColumnLayout& layout)
{
    std::vector<int> lines;
    for (const Bar& bar : layout.bars)
        lines.push_back(ValueLine(bar, layout.baseline));
    if (lines.empty())
        return {};
    const int rows = *std::max_element(lines.begin(), lines.end()) + 1;
    auto gap = [&](size_t i, size_t j) {
        return Extent(layout.bars[j].value).left - Extent(layout.bars[i].value).right;
    };
    bool fewerWouldMeet = rows == 1;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] != static_cast<int>(i % static_cast<size_t>(rows)))
            return "value " + std::to_string(i) + " in line " + std::to_string(lines[i]) + " of " +
                   std::to_string(rows);
        if (const size_t j = i + static_cast<size_t>(rows); j < lines.size() && gap(i, j) < 2)
            return "values " + std::to_string(i) + " and " + std::to_string(j) + " " +
                   std::to_string(gap(i, j)) + " pixels apart";
        if (const size_t j = i + static_cast<size_t>(rows) - 1; rows > 1 && j < lines.size() && gap(i, j) < 3)
            fewerWouldMeet = true;
    }
    return fewerWouldMeet ? "" : std::to_string(rows) + " lines where fewer would do";
}

TEST(ChartLayout, NoColumnLabelRunsIntoAnother)
{
    std::vector<double> wide;
    for (int i = 0; i < 24; ++i)
        wide.push_back(i % 3 == 0 ? -1234567.8 : 7654321.2);
    const struct {
        const char* name;
        Chart chart;
        int width;
    } cases[] = {
        // A loss as deep as the axis goes: its value under its bar, the
        // category under the value.
        {"negative", Columns({3000, -1667.3, -2000, 800}), 600},
        {"only negative", Columns({-1667.3, -20}), 300},
        {"values wider than their bars",
         [&] {
             Chart c = Columns({});
             int i = 0;
             for (double v : wide)
                 c.sets.push_back({L"m" + std::to_wstring(i++), v, std::nullopt, {}});
             return c;
         }(),
         700},
    };
    for (const auto& c : cases) {
        const ColumnLayout layout = LayOutColumns(c.chart, c.width, 300, FixedMetrics());
        EXPECT_EQ(Overlaps(EveryText(layout)), "") << c.name;
        EXPECT_EQ(StaggerFault(layout), "") << c.name;
        for (const Bar& bar : layout.bars) {
            const Box value = Extent(bar.value);
            EXPECT_GE(value.top, 0) << c.name;
            EXPECT_LE(value.bottom, 300) << c.name;
            // Each value on its own side of its bar.
            if (bar.box.bottom > layout.baseline) {
                EXPECT_GE(value.top, bar.box.bottom) << c.name;
            } else {
                EXPECT_LE(value.bottom, bar.box.top) << c.name;
            }
        }
    }
}

// Twenty-five months of a schedule whose holding interest falls month by
// month, as wide as a large project's: at every width, no month is broken or
// cut, no two labels come within 2 pixels of each other (whatever line a
// value stands in), and a label is left out only where it would have come
// that near the last one shown. Slanted months stand at least a line's
// height apart across their slant.
TEST(ChartLayout, LabelsThatWouldTouchAreThinnedOut)
{
    Chart chart = Columns({});
    chart.decimalPrecision = 0;
    for (int i = 0; i < 25; ++i)
        chart.sets.push_back({std::to_wstring(202500 + 100 * (i / 12) + i % 12 + 1),
                              4166667.0 * (25 - i) / 25,
                              std::nullopt,
                              {}});
    std::set<bool> everyValueSeen, everyNameSeen;
    for (int width = 300; width <= 2000; width += 5) {
        SCOPED_TRACE(width);
        const ColumnLayout layout = LayOutColumns(chart, width, 200, FixedMetrics());
        // The values shown: none within 2 pixels of another.
        std::vector<Box> shown;
        Box last{};
        bool every = true;
        for (size_t i = 0; i < layout.bars.size(); ++i) {
            PlacedText value = layout.bars[i].value;
            const bool left = value.text.empty();
            value.text = FormatChartNumber(chart.sets[i].value, 0);
            const Box box = Extent(value);
            if (left) {
                every = false;
                // Left out only where it would come within 2 pixels of the last value shown.
                EXPECT_LT(box.left, last.right + 2) << "value " << i;
                continue;
            }
            for (const Box& other : shown)
                ASSERT_FALSE(box.left < other.right + 2 && other.left < box.right + 2 &&
                             box.top < other.bottom && other.top < box.bottom)
                    << "value " << i << " touches another";
            shown.push_back(box);
            last = box;
        }
        EXPECT_FALSE(shown.empty());
        everyValueSeen.insert(every);
        // The names shown: whole, on one line, apart.
        std::set<std::wstring> names;
        for (const ChartSet& set : chart.sets)
            names.insert(set.name);
        for (size_t i = 0; i < layout.categories.size(); ++i) {
            EXPECT_EQ(names.count(layout.categories[i].text), 1u) << i;
            EXPECT_EQ(layout.categories[i].y, layout.categories[0].y) << i;
            if (i > 0) {
                EXPECT_GE(Extent(layout.categories[i]).left, Extent(layout.categories[i - 1]).right + 2) << i;
            }
        }
        everyNameSeen.insert(layout.categories.size() == chart.sets.size());
        EXPECT_EQ(Overlaps(EveryText(layout)), "");

        const ColumnLayout slanted = LayOutColumns(chart, width, 200, FixedMetrics(), -25);
        for (size_t i = 1; i < slanted.categories.size(); ++i)
            EXPECT_GE((slanted.categories[i].x - slanted.categories[i - 1].x) *
                          std::sin(25 * std::numbers::pi / 180),
                      14)
                << i;
    }
    // Narrow charts thin both out; wide ones show every label.
    EXPECT_EQ(everyValueSeen, (std::set<bool>{false, true}));
    EXPECT_EQ(everyNameSeen, (std::set<bool>{false, true}));
}

// Wide values next to narrow ones, at every width from one line to three:
// each value shares its line with the values as many places away as there
// are lines, not with its neighbours.
TEST(ChartLayout, ValuesStaggerByTheirLinesAtEveryWidth)
{
    Chart chart = Columns({});
    for (int i = 0; i < 12; ++i)
        chart.sets.push_back({L"m" + std::to_wstring(i), i % 2 ? 1.0 : 8888888.8, std::nullopt, {}});
    std::set<int> linesSeen;
    for (int width = 360; width <= 1200; ++width) {
        const ColumnLayout layout = LayOutColumns(chart, width, 300, FixedMetrics());
        ASSERT_EQ(StaggerFault(layout), "") << width;
        ASSERT_EQ(Overlaps(EveryText(layout)), "") << width;
        int lines = 0;
        for (const Bar& bar : layout.bars)
            lines = std::max(lines, ValueLine(bar, layout.baseline) + 1);
        linesSeen.insert(lines);
    }
    EXPECT_EQ(linesSeen, (std::set<int>{1, 2, 3}));
}

TEST(ChartLayout, PieLabelsOfSmallSlicesStandApartWithLeaders)
{
    Chart chart;
    chart.caption = L"principal";
    chart.showNames = true;
    chart.showPercentValues = true;
    chart.decimalPrecision = 2;
    const double values[] = {60, 5.43, 1.36, 1.2, 0.8, 0.5, 12, 0.3, 0.2, 0.1, 18, 0.4, 0.3};
    int i = 0;
    for (double v : values)
        chart.sets.push_back({L"p" + std::to_wstring(i++), v, std::nullopt, {}});
    for (auto [w, h] : {std::pair{490, 300}, {400, 200}, {700, 450}}) {
        const PieLayout pie = LayOutPie(chart, w, h, FixedMetrics());
        ASSERT_EQ(pie.labels.size(), pie.slices.size());
        ASSERT_EQ(pie.leaders.size(), pie.slices.size());
        std::vector<PlacedText> texts = pie.titles;
        texts.insert(texts.end(), pie.labels.begin(), pie.labels.end());
        EXPECT_EQ(Overlaps(texts), "") << w << "x" << h;
        for (size_t k = 0; k < pie.labels.size(); ++k) {
            const Box label = Extent(pie.labels[k]);
            EXPECT_GE(label.left, 0) << k;
            EXPECT_LE(label.right, w) << k;
            EXPECT_GE(label.top, 0) << k;
            EXPECT_LE(label.bottom, h) << k;
            // The leader starts on the slice's rim, at its middle, and ends
            // at the label's near end, level with its line.
            const Leader& l = pie.leaders[k];
            const double middle =
                (pie.slices[k].startDegrees - pie.slices[k].sweepDegrees / 2) * std::numbers::pi / 180;
            EXPECT_NEAR(l.x0, pie.centreX + pie.radius * std::cos(middle), 1) << k;
            EXPECT_NEAR(l.y0, pie.centreY - pie.radius * std::sin(middle), 1) << k;
            EXPECT_EQ(l.y1, label.top + 7) << k;
            EXPECT_LE(
                std::abs(l.x1 - (pie.labels[k].align == PlacedText::Align::Left ? label.left : label.right)),
                2)
                << k;
            // Beside the pie, never over it.
            EXPECT_TRUE(label.left > pie.centreX + pie.radius || label.right < pie.centreX - pie.radius) << k;
        }
    }
}

// Labels pushed far from their slices (many thin slices side by side) keep
// their leaders off the pie: level out to the column, then along it.
TEST(ChartLayout, PieLeadersNeverCrossThePie)
{
    const std::initializer_list<double> crowded[] = {
        {101000, 81000, 110, 120, 150, 200, 260, 330, 420, 540, 680, 820, 960, 1100},
        {60, 5.43, 1.36, 1.2, 0.8, 0.5, 12, 0.3, 0.2, 0.1, 18, 0.4, 0.3},
        {50, 50},
    };
    for (const auto& values : crowded)
        for (auto [w, h] : {std::pair{490, 300}, {600, 300}, {400, 200}, {700, 450}}) {
            Chart chart = Columns(values);
            chart.showNames = true;
            chart.showPercentValues = true;
            const PieLayout pie = LayOutPie(chart, w, h, FixedMetrics());
            ASSERT_EQ(pie.leaders.size(), pie.slices.size());
            auto nearest = [&](int xa, int ya, int xb, int yb) {
                double least = 1e9;
                for (int step = 0; step <= 100; ++step) {
                    const double x = xa + (xb - xa) * step / 100.0, y = ya + (yb - ya) * step / 100.0;
                    least = std::min(least, std::hypot(x - pie.centreX, y - pie.centreY));
                }
                return least;
            };
            for (size_t k = 0; k < pie.leaders.size(); ++k) {
                const Leader& l = pie.leaders[k];
                EXPECT_GE(nearest(l.x0, l.y0, l.xBend, l.yBend), pie.radius - 1)
                    << k << " at " << w << "x" << h;
                EXPECT_GE(nearest(l.xBend, l.yBend, l.x1, l.y1), pie.radius - 1)
                    << k << " at " << w << "x" << h;
                EXPECT_TRUE((l.xBend == l.x1 && l.yBend == l.y1) || (l.xBend == l.x1 && l.yBend == l.y0))
                    << k;
            }
        }
}

}  // namespace
