#include "forms/Surface.h"

#include <algorithm>
#include <cmath>

namespace quill::forms {

namespace {

// Bounds the bitmap: far above any screen here, far below a huge allocation.
constexpr int kMaxSide = 4096;

int Px(float v)
{
    return static_cast<int>(std::lround(v));
}

}  // namespace

Surface::Surface() : dc_(nullptr)
{
    SetBkMode(dc_, TRANSPARENT);
    Allocate(1, 1);
    Font(forms::Font::New());
}

Surface::~Surface()
{
    // Put the DC's own objects back so ours are no longer selected when deleted.
    if (initialFont_)
        SelectObject(dc_, initialFont_);
    if (initialBitmap_)
        SelectObject(dc_, initialBitmap_);
}

void Surface::Allocate(int width, int height)
{
    width = std::clamp(width, 1, kMaxSide);
    height = std::clamp(height, 1, kMaxSide);
    uint32_t* px = nullptr;
    gdi::BitmapHandle fresh = gdi::TopDownDib(dc_, width, height, px);
    if (!fresh)
        return;
    COLORREF back = TranslateColor(backColor_);
    uint32_t fill = (GetRValue(back) << 16) | (GetGValue(back) << 8) | GetBValue(back);
    std::fill(px, px + size_t(width) * height, fill);
    GdiFlush();
    if (bits_) {
        int w = std::min(width, width_), h = std::min(height, height_);
        for (int y = 0; y < h; ++y)
            std::copy(bits_ + size_t(y) * width_, bits_ + size_t(y) * width_ + w, px + size_t(y) * width);
    }
    HGDIOBJ old = SelectObject(dc_, fresh);
    if (!initialBitmap_)
        initialBitmap_ = old;
    bitmap_ = std::move(fresh);  // the previous bitmap is no longer selected
    bits_ = px;
    width_ = width;
    height_ = height;
}

void Surface::Resize(int width, int height)
{
    if (width == width_ && height == height_)
        return;
    Allocate(width, height);
}

void Surface::Fill(const RECT& r, COLORREF c)
{
    gdi::BrushHandle brush(CreateSolidBrush(c));
    FillRect(dc_, &r, brush);
}

void Surface::BackColor(OleColor c)
{
    backColor_ = c;
    Cls();
}

void Surface::Font(forms::Font::Ref f)
{
    font_ = f ? std::move(f) : forms::Font::New();
    auto apply = [this] {
        gdi::FontHandle h = font_->CreateHandle();
        HGDIOBJ old = SelectObject(dc_, h);
        if (!initialFont_)
            initialFont_ = old;
        fontHandle_ = std::move(h);
    };
    apply();
    fontWatch_ = font_->OnChanged([apply](const std::wstring&) { apply(); });
}

void Surface::Cls()
{
    RECT r{0, 0, width_, height_};
    Fill(r, TranslateColor(backColor_));
    CurrentX = CurrentY = 0;
    Drawn();
}

void Surface::Print(std::wstring_view text)
{
    SetTextColor(dc_, TranslateColor(foreColor_));
    SetBkColor(dc_, TranslateColor(backColor_));
    SetBkMode(dc_, fontTransparent_ ? TRANSPARENT : OPAQUE);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc_, &tm);
    size_t start = 0;
    while (true) {
        size_t end = text.find_first_of(L"\r\n", start);
        std::wstring_view line =
            text.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start);
        TextOutW(dc_, Px(CurrentX), Px(CurrentY), line.data(), static_cast<int>(line.size()));
        CurrentX = 0;
        CurrentY += static_cast<float>(tm.tmHeight);
        if (end == std::wstring_view::npos)
            break;
        start = end + ((text[end] == L'\r' && end + 1 < text.size() && text[end + 1] == L'\n') ? 2 : 1);
    }
    Drawn();
}

int Surface::TextWidth(std::wstring_view text) const
{
    SIZE s{};
    GetTextExtentPoint32W(dc_, text.data(), static_cast<int>(text.size()), &s);
    return s.cx;
}

int Surface::TextHeight(std::wstring_view text) const
{
    TEXTMETRICW tm{};
    GetTextMetricsW(dc_, &tm);
    int lines = 1;
    for (wchar_t c : text)
        lines += c == L'\n';
    return tm.tmHeight * lines;
}

void Surface::Line(float x1, float y1, float x2, float y2, int64_t color, Box box)
{
    COLORREF c = TranslateColor(color < 0 ? foreColor_ : static_cast<OleColor>(color));
    int l = Px(x1), t = Px(y1), r = Px(x2), b = Px(y2);
    if (box == Box::Filled) {
        RECT rc{std::min(l, r), std::min(t, b), std::max(l, r) + 1, std::max(t, b) + 1};
        Fill(rc, c);
    } else {
        int penStyle = drawStyle_ == vbInvisible    ? PS_NULL
                       : drawStyle_ == vbDash       ? PS_DASH
                       : drawStyle_ == vbDot        ? PS_DOT
                       : drawStyle_ == vbDashDot    ? PS_DASHDOT
                       : drawStyle_ == vbDashDotDot ? PS_DASHDOTDOT
                                                    : PS_SOLID;
        gdi::PenHandle pen(CreatePen(penStyle, drawWidth_, c));
        gdi::BrushHandle fill;
        if (box == Box::Border && fillStyle_ == vbFSSolid)
            fill.Reset(CreateSolidBrush(TranslateColor(fillColor_)));
        gdi::Selection usePen(dc_, pen);
        gdi::Selection useBrush(dc_, fill ? static_cast<HGDIOBJ>(fill.Get()) : GetStockObject(NULL_BRUSH));
        SetBkMode(dc_, TRANSPARENT);
        if (box == Box::Border) {
            Rectangle(dc_, std::min(l, r), std::min(t, b), std::max(l, r) + 1, std::max(t, b) + 1);
        } else {
            MoveToEx(dc_, l, t, nullptr);
            LineTo(dc_, r, b);
        }
    }
    CurrentX = x2;
    CurrentY = y2;
    Drawn();
}

void Surface::PSet(float x, float y, int64_t color)
{
    SetPixelV(dc_, Px(x), Px(y), TranslateColor(color < 0 ? foreColor_ : static_cast<OleColor>(color)));
    CurrentX = x;
    CurrentY = y;
    Drawn();
}

int64_t Surface::Point(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return -1;
    GdiFlush();
    uint32_t p = bits_[size_t(y) * width_ + x];
    return ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16);
}

void Surface::PaintPicture(const Picture& picture, int x, int y, int width, int height)
{
    picture.Render(dc_, x, y, width < 0 ? picture.Width() : width, height < 0 ? picture.Height() : height);
    Drawn();
}

void Surface::BlitTo(HDC dc, const RECT& area) const
{
    GdiFlush();
    BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, dc_, area.left, area.top,
           SRCCOPY);
}

void Surface::Drawn()
{
    if (onDrawn)
        onDrawn();
}

}  // namespace quill::forms
