#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "imaging/Rotation.h"

namespace quill::imaging {
namespace {

TEST(AngleRemainder, KeepsTheSign)
{
    EXPECT_EQ(AngleRemainder(-30), -30);
    EXPECT_EQ(AngleRemainder(390), 30);
    EXPECT_EQ(AngleRemainder(360), 0);
    EXPECT_EQ(AngleRemainder(-720), 0);
    EXPECT_EQ(AngleRemainder(-450), -90);
}

TEST(RotationSquareSize, DiagonalRoundedHalvesToEven)
{
    EXPECT_EQ(RotationSquareSize(10, 10), 14);  // 14.14
    EXPECT_EQ(RotationSquareSize(3, 4), 5);
    EXPECT_EQ(RotationSquareSize(1, 0), 1);
    EXPECT_EQ(RotationSquareSize(0, 0), 0);
    // No square of that side fits a 32-bit pixel block.
    EXPECT_EQ(RotationSquareSize(50000, 50000), 0);
    EXPECT_EQ(RotationSquareSize(2147483647, 2147483647), 0);
}

// A 10 x 10 picture whose every pixel is distinct and opaque; (x, y) from
// the top-left.
std::vector<uint32_t> Numbered(int w, int h)
{
    std::vector<uint32_t> px(static_cast<size_t>(w) * h);
    PixelView v{px.data(), w, h};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            v.RowFromTop(y)[x] = 0xFF000000u | static_cast<uint32_t>(y * 256 + x + 1);
    return px;
}

// The picture turned clockwise by quarter turns, (x, y) from the top-left.
uint32_t Turned(ConstPixelView pic, int quarters, int x, int y)
{
    switch (quarters) {
    case 0:
        return pic.RowFromTop(y)[x];
    case 1:  // the top row becomes the right column
        return pic.RowFromTop(pic.height - 1 - x)[y];
    case 2:
        return pic.RowFromTop(pic.height - 1 - y)[pic.width - 1 - x];
    default:
        return pic.RowFromTop(x)[pic.width - 1 - y];
    }
}

// Where a 10 x 10 picture turned by quarter turns lands in its 14 x 14
// square: its top-left from the square's top-left, the turn being about the
// corner-based centre (5, 5).
struct QuarterTurn {
    int angle, quarters, left, top;
};
constexpr QuarterTurn QuarterTurns[] = {{90, 1, 2, 1},   {-270, 1, 2, 1}, {180, 2, 3, 1},
                                        {-180, 2, 3, 1}, {270, 3, 3, 2},  {-90, 3, 3, 2}};

// A copy of the w x h rectangle at (x, y) from the top-left. Lowered, each
// row is taken from the one below it (the bottom row twice): what smooth
// sampling shows at quarter turns, since it mixes a point's row with the row
// below, weighing the lower row fully at a whole-number position.
std::vector<uint32_t> Cut(ConstPixelView pic, int x, int y, int w, int h, bool lowered)
{
    std::vector<uint32_t> px(static_cast<size_t>(w) * h);
    PixelView cut{px.data(), w, h};
    for (int r = 0; r < h; ++r)
        std::copy_n(pic.RowFromTop(y + (lowered ? std::min(r + 1, h - 1) : r)) + x, w, cut.RowFromTop(r));
    return px;
}

void ExpectQuarterTurn(ConstPixelView square, ConstPixelView picture, const QuarterTurn& c,
                       const std::string& what)
{
    for (int y = 0; y < square.height; ++y) {
        for (int x = 0; x < square.width; ++x) {
            int u = x - c.left, v = y - c.top;
            uint32_t want = picture.Contains(u, v) ? Turned(picture, c.quarters, u, v) : 0;
            ASSERT_EQ(square.RowFromTop(y)[x], want)
                << what << " angle " << c.angle << " at " << x << "," << y;
        }
    }
}

TEST(RotateInto, QuarterTurnsMovePixelsExactly)
{
    std::vector<uint32_t> px = Numbered(10, 10);
    ConstPixelView pic{px.data(), 10, 10};
    for (bool smooth : {false, true}) {
        std::vector<uint32_t> expected = Cut(pic, 0, 0, 10, 10, smooth);
        for (const QuarterTurn& c : QuarterTurns) {
            std::vector<uint32_t> sq(14 * 14, 0);
            PixelView square{sq.data(), 14, 14};
            RotateInto(pic, {0, 0, 10, 10}, 10, 10, c.angle, smooth, square);
            ExpectQuarterTurn(square, ConstPixelView{expected.data(), 10, 10}, c, smooth ? "smooth" : "fast");
        }
    }
}

TEST(RotateInto, TurnsTheRectangleAskedFor)
{
    // Each quarter of a 20 x 20 picture turns by itself, as a 10 x 10
    // picture of its pixels would.
    std::vector<uint32_t> px = Numbered(20, 20);
    ConstPixelView pic{px.data(), 20, 20};
    for (int x : {0, 10}) {
        for (int y : {0, 10}) {
            for (bool smooth : {false, true}) {
                std::vector<uint32_t> expected = Cut(pic, x, y, 10, 10, smooth);
                for (const QuarterTurn& c : QuarterTurns) {
                    std::vector<uint32_t> sq(14 * 14, 0);
                    PixelView square{sq.data(), 14, 14};
                    RotateInto(pic, {x, y, 10, 10}, 10, 10, c.angle, smooth, square);
                    ExpectQuarterTurn(square, ConstPixelView{expected.data(), 10, 10}, c,
                                      "quarter at " + std::to_string(x) + "," + std::to_string(y) +
                                          (smooth ? " smooth" : " fast"));
                }
            }
        }
    }
}

TEST(RotateInto, OddAngleMatchesAReferenceRotation)
{
    // 16 x 8 turned by 37 degrees and scaled to 24 x 12: every pixel of the
    // square is the source pixel under the inverse turn of its corner-based
    // position about the destination's centre.
    const int w = 16, h = 8, dw = 24, dh = 12;
    std::vector<uint32_t> px = Numbered(w, h);
    ConstPixelView pic{px.data(), w, h};
    const int d = RotationSquareSize(dw, dh);  // 27
    std::vector<uint32_t> sq(static_cast<size_t>(d) * d, 0);
    PixelView square{sq.data(), d, d};
    RotateInto(pic, {0, 0, w, h}, dw, dh, 37, false, square);

    const double pi = std::acos(-1.0);
    const double t = 37 * pi / 180;
    int mismatches = 0, drawn = 0;
    for (int row = 0; row < d; ++row) {  // bottom-up
        for (int col = 0; col < d; ++col) {
            // Square position relative to the picture's corner-based centre,
            // in destination pixels, turned back (anticlockwise on screen)
            // and scaled back into source pixels.
            double ux = col - (d - w) / 2 - w / 2;
            double uy = row - (d - h) / 2 - h / 2;
            double sx = (ux * std::cos(t) - uy * std::sin(t)) * w / dw + w / 2;
            double sy = (ux * std::sin(t) + uy * std::cos(t)) * h / dh + h / 2;
            uint32_t want = 0;
            if (sx >= 0 && sx < w && sy >= 0 && sy < h)
                want = pic.Row(static_cast<int>(std::floor(sy)))[static_cast<int>(std::floor(sx))];
            uint32_t got = square.Row(row)[col];
            drawn += got != 0;
            // Points that fall within rounding noise of a pixel edge may
            // land on either side of it.
            mismatches += got != want;
        }
    }
    EXPECT_GT(drawn, w * h);
    EXPECT_LE(mismatches, 2) << "of " << d * d;
}

TEST(RotateInto, SmoothSamplingStaysInsideTheRectangle)
{
    // A blue 4 x 4 rectangle inside a red picture, turned by 45 degrees.
    std::vector<uint32_t> px(8 * 8, 0xFFFF0000);
    PixelView pic{px.data(), 8, 8};
    for (int y = 2; y < 6; ++y)
        for (int x = 2; x < 6; ++x)
            pic.RowFromTop(y)[x] = 0xFF0000FF;
    const int d = RotationSquareSize(9, 9);
    std::vector<uint32_t> sq(static_cast<size_t>(d) * d, 0);
    RotateInto(pic, {2, 2, 4, 4}, 9, 9, 45, true, PixelView{sq.data(), d, d});
    int blue = 0;
    for (uint32_t p : sq) {
        EXPECT_EQ(Red(p), 0);
        blue += Blue(p) != 0;
    }
    EXPECT_GT(blue, 40);
}

}  // namespace
}  // namespace quill::imaging
