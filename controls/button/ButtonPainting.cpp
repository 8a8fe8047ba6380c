#include "controls/button/StyledButtonBase.h"

#include "controls/button/ButtonLayout.h"
#include "controls/button/DcCanvas.h"
#include "controls/button/GreyIcon.h"
#include "controls/button/PaintedStyles.h"

#include <uxtheme.h>
#include <vssym32.h>

#include <array>

namespace quill::button {

namespace {

// What a face painter reads; it changes nothing of the control. `back` is
// the surface's background fill (which clears it), not the BackColor
// property.
struct FaceJob {
    HDC dc;
    DcCanvas& canvas;
    HWND window;
    int W, H;
    FaceInputs in;
    std::function<void(Colour)> back;
};

bool Normal(const FaceJob& j)
{
    return j.in.state == StateNormal;
}
bool Hot(const FaceJob& j)
{
    return j.in.state == StateHot;
}
bool Pressed(const FaceJob& j)
{
    return j.in.state == StatePressed;
}
bool Disabled(const FaceJob& j)
{
    return j.in.state == StateDisabled;
}

// The system's raised edge, sunken while pressed; a black frame for the
// focus (when shown) or the default button.
bool PaintRaised(const FaceJob& j, bool showFocus)
{
    const FaceInputs& in = j.in;
    j.back(in.useCustomColors ? (Normal(j) ? in.backColor : in.highlightColor) : in.systemButtonFace);
    DrawEdgeBox(j.dc, 0, 0, j.W, j.H, Pressed(j) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    if ((showFocus && in.hasFocus) || (!in.hasFocus && in.displayAsDefault))
        DrawBox(j.canvas, 0, 0, j.W - 1, j.H - 1, 0);
    return true;
}

// A thin raised edge, sunken while pressed; Style 2 shows none until hot.
bool PaintThinEdge(const FaceJob& j, bool flatUntilHot)
{
    const FaceInputs& in = j.in;
    const Colour B = in.useCustomColors ? (Normal(j) || Disabled(j) ? in.backColor : in.highlightColor)
                                        : in.systemButtonFace;
    j.back(B);
    if (Disabled(j) || (flatUntilHot && Normal(j)))
        DrawBox(j.canvas, 0, 0, j.W - 1, j.H - 1, B);
    else
        DrawEdgeBox(j.dc, 0, 0, j.W, j.H, Pressed(j) ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    return true;
}

bool PaintEtched(const FaceJob& j)
{
    const FaceInputs& in = j.in;
    const bool custom = in.useCustomColors;
    j.back(custom ? in.backColor : in.systemButtonFace);
    const Colour shadow = GetSysColor(COLOR_BTNSHADOW);
    const Colour F = Hot(j)       ? (custom ? MixColors(in.highlightColor, in.backColor)
                                            : MixColors(shadow, in.systemButtonFace))
                     : Pressed(j) ? (custom ? in.highlightColor : shadow)
                                  : (custom ? in.backColor : in.systemButtonFace);
    j.canvas.FillBox(4, 4, j.W - 8, j.H - 8, F);
    DrawEtchedFrame(j.canvas, 0, 0, j.W - 1, j.H - 1, shadow, GetSysColor(COLOR_WINDOW), F);
    return true;
}

// A lightened face; a highlight-coloured box while hot or pressed.
bool PaintTinted(const FaceJob& j)
{
    const FaceInputs& in = j.in;
    if (Normal(j) || Disabled(j)) {
        j.canvas.FillBox(0, 0, j.W, j.H,
                         LightenColor(in.useCustomColors ? in.backColor : in.systemButtonFace, 32));
    } else {
        const Colour L = in.useCustomColors ? in.highlightColor : in.systemHighlight;
        j.canvas.FillBox(0, 0, j.W - 1, j.H - 1, LightenColor(L, Hot(j) ? 176 : 128));
        DrawBox(j.canvas, 0, 0, j.W - 1, j.H - 1, L);
    }
    return true;
}

// The visual theme's push button; false when no theme can draw it.
bool PaintThemed(const FaceJob& j)
{
    HTHEME theme = OpenThemeData(j.window, L"Button");
    if (!theme)
        return false;
    j.back(j.in.systemButtonFace);
    const int themeState = j.in.hasFocus && Normal(j) ? PBS_DEFAULTED : j.in.state;
    RECT r{0, 0, j.W, j.H};
    const bool drawn = SUCCEEDED(DrawThemeBackground(theme, j.dc, BP_PUSHBUTTON, themeState, &r, &r));
    CloseThemeData(theme);
    return drawn;
}

bool PaintPainted(const FaceJob& j, int style)
{
    return PaintPaintedFace(j.canvas, style, j.in);
}

// One painter per Style, in Style order.
using FacePainter = bool (*)(const FaceJob&);
constexpr std::array<FacePainter, kStyleCount> kFacePainters = {
    [](const FaceJob& j) { return PaintRaised(j, j.in.showFocus); },  // Raised
    [](const FaceJob& j) { return PaintThinEdge(j, false); },         // ThinEdge
    [](const FaceJob& j) { return PaintThinEdge(j, true); },          // FlatUntilHot
    PaintEtched,                                                      // Etched
    PaintTinted,                                                      // Tinted
    [](const FaceJob& j) { return PaintPainted(j, 5); },              // SoftPush
    PaintThemed,                                                      // Themed
    [](const FaceJob& j) { return PaintPainted(j, 7); },              // SoftCut
    [](const FaceJob& j) { return PaintPainted(j, 8); },              // Bevelled
    [](const FaceJob& j) { return PaintPainted(j, 9); },              // Glossy
    [](const FaceJob& j) { return PaintPainted(j, 10); },             // Pictures
};

}  // namespace

// ---------------------------------------------------------------------------
// Drawing

void StyledButtonBase::Refresh()
{
    Cls();
    iconMargin_ = 4;
    if (!isShown_)
        return;
    state_ = button::SettleState(state_, style_, Ambient().UserMode(), buttonType_, value_, enabled_);
    if (!enabled_)
        UserControl::BackColor(GetSysColor(COLOR_BTNFACE));
    const int W = ScaleWidth(), H = ScaleHeight();
    DrawFace(W, H);
    iconMargin_ = button::IconMargin(DrawnStyle());
    if (icon_ && icon_->Handle())
        DrawIcon(W, H);
    DrawCaption();
    Graphics().Drawn();
}

bool StyledButtonBase::ThemeAvailable() const
{
    HTHEME theme = hWnd() ? OpenThemeData(hWnd(), L"Button") : nullptr;
    if (theme)
        CloseThemeData(theme);
    return theme != nullptr;
}

int StyledButtonBase::DrawnStyle() const
{
    if (style_ == static_cast<int>(ButtonStyle::Themed) && !ThemeAvailable())
        return nonThemeStyle_;
    return style_;
}

void StyledButtonBase::DrawFace(int W, int H)
{
    DcCanvas canvas(hDC(), W, H, [this](Colour c) { UserControl::BackColor(c); });
    const FaceJob job{hDC(),
                      canvas,
                      hWnd(),
                      W,
                      H,
                      {state_, hasFocus_, showFocus_, useCustomColors_, Ambient().DisplayAsDefault(),
                       backColor_, highlightColor_, GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_HIGHLIGHT)},
                      [this](Colour c) { UserControl::BackColor(c); }};
    // A Style outside the table draws no face; without a theme, Style 6
    // draws NonThemeStyle's face (once: a NonThemeStyle of 6 draws none).
    for (int style : {style_, nonThemeStyle_}) {
        const std::optional<ButtonStyle> known = StyleFrom(style);
        if (!known || kFacePainters[static_cast<size_t>(*known)](job))
            return;
        if (style != static_cast<int>(ButtonStyle::Themed) || nonThemeStyle_ == style)
            return;
    }
}

void StyledButtonBase::PaintIconInto(HDC dc, int x, int y)
{
    icon_->Render(dc, x, y, iconSize_, IconHeight());
}

void StyledButtonBase::DrawIcon(int W, int H)
{
    auto [x, y] = button::IconPosition(iconAlign_, iconMargin_, W, H, iconSize_, IconHeight());
    if (state_ == StatePressed) {
        ++x;
        ++y;
    }
    if (state_ == StateHot && DrawnStyle() == 4) {
        DrawHotShadow(x, y);
        x -= 2;
        y -= 2;
    }
    if (useMaskColor_ && DrawMaskedIcon(x, y, !enabled_))
        return;
    if (enabled_)
        PaintIconInto(hDC(), x, y);
    else
        PaintIconGrayscale(hDC(), static_cast<HICON>(icon_->Handle()), x, y, iconSize_, IconHeight());
}

// Paints the icon into pMask, cleared to the mask colour, so that the
// icon's own transparent pixels are left out as well.
bool StyledButtonBase::DrawMaskedIcon(int x, int y, bool grey)
{
    const int w = iconSize_, h = IconHeight();
    if (w <= 0 || h <= 0)
        return false;
    pMask.Resize(std::max(1, x + w), std::max(1, y + std::max<int>(w, h)));
    if (pMask.ScaleWidth() < x + w || pMask.ScaleHeight() < y + std::max<int>(w, h))
        return false;
    pMask.BackColor(maskColor_);
    PaintIconInto(pMask.hDC(), x, y);
    const int64_t mask = forms::TranslateColor(maskColor_);
    for (int py = y; py < y + w; ++py)
        for (int px = x; px < x + w; ++px) {
            const int64_t c = pMask.Point(px, py);
            if (c < 0 || c == mask)
                continue;
            const Colour colour = static_cast<Colour>(c);
            SetPixelV(hDC(), px, py, grey ? button::GrayOfColor(colour) : colour);
        }
    return true;
}

void StyledButtonBase::DrawHotShadow(int x, int y)
{
    const int w = iconSize_;
    const Colour shadow = 0x808080;
    if (useMaskColor_) {
        pMask.Resize(std::max(1, x + w), std::max(1, y + std::max<int>(w, IconHeight())));
        pMask.BackColor(maskColor_);
        PaintIconInto(pMask.hDC(), x, y);
        const int64_t mask = forms::TranslateColor(maskColor_);
        for (int py = y; py < y + w; ++py)
            for (int px = x; px < x + w; ++px)
                if (const int64_t c = pMask.Point(px, py); c >= 0 && c != mask)
                    SetPixelV(hDC(), px, py, shadow);
        return;
    }
    PaintIconInto(hDC(), x, y);
    const int64_t face = Point(1, 1);
    for (int py = y; py <= y + w; ++py)
        for (int px = x; px <= x + w; ++px)
            if (const int64_t c = Point(px, py); c >= 0 && c != face)
                SetPixelV(hDC(), px, py, shadow);
}

bool StyledButtonBase::PaintIconGrayscale(HDC dc, HICON icon, int x, int y, int height, int width)
{
    return DrawIconGrey(dc, icon, x, y, width, height);
}

void StyledButtonBase::DrawCaption()
{
    const Colour grey = TranslateColor(0x80000000u | COLOR_GRAYTEXT);
    const bool disabled = state_ == StateDisabled;
    const forms::OleColor colour = useCustomColors_ ? (state_ == StateNormal ? fontColor_
                                                       : disabled            ? grey
                                                                             : fontHighlightColor_)
                                                    : (disabled ? grey : GetSysColor(COLOR_BTNTEXT));
    const forms::OleColor saved = UserControl::ForeColor();
    UserControl::ForeColor(colour);
    SetTextColor(hDC(), forms::TranslateColor(colour));
    SetBkMode(hDC(), TRANSPARENT);
    RECT r = captionRect_;
    DrawTextW(hDC(), caption_.c_str(), -1, &r, captionFormat_);
    UserControl::ForeColor(saved);
}

void StyledButtonBase::ApplyStyleRegion()
{
    if (!hWnd())
        return;
    const int W = ScaleWidth(), H = ScaleHeight();
    auto polygon = [](const std::array<button::Point, 8>& points) {
        POINT p[8];
        for (size_t i = 0; i < points.size(); ++i)
            p[i] = {points[i].x, points[i].y};
        return forms::gdi::RegionHandle(CreatePolygonRgn(p, 8, ALTERNATE));
    };
    forms::gdi::RegionHandle region;
    switch (button::RegionShapeFor(DrawnStyle())) {
    case button::RegionShape::CutSmall:
        region = polygon(button::CutRegionSmall(W, H));
        break;
    case button::RegionShape::CutLarge:
        region = polygon(button::CutRegionLarge(W, H));
        break;
    case button::RegionShape::Round:
        region = forms::gdi::RegionHandle(
            CreateRoundRectRgn(0, 0, W + 1, H + 1, button::kRoundRegionEllipse, button::kRoundRegionEllipse));
        break;
    case button::RegionShape::Rectangle:
        region = forms::gdi::RegionHandle(CreateRectRgn(0, 0, W, H));
        break;
    }
    // Once given, the region is the window's: it deletes the one it had.
    if (region && SetWindowRgn(hWnd(), region, TRUE))
        region.Release();
}
}  // namespace quill::button
