#include <gtest/gtest.h>

#include "imaging/PixelBlend.h"

namespace quill::imaging {
namespace {

TEST(ReduceOpacity, AbsoluteModuloHundredWithZeroAsHundred)
{
    struct Case {
        int in, out, alpha;
    } cases[] = {{100, 100, 255}, {200, 100, 255}, {150, 50, 127}, {250, 50, 127},  {-30, 30, 76},
                 {50, 50, 127},   {1, 1, 2},       {99, 99, 252},  {-100, 100, 255}};
    for (const Case& c : cases) {
        EXPECT_EQ(ReduceOpacity(c.in), c.out) << c.in;
        EXPECT_EQ(ConstantAlpha(ReduceOpacity(c.in)), c.alpha) << c.in;
    }
}

TEST(BlendRow, IntegerFormulasRoundDown)
{
    struct Case {
        const char* name;
        uint32_t source, destination;
        int constant;
        uint32_t result;
    } cases[] = {
        {"opaque replaces colour, keeps destination alpha", 0xFF102030, 0x12C8C8C8, 255, 0x12102030},
        // 100 + 200 x 127 / 255 = 100 + 99
        {"partial alpha", 0x80646464, 0xFFC8C8C8, 255, 0xFFC7C7C7},
        {"zero alpha leaves the pixel", 0x00000000, 0xFF123456, 255, 0xFF123456},
        {"zero alpha at half opacity", 0x00000000, 0xFF123456, 127, 0xFF123456},
        // k = 255 - 127 x 255 / 255 = 128; (127 x 200 + 100 x 128) / 255 = 149
        {"opaque at half opacity", 0xFFC8C8C8, 0xFF646464, 127, 0xFF959595},
        // k = 255 - 127 x 128 / 255 = 192; (127 x 100 + 200 x 192) / 255 = 200
        {"partial at half opacity", 0x80646464, 0x00C8C8C8, 127, 0x00C8C8C8},
        {"channels apart", 0xFF0000FF, 0xFFFF0000, 76, 0xFFB3004C},
        // Not premultiplied: 250 + 200 x 127 / 255 overflows the byte.
        {"overflow leaves the channel", 0x80FA0000, 0xFFC80000, 255, 0xFFC80000},
    };
    for (const Case& c : cases) {
        uint32_t d = c.destination;
        BlendRow(&c.source, &d, 1, c.constant);
        EXPECT_EQ(d, c.result) << c.name << std::hex << " got " << d;
    }
}

TEST(BlendRow, BlendsEveryPixelOfTheRow)
{
    uint32_t src[3] = {0xFF010101, 0x00000000, 0xFF030303};
    uint32_t dst[3] = {0xFF999999, 0xFF999999, 0xFF999999};
    BlendRow(src, dst, 3, 255);
    EXPECT_EQ(dst[0], 0xFF010101u);
    EXPECT_EQ(dst[1], 0xFF999999u);
    EXPECT_EQ(dst[2], 0xFF030303u);
}

}  // namespace
}  // namespace quill::imaging
