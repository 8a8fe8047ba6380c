#include <gtest/gtest.h>

#include <vector>

#include "imaging/Resampler.h"

namespace quill::imaging {
namespace {

TEST(ClipResampleOutput, KeepsWhatTheDestinationShows)
{
    struct Case {
        int x, y, width, height, limitWidth, limitHeight;
        ResampleClip clip;
    } cases[] = {
        {0, 0, 50, 40, 100, 100, {50, 40, 0, 0}},
        // Drawn at X = -10 into 100 pixels: the first 10 columns are skipped.
        {-10, 0, 100, 10, 100, 100, {90, 10, 10, 0}},
        {50, 0, 100, 10, 100, 100, {50, 10, 0, 0}},
        {0, 0, 300, 10, 100, 100, {100, 10, 0, 0}},
        // Rows cut at the top cost no skip; rows cut at the bottom are skipped.
        {0, -5, 10, 20, 100, 100, {10, 15, 0, 0}},
        {0, 90, 10, 20, 100, 100, {10, 10, 0, 10}},
        {0, -5, 10, 300, 100, 100, {10, 100, 0, 195}},
        {-200, 0, 100, 10, 100, 100, {-100, 10, 200, 0}},
    };
    for (const Case& c : cases) {
        ResampleClip got = ClipResampleOutput(c.x, c.y, c.width, c.height, c.limitWidth, c.limitHeight);
        EXPECT_EQ(got.width, c.clip.width) << c.x << "," << c.y;
        EXPECT_EQ(got.height, c.clip.height) << c.x << "," << c.y;
        EXPECT_EQ(got.colSkip, c.clip.colSkip) << c.x << "," << c.y;
        EXPECT_EQ(got.rowSkip, c.clip.rowSkip) << c.x << "," << c.y;
    }
}

std::vector<uint32_t> Resample(const std::vector<uint32_t>& src, int w, int h, SourceRect rect, int outW,
                               int outH, bool smooth, int colSkip = 0, int rowSkip = 0, int fullW = 0,
                               int fullH = 0)
{
    std::vector<uint32_t> out(static_cast<size_t>(outW) * outH, 0xDEADBEEF);
    double xr = static_cast<double>(rect.width) / (fullW ? fullW : outW);
    double yr = static_cast<double>(rect.height) / (fullH ? fullH : outH);
    ResamplePixels(ConstPixelView{src.data(), w, h}, rect, xr, yr, colSkip, rowSkip, smooth,
                   PixelView{out.data(), outW, outH});
    return out;
}

TEST(ResamplePixels, FastModeRepeatsPixels)
{
    std::vector<uint32_t> src = {0xFF000001, 0xFF000002};
    EXPECT_EQ(Resample(src, 2, 1, {0, 0, 2, 1}, 4, 1, false),
              (std::vector<uint32_t>{0xFF000001, 0xFF000001, 0xFF000002, 0xFF000002}));
    std::vector<uint32_t> four = {1, 2, 3, 4};
    EXPECT_EQ(Resample(four, 4, 1, {0, 0, 4, 1}, 2, 1, false), (std::vector<uint32_t>{1, 3}));
}

TEST(ResamplePixels, FastModeTakesTheSourceRectangleFromTheTop)
{
    // 2 x 3 picture, bottom-up rows {1,2}, {3,4}, {5,6}: the top row is 5, 6.
    std::vector<uint32_t> src = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(Resample(src, 2, 3, {1, 0, 1, 1}, 2, 2, false), (std::vector<uint32_t>{6, 6, 6, 6}));
    EXPECT_EQ(Resample(src, 2, 3, {0, 1, 2, 2}, 2, 2, false), (std::vector<uint32_t>{1, 2, 3, 4}));
}

TEST(ResamplePixels, SkippedColumnsAndRowsAreTheClippedOnes)
{
    std::vector<uint32_t> src = {1, 2, 3, 4};
    // Full output 4 x 1, the first two columns skipped.
    EXPECT_EQ(Resample(src, 4, 1, {0, 0, 4, 1}, 2, 1, false, 2, 0, 4, 1), (std::vector<uint32_t>{3, 4}));
    std::vector<uint32_t> column = {1, 2, 3, 4};
    EXPECT_EQ(Resample(column, 1, 4, {0, 0, 1, 4}, 1, 2, false, 0, 2, 1, 4), (std::vector<uint32_t>{3, 4}));
}

TEST(ResamplePixels, SmoothModeAtOneToOneCopies)
{
    std::vector<uint32_t> src = {0x10203040, 0x50607080, 0x11223344, 0xFFEEDDCC, 0, 0x01020304};
    EXPECT_EQ(Resample(src, 3, 2, {0, 0, 3, 2}, 3, 2, true), src);
}

TEST(ResamplePixels, SmoothModeMixesNeighbours)
{
    // Blue 0 and 200 doubled: positions 0, 0.5, 1, 1.5.
    std::vector<uint32_t> src = {0xFF000000, 0xFF0000C8};
    EXPECT_EQ(Resample(src, 2, 1, {0, 0, 2, 1}, 4, 1, true),
              (std::vector<uint32_t>{0xFF000000, 0xFF000064, 0xFF0000C8, 0xFF0000C8}));
    // Rows: positions (y + 1) x 0.5 -> 0.5 (row 0), 1 (row 0), 1.5 (mix), 2 (row
    // 1).
    std::vector<uint32_t> col = {0xFF000000, 0xFF0000C8};
    EXPECT_EQ(Resample(col, 1, 2, {0, 0, 1, 2}, 1, 4, true),
              (std::vector<uint32_t>{0xFF000000, 0xFF000000, 0xFF000064, 0xFF0000C8}));
}

TEST(ResamplePixels, SmoothModeNeverReadsOutsideTheRectangle)
{
    // A 2 x 2 rectangle in the middle of a 4 x 4 picture whose other pixels
    // are red; the rectangle is blue only.
    std::vector<uint32_t> src(16, 0xFFFF0000);
    for (int y = 1; y <= 2; ++y)
        for (int x = 1; x <= 2; ++x)
            src[static_cast<size_t>(y * 4 + x)] = 0xFF0000FF - static_cast<uint32_t>(x * 10 + y);
    for (auto [ow, oh] : {std::pair{7, 5}, std::pair{3, 3}, std::pair{1, 1}, std::pair{9, 2}}) {
        std::vector<uint32_t> out = Resample(src, 4, 4, {1, 1, 2, 2}, ow, oh, true);
        for (uint32_t p : out) {
            EXPECT_EQ(Red(p), 0) << ow << "x" << oh;
            // The floor of a sum of weights that add up to 1 in real numbers
            // may fall just short of 255.
            EXPECT_GE(AlphaOf(p), 254) << ow << "x" << oh;
        }
    }
}

TEST(SampleBilinear, FloorsTheWeightedSum)
{
    std::vector<uint32_t> src = {0x00000003, 0x00000004};
    // 3 x 0.5 + 4 x 0.5 = 3.5 -> 3.
    EXPECT_EQ(SampleBilinear(ConstPixelView{src.data(), 2, 1}, 0.5, 0.0, 0, 1, 0, 0), 3u);
    // Far outside: clamped to the edge.
    EXPECT_EQ(SampleBilinear(ConstPixelView{src.data(), 2, 1}, 1e12, -1e12, 0, 1, 0, 0), 4u);
    EXPECT_EQ(SampleBilinear(ConstPixelView{src.data(), 2, 1}, -5.5, 7.25, 0, 1, 0, 0), 3u);
}

}  // namespace
}  // namespace quill::imaging
