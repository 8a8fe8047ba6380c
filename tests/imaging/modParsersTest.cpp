#include <gtest/gtest.h>

#include <vector>

#include "forms/lang/Error.h"
#include "imaging/modParsers.h"

namespace quill::imaging {
namespace {

TEST(AlignedRowBytes, PadsRowsToFourBytes)
{
    struct Case {
        uint8_t bits;
        int32_t width;
        int32_t bytes;
    } cases[] = {{1, 1, 4},  {1, 33, 8},  {4, 9, 8},    {8, 5, 8},
                 {24, 1, 4}, {24, 3, 12}, {32, 10, 40}, {24, 0, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(AlignedRowBytes(c.bits, c.width), c.bytes) << int(c.bits) << " bits, width " << c.width;
}

TEST(AlignedRowBytes, RaisesOverflowBeyondThirtyTwoBits)
{
    try {
        AlignedRowBytes(32, 0x7FFFFFF0);
        FAIL() << "no error";
    } catch (const forms::RuntimeError& e) {
        EXPECT_EQ(e.Number(), 6);
    }
    // width x bits + 31 exactly at the limit still fits.
    EXPECT_EQ(AlignedRowBytes(1, 0x7FFFFFE0), 0x0FFFFFFC);
    EXPECT_THROW(AlignedRowBytes(1, 0x7FFFFFE1), forms::RuntimeError);
}

TEST(SwapByteOrder32, ReversesTheBytes)
{
    EXPECT_EQ(SwapByteOrder32(0x0D0A1A0Au), 0x0A1A0A0Du);
    EXPECT_EQ(SwapByteOrder32(0x00000001u), 0x01000000u);
}

TEST(PictureSizeAllowed, BoundsSizesFromFiles)
{
    EXPECT_TRUE(PictureSizeAllowed(8192, 8192));
    EXPECT_FALSE(PictureSizeAllowed(8193, 8192));
    EXPECT_TRUE(PictureSizeAllowed(1, MaxPicturePixels));
    EXPECT_FALSE(PictureSizeAllowed(0, 5));
    EXPECT_FALSE(PictureSizeAllowed(5, -1));
    EXPECT_FALSE(PictureSizeAllowed(1LL << 40, 1LL << 40));
}

struct ScanCase {
    const char* name;
    std::vector<uint32_t> pixels;
    bool premultiply;
    int typeIn;
    bool result;
    int typeOut;
    std::vector<uint32_t> after;
};

TEST(ScanAlphaChannel, ClassifiesAndFixesAlpha)
{
    const ScanCase cases[] = {
        {"no alpha channel", {0x00102030, 0x00FFFFFF}, true, 0, false, 1, {0xFF102030, 0xFFFFFFFF}},
        {"no alpha channel, left alone", {0x00102030}, false, 0, false, 1, {0x00102030}},
        {"straight alpha", {0x80C80000, 0xFF010203}, true, 0, true, 6, {0x80640000, 0xFF010203}},
        {"already premultiplied",
         {0x80640000, 0x00000000, 0xFF010203},
         true,
         0,
         true,
         7,
         {0x80640000, 0x00000000, 0xFF010203}},
        {"fully opaque", {0xFF112233, 0xFF445566}, true, 0, true, 7, {0xFF112233, 0xFF445566}},
        // Colour under zero alpha, then an opaque pixel: straight alpha, and
        // the hidden colour is cleared.
        {"colour under zero alpha", {0x00112233, 0xFF445566}, true, 0, true, 6, {0x00000000, 0xFF445566}},
        {"colour under zero alpha then partial",
         {0x00112233, 0x40101010},
         true,
         0,
         true,
         6,
         {0x00000000, 0x40040404}},
        {"straight alpha kept without premultiply", {0x80C80000}, false, 0, true, 6, {0x80C80000}},
        {"no scan for type -1", {0x80C80000, 0x00000000}, true, -1, false, -1, {0xFFC80000, 0xFF000000}},
        {"no scan, no premultiply", {0x80C80000}, false, -1, false, -1, {0x80C80000}},
        {"empty view", {}, true, 0, false, 1, {}},
    };
    for (const ScanCase& c : cases) {
        std::vector<uint32_t> px = c.pixels;
        int type = c.typeIn;
        bool result = ScanAlphaChannel(PixelView{px.data(), static_cast<int>(px.size()), px.empty() ? 0 : 1},
                                       c.premultiply, type);
        EXPECT_EQ(result, c.result) << c.name;
        EXPECT_EQ(type, c.typeOut) << c.name;
        EXPECT_EQ(px, c.after) << c.name;
    }
}

TEST(ScanAlphaChannel, PremultipliesEveryChannelRoundingDown)
{
    // 200 x 128 / 255 = 100.39 -> 100; 255 x 1 / 255 = 1; 1 x 254 / 255 = 0.
    EXPECT_EQ(PremultiplyPixel(0x80C8C8C8), 0x80646464u);
    EXPECT_EQ(PremultiplyPixel(0x01FFFFFF), 0x01010101u);
    EXPECT_EQ(PremultiplyPixel(0xFE010101), 0xFE000000u);
    EXPECT_EQ(PremultiplyPixel(0x00FFFFFF), 0u);
    EXPECT_EQ(PremultiplyPixel(0xFF123456), 0xFF123456u);
}

}  // namespace
}  // namespace quill::imaging
