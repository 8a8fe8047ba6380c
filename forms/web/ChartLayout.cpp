#include "forms/web/ChartLayout.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quill::web {

namespace {

constexpr int kEdge = 4;  // blank border around everything
constexpr int kGap = 4;   // between a text and what it labels
constexpr int kRightMargin = 10;
constexpr double kBarShare = 0.6;  // of a set's slot
constexpr double kLargest = 1e15;  // values are money: beyond this they only break the maths
constexpr int kAxisSteps = 5;
constexpr double kLabelBandShare = 0.35;  // of the height, at most, for slanted labels
constexpr double kPieLabelShare = 0.3;    // of the width, at most, for a pie label
constexpr int kLeaderRun = 12;            // from a pie's rim out to its labels' column
constexpr int kMostValueRows = 4;         // value labels staggered over at most this many lines
constexpr wchar_t kEllipsis = L'\u2026';

int Round(double v)
{
    return static_cast<int>(std::lround(v));
}

double Clamp(double v)
{
    return std::clamp(v, -kLargest, kLargest);
}

int Width(const ChartMetrics& m, std::wstring_view text, ChartFont font)
{
    return m.width ? m.width(text, font) : 0;
}

// The longest start of `text` that fits `room` pixels, with "…" when cut.
std::wstring Fit(const ChartMetrics& m, std::wstring_view text, int room)
{
    if (Width(m, text, ChartFont::Label) <= room)
        return std::wstring(text);
    std::wstring cut(text);
    while (!cut.empty()) {
        cut.pop_back();
        if (Width(m, cut + kEllipsis, ChartFont::Label) <= room)
            return cut + kEllipsis;
    }
    return {};
}

// Whether a label may go on to a second line before its character `i`:
// after a blank, or beside a wide (CJK) character, never inside a word or a
// number.
bool MayBreakBefore(std::wstring_view text, size_t i)
{
    auto wide = [](wchar_t c) { return c >= 0x2E80; };
    return i > 0 && i < text.size() && text[i] != L' ' &&
           (text[i - 1] == L' ' || wide(text[i - 1]) || wide(text[i]));
}

// A category label whole: its lines and the widest of them.
struct LabelShape {
    std::vector<std::wstring> lines;
    int width = 0;
};

// The label on one line, or on two where that is narrower: broken where it
// may break, the two lines as even as the breaks allow.
LabelShape NarrowestShape(const ChartMetrics& m, std::wstring_view text)
{
    LabelShape shape{{std::wstring(text)}, Width(m, text, ChartFont::Label)};
    for (size_t i = 1; i < text.size(); ++i) {
        if (!MayBreakBefore(text, i))
            continue;
        std::wstring_view first = text.substr(0, i);
        while (!first.empty() && first.back() == L' ')
            first.remove_suffix(1);
        const std::wstring_view rest = text.substr(i);
        const int widest = std::max(Width(m, first, ChartFont::Label), Width(m, rest, ChartFont::Label));
        if (!first.empty() && widest < shape.width)
            shape = {{std::wstring(first), std::wstring(rest)}, widest};
    }
    return shape;
}

// Where a text of `width` pixels centred on `centre` starts, moved no
// further than needed to lie between `lo` and `hi`.
int StartWithin(int centre, int width, int lo, int hi)
{
    return std::max(lo, std::min(centre - width / 2, hi - width));
}

// Whether two texts' boxes come within 2 pixels of each other side by side
// while they share a pixel row.
bool Touch(const Box& a, const Box& b)
{
    return a.left < b.right + 2 && b.left < a.right + 2 && a.top < b.bottom && b.top < a.bottom;
}

std::vector<PlacedText> Titles(const Chart& chart, const ChartMetrics& m, int width, int& top)
{
    std::vector<PlacedText> titles;
    if (!chart.caption.empty()) {
        titles.push_back({chart.caption, width / 2, top, PlacedText::Align::Centre, 0, ChartFont::Caption});
        top += m.captionHeight + kGap + 2;
    }
    return titles;
}

}  // namespace

Rgb SetColor(const Chart& chart, std::size_t index)
{
    const auto& color = chart.sets[index].color;
    return color ? *color : PaletteColor(index);
}

