// The chart a report page carries: the page's script names its chart in an
// object literal "quillChart" (title, axis name, font size, type, size, label
// angle and the data as ['name', value] pairs), which the page draws for
// itself; the browser reads it back and draws the same chart.
#pragma once

#include "forms/web/ChartText.h"

#include <optional>
#include <string_view>

namespace quill::web {

struct ReportChart {
    Chart chart;  // sets without colours: the palette colours them
    ChartKind kind = ChartKind::Column;
    int width = 0, height = 0;  // pixels the page asks for
    int labelAngle = 0;         // degrees, as the page's script turns the labels
};

// The chart of a page, or nothing when the page carries none. Members it
// does not know, and members of the wrong kind, are skipped; a data value
// that is no chart number counts 0.
std::optional<ReportChart> ReadReportChart(std::wstring_view page);

}  // namespace quill::web
