// The HTML path of a chart slot: the template "webchart.htm" filled from a
// chart text into the page the slot's browser shows. The template's script
// carries the chart in '...' strings and numbers (see its placeholders), so
// every text goes in escaped for a script string and every value only when
// it is a number; the placeholders are filled in one pass, so nothing a
// chart text holds is taken for a placeholder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quill::workspace {

struct ChartPageSize {
    std::int16_t type = 0;  // Sftype: 0 column chart, 1 pie
    std::int32_t widthTwips = 0, heightTwips = 0;
    float twipsPerPixelX = 15, twipsPerPixelY = 15;
    std::int32_t labelAngle = 0;  // ChartLabelAngle
};

// The data text: "['name',value]," for every set, the name's text in a
// script string, the value as itself when it is a chart number, else 0. A
// chart text is read as the page reads it: apostrophes become double quotes
// first, then every piece after a "<set" is a set.
std::wstring ChartDataText(std::wstring_view chartText);

// The template with [TITLE], [CAPTION], [FONTSIZE], [CHARTTYPE], [WIDTH],
// [HEIGHT], [FONTDU] and [CHARTDATA] filled wherever they occur.
std::wstring FillChartTemplate(std::wstring_view pageTemplate, std::wstring_view chartText,
                               const ChartPageSize& size);

}  // namespace quill::workspace
