// The painted faces drawn on a raster and read back pixel by pixel.
#include "controls/button/ButtonLayout.h"
#include "controls/button/FaceCanvas.h"
#include "controls/button/PaintedStyles.h"
#include "controls/button/Style10Pictures.h"
#include "FaceExpectations.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace quill::button;
using quill::button::facetest::ColourText;

// Refresh clears the surface first; a colour no face uses shows what stays undrawn.
constexpr Colour kCleared = Rgb(1, 2, 3);

FaceInputs Inputs(int state, bool focus = false, bool custom = false)
{
    FaceInputs in;
    in.state = state;
    in.hasFocus = focus;
    in.useCustomColors = custom;
    in.backColor = Rgb(200, 150, 100);
    in.highlightColor = Rgb(0, 120, 215);
    in.systemButtonFace = Rgb(212, 208, 200);
    in.systemHighlight = Rgb(10, 36, 106);
    return in;
}

void ExpectFace(int style, const FaceInputs& in, int w, int h)
{
    PixelCanvas canvas(w, h, kCleared);
    ASSERT_TRUE(PaintPaintedFace(canvas, style, in));
    for (const auto& px : quill::button::facetest::ExpectedFace(style, in, w, h, kCleared))
        EXPECT_EQ(ColourText(canvas.At(px.x, px.y)), ColourText(px.colour))
            << "style " << style << " state " << in.state << ": " << px.what << " at " << px.x << "," << px.y;
}

struct FaceCase {
    int style;
    FaceInputs in;
};

TEST(PaintedStyles, EveryStyleInEveryStateMatchesItsNumbers)
{
    std::vector<FaceCase> cases;
    for (int style : {5, 7, 8, 9, 10})
        for (int state : {StateNormal, StateHot, StatePressed, StateDisabled})
            for (bool focus : {false, true})
                for (bool custom : {false, true})
                    cases.push_back({style, Inputs(state, focus, custom)});
    for (const auto& c : cases) {
        SCOPED_TRACE("focus " + std::to_string(c.in.hasFocus) + " custom " +
                     std::to_string(c.in.useCustomColors));
        ExpectFace(c.style, c.in, 80, c.style == 10 ? 40 : 24);
    }
}

TEST(PaintedStyles, Style5DefaultButtonGlowsOnlyWithTheFixedPalette)
{
    FaceInputs in = Inputs(StateNormal);
    in.displayAsDefault = true;
    ExpectFace(5, in, 60, 23);  // blue glow
    in.useCustomColors = true;
    ExpectFace(5, in, 60, 23);  // no glow
    in.hasFocus = true;
    ExpectFace(5, in, 60, 23);  // focus without ShowFocus: still none
    in.showFocus = true;
    ExpectFace(5, in, 60, 23);  // glow in the system highlight colour
}

// Pixels inside a cut-corner polygon (alternate fill), by their centres;
// a centre on the cut itself counts as outside.
bool InsideSmallCut(int x, int y, int w, int h)
{
    const auto p = CutRegionSmall(w, h);
    const double px = x + 0.5, py = y + 0.5;
    if (px + py <= 1 || (w - px) + py <= 1 || px + (h - py) <= 2 || (w - px) + (h - py) <= 2)
        return false;
    bool inside = false;
    for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
        if ((p[i].y > py) != (p[j].y > py) &&
            px < double(p[j].x - p[i].x) * (py - p[i].y) / double(p[j].y - p[i].y) + p[i].x)
            inside = !inside;
    }
    return inside;
}

TEST(PaintedStyles, PressedCustomStyle5CoversItsRegionWithoutAFill)
{
    const int w = 40, h = 22;
    PixelCanvas canvas(w, h, kCleared);
    PaintStyle5Custom(canvas, Inputs(StatePressed, false, true));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (InsideSmallCut(x, y, w, h)) {
                EXPECT_NE(canvas.At(x, y), kCleared) << x << "," << y;
            }
}

TEST(PaintedStyles, PressedStyle7PaintsNoFill)
{
    PixelCanvas canvas(40, 22, kCleared);
    PaintStyle7(canvas, Inputs(StatePressed));
    // Only the outer corners of column 0 lie outside every step of the
    // pressed face; the region hides them, so the missing fill never shows.
    EXPECT_EQ(canvas.At(0, 0), kCleared);
    EXPECT_EQ(canvas.At(0, 21), kCleared);
    EXPECT_NE(canvas.At(39, 0), kCleared);
}