Axis ChooseAxis(double lowest, double highest)
{
    lowest = std::min(Clamp(lowest), 0.0);
    highest = std::max(Clamp(highest), 0.0);
    double range = highest - lowest;
    if (range <= 0)
        range = 1;
    const double raw = range / kAxisSteps;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    double step = 10 * magnitude;
    for (double factor : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (factor * magnitude >= raw * (1 - 1e-9)) {
            step = factor * magnitude;
            break;
        }
    }
    Axis axis;
    axis.step = step;
    axis.min = std::floor(lowest / step + 1e-9) * step;
    axis.max = std::ceil(highest / step - 1e-9) * step;
    if (axis.max <= axis.min)
        axis.max = axis.min + step;
    axis.decimals = 0;
    while (axis.decimals < 6) {
        const double scaled = step * std::pow(10.0, axis.decimals);
        if (std::abs(scaled - std::round(scaled)) < 1e-6 * std::max(1.0, scaled))
            break;
        ++axis.decimals;
    }
    return axis;
}

ColumnLayout LayOutColumns(const Chart& chart, int width, int height, const ChartMetrics& m, int labelAngle)
{
    ColumnLayout out;
    int top = kEdge;
    out.titles = Titles(chart, m, width, top);
    top += m.labelHeight + kGap;  // room for the value over the tallest bar

    int left = kEdge;
    if (!chart.yAxisName.empty()) {
        // Read upwards, centred on the plot: placed once the plot is known.
        left += m.labelHeight + kGap;
    }

    double lowest = 0, highest = 0;
    for (const ChartSet& set : chart.sets) {
        lowest = std::min(lowest, Clamp(set.value));
        highest = std::max(highest, Clamp(set.value));
    }
    const Axis axis = ChooseAxis(lowest, highest);
    out.axisMin = axis.min;
    out.axisMax = axis.max;
    std::vector<std::wstring> tickTexts;
    int tickWidth = 0;
    const int tickCount = Round((axis.max - axis.min) / axis.step);
    for (int i = 0; i <= tickCount; ++i) {
        tickTexts.push_back(FormatChartNumber(axis.min + i * axis.step, axis.decimals));
        tickWidth = std::max(tickWidth, Width(m, tickTexts.back(), ChartFont::Label));
    }

    // The category labels' band under the plot.
    const bool slanted = labelAngle != 0;
    const double radians = std::abs(labelAngle) * std::numbers::pi / 180;
    int band = 0;
    if (chart.showNames && !chart.sets.empty()) {
        if (!slanted) {
            band = 2 * m.labelHeight + kGap;
        } else {
            const int most = Round(height * kLabelBandShare);
            for (const ChartSet& set : chart.sets)
                band = std::max(band, Round(Width(m, set.name, ChartFont::Label) * std::sin(radians) +
                                            m.labelHeight * std::cos(radians)));
            band = std::min(band, most) + kGap;
        }
    }

    const size_t count = chart.sets.size();
    std::vector<std::wstring> valueTexts;
    for (const ChartSet& set : chart.sets)
        valueTexts.push_back(FormatChartNumber(set.value, chart.decimalPrecision));
    // The first and the last value stay clear of the axis values and of the
    // chart's edge: the plot moves in where they are wider than their slots.
    const int tickRight = left + tickWidth;
    out.plot.left = tickRight + kGap;
    out.plot.right = std::max(out.plot.left + 1, width - kRightMargin);
    double slot = 0;
    for (int pass = 0; pass < 3 && count > 0; ++pass) {
        slot = static_cast<double>(out.plot.right - out.plot.left) / static_cast<double>(count);
        const int firstOver = (Width(m, valueTexts.front(), ChartFont::Label) - Round(slot)) / 2 + 1;
        const int lastOver = (Width(m, valueTexts.back(), ChartFont::Label) - Round(slot)) / 2 + 1;
        out.plot.left = tickRight + kGap + std::max(0, firstOver);
        out.plot.right =
            std::max(out.plot.left + 1, width - kEdge - std::max(kRightMargin - kEdge, lastOver));
    }
    if (count > 0)
        slot = static_cast<double>(out.plot.right - out.plot.left) / static_cast<double>(count);
    auto centreOf = [&](size_t i) { return out.plot.left + Round(slot * (static_cast<double>(i) + 0.5)); };
    std::vector<int> valueWidths;
    int widestValue = 0;
    for (const std::wstring& text : valueTexts) {
        valueWidths.push_back(Width(m, text, ChartFont::Label));
        widestValue = std::max(widestValue, valueWidths.back());
    }

    // The plot when the values stand in `rows` lines: the top band holds
    // their lines; values under the bars that go below 0 get a band of their
    // own, above the category labels.
    const int valueLine = m.labelHeight + 1;
    struct PlotFor {
        Box box;
        int under = 0;
    };
    auto plotFor = [&](int rows) {
        PlotFor p;
        p.under = lowest < 0 ? m.labelHeight + 2 + (rows - 1) * valueLine : 0;
        p.box = {out.plot.left, top + (rows - 1) * valueLine, out.plot.right, 0};
        p.box.bottom = std::max(p.box.top + 1, height - kEdge - band - p.under);
        return p;
    };
    auto yIn = [&](const Box& plot, double v) {
        return plot.bottom - Round((Clamp(v) - axis.min) / (axis.max - axis.min) * plot.Height());
    };
    // Value i in its line, beyond the end of its bar.
    auto valueTop = [&](const Box& plot, size_t i, int line) {
        const int y = yIn(plot, chart.sets[i].value), baseline = yIn(plot, 0);
        return chart.sets[i].value < 0 ? std::max(y, baseline) + 2 + line * valueLine
                                       : std::min(y, baseline) - m.labelHeight - 2 - line * valueLine;
    };
    auto valueBox = [&](const Box& plot, size_t i, int line) {
        const int left = centreOf(i) - valueWidths[i] / 2, y = valueTop(plot, i, line);
        return Box{left, y, left + valueWidths[i], y + m.labelHeight};
    };
    // Whether, in `rows` lines taken in turn, every value stays 2 pixels
    // from the others in its line, and from the values of the other lines
    // where bars of other heights bring them level.
    auto valuesApart = [&](int rows) {
        const auto lines = static_cast<size_t>(rows);
        for (size_t i = 0; i + lines < count; ++i)
            if ((valueWidths[i] + valueWidths[i + lines]) / 2.0 + 2 > rows * slot)
                return false;
        const Box plot = plotFor(rows).box;
        for (size_t i = 0; i < count; ++i) {
            const Box a = valueBox(plot, i, static_cast<int>(i % lines));
            for (size_t j = i + 1; j < count && centreOf(j) - centreOf(i) < widestValue + 2; ++j)
                if (Touch(a, valueBox(plot, j, static_cast<int>(j % lines))))
                    return false;
        }
        return true;
    };
    // Every value, in as few lines as keep them apart; where no number of
    // lines does, one line, and each value left out that would come within
    // 2 pixels of the last one shown.
    int rows = 0;
    for (int r = 1; r <= kMostValueRows && rows == 0; ++r)
        if (valuesApart(r))
            rows = r;
    std::vector<bool> valueShown(count, true);
    if (rows == 0) {
        rows = 1;
        int lastRight = 0;
        for (size_t i = 0; i < count; ++i) {
            const int left = centreOf(i) - valueWidths[i] / 2;
            valueShown[i] = i == 0 || left >= lastRight + 2;
            if (valueShown[i])
                lastRight = left + valueWidths[i];
        }
    }
    const PlotFor chosen = plotFor(rows);
    out.plot = chosen.box;
    const int under = chosen.under;
    const Box& plot = out.plot;
    auto yOf = [&](double v) { return yIn(plot, v); };
    out.baseline = yOf(0);

    if (!chart.yAxisName.empty())
        out.titles.push_back({chart.yAxisName, kEdge, (plot.top + plot.bottom) / 2, PlacedText::Align::Centre,
                              900, ChartFont::Label});
    for (int i = 0; i <= tickCount; ++i) {
        const int y = yOf(axis.min + i * axis.step);
        out.gridLines.push_back(y);
        out.ticks.push_back({tickTexts[static_cast<size_t>(i)], tickRight, y - m.labelHeight / 2,
                             PlacedText::Align::Right, 0, ChartFont::Label});
    }

    if (count == 0)
        return out;
    const int barWidth = std::max(1, Round(slot * kBarShare));
    int shownValues = 0;
    for (size_t i = 0; i < count; ++i) {
        const int centre = centreOf(i);
        Bar bar;
        bar.color = SetColor(chart, i);
        bar.box.left = centre - barWidth / 2;
        bar.box.right = bar.box.left + barWidth;
        const int y = yOf(chart.sets[i].value);
        bar.box.top = std::min(y, out.baseline);
        bar.box.bottom = std::max(y, out.baseline);
        const int line = valueShown[i] ? shownValues++ % rows : 0;
        bar.value = {valueShown[i] ? valueTexts[i] : std::wstring(),
                     centre,
                     valueTop(plot, i, line),
                     PlacedText::Align::Centre,
                     0,
                     ChartFont::Label};
        out.bars.push_back(std::move(bar));
    }

    if (!chart.showNames)
        return out;
    const int labelTop = plot.bottom + under + kGap;
    if (!slanted) {
        // Each name whole under its bar, on a second line where it breaks
        // and its slot is too narrow for one; one that would come within 2
        // pixels of the last one shown is left out. A name wider than the
        // whole chart is cut.
        const int room = std::max(1, Round(slot) - 2);
        const int lo = plot.left, hi = std::max(lo + 1, width - kEdge);
        int lastRight = 0;
        bool first = true;
        for (size_t i = 0; i < count; ++i) {
            const std::wstring& name = chart.sets[i].name;
            if (name.empty())
                continue;
            LabelShape shape{{name}, Width(m, name, ChartFont::Label)};
            if (shape.width > room)
                shape = NarrowestShape(m, name);
            if (shape.width > hi - lo) {
                const std::wstring cut = Fit(m, name, hi - lo);
                shape = {{cut}, Width(m, cut, ChartFont::Label)};
            }
            const int left = StartWithin(centreOf(i), shape.width, lo, hi);
            if (!first && left < lastRight + 2)
                continue;
            first = false;
            lastRight = left + shape.width;
            int line = 0;
            for (std::wstring& text : shape.lines)
                out.categories.push_back({std::move(text), left + shape.width / 2,
                                          labelTop + m.labelHeight * line++, PlacedText::Align::Centre, 0,
                                          ChartFont::Label});
        }
    } else {
        // The end of each slanted line sits under its bar; lines closer to
        // each other than a line's height are thinned out, every so many kept.
        const double sine = std::sin(radians);
        const int room =
            sine > 0 ? Round((band - kGap - m.labelHeight * std::cos(radians)) / sine) : plot.Width();
        size_t step = 1;
        while (step < count && static_cast<double>(step) * slot * sine < m.labelHeight + 1)
            ++step;
        for (size_t i = 0; i < count; i += step)
            out.categories.push_back({Fit(m, chart.sets[i].name, std::max(room, 0)), centreOf(i), labelTop,
                                      PlacedText::Align::Right, -labelAngle * 10, ChartFont::Label});
    }
    return out;
}

