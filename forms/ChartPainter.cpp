#include "forms/ChartPainter.h"

#include <cmath>
#include <numbers>

namespace quill::forms {

namespace {

// An outline face: the labels of some charts are drawn turned.
constexpr wchar_t kFace[] = L"Tahoma";
constexpr COLORREF kInk = RGB(0x33, 0x33, 0x33);
constexpr COLORREF kGrid = RGB(0xE4, 0xE4, 0xE4);
constexpr COLORREF kAxis = RGB(0x99, 0x99, 0x99);

gdi::FontHandle MakeFont(int pixels, bool bold, int angle)
{
    LOGFONTW lf{};
    lf.lfHeight = -pixels;
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfEscapement = angle;
    lf.lfOrientation = angle;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    lf.lfQuality = NONANTIALIASED_QUALITY;
    wcscpy_s(lf.lfFaceName, kFace);
    return gdi::FontHandle(CreateFontIndirectW(&lf));
}

int LineHeight(HDC dc, HFONT font)
{
    gdi::Selection use(dc, font);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    return tm.tmHeight;
}

}  // namespace

ChartPainter::ChartPainter(HDC dc, const web::Chart& chart)
    : dc_(dc), chart_(chart), caption_(MakeFont(chart.baseFontSize + 3, true, 0)),
      label_(MakeFont(chart.baseFontSize, false, 0)), upright_(MakeFont(chart.baseFontSize, false, 900))
{
    metrics_.captionHeight = LineHeight(dc, caption_);
    metrics_.labelHeight = LineHeight(dc, label_);
    metrics_.width = [this](std::wstring_view text, web::ChartFont font) {
        gdi::Selection use(dc_, font == web::ChartFont::Caption ? caption_.Get() : label_.Get());
        SIZE size{};
        GetTextExtentPoint32W(dc_, text.data(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    };
}

web::ColumnLayout ChartPainter::Columns(const RECT& area, int labelAngle) const
{
    return web::LayOutColumns(chart_, area.right - area.left, area.bottom - area.top, metrics_, labelAngle);
}

web::PieLayout ChartPainter::Pie(const RECT& area) const
{
    return web::LayOutPie(chart_, area.right - area.left, area.bottom - area.top, metrics_);
}

HFONT ChartPainter::Font(web::ChartFont font, int angle) const
{
    if (font == web::ChartFont::Caption)
        return caption_;
    if (angle == 0)
        return label_;
    if (angle == 900)
        return upright_;
    if (!slanted_ || slantedAngle_ != angle) {
        slanted_ = MakeFont(chart_.baseFontSize, false, angle);
        slantedAngle_ = angle;
    }
    return slanted_;
}

void ChartPainter::Text(const web::PlacedText& text, int dx, int dy) const
{
    if (text.text.empty())
        return;
    gdi::Selection use(dc_, Font(text.font, text.angle));
    UINT align = TA_TOP | TA_NOUPDATECP;
    align |= text.align == web::PlacedText::Align::Left     ? TA_LEFT
             : text.align == web::PlacedText::Align::Centre ? TA_CENTER
                                                            : TA_RIGHT;
    SetTextAlign(dc_, align);
    TextOutW(dc_, text.x + dx, text.y + dy, text.text.c_str(), static_cast<int>(text.text.size()));
}

void ChartPainter::Paint(const RECT& area, web::ChartKind kind, int labelAngle) const
{
    const int dx = area.left, dy = area.top;
    gdi::BrushHandle white(CreateSolidBrush(RGB(255, 255, 255)));
    FillRect(dc_, &area, white);
    SetBkMode(dc_, TRANSPARENT);
    SetTextColor(dc_, kInk);
    const int saved = SaveDC(dc_);
    IntersectClipRect(dc_, area.left, area.top, area.right, area.bottom);

    if (kind == web::ChartKind::Column) {
        const web::ColumnLayout layout = Columns(area, labelAngle);
        gdi::BrushHandle grid(CreateSolidBrush(kGrid));
        for (int y : layout.gridLines) {
            RECT line{layout.plot.left + dx, y + dy, layout.plot.right + dx, y + dy + 1};
            FillRect(dc_, &line, grid);
        }
        for (const web::Bar& bar : layout.bars) {
            gdi::BrushHandle fill(CreateSolidBrush(bar.color));
            RECT box{bar.box.left + dx, bar.box.top + dy, bar.box.right + dx, bar.box.bottom + dy};
            FillRect(dc_, &box, fill);
        }
        gdi::BrushHandle axis(CreateSolidBrush(kAxis));
        RECT baseline{layout.plot.left + dx, layout.baseline + dy, layout.plot.right + dx,
                      layout.baseline + dy + 1};
        FillRect(dc_, &baseline, axis);
        RECT side{layout.plot.left + dx - 1, layout.plot.top + dy, layout.plot.left + dx,
                  layout.plot.bottom + dy};
        FillRect(dc_, &side, axis);
        for (const web::PlacedText& t : layout.titles)
            Text(t, dx, dy);
        for (const web::PlacedText& t : layout.ticks)
            Text(t, dx, dy);
        for (const web::Bar& bar : layout.bars)
            Text(bar.value, dx, dy);
        for (const web::PlacedText& t : layout.categories)
            Text(t, dx, dy);
    } else {
        const web::PieLayout pie = Pie(area);
        const int cx = pie.centreX + dx, cy = pie.centreY + dy, r = pie.radius;
        for (const web::Slice& slice : pie.slices) {
            // Outlined in its own colour: no seam of background between slices.
            gdi::BrushHandle fill(CreateSolidBrush(slice.color));
            gdi::PenHandle edge(CreatePen(PS_SOLID, 1, slice.color));
            gdi::Selection use(dc_, fill);
            gdi::Selection outline(dc_, edge);
            switch (slice.shape) {
            case web::SliceShape::Disc:
                Ellipse(dc_, cx - r, cy - r, cx + r + 1, cy + r + 1);
                break;
            case web::SliceShape::Sliver: {
                // Its neighbours' rim points are rounded alike: no gap between slivers.
                auto rim = [&](double degrees) {
                    const double radians = degrees * std::numbers::pi / 180;
                    return POINT{cx + static_cast<int>(std::lround(r * std::cos(radians))),
                                 cy - static_cast<int>(std::lround(r * std::sin(radians)))};
                };
                const POINT corners[] = {
                    {cx, cy}, rim(slice.startDegrees), rim(slice.startDegrees - slice.sweepDegrees)};
                Polygon(dc_, corners, 3);
                break;
            }
            case web::SliceShape::Wedge: {
                // Counterclockwise from the slice's end to its start.
                const double from = (slice.startDegrees - slice.sweepDegrees) * std::numbers::pi / 180;
                const double to = slice.startDegrees * std::numbers::pi / 180;
                const int reach = 4 * r + 8;
                ::Pie(dc_, cx - r, cy - r, cx + r + 1, cy + r + 1,
                      cx + static_cast<int>(reach * std::cos(from)),
                      cy - static_cast<int>(reach * std::sin(from)),
                      cx + static_cast<int>(reach * std::cos(to)),
                      cy - static_cast<int>(reach * std::sin(to)));
                break;
            }
            }
        }
        {
            gdi::PenHandle lead(CreatePen(PS_SOLID, 1, kAxis));
            gdi::Selection useLead(dc_, lead);
            for (const web::Leader& l : pie.leaders) {
                MoveToEx(dc_, l.x0 + dx, l.y0 + dy, nullptr);
                LineTo(dc_, l.xBend + dx, l.yBend + dy);
                LineTo(dc_, l.x1 + dx, l.y1 + dy);
            }
        }
        for (const web::PlacedText& t : pie.titles)
            Text(t, dx, dy);
        for (const web::PlacedText& t : pie.labels)
            Text(t, dx, dy);
    }
    RestoreDC(dc_, saved);
}

}  // namespace quill::forms
