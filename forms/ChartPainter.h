#pragma once
// Draws a chart with GDI: what the chart control and the browser's report
// pages show. Flat colours only (no gradients, no smoothing), so every bar and
// slice is exactly the colour its set names.
#include "forms/Gdi.h"
#include "forms/web/ChartLayout.h"
#include "forms/web/ChartText.h"

#include <windows.h>

namespace quill::forms {

class ChartPainter {
public:
    // Fonts for the chart's base size, measured in `dc`.
    ChartPainter(HDC dc, const web::Chart& chart);
    ChartPainter(const ChartPainter&) = delete;
    ChartPainter& operator=(const ChartPainter&) = delete;

    const web::ChartMetrics& Metrics() const { return metrics_; }
    web::ColumnLayout Columns(const RECT& area, int labelAngle) const;
    web::PieLayout Pie(const RECT& area) const;

    // Clears `area` to white and draws the chart into it. `labelAngle` slants
    // the column chart's category labels (degrees, -25 up to the right).
    void Paint(const RECT& area, web::ChartKind kind, int labelAngle = 0) const;

private:
    void Text(const web::PlacedText& text, int dx, int dy) const;
    HFONT Font(web::ChartFont font, int angle) const;

    HDC dc_;
    const web::Chart& chart_;
    gdi::FontHandle caption_, label_, upright_;
    // The turned font of the last angle asked for.
    mutable gdi::FontHandle slanted_;
    mutable int slantedAngle_ = 0;
    web::ChartMetrics metrics_;
};

}  // namespace quill::forms
