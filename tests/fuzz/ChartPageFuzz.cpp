// The chart slot's HTML path on arbitrary names, captions and values: the
// chart text the pages build, filled into the template's script, must read
// back as the same chart (names whole, values as numbers or 0) whatever the
// texts hold; and any chart text at all fills the template without harm.
#include "workspace/ChartTemplate.h"
#include "workspace/ChartXml.h"

#include "forms/lang/Ansi.h"
#include "forms/web/ChartText.h"
#include "forms/web/ReportData.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using namespace quill;

namespace {

const wchar_t* const kTemplate =
    L"<script>var quillChart = { title: '[TITLE]', yAxisName: '[CAPTION]', fontSize: '[FONTSIZE]', "
    L"type: [CHARTTYPE], width: [WIDTH], height: [HEIGHT], labelAngle: [FONTDU], data: [[CHARTDATA]] "
    L"};</script>";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::wstring text = forms::AnsiToText(std::string_view(reinterpret_cast<const char*>(data), size));
    // The input in lines: the caption, then a name and a value per set.
    std::vector<std::wstring> pieces;
    std::wstring piece;
    for (wchar_t c : text) {
        if (c == L'\n') {
            pieces.push_back(piece);
            piece.clear();
        } else {
            piece += c;
        }
    }
    pieces.push_back(piece);

    workspace::ChartXml chart(workspace::ChartStyle::List, pieces[0]);
    std::vector<std::pair<std::wstring, double>> sets;
    for (size_t i = 1; i + 1 < pieces.size() && sets.size() < 40; i += 2) {
        chart.Set(pieces[i], pieces[i + 1], L"123456");
        sets.emplace_back(pieces[i], web::ReadChartNumber(pieces[i + 1]).value_or(0));
    }
    const workspace::ChartPageSize pageSize;
    const std::wstring page = workspace::FillChartTemplate(kTemplate, chart.Text(), pageSize);
    const auto report = web::ReadReportChart(page);
    if (!report || report->chart.caption != pieces[0] || report->chart.sets.size() != sets.size())
        __builtin_trap();
    for (size_t i = 0; i < sets.size(); ++i)
        if (report->chart.sets[i].name != sets[i].first || report->chart.sets[i].value != sets[i].second)
            __builtin_trap();

    // Any text as a chart text, and as a template.
    workspace::FillChartTemplate(kTemplate, text, pageSize);
    workspace::FillChartTemplate(text, text, pageSize);
    workspace::ChartDataText(text);
    return 0;
}
