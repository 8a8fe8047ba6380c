// Colour functions, theme palettes and the ramps of the four-colour gradient.
#include "controls/small/ProgressBarColours.h"

#include "tests/support/ErrorNumber.h"

#include <gtest/gtest.h>

namespace quill::small {
namespace {

TEST(ProgressBarColours, ChannelsAreTheThreeLowBytes)
{
    const Colour c = 0x80332211;
    EXPECT_EQ(RedOfColour(c), 0x11);
    EXPECT_EQ(GreenOfColour(c), 0x22);
    EXPECT_EQ(BlueOfColour(c), 0x33);
}

TEST(ProgressBarColours, GreyIsTheRoundedMeanOfTheChannels)
{
    const struct {
        Colour in, grey;
    } cases[] = {
        {Rgb(255, 128, 128), Rgb(170, 170, 170)},
        {Rgb(0, 0, 1), Rgb(0, 0, 0)},  // 0.33 down
        {Rgb(0, 1, 1), Rgb(1, 1, 1)},  // 0.67 up
        {Rgb(255, 255, 255), Rgb(255, 255, 255)},
        {Rgb(30, 30, 30), Rgb(30, 30, 30)},  // a grey stays itself
        {0x8000000F, Rgb(5, 5, 5)},          // a system colour is not translated
    };
    for (const auto& c : cases)
        EXPECT_EQ(GreyOfColour(c.in), c.grey) << std::hex << c.in;
}

TEST(ProgressBarColours, LightenByCapsEachChannel)
{
    EXPECT_EQ(LightenBy(Rgb(200, 100, 0), 180), Rgb(255, 255, 180));
    EXPECT_EQ(LightenBy(Rgb(200, 100, 0), 50), Rgb(250, 150, 50));
    EXPECT_EQ(LightenBy(Rgb(200, 100, 0), 80), Rgb(255, 180, 80));
    EXPECT_EQ(LightenBy(0xFF000000 | Rgb(1, 2, 3), 0), Rgb(1, 2, 3));
}

TEST(ProgressBarColours, SafeRatioIsSinglePrecisionAndZeroForZeros)
{
    EXPECT_EQ(SafeRatio(0, 5), 0.0f);
    EXPECT_EQ(SafeRatio(5, 0), 0.0f);
    EXPECT_EQ(SafeRatio(1, 3), 1.0f / 3.0f);
    EXPECT_NE(static_cast<double>(SafeRatio(1, 3)), 1.0 / 3.0);
    EXPECT_EQ(SafeRatio(-255, 2), -127.5f);
}

TEST(ProgressBarColours, RampRoundsHalvesToEven)
{
    const BgrTriple black{0, 0, 0};
    // A step of 2.5: 0, 2.5, 5, 7.5, 10 round to 0, 2, 5, 8, 10.
    const auto ramp = BuildColourRamp(4, black, {10, 0, 0});
    ASSERT_EQ(ramp.size(), 5u);
    const int blues[] = {0, 2, 5, 8, 10};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(ramp[static_cast<std::size_t>(i)].blue, blues[i]) << i;

    const auto down = BuildColourRamp(2, {0, 255, 0}, {0, 0, 0});
    EXPECT_EQ(down[1].green, 128);  // 127.5 to the even neighbour
    EXPECT_EQ(down[2].green, 0);
}

TEST(ProgressBarColours, RampOfNoStepsIsItsStartAndNegativeStepsRaiseNine)
{
    const auto one = BuildColourRamp(0, {1, 2, 3}, {200, 200, 200});
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0], (BgrTriple{1, 2, 3}));
    EXPECT_EQ(test::ErrorOf([] { BuildColourRamp(-1, {}, {}); }), forms::kSubscriptOutOfRange);
}

TEST(ProgressBarColours, FixedThemesFillEntryPairsAndTheBorder)
{
    const struct {
        int theme;
        int entry;
        Colour colour;
    } cases[] = {
        {1, 0, Rgb(248, 246, 242)},  {1, 10, Rgb(239, 213, 133)}, {1, 16, Rgb(204, 168, 62)},
        {2, 6, Rgb(237, 239, 215)},  {3, 12, Rgb(57, 203, 70)},   {4, 14, Rgb(187, 237, 233)},
        {5, 8, Rgb(225, 223, 251)},  {6, 2, Rgb(233, 211, 231)},  {7, 4, Rgb(226, 182, 182)},
        {8, 0, Rgb(250, 253, 254)},  {8, 2, Rgb(228, 243, 252)},  {8, 4, Rgb(199, 230, 249)},
        {8, 6, Rgb(237, 247, 253)},  {8, 8, Rgb(225, 247, 255)},  {8, 10, Rgb(67, 208, 255)},
        {8, 12, Rgb(63, 112, 233)},  {8, 14, Rgb(63, 226, 246)},  {8, 16, Rgb(23, 139, 211)},
        {9, 10, Rgb(108, 255, 108)}, {9, 16, Rgb(188, 184, 188)},
    };
    for (const auto& c : cases) {
        ThemePalette p{};
        ASSERT_TRUE(LoadThemePalette(p, c.theme, 0, 0));
        EXPECT_EQ(p[static_cast<std::size_t>(c.entry)], c.colour)
            << "theme " << c.theme << " entry " << c.entry;
        for (std::size_t k = 0; k < 16; k += 2)
            EXPECT_EQ(p[k], p[k + 1]) << "theme " << c.theme << " pair " << k;
    }
}

