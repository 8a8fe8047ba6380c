// Rounding, the nine-grid pieces and the places of the drop button, glyphs and
// progress fills.
#include "skinning/SkinGeometry.h"

#include <gtest/gtest.h>

namespace quill::skinning {
namespace {

TEST(SkinGeometry, HalvesRoundToTheEvenNeighbour)
{
    const struct {
        double value;
        int rounded;
    } cases[] = {{0.5, 0},   {1.5, 2},   {2.5, 2},    {3.5, 4},    {4.5, 4},   {5.5, 6}, {-0.5, 0},
                 {-1.5, -2}, {-2.5, -2}, {2.4999, 2}, {2.5001, 3}, {-2.6, -3}, {7, 7}};
    for (const auto& c : cases)
        EXPECT_EQ(RoundHalfEven(c.value), c.rounded) << c.value;
}

TEST(SkinGeometry, NineGridKeepsCornersAndStretchesEdgesAndMiddle)
{
    // A 7 x 21 face onto 75 x 23 with margins 3.
    const auto pieces = NineGridPieces(75, 23, {0, 21, 7, 21}, 3, 3, 3, 3);
    const std::vector<NineGridPiece> want = {
        {{0, 0, 3, 3}, {0, 21, 3, 3}, false},   {{72, 0, 3, 3}, {4, 21, 3, 3}, false},
        {{0, 20, 3, 3}, {0, 39, 3, 3}, false},  {{72, 20, 3, 3}, {4, 39, 3, 3}, false},
        {{0, 3, 3, 17}, {0, 24, 3, 15}, true},  {{72, 3, 3, 17}, {4, 24, 3, 15}, true},
        {{3, 0, 69, 3}, {3, 21, 1, 3}, true},   {{3, 20, 69, 3}, {3, 39, 1, 3}, true},
        {{3, 3, 69, 17}, {3, 24, 1, 15}, true},
    };
    EXPECT_EQ(pieces, want);
}

TEST(SkinGeometry, NineGridWithoutMarginsStretchesTheWholeSource)
{
    EXPECT_EQ(NineGridPieces(40, 10, {1, 0, 1, 20}, 0, 0, 0, 0),
              (std::vector<NineGridPiece>{{{0, 0, 40, 10}, {1, 0, 1, 20}, true}}));
}

TEST(SkinGeometry, NineGridWithAnEmptySizeDrawsNothing)
{
    EXPECT_TRUE(NineGridPieces(0, 23, {0, 0, 7, 21}, 3, 3, 3, 3).empty());
    EXPECT_TRUE(NineGridPieces(75, 0, {0, 0, 7, 21}, 3, 3, 3, 3).empty());
    EXPECT_TRUE(NineGridPieces(75, 23, {0, 0, 0, 21}, 3, 3, 3, 3).empty());
    EXPECT_TRUE(NineGridPieces(75, 23, {0, 0, 7, 0}, 3, 3, 3, 3).empty());
}

TEST(SkinGeometry, NineGridSmallerThanItsMarginsDrawsNoMirroredPieces)
{
    // 5 x 5 with margins 3: the middle and edges would have negative sizes.
    for (const NineGridPiece& p : NineGridPieces(5, 5, {0, 0, 7, 21}, 3, 3, 3, 3)) {
        EXPECT_GT(p.dest.width, 0);
        EXPECT_GT(p.dest.height, 0);
        EXPECT_GT(p.source.width, 0);
        EXPECT_GT(p.source.height, 0);
    }
}

TEST(SkinGeometry, ComboStylesAndTheDropButtonZone)
{
    EXPECT_TRUE(IsListStyleCombo(1));   // CBS_SIMPLE
    EXPECT_FALSE(IsListStyleCombo(2));  // CBS_DROPDOWN
    EXPECT_TRUE(IsListStyleCombo(3));   // CBS_DROPDOWNLIST
    EXPECT_FALSE(ComboHasDropButton(1));
    EXPECT_TRUE(ComboHasDropButton(2));
    EXPECT_TRUE(ComboHasDropButton(3));
    // 120 x 24 with a 17-pixel scroll bar: 101 <= x <= 118, 2 <= y <= 22.
    const struct {
        int x, y;
        bool in;
    } cases[] = {{101, 2, true},  {118, 22, true},  {100, 10, false}, {119, 10, false},
                 {110, 1, false}, {110, 23, false}, {50, 10, false},  {110, 12, true}};
    for (const auto& c : cases)
        EXPECT_EQ(InDropButtonZone(120, 24, c.x, c.y, 17), c.in) << c.x << "," << c.y;
}

TEST(SkinGeometry, DropButtonSitsInsideTheFrameAtTheRightEdge)
{
    const DropButtonLayout at = DropButtonPlace(120, 24, 17);
    EXPECT_EQ(at.button, (SkinRect{101, 1, 18, 22}));
    EXPECT_EQ(at.arrow, (SkinPoint{6, 9}));                            // round(5.5) = 6, round(9) = 9
    EXPECT_EQ(DropButtonPlace(100, 21, 16).arrow, (SkinPoint{5, 8}));  // round(5) = 5, round(7.5) = 8
}

TEST(SkinGeometry, GlyphPlacesForAThirteenPixelCheckMark)
{
    EXPECT_EQ(CheckMarkAt(13, 13), (SkinPoint{2, 2}));
    EXPECT_EQ(IndeterminateAt(13, 13), (SkinPoint{3, 3}));
    EXPECT_EQ(OptionCircleTop(17, 13), 2);
    EXPECT_EQ(OptionDotAt(13, 13, 17), (SkinPoint{4, 2 + 4}));
    EXPECT_EQ(CheckSquareAt(20, 13), (SkinPoint{0, 4}));  // round(3.5)
    EXPECT_EQ(CheckSquareAt(18, 13), (SkinPoint{0, 2}));  // round(2.5)
}

TEST(SkinGeometry, ProgressFractionIsHeldToTheBar)
{
    EXPECT_FLOAT_EQ(ProgressFraction(15000), 0.5f);
    EXPECT_FLOAT_EQ(ProgressFraction(0), 0.0f);
    EXPECT_FLOAT_EQ(ProgressFraction(30000), 1.0f);
    EXPECT_FLOAT_EQ(ProgressFraction(65535), 1.0f);
    EXPECT_FLOAT_EQ(ProgressFraction(-5), 0.0f);
    EXPECT_FLOAT_EQ(ProgressFraction(INT32_MIN), 0.0f);
}

TEST(SkinGeometry, ProgressFillsFromTheLeftOrFromTheBottom)
{
    EXPECT_EQ(ProgressClientFill(198, 18, 0.5f, false), (SkinRect{0, 0, 99, 18}));
    EXPECT_EQ(ProgressClientFill(18, 98, 0.5f, true), (SkinRect{0, 49, 18, 49}));
    EXPECT_EQ(ProgressClientFill(198, 18, 1.0f, false), (SkinRect{0, 0, 198, 18}));
    EXPECT_EQ(ProgressClientFill(5, 18, 0.5f, false).width, 2);  // round(2.5)
}

TEST(SkinGeometry, BorderSizeLeavesScrollBarsOut)
{
    // A client edge of 2 on each side.
    EXPECT_EQ(BorderSize(100, 50, 96, 46, false, false, 17, 17), (SkinPoint{2, 2}));
    // A vertical scroll bar narrows the client but not borderX; likewise a
    // horizontal one for borderY.
    EXPECT_EQ(BorderSize(100, 50, 79, 46, true, false, 17, 17), (SkinPoint{2, 2}));
    EXPECT_EQ(BorderSize(100, 50, 96, 29, false, true, 17, 17), (SkinPoint{2, 2}));
    // A one-pixel border: 2 / 2; three pixels in all: round(1.5) = 2.
    EXPECT_EQ(BorderSize(10, 10, 8, 7, false, false, 17, 17), (SkinPoint{1, 2}));
}

TEST(SkinGeometry, HeaderHitTestFindsTheFirstItemHoldingX)
{
    const HeaderSpan items[] = {{0, 80}, {80, 150}, {150, 200}};
    EXPECT_EQ(HeaderHitTest(items, 0), 0);
    EXPECT_EQ(HeaderHitTest(items, 80), 0);  // both bounds count: the first wins
    EXPECT_EQ(HeaderHitTest(items, 81), 1);
    EXPECT_EQ(HeaderHitTest(items, 200), 2);
    EXPECT_EQ(HeaderHitTest(items, 201), -1);
    EXPECT_EQ(HeaderHitTest(items, -1), -1);
    EXPECT_EQ(HeaderHitTest({}, 5), -1);
}

}  // namespace
}  // namespace quill::skinning
