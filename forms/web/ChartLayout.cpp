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

// A label in at most two lines of `room` pixels, broken between characters.
std::vector<std::wstring> TwoLines(const ChartMetrics& m, std::wstring_view text, int room)
{
    if (Width(m, text, ChartFont::Label) <= room)
        return {std::wstring(text)};
    size_t split = 0;
    while (split < text.size() && Width(m, text.substr(0, split + 1), ChartFont::Label) <= room)
        ++split;
    if (split == 0)
        return {Fit(m, text, room)};
    return {std::wstring(text.substr(0, split)), Fit(m, text.substr(split), room)};
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

    out.plot.left = left + tickWidth + kGap;
    out.plot.top = top;
    out.plot.right = std::max(out.plot.left + 1, width - kRightMargin);
    out.plot.bottom = std::max(out.plot.top + 1, height - kEdge - band);
    const Box& plot = out.plot;
    auto yOf = [&](double v) {
        return plot.bottom - Round((Clamp(v) - axis.min) / (axis.max - axis.min) * plot.Height());
    };
    out.baseline = yOf(0);

    if (!chart.yAxisName.empty())
        out.titles.push_back({chart.yAxisName, kEdge, (plot.top + plot.bottom) / 2, PlacedText::Align::Centre,
                              900, ChartFont::Label});
    for (int i = 0; i <= tickCount; ++i) {
        const int y = yOf(axis.min + i * axis.step);
        out.gridLines.push_back(y);
        out.ticks.push_back({tickTexts[static_cast<size_t>(i)], plot.left - kGap, y - m.labelHeight / 2,
                             PlacedText::Align::Right, 0, ChartFont::Label});
    }

    const size_t count = chart.sets.size();
    if (count == 0)
        return out;
    const double slot = static_cast<double>(plot.Width()) / static_cast<double>(count);
    const int barWidth = std::max(1, Round(slot * kBarShare));
    for (size_t i = 0; i < count; ++i) {
        const ChartSet& set = chart.sets[i];
        const int centre = plot.left + Round(slot * (static_cast<double>(i) + 0.5));
        Bar bar;
        bar.color = SetColor(chart, i);
        bar.box.left = centre - barWidth / 2;
        bar.box.right = bar.box.left + barWidth;
        const int y = yOf(set.value);
        bar.box.top = std::min(y, out.baseline);
        bar.box.bottom = std::max(y, out.baseline);
        const std::wstring text = FormatChartNumber(set.value, chart.decimalPrecision);
        bar.value = {text,
                     centre,
                     set.value < 0 ? bar.box.bottom + 2 : bar.box.top - m.labelHeight - 2,
                     PlacedText::Align::Centre,
                     0,
                     ChartFont::Label};
        out.bars.push_back(std::move(bar));

        if (!chart.showNames)
            continue;
        const int labelTop = plot.bottom + kGap;
        if (!slanted) {
            const int room = std::max(1, Round(slot) - 2);
            int line = 0;
            for (std::wstring& text : TwoLines(m, set.name, room))
                out.categories.push_back({std::move(text), centre, labelTop + m.labelHeight * line++,
                                          PlacedText::Align::Centre, 0, ChartFont::Label});
        } else {
            // The end of the slanted line sits under its bar.
            const double sine = std::sin(radians);
            const int room =
                sine > 0 ? Round((band - kGap - m.labelHeight * std::cos(radians)) / sine) : plot.Width();
            out.categories.push_back({Fit(m, set.name, std::max(room, 0)), centre, labelTop,
                                      PlacedText::Align::Right, -labelAngle * 10, ChartFont::Label});
        }
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
    const int across = width - 2 * (kEdge + labelWidth + kGap);
    out.radius = std::max(0, std::min(across, areaBottom - areaTop) / 2);
    out.centreX = width / 2;
    out.centreY = (areaTop + areaBottom) / 2;

    double start = 90;
    for (size_t k = 0; k < out.slices.size(); ++k) {
        Slice& slice = out.slices[k];
        slice.startDegrees = start;
        start -= slice.sweepDegrees;
        const double middle = (slice.startDegrees - slice.sweepDegrees / 2) * std::numbers::pi / 180;
        const double reach = out.radius + kGap;
        const int x = out.centreX + Round(reach * std::cos(middle));
        const int y = out.centreY - Round(reach * std::sin(middle)) - m.labelHeight / 2;
        const bool right = std::cos(middle) >= 0;
        out.labels.push_back({Fit(m, labels[k], mostLabel), x, y,
                              right ? PlacedText::Align::Left : PlacedText::Align::Right, 0,
                              ChartFont::Label});
    }
    return out;
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