TEST(PaintedStyles, Style9StreakLengthsFollowHalfTheHeight)
{
    // Column 3's upper streak runs rows 3 .. 3 + R(H/2 - 7) and ends in B-53:
    // R(5.5) = 6 for H = 25, R(5) = 5 for H = 24; the lower streak starts after it.
    for (auto [h, lastRow] : {std::pair{25, 9}, std::pair{24, 8}}) {
        FaceInputs in = Inputs(StateNormal);
        const Colour b = ShiftColor(in.systemButtonFace, -15);
        PixelCanvas canvas(60, h, kCleared);
        PaintStyle9(canvas, in);
        EXPECT_EQ(ColourText(canvas.At(3, lastRow)), ColourText(ShiftColor(b, -53))) << "H " << h;
        EXPECT_EQ(ColourText(canvas.At(3, 3)), ColourText(b)) << "H " << h;
    }
}

TEST(PaintedStyles, SmallestButtonsPaintWithoutDividingByZero)
{
    // 20 pixels is the smallest size at 15 twips per pixel; at 20 twips per
    // pixel it is 15, where a streak of Style 9 has zero rows and is one line.
    for (int size : {15, 20})
        for (int style : {5, 7, 8, 9, 10})
            for (int state : {StateNormal, StateHot, StatePressed, StateDisabled})
                for (bool custom : {false, true}) {
                    PixelCanvas canvas(size, size, kCleared);
                    EXPECT_TRUE(PaintPaintedFace(canvas, style, Inputs(state, true, custom)));
                }
    PixelCanvas canvas(40, 15, kCleared);
    const FaceInputs in = Inputs(StateNormal);
    PaintStyle9(canvas, in);
    // Column 2's streak from row 4 has R(7.5 - 7) = 0 further rows: one pixel in B.
    EXPECT_EQ(ColourText(canvas.At(2, 4)), ColourText(ShiftColor(in.systemButtonFace, -15)));
}

TEST(PaintedStyles, Style9IgnoresFocus)
{
    PixelCanvas a(50, 24), b(50, 24);
    PaintStyle9(a, Inputs(StateHot, false));
    PaintStyle9(b, Inputs(StateHot, true));
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 50; ++x)
            ASSERT_EQ(a.At(x, y), b.At(x, y));
}

int StoredPixels(const Style10Picture& p)
{
    return int(p.topLeft.size() + p.topRight.size() + p.bottomLeft.size() + p.bottomRight.size());
}

TEST(Style10, TilesStoreTheirShapeOnly)
{
    EXPECT_EQ(StoredPixels(Style10PictureOf(Style10Kind::Normal)), 749);
    EXPECT_EQ(StoredPixels(Style10PictureOf(Style10Kind::Hot)), 760);
    EXPECT_EQ(StoredPixels(Style10PictureOf(Style10Kind::Pressed)), 760);
    for (auto kind : {Style10Kind::Normal, Style10Kind::Hot, Style10Kind::Pressed}) {
        const auto& p = Style10PictureOf(kind);
        for (const auto* tile : {&p.topLeft, &p.topRight, &p.bottomLeft, &p.bottomRight}) {
            EXPECT_GE(tile->size(), 155u);
            EXPECT_LE(tile->size(), 213u);
        }
    }
}

TEST(Style10, PictureFollowsStateAndFocus)
{
    struct Case {
        int state;
        bool focus;
        Colour centre;
    } cases[] = {
        {StateNormal, false, Rgb(232, 231, 234)},   {StateNormal, true, Rgb(106, 166, 226)},
        {StateHot, false, Rgb(106, 166, 226)},      {StatePressed, true, Rgb(106, 155, 204)},
        {StateDisabled, false, Rgb(232, 231, 234)}, {StateDisabled, true, Rgb(106, 166, 226)},
    };
    for (auto c : cases) {
        PixelCanvas canvas(80, 40, kCleared);
        PaintStyle10(canvas, Inputs(c.state, c.focus));
        EXPECT_EQ(ColourText(canvas.At(40, 20)), ColourText(c.centre)) << c.state << " " << c.focus;
    }
}

TEST(Style10, SmallestLayoutLeavesOnlyTheCornersUndrawn)
{
    // At 35 x 23 the nine parts meet with no centre left; inside the rounded
    // region nothing keeps the cleared colour but the Normal lower band's holes.
    PixelCanvas canvas(35, 23, kCleared);
    PaintStyle10(canvas, Inputs(StateHot));
    int undrawn = 0;
    for (int y = 8; y < 23 - 8; ++y)
        for (int x = 0; x < 35; ++x)
            undrawn += canvas.At(x, y) == kCleared;
    EXPECT_EQ(undrawn, 0);
}

TEST(Style10, NarrowAndLowButtonsDrawTheLaterStepsOverTheEarlier)
{
    for (auto [w, h] : {std::pair{20, 20}, std::pair{30, 22}, std::pair{21, 40}}) {
        PixelCanvas canvas(w, h, kCleared);
        PaintStyle10(canvas, Inputs(StateHot));
        // The bottom profile is drawn last, from column 17 leftwards to W-16.
        EXPECT_EQ(ColourText(canvas.At(std::min(17, w - 16), h - 2)), ColourText(Rgb(64, 93, 99)))
            << w << "x" << h;
    }
}

}  // namespace
