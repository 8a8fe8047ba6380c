#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "imaging/PixelTransforms.h"

namespace quill::imaging {
namespace {

// A 3 x 2 picture, bottom-up rows {1, 2, 3} (bottom) and {4, 5, 6} (top).
const std::vector<uint32_t> kPicture = {1, 2, 3, 4, 5, 6};

TEST(MirrorRect, MirrorsTheRectangleAsDrawingSeesIt)
{
    ConstPixelView pic{kPicture.data(), 3, 2};
    struct Case {
        const char* name;
        SourceRect rect;
        bool mx, my;
        std::vector<uint32_t> out;  // bottom-up
    } cases[] = {
        {"left to right", {0, 0, 3, 2}, true, false, {3, 2, 1, 6, 5, 4}},
        {"upside down", {0, 0, 3, 2}, false, true, {4, 5, 6, 1, 2, 3}},
        {"both", {0, 0, 3, 2}, true, true, {6, 5, 4, 3, 2, 1}},
        // x counts from the right edge: columns 1 and 0 of the top row.
        {"part, left to right", {1, 0, 2, 1}, true, false, {5, 4}},
        // y counts from the bottom edge: the bottom row, from column 1.
        {"part, upside down", {1, 0, 2, 1}, false, true, {2, 3}},
        {"part, both", {0, 1, 2, 1}, true, true, {6, 5}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MirrorRect(pic, c.rect, c.mx, c.my), c.out) << c.name;
}

TEST(MakeGrey, WeightsOfEachFormula)
{
    struct Case {
        int formula;
        uint32_t in, out;
    } cases[] = {
        {1, 0xFFFF0000, 0xFF4C4C4C},  // red 255 -> 76
        {2, 0xFFFF0000, 0xFF545454},  // 255 x 0.333 = 84.9 -> 84
        {0, 0xFFFF0000, 0xFF363636},  // 255 x 0.213 = 54.3 -> 54
        {7, 0xFF00FF00, 0xFFB6B6B6},  // 255 x 0.715 = 182.3 -> 182
        {1, 0x80FFFFFF, 0x80FFFFFF},  // alpha left, white stays white
        {1, 0x00000000, 0x00000000},
    };
    for (const Case& c : cases) {
        uint32_t p = c.in;
        MakeGrey(PixelView{&p, 1, 1}, c.formula);
        EXPECT_EQ(p, c.out) << "formula " << c.formula << std::hex << " got " << p;
    }
}

TEST(MakeGrey, PremultipliedPixelsStayPremultiplied)
{
    std::mt19937 rng(7);
    for (int formula : {0, 1, 2}) {
        std::vector<uint32_t> px(5000);
        for (uint32_t& p : px) {
            uint32_t a = rng() % 256;
            p = Bgra(a ? rng() % (a + 1) : 0, a ? rng() % (a + 1) : 0, a ? rng() % (a + 1) : 0, a);
        }
        MakeGrey(PixelView{px.data(), 100, 50}, formula);
        for (uint32_t p : px)
            ASSERT_LE(Blue(p), AlphaOf(p)) << formula;
    }
}

// width x height, transparent except an opaque block from the top-left.
std::vector<uint32_t> Block(int width, int height, int left, int top, int w, int h)
{
    std::vector<uint32_t> px(static_cast<size_t>(width) * height, 0);
    PixelView v{px.data(), width, height};
    for (int y = top; y < top + h; ++y)
        for (int x = left; x < left + w; ++x)
            v.RowFromTop(y)[x] = 0xFF000000u | static_cast<uint32_t>(y * 16 + x);
    return px;
}

TEST(FindTrim, SmallestRectangleOfTheSidesAsked)
{
    std::vector<uint32_t> px = Block(12, 10, 3, 3, 6, 4);  // 3-pixel border, more at right and bottom
    ConstPixelView v{px.data(), 12, 10};
    struct Case {
        int sides;
        int left, top, width, height;
    } cases[] = {
        {0, 3, 3, 6, 4},  {15, 3, 3, 6, 4}, {1, 3, 0, 9, 10}, {2, 0, 3, 12, 7},
        {4, 0, 0, 9, 10}, {8, 0, 0, 12, 7}, {5, 3, 0, 6, 10}, {10, 0, 3, 12, 4},
    };
    for (const Case& c : cases) {
        TrimRect t = FindTrim(v, c.sides);
        EXPECT_TRUE(t.found) << c.sides;
        EXPECT_EQ(t.left, c.left) << c.sides;
        EXPECT_EQ(t.top, c.top) << c.sides;
        EXPECT_EQ(t.width, c.width) << c.sides;
        EXPECT_EQ(t.height, c.height) << c.sides;
    }
}

TEST(FindTrim, FullyTransparentFindsNothingForEveryMask)
{
    std::vector<uint32_t> px(30, 0x00FFFFFF);  // colour without alpha counts as transparent
    for (int sides = 0; sides <= 15; ++sides) {
        TrimRect t = FindTrim(ConstPixelView{px.data(), 6, 5}, sides);
        EXPECT_FALSE(t.found) << sides;
        EXPECT_EQ(t.left + t.top + t.width + t.height, 0) << sides;
    }
}

TEST(FindTrim, SinglePixel)
{
    std::vector<uint32_t> px = Block(5, 5, 4, 0, 1, 1);
    TrimRect t = FindTrim(ConstPixelView{px.data(), 5, 5}, 0);
    EXPECT_EQ(t.left, 4);
    EXPECT_EQ(t.top, 0);
    EXPECT_EQ(t.width, 1);
    EXPECT_EQ(t.height, 1);
}

TEST(CopyRect, TakesRowsFromTheTop)
{
    std::vector<uint32_t> px = Block(12, 10, 3, 3, 6, 4);
    std::vector<uint32_t> inner = CopyRect(ConstPixelView{px.data(), 12, 10}, 3, 3, 6, 4);
    ASSERT_EQ(inner.size(), 24u);
    EXPECT_EQ(inner[0],
              0xFF000000u | (6 * 16 + 3));             // bottom-left: row 6 from the top
    EXPECT_EQ(inner[23], 0xFF000000u | (3 * 16 + 8));  // top-right: row 3
}

TEST(FittedSize, ModesOfScaleImage)
{
    struct Case {
        int dw, dh, mode, w, h;
    } cases[] = {{50, 50, 0, 50, 25},     {400, 400, 1, 200, 100}, {400, 400, 0, 400, 200},
                 {400, 400, 2, 400, 400}, {400, 400, 7, 200, 100}, {400, 400, -1, 200, 100},
                 {30, 400, 1, 30, 15},    {100, 30, 0, 60, 30}};
    for (const Case& c : cases) {
        int w = -1, h = -1;
        FittedSize(200, 100, c.dw, c.dh, c.mode, w, h);
        EXPECT_EQ(w, c.w) << c.dw << "x" << c.dh << " mode " << c.mode;
        EXPECT_EQ(h, c.h) << c.dw << "x" << c.dh << " mode " << c.mode;
    }
    // Single precision: 7 / 3 x 3 is 7.0000005 in single precision.
    int w, h;
    FittedSize(3, 3, 7, 7, 0, w, h);
    EXPECT_EQ(w, 7);
}

}  // namespace
}  // namespace quill::imaging
