// The fixed pictures, checked against the pixel values the controls are
// described with.
#include "controls/small/LoginControlArt.h"

#include <gtest/gtest.h>

namespace quill::small {
namespace {

struct Pixel {
    int x, y;
    std::uint32_t colour;
};

TEST(CheckBoxPicture, FrameShadeAndInterior)
{
    const PixelPicture p = CheckBoxPicture(false);
    ASSERT_EQ(p.width, 13);
    ASSERT_EQ(p.height, 13);
    const Pixel cells[] = {
        {0, 0, Rgb(78, 160, 209)},   {12, 0, Rgb(78, 160, 209)},   {0, 12, Rgb(78, 160, 209)},
        {12, 12, Rgb(78, 160, 209)}, {6, 0, Rgb(78, 160, 209)},    {12, 6, Rgb(78, 160, 209)},
        {1, 1, Rgb(195, 214, 229)},  {2, 1, Rgb(202, 219, 232)},   {1, 2, Rgb(202, 219, 232)},
        {3, 1, Rgb(207, 222, 234)},  {11, 1, Rgb(207, 222, 234)},  {1, 11, Rgb(207, 222, 234)},
        {2, 2, Rgb(227, 236, 243)},  {3, 2, Rgb(239, 244, 248)},   {2, 11, Rgb(239, 244, 248)},
        {3, 3, Rgb(255, 255, 255)},  {11, 11, Rgb(255, 255, 255)}, {10, 3, Rgb(255, 255, 255)},
    };
    for (const Pixel& c : cells)
        EXPECT_EQ(p.At(c.x, c.y), c.colour) << c.x << "," << c.y;
}

TEST(CheckBoxPicture, TickIsTheOnlyDifference)
{
    const PixelPicture on = CheckBoxPicture(true);
    const PixelPicture off = CheckBoxPicture(false);
    const Pixel tick[] = {
        {10, 3, Rgb(84, 183, 29)}, {9, 4, Rgb(81, 180, 27)}, {8, 5, Rgb(77, 175, 23)},
        {2, 6, Rgb(72, 169, 19)},  {9, 6, Rgb(72, 169, 19)}, {4, 7, Rgb(67, 162, 15)},
        {6, 7, Rgb(67, 162, 15)},  {3, 8, Rgb(62, 156, 10)}, {7, 8, Rgb(62, 156, 10)},
        {4, 9, Rgb(57, 150, 6)},   {5, 10, Rgb(53, 145, 2)},
    };
    for (const Pixel& c : tick)
        EXPECT_EQ(on.At(c.x, c.y), c.colour) << c.x << "," << c.y;
    int differing = 0;
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 13; ++x)
            differing += on.At(x, y) != off.At(x, y);
    // 1 + 2 + 3 + 5 + 6 + 5 + 3 + 1 tick pixels.
    EXPECT_EQ(differing, 26);
    EXPECT_EQ(on.At(4, 6), Rgb(255, 255, 255));
}

TEST(AccountBoxPictures, InnerShadePieces)
{
    const PixelPicture c = BorderCornerPicture();
    EXPECT_EQ(c.At(0, 0), Rgb(195, 214, 229));
    EXPECT_EQ(c.At(1, 0), Rgb(202, 219, 232));
    EXPECT_EQ(c.At(0, 1), Rgb(202, 219, 232));
    EXPECT_EQ(c.At(1, 1), Rgb(227, 236, 243));
    const PixelPicture top = BorderTopPicture();
    ASSERT_EQ(top.width, 1);
    ASSERT_EQ(top.height, 2);
    EXPECT_EQ(top.At(0, 0), Rgb(207, 222, 234));
    EXPECT_EQ(top.At(0, 1), Rgb(239, 244, 248));
    const PixelPicture left = BorderLeftPicture();
    ASSERT_EQ(left.width, 2);
    ASSERT_EQ(left.height, 1);
    EXPECT_EQ(left.At(0, 0), Rgb(207, 222, 234));
    EXPECT_EQ(left.At(1, 0), Rgb(239, 244, 248));
}

TEST(AccountBoxPictures, DropLooksShareSizeAndArrow)
{
    for (DropLook look : {DropLook::Normal, DropLook::Over, DropLook::Down}) {
        const PixelPicture p = DropPicture(look);
        ASSERT_EQ(p.width, 23);
        ASSERT_EQ(p.height, 22);
        EXPECT_EQ(p.At(11, 12), Rgb(0, 28, 48));  // the arrow's point
        EXPECT_NE(p.At(11, 13), Rgb(0, 28, 48));
    }
    EXPECT_EQ(DropPicture(DropLook::Normal).At(5, 15), Rgb(255, 255, 255));
    // Over is lit from the top, Down from the bottom.
    const PixelPicture over = DropPicture(DropLook::Over), down = DropPicture(DropLook::Down);
    EXPECT_GT(over.At(5, 0) & 0xFF, over.At(5, 21) & 0xFF);
    EXPECT_LT(down.At(5, 0) & 0xFF, down.At(5, 21) & 0xFF);
}

TEST(AccountBoxPictures, AccountIconIsMaskedAtItsCorners)
{
    const PixelPicture p = AccountIconPicture();
    ASSERT_EQ(p.width, 20);
    ASSERT_EQ(p.height, 20);
    EXPECT_FALSE(p.IsOpaque(0, 0));
    EXPECT_FALSE(p.IsOpaque(19, 19));
    EXPECT_TRUE(p.IsOpaque(10, 5));
    EXPECT_TRUE(p.IsOpaque(10, 15));
}

TEST(HandCursorShape, FingerTipIsTheHotSpot)
{
    const MonoCursorShape s = HandCursorShape();
    auto bit = [](const auto& plane, int x, int y) { return (plane[y * 4 + x / 8] >> (7 - x % 8)) & 1; };
    EXPECT_EQ(s.hotX, 5);
    EXPECT_EQ(s.hotY, 0);
    // Black (AND 0, XOR 0) at the tip, transparent (AND 1, XOR 0) beside it
    // and far away, white (AND 0, XOR 1) inside the finger.
    EXPECT_EQ(bit(s.andPlane, 5, 0), 0);
    EXPECT_EQ(bit(s.xorPlane, 5, 0), 0);
    EXPECT_EQ(bit(s.andPlane, 4, 0), 1);
    EXPECT_EQ(bit(s.andPlane, 31, 31), 1);
    EXPECT_EQ(bit(s.xorPlane, 31, 31), 0);
    EXPECT_EQ(bit(s.andPlane, 5, 3), 0);
    EXPECT_EQ(bit(s.xorPlane, 5, 3), 1);
}

}  // namespace
}  // namespace quill::small
