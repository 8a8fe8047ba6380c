// Chart texts: a "chart" element whose attributes give the caption, the
// y-axis title and the number style, then one "set" element per item with its
// name, value, colour and (in pies) tool tip. They are read as leniently as
// the program has always read them (AttrValue), with XML character references
// decoded; written by the workspace with the same escaping rule.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quill::web {

// A colour value with red in the low byte (the platform's COLORREF).
using Rgb = std::uint32_t;

enum class ChartKind { Column, Pie };

struct ChartSet {
    std::wstring name;
    double value = 0;          // a value that is no chart number counts 0
    std::optional<Rgb> color;  // nothing when absent or not six hex digits
    std::wstring toolText;
};

struct Chart {
    std::wstring caption;
    std::wstring yAxisName;
    int baseFontSize = kDefaultFontSize;  // pixels of a label's characters
    bool showNames = true;
    int decimalPrecision = kDefaultDecimals;
    bool showPercentValues = false;
    std::vector<ChartSet> sets;

    static constexpr int kDefaultFontSize = 12;
    static constexpr int kDefaultDecimals = 2;
};

// Reads a chart text; nothing in it is required, so any text gives a chart
// (with no sets when it holds no "<set").
Chart ReadChartText(std::wstring_view text);

// A chart value: an optional "-", then digits with an optional "." and more
// digits (at least one digit in all). Nothing else is a number here: no
// blanks, grouping, exponent or "+".
std::optional<double> ReadChartNumber(std::wstring_view text);

// "RRGGBB" (an optional "#" before it), hexadecimal in either case.
std::optional<Rgb> ReadChartColor(std::wstring_view text);
// The colour of set `index` when the chart gives it none.
Rgb PaletteColor(std::size_t index);

// Text for an attribute value: & < > " ' written as character references.
std::wstring XmlEscape(std::wstring_view text);
// The references XmlEscape writes, and numeric ones, read back; anything
// else (an unknown or broken reference) stays as it is.
std::wstring XmlUnescape(std::wstring_view text);

// A value as the chart shows it: `decimals` places (a half away from zero),
// the integer digits grouped by three with ",", never scaled to K or M.
std::wstring FormatChartNumber(double value, int decimals);

}  // namespace quill::web
