// Percentage, fill, bands and the text's place, copies, colours and wording.
#include "controls/small/ProgressBarLayout.h"

#include <gtest/gtest.h>

namespace quill::small {

// Readable failures.
void PrintTo(const GradientBand& b, std::ostream* os)
{
    *os << "(" << b.left << "," << b.top << ")-(" << b.right << "," << b.bottom << ") " << b.fromEntry << "->"
        << b.toEntry << " dir " << b.direction;
}
void PrintTo(const TextPlace& p, std::ostream* os)
{
    *os << "(" << p.x << "," << p.y << ")";
}
void PrintTo(const TextCopy& c, std::ostream* os)
{
    *os << "(" << c.dx << "," << c.dy << ") " << static_cast<int>(c.colour);
}

namespace {

TEST(ProgressBarLayout, PercentageUsesMaxAloneInDouble)
{
    EXPECT_DOUBLE_EQ(Percentage(50, 100), 50.0);
    EXPECT_DOUBLE_EQ(Percentage(1, 3), 100.0 / 3);
    // 100 x Value no longer fits 32 bits above 21,474,836.
    EXPECT_DOUBLE_EQ(Percentage(21'474'837, 21'474'837), 100.0);
    EXPECT_DOUBLE_EQ(Percentage(30'000'000, 40'000'000), 75.0);
    EXPECT_DOUBLE_EQ(Percentage(2'147'483'647, 2'147'483'647), 100.0);
    EXPECT_DOUBLE_EQ(Percentage(0, 0), 0.0);
}

TEST(ProgressBarLayout, FillLengthRoundsHalvesToEven)
{
    const struct {
        int orientations, width, height;
        double percent;
        int fill;
    } cases[] = {
        {1, 200, 20, 50, 100},  // Value 50 of Max 100, whatever Min is
        {1, 5, 20, 50, 2},      // 2.5
        {1, 7, 20, 50, 4},      // 3.5
        {1, 235, 20, 100, 235}, {1, 235, 20, 0, 0},
        {2, 20, 90, 50, 45},    // a vertical bar fills along its height
        {3, 200, 20, 50, 100},  // other orientations measure the width
        {1, 295, 20, 75, 221},  // 221.25
    };
    for (const auto& c : cases)
        EXPECT_EQ(FillLength(c.orientations, c.width, c.height, c.percent), c.fill)
            << c.orientations << " " << c.width << "x" << c.height << " " << c.percent;
}

TEST(ProgressBarLayout, HorizontalBandsSplitAtRoundedHalfHeight)
{
    using B = GradientBand;
    EXPECT_EQ(BarBands(1, 200, 21, 50, 100), (std::vector<B>{{0, 0, 200, 10, 0, 2, 1},
                                                             {0, 10, 200, 21, 4, 6, 1},
                                                             {0, 0, 100, 10, 8, 10, 1},
                                                             {0, 10, 100, 21, 12, 14, 1}}));
    EXPECT_EQ(BarBands(1, 200, 23, 50, 100)[1], (B{0, 12, 200, 23, 4, 6, 1}));  // round(11.5) = 12
}

TEST(ProgressBarLayout, VerticalBandsSplitAtRoundedHalfWidthAndFillFromTheTop)
{
    using B = GradientBand;
    EXPECT_EQ(BarBands(2, 21, 80, 3, 30), (std::vector<B>{{0, 0, 10, 80, 0, 2, 0},
                                                          {10, 0, 21, 80, 4, 6, 0},
                                                          {0, 0, 10, 30, 8, 10, 0},
                                                          {10, 0, 21, 30, 12, 14, 0}}));
}

TEST(ProgressBarLayout, NoFillBelowOneAndNoBandsForOtherOrientations)
{
    EXPECT_EQ(BarBands(1, 200, 20, 0, 0).size(), 2u);
    EXPECT_EQ(BarBands(2, 20, 200, 0, 0).size(), 2u);
    EXPECT_TRUE(BarBands(0, 200, 20, 50, 100).empty());
    EXPECT_TRUE(BarBands(3, 200, 20, 50, 100).empty());
}

TEST(ProgressBarLayout, TextPositionOfTheNinePlaces)
{
    // 200 x 20 bar, 50 x 12 text; then an odd-sized text whose centre lies on halves.
    const struct {
        int alignment, tw, th;
        TextPlace place;
    } cases[] = {
        {1, 50, 12, {1, 0}},      {2, 50, 12, {1, 3}},  {3, 50, 12, {1, 7}},   {4, 50, 12, {74, 0}},
        {5, 50, 12, {74, 3}},     {6, 50, 12, {74, 7}}, {7, 50, 12, {147, 0}}, {8, 50, 12, {147, 3}},
        {9, 50, 12, {147, 7}},    {0, 50, 12, {0, 0}},  {10, 50, 12, {0, 0}},  {-5, 50, 12, {0, 0}},
        {5, 51, 13, {74, 2}},      // 73.5 -> 74, 2.5 -> 2
        {5, 49, 11, {74, 4}},      // 74.5 -> 74, 3.5 -> 4
        {9, 250, 30, {-53, -11}},  // a text larger than the bar starts outside it
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextPosition(c.alignment, 200, 20, c.tw, c.th), c.place)
            << c.alignment << " " << c.tw << "x" << c.th;
}

TEST(ProgressBarLayout, TextCopiesOfTheFiveEffects)
{
    using enum CopyColour;
    using C = std::vector<TextCopy>;
    const struct {
        int effect;
        C copies;
    } cases[] = {
        {1, C{{0, 0, Text}}},
        {2, C{{-1, -1, Effect}, {1, 1, Shadow}, {0, 0, Text}}},
        {3, C{{1, 1, Effect}, {-1, 0, Shadow}, {0, 0, Text}}},
        {4, C{{1, 0, Effect}, {-1, 0, Effect}, {0, -1, Effect}, {0, 1, Effect}, {0, 0, Text}}},
        {5, C{{1, 1, Effect}, {0, 0, Text}}},
        {0, C{}},
        {6, C{}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextCopies(c.effect), c.copies) << c.effect;
}

TEST(ProgressBarLayout, DisabledTextColoursAreTheirGreys)
{
    const TextColours on = BarTextColours(true, Rgb(255, 128, 128), 0x80000012);
    EXPECT_EQ(on.text, Rgb(255, 128, 128));
    EXPECT_EQ(on.effect, 0x80000012u);  // the surface translates it
    const TextColours off = BarTextColours(false, Rgb(255, 128, 128), Rgb(0, 0, 255));
    EXPECT_EQ(off.text, Rgb(170, 170, 170));
    EXPECT_EQ(off.effect, Rgb(85, 85, 85));
}

TEST(ProgressBarLayout, TextOfEachStyle)
{
    EXPECT_EQ(BarText(1, 38, 38, L"x", L"."), L"38");
    EXPECT_EQ(BarText(2, 50, Percentage(50, 100), L"x", L"."), L"50%");
    EXPECT_EQ(BarText(2, 1, Percentage(1, 3), L"x", L"."), L"33.3333333333333%");
    EXPECT_EQ(BarText(2, 30'000'000, Percentage(30'000'000, 40'000'000), L"x", L"."), L"75%");
    EXPECT_EQ(BarText(3, 50, 50, L"正在下载", L"."), L"正在下载");
    EXPECT_EQ(BarText(3, 50, 50, L"", L"."), L"");
    EXPECT_EQ(BarText(0, 50, 50, L"x", L"."), std::nullopt);
    EXPECT_EQ(BarText(4, 50, 50, L"x", L"."), std::nullopt);
}

TEST(ProgressBarLayout, PercentageWithTheUsersDecimalSeparator)
{
    EXPECT_EQ(BarText(2, 1, Percentage(1, 3), L"x", L","), L"33,3333333333333%");
    EXPECT_EQ(BarText(2, 50, Percentage(50, 100), L"x", L","), L"50%");
    // A number too small for plain digits keeps its exponent.
    EXPECT_EQ(BarText(2, 1, Percentage(1, 1'500'000'000), L"x", L"::"), L"6::66666666666667E-08%");
    // The value of style 1 is a whole number: no separator.
    EXPECT_EQ(BarText(1, 1234, 0, L"x", L","), L"1234");
}

}  // namespace
}  // namespace quill::small