TEST(ProgressBarColours, ThemeTenComesFromTheTwoCustomColours)
{
    const Colour c1 = Rgb(200, 100, 0);
    const Colour c2 = Rgb(10, 20, 30);
    ThemePalette p{};
    ASSERT_TRUE(LoadThemePalette(p, 10, c1, c2));
    const ThemePalette expected{
        Rgb(190, 200, 210),
        Rgb(190, 200, 210),
        Rgb(60, 70, 80),
        Rgb(60, 70, 80),
        c2,
        c2,
        Rgb(90, 100, 110),
        Rgb(90, 100, 110),
        Rgb(255, 255, 180),
        Rgb(255, 255, 180),
        Rgb(250, 150, 50),
        Rgb(250, 150, 50),
        c1,
        c1,
        Rgb(255, 180, 80),
        Rgb(255, 180, 80),
        c1,
    };
    EXPECT_EQ(p, expected);
}

TEST(ProgressBarColours, ThemeTenTakesASystemColourAsItsLowBytes)
{
    ThemePalette p{};
    ASSERT_TRUE(LoadThemePalette(p, 10, 0x8000000F, 0x80000005));
    EXPECT_EQ(p[FillLowerMiddle], Rgb(15, 0, 0));
    EXPECT_EQ(p[BorderEntry], Rgb(15, 0, 0));
    EXPECT_EQ(p[TrackLowerMiddle], Rgb(5, 0, 0));
    EXPECT_EQ(p[FillUpperOuter], Rgb(195, 180, 180));
}

TEST(ProgressBarColours, OtherThemesKeepTheLastColours)
{
    ThemePalette p{};
    EXPECT_FALSE(LoadThemePalette(p, 0, Rgb(1, 2, 3), Rgb(4, 5, 6)));
    EXPECT_EQ(p, ThemePalette{});  // black at creation
    ASSERT_TRUE(LoadThemePalette(p, 7, 0, 0));
    const ThemePalette seven = p;
    for (int theme : {0, 11, -1, 1000})
        EXPECT_FALSE(LoadThemePalette(p, theme, Rgb(1, 2, 3), Rgb(4, 5, 6))) << theme;
    EXPECT_EQ(p, seven);
}

TEST(ProgressBarColours, GreyPaletteGreysEveryEntry)
{
    ThemePalette p{};
    ASSERT_TRUE(LoadThemePalette(p, 8, 0, 0));
    GreyPalette(p);
    EXPECT_EQ(p[FillUpperMiddle], GreyOfColour(Rgb(67, 208, 255)));
    EXPECT_EQ(p[BorderEntry], GreyOfColour(Rgb(23, 139, 211)));
    for (Colour c : p)
        EXPECT_TRUE(RedOfColour(c) == GreenOfColour(c) && GreenOfColour(c) == BlueOfColour(c))
            << std::hex << c;
}

TEST(ProgressBarColours, VertexChannelsAreBytesTimes256)
{
    const VertexChannels v = VertexOfColour(0x80FF0180);
    EXPECT_EQ(v.red, 0x8000);
    EXPECT_EQ(v.green, 0x0100);
    EXPECT_EQ(v.blue, 65280);
    EXPECT_EQ(v.alpha, 0);
}

std::vector<BgrTriple> RowPixels(const FourColourGradient& g, int y)
{
    std::vector<std::uint8_t> row;
    g.Row(y, row);
    EXPECT_EQ(row.size(), g.Stride());
    std::vector<BgrTriple> pixels;
    for (int x = 0; x < g.Width(); ++x)
        pixels.push_back({row[3 * x], row[3 * x + 1], row[3 * x + 2]});
    return pixels;
}

TEST(FourColourGradient, TopLeftIsExactAndTheFarCornersAreOneStepShort)
{
    const FourColourGradient g(4, 4, Rgb(0, 0, 0), Rgb(255, 0, 0), Rgb(0, 0, 255), Rgb(255, 0, 255));
    const auto top = RowPixels(g, 0);
    EXPECT_EQ(top[0], (BgrTriple{0, 0, 0}));
    // Red runs 0, 63.75, 127.5, 191.25 (255 would be entry 4, never drawn).
    EXPECT_EQ(top[1].red, 64);
    EXPECT_EQ(top[2].red, 128);
    EXPECT_EQ(top[3].red, 191);
    const auto bottom = RowPixels(g, 3);
    EXPECT_EQ(bottom[0], (BgrTriple{191, 0, 0}));
    EXPECT_EQ(bottom[3], (BgrTriple{191, 0, 191}));
}

TEST(FourColourGradient, RowsArePaddedToFourBytes)
{
    const struct {
        int width;
        std::size_t stride;
    } cases[] = {{1, 4}, {3, 12}, {4, 12}, {5, 16}, {7, 24}};
    for (const auto& c : cases)
        EXPECT_EQ(FourColourGradient(c.width, 1, 0, 0, 0, 0).Stride(), c.stride) << c.width;
    std::vector<std::uint8_t> row;
    FourColourGradient(5, 1, Rgb(9, 9, 9), Rgb(9, 9, 9), 0, 0).Row(0, row);
    EXPECT_EQ(row[14], 9);
    EXPECT_EQ(row[15], 0);
}

TEST(FourColourGradient, BadSizesRaiseNineAndNoHeightDrawsNoRow)
{
    EXPECT_EQ(test::ErrorOf([] { FourColourGradient(0, 5, 0, 0, 0, 0); }), forms::kSubscriptOutOfRange);
    EXPECT_EQ(test::ErrorOf([] { FourColourGradient(-3, 5, 0, 0, 0, 0); }), forms::kSubscriptOutOfRange);
    EXPECT_EQ(test::ErrorOf([] { FourColourGradient(5, -1, 0, 0, 0, 0); }), forms::kSubscriptOutOfRange);
    EXPECT_EQ(FourColourGradient(5, 0, 0, 0, 0, 0).Height(), 0);
}

}  // namespace
}  // namespace quill::small