PieLayout LayOutPie(const Chart& chart, int width, int height, const ChartMetrics& m)
{
    PieLayout out;
    int top = kEdge;
    out.titles = Titles(chart, m, width, top);

    double total = 0;
    for (const ChartSet& set : chart.sets)
        if (set.value > 0)
            total += Clamp(set.value);
    std::vector<std::wstring> labels;
    int labelWidth = 0;
    for (size_t i = 0; i < chart.sets.size(); ++i) {
        if (!(chart.sets[i].value > 0) || total <= 0)
            continue;
        Slice slice;
        slice.set = static_cast<int>(i);
        slice.color = SetColor(chart, i);
        slice.sweepDegrees = Clamp(chart.sets[i].value) / total * 360;
        slice.percent =
            FormatChartNumber(Clamp(chart.sets[i].value) / total * 100, chart.decimalPrecision) + L"%";
        std::wstring label;
        if (chart.showNames)
            label = chart.sets[i].name;
        if (chart.showPercentValues)
            label += (label.empty() ? L"" : L", ") + slice.percent;
        labels.push_back(label);
        labelWidth = std::max(labelWidth, Width(m, label, ChartFont::Label));
        out.slices.push_back(std::move(slice));
    }
    const int mostLabel = Round(width * kPieLabelShare);
    labelWidth = std::min(labelWidth, mostLabel);

    const int areaTop = top + m.labelHeight;
    const int areaBottom = height - kEdge - m.labelHeight;
    const int across = width - 2 * (kEdge + labelWidth + kGap + kLeaderRun);
    out.radius = std::max(0, std::min(across, areaBottom - areaTop) / 2);
    out.centreX = width / 2;
    out.centreY = (areaTop + areaBottom) / 2;

    double start = 90;
    std::vector<double> middles;
    for (Slice& slice : out.slices) {
        slice.shape = ShapeOfSlice(slice.sweepDegrees, out.radius);
        slice.startDegrees = start;
        start -= slice.sweepDegrees;
        middles.push_back((slice.startDegrees - slice.sweepDegrees / 2) * std::numbers::pi / 180);
    }

    // Each half's labels stand in a column beside the pie, in the order of
    // their slices from top to bottom, each as near its slice as its
    // neighbours leave room for; a leader joins it to its slice.
    out.labels.resize(out.slices.size());
    out.leaders.resize(out.slices.size());
    const int line = m.labelHeight + 1;
    const int highest = top, lowest = std::max(top, height - kEdge - m.labelHeight);
    for (const bool right : {true, false}) {
        std::vector<std::pair<int, size_t>> column;  // wanted top, slice
        for (size_t k = 0; k < middles.size(); ++k)
            if ((std::cos(middles[k]) >= 0) == right)
                column.emplace_back(
                    out.centreY - Round((out.radius + kGap) * std::sin(middles[k])) - m.labelHeight / 2, k);
        std::stable_sort(column.begin(), column.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<int> tops;
        for (const auto& [wanted, k] : column)
            tops.push_back(std::max({wanted, highest, tops.empty() ? highest : tops.back() + line}));
        for (size_t i = tops.size(); i-- > 0;)
            tops[i] = std::min(tops[i], i + 1 == tops.size() ? lowest : tops[i + 1] - line);
        const int x = out.centreX + (right ? 1 : -1) * (out.radius + kGap + kLeaderRun);
        for (size_t i = 0; i < column.size(); ++i) {
            const size_t k = column[i].second;
            out.labels[k] = {Fit(m, labels[k], mostLabel),
                             x,
                             tops[i],
                             right ? PlacedText::Align::Left : PlacedText::Align::Right,
                             0,
                             ChartFont::Label};
            Leader& l = out.leaders[k];
            l.x0 = out.centreX + Round(out.radius * std::cos(middles[k]));
            l.y0 = out.centreY - Round(out.radius * std::sin(middles[k]));
            l.x1 = x + (right ? -2 : 2);
            l.y1 = tops[i] + m.labelHeight / 2;
            // From the rim a straight line heading inwards crosses the pie; a
            // level one leaves it, and the column stands clear of it.
            const bool inwards =
                (l.x1 - l.x0) * (l.x0 - out.centreX) + (l.y1 - l.y0) * (l.y0 - out.centreY) < 0;
            l.xBend = l.x1;
            l.yBend = inwards ? l.y0 : l.y1;
        }
    }
    return out;
}

SliceShape ShapeOfSlice(double sweepDegrees, int radius)
{
    constexpr double kThinnest = 2;  // pixels along the rim
    const double pixelsPerDegree = radius * std::numbers::pi / 180;
    if (sweepDegrees * pixelsPerDegree < kThinnest)
        return SliceShape::Sliver;
    if ((360 - sweepDegrees) * pixelsPerDegree < kThinnest)
        return SliceShape::Disc;
    return SliceShape::Wedge;
}

int SliceAt(const PieLayout& pie, int x, int y)
{
    const double dx = x - pie.centreX, dy = pie.centreY - y;
    if (dx * dx + dy * dy > static_cast<double>(pie.radius) * pie.radius)
        return -1;
    double angle = std::atan2(dy, dx) * 180 / std::numbers::pi;
    for (const Slice& slice : pie.slices) {
        // How far clockwise from the slice's start the point lies.
        double along = std::fmod(slice.startDegrees - angle, 360.0);
        if (along < 0)
            along += 360;
        if (along < slice.sweepDegrees)
            return slice.set;
    }
    return -1;
}

}  // namespace quill::web
