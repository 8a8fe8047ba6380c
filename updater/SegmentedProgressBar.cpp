#include "updater/SegmentedProgressBar.h"

#include "forms/Color.h"
#include "forms/lang/Error.h"

namespace quill::updater {
namespace {

constexpr std::uint32_t HighlightColour = 0x8000000D;

// A system colour (high bit set) as its current value.
std::uint32_t ResolveSysColor(std::uint32_t colour)
{
    if (colour & 0x80000000u)
        return GetSysColor(static_cast<int>(colour & 0x7FFFFFFF));
    return colour;
}

RECT ToRect(const BarRect& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

void GradientRect(::HDC dc, const BarStep& step)
{
    TRIVERTEX vertices[2] = {};
    vertices[0] = {step.area.left, step.area.top, step.from.red, step.from.green, step.from.blue, 0};
    vertices[1] = {step.area.right, step.area.bottom, step.to.red, step.to.green, step.to.blue, 0};
    GRADIENT_RECT rect{0, 1};
    GradientFill(dc, vertices, 2, &rect, 1, step.vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

void FillRectColor(::HDC dc, const BarRect& area, std::uint32_t colour)
{
    forms::gdi::BrushHandle brush(CreateSolidBrush(ResolveSysColor(colour)));
    const RECT r = ToRect(area);
    FillRect(dc, &r, brush);
}

void FrameRectColor(::HDC dc, const BarRect& area, std::uint32_t colour)
{
    forms::gdi::BrushHandle brush(CreateSolidBrush(colour));
    const RECT r = ToRect(area);
    FrameRect(dc, &r, brush);
}

}  // namespace

SegmentedProgressBar::SegmentedProgressBar() : font_(forms::Font::New(L"Tahoma", 8)) {}

SegmentedProgressBar::~SegmentedProgressBar()
{
    FreeOffscreenDC();
}

void SegmentedProgressBar::Created()
{
    if (hwnd_)
        return;
    BackColor(0xFFFFFF);
    HDC(nullptr);
    hwnd_ = hWnd();
    state_.max = 100;
    state_.min = 0;
    state_.value = 0;
    state_.orientation = 0;
    state_.scrolling = 0;
    state_.colour = ResolveSysColor(HighlightColour);
    DrawProgressBar();
}

void SegmentedProgressBar::UserControl_InitProperties()
{
    Created();
}

void SegmentedProgressBar::UserControl_ReadProperties(forms::PropertyBag& PropBag)
{
    Created();
    // Each key on its own: one that cannot be read leaves the others.
    forms::ResumeNext([&] { Color(PropBag.ReadProperty(L"Color", HighlightColour)); });
    forms::ResumeNext([&] { Max(PropBag.ReadProperty(L"Max", std::int32_t(100))); });
    forms::ResumeNext([&] { Min(PropBag.ReadProperty(L"Min", std::int32_t(0))); });
    forms::ResumeNext([&] { Orientation(PropBag.ReadProperty(L"Orientation", std::int32_t(0))); });
    forms::ResumeNext([&] { Scrolling(PropBag.ReadProperty(L"Scrolling", std::int32_t(0))); });
    forms::ResumeNext([&] { ShowText(PropBag.ReadProperty(L"ShowText", false)); });
    forms::ResumeNext([&] { Value(PropBag.ReadProperty(L"Value", std::int32_t(0))); });
}

void SegmentedProgressBar::UserControl_WriteProperties(forms::PropertyBag& PropBag)
{
    PropBag.WriteProperty(L"Color", state_.colour, HighlightColour);
    PropBag.WriteProperty(L"Max", state_.max, std::int32_t(100));
    PropBag.WriteProperty(L"Min", state_.min, std::int32_t(0));
    PropBag.WriteProperty(L"Orientation", state_.orientation, std::int32_t(0));
    PropBag.WriteProperty(L"Scrolling", state_.scrolling, std::int32_t(0));
    PropBag.WriteProperty(L"ShowText", showText_, false);
    PropBag.WriteProperty(L"Value", state_.value, std::int32_t(0));
}

void SegmentedProgressBar::UserControl_Resize()
{
    HDC(nullptr);
    // The region follows the size only: given again from every paint, it
    // would make the window paint again, for ever.
    RoundCornerRegion();
    DrawProgressBar();
}

void SegmentedProgressBar::UserControl_Paint()
{
    ++paints_;
    DrawProgressBar();
}

void SegmentedProgressBar::UserControl_Terminate()
{
    FreeOffscreenDC();
}

void SegmentedProgressBar::Color(std::uint32_t v)
{
    state_.colour = ResolveSysColor(v);
}

void SegmentedProgressBar::ShowText(bool v)
{
    showText_ = v;
    DrawProgressBar();
}

void SegmentedProgressBar::Value(std::int32_t v)
{
    state_.value = v;
    DrawProgressBar();
}

void SegmentedProgressBar::HDC(::HDC)
{
    if (::HDC dc = EnsureOffscreenDC(ScaleWidth(), ScaleHeight())) {
        drawingDc_ = dc;
        ownSurface_ = true;
    } else {
        drawingDc_ = hDC();
    }
}

void SegmentedProgressBar::DrawProgressBar()
{
    if (!hwnd_ || !drawingDc_)
        return;
    RECT r{};
    GetClientRect(hwnd_, &r);
    const BarRect client{r.left, r.top, r.right, r.bottom};
    RunSteps(drawingDc_, BarSteps(client, state_));
    DrawPercentText(drawingDc_, client);
    RunSteps(drawingDc_, FrameSteps(client));
    if (ownSurface_)
        pDraw(hDC(), 0, 0, ScaleWidth(), ScaleHeight(), 0, 0);
    Graphics().Drawn();
}

void SegmentedProgressBar::pDraw(::HDC hdc, std::int32_t xSrc, std::int32_t ySrc, std::int32_t WidthSrc,
                                 std::int32_t HeightSrc, std::int32_t xDst, std::int32_t yDst)
{
    if (!offscreenDc_)
        return;
    if (WidthSrc < 1)
        WidthSrc = offscreenWidth_;
    if (HeightSrc < 1)
        HeightSrc = offscreenHeight_;
    BitBlt(hdc, xDst, yDst, WidthSrc, HeightSrc, *offscreenDc_, xSrc, ySrc, SRCCOPY);
}

void SegmentedProgressBar::RunSteps(::HDC dc, const std::vector<BarStep>& steps)
{
    for (const BarStep& step : steps) {
        // A bar that has not begun has no extent: nothing of it is drawn
        // (the platform would turn a rectangle given backwards around).
        if (step.kind != BarStep::Kind::Pixel &&
            (step.area.right <= step.area.left || step.area.bottom <= step.area.top))
            continue;
        switch (step.kind) {
        case BarStep::Kind::Gradient:
            GradientRect(dc, step);
            break;
        case BarStep::Kind::Fill:
            FillRectColor(dc, step.area, step.colour);
            break;
        case BarStep::Kind::Outline:
            FrameRectColor(dc, step.area, step.colour);
            break;
        case BarStep::Kind::Pixel:
            SetPixelV(dc, step.area.left, step.area.top, step.colour);
            break;
        }
    }
}

void SegmentedProgressBar::DrawPercentText(::HDC dc, const BarRect& client)
{
    if (!showText_ || !font_)
        return;
    const std::wstring text = PercentText(state_);
    forms::gdi::FontHandle font = font_->CreateHandle();
    forms::gdi::Selection selected(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, 0);
    RECT r = ToRect(client);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
}

void SegmentedProgressBar::RoundCornerRegion()
{
    RECT r{};
    if (!hWnd() || !GetClientRect(hWnd(), &r))
        return;
    const std::pair<int, int> size{r.right, r.bottom};
    if (regionSize_ == size)
        return;
    forms::gdi::RegionHandle region(CreateRectRgn(0, 0, r.right, r.bottom));
    for (const auto& [x, y] : CutCornerPixels(r.right, r.bottom)) {
        forms::gdi::RegionHandle pixel(CreateRectRgn(x, y, x + 1, y + 1));
        CombineRgn(region, region, pixel, RGN_DIFF);
    }
    // From here on the window owns the region.
    if (SetWindowRgn(hWnd(), region, TRUE)) {
        region.Release();
        regionSize_ = size;
    }
}

::HDC SegmentedProgressBar::EnsureOffscreenDC(int width, int height)
{
    if (offscreenDc_) {
        if (height > offscreenHeight_ || width > offscreenWidth_)
            MakeOffscreenDC(width, height);
    } else if (width > 0 && height > 0) {
        MakeOffscreenDC(width, height);
    }
    return offscreenDc_ ? offscreenDc_->Get() : nullptr;
}

void SegmentedProgressBar::MakeOffscreenDC(int width, int height)
{
    FreeOffscreenDC();
    forms::gdi::WindowDc screen(nullptr);
    if (!screen.Get())
        return;
    auto dc = std::make_unique<forms::gdi::MemoryDc>(screen.Get());
    forms::gdi::BitmapHandle bitmap(CreateCompatibleBitmap(screen, width, height));
    if (!dc->Get() || !bitmap)
        return;
    previousBitmap_ = SelectObject(*dc, bitmap);
    if (!previousBitmap_)
        return;
    offscreenDc_ = std::move(dc);
    offscreenBitmap_ = std::move(bitmap);
    offscreenWidth_ = width;
    offscreenHeight_ = height;
}

void SegmentedProgressBar::FreeOffscreenDC()
{
    if (offscreenDc_ && previousBitmap_)
        SelectObject(*offscreenDc_, previousBitmap_);
    previousBitmap_ = nullptr;
    offscreenBitmap_.Reset();
    offscreenDc_.reset();
    offscreenWidth_ = offscreenHeight_ = 0;
    if (ownSurface_) {
        drawingDc_ = nullptr;
        ownSurface_ = false;
    }
}

}  // namespace quill::updater
