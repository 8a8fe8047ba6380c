// The chart control's and the browser's readers on arbitrary text: chart
// texts and their layout, report pages, script strings and web pages. Any
// text gives a result (a chart, a page, or nothing); never a crash, a hang or
// a huge allocation.
#include "forms/web/ChartLayout.h"
#include "forms/web/ChartText.h"
#include "forms/web/PageText.h"
#include "forms/web/ReportData.h"
#include "forms/web/ScriptString.h"

#include "forms/lang/Ansi.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using namespace quill;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::wstring text = forms::AnsiToText(bytes);

    web::ChartMetrics metrics;
    metrics.width = [](std::wstring_view t, web::ChartFont) { return static_cast<int>(t.size()) * 7; };
    const web::Chart chart = web::ReadChartText(text);
    web::LayOutColumns(chart, 400, 300, metrics, -25);
    const web::PieLayout pie = web::LayOutPie(chart, 400, 300, metrics);
    web::SliceAt(pie, 200, 150);

    if (const auto report = web::ReadReportChart(text))
        web::LayOutColumns(report->chart, report->width % 2000, report->height % 2000, metrics,
                           report->labelAngle);

    // Every text comes back whole through a script string and the XML escape.
    std::size_t pos = 0;
    const std::wstring quoted = L"'" + web::ScriptStringBody(text) + L"'";
    if (web::ReadScriptString(quoted, pos) != text || pos != quoted.size())
        __builtin_trap();
    if (web::XmlUnescape(web::XmlEscape(text)) != text)
        __builtin_trap();
    pos = 0;
    web::ReadScriptString(text, pos);

    web::ReadPage(text);
    web::BodyOuterHtml(text);
    web::MetaCharset(bytes);
    return 0;
}
