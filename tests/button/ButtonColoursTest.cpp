// Colour arithmetic of the button faces, case by case.
#include "controls/button/ButtonColours.h"

#include <gtest/gtest.h>

namespace {

using namespace quill::button;

TEST(ButtonColours, RoundHalfEvenSendsHalvesToTheEvenNeighbour)
{
    struct Case {
        double in;
        int out;
    } cases[] = {{2.5, 2},   {3.5, 4},    {0.5, 0},    {1.5, 2}, {-0.5, 0},
                 {-1.5, -2}, {2.4999, 2}, {2.5001, 3}, {7.0, 7}};
    for (auto c : cases)
        EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
}

TEST(ButtonColours, Formulas)
{
    struct Case {
        const char* what;
        Colour got;
        Colour want;
    } cases[] = {
        {"mix rounds halves to even", MixColors(Rgb(1, 0, 255), Rgb(2, 1, 0)), Rgb(2, 0, 128)},
        {"mix of equal", MixColors(Rgb(10, 20, 30), Rgb(10, 20, 30)), Rgb(10, 20, 30)},
        {"lighten black by 176", LightenColor(Rgb(0, 0, 0), 176), Rgb(176, 176, 176)},
        {"lighten by 0 keeps", LightenColor(Rgb(12, 200, 99), 0), Rgb(12, 200, 99)},
        {"lighten by 255 is white", LightenColor(Rgb(12, 200, 99), 255), Rgb(255, 255, 255)},
        {"lighten truncates", LightenColor(Rgb(100, 1, 254), 32), Rgb(119, 32, 254)},
        {"shift clamps per channel", ShiftColor(Rgb(10, 250, 128), 15), Rgb(25, 255, 143)},
        {"shift down clamps at 0", ShiftColor(Rgb(10, 10, 10), -15), Rgb(0, 0, 0)},
        {"shift ignores the high byte", ShiftColor(0x8000000F, 1), Rgb(16, 1, 1)},
        {"grey of channels", GrayOfColor(Rgb(10, 20, 31)), Rgb(20, 20, 20)},
        {"grey rounds to nearest", GrayOfColor(Rgb(2, 0, 0)), Rgb(1, 1, 1)},
    };
    for (auto c : cases)
        EXPECT_EQ(c.got, c.want) << c.what;
}

TEST(ButtonColours, IconGreyKeepsSixteenGreysAndWeighsTheRest)
{
    for (Colour kept : {0x000000u, 0x101010u, 0x707070u, 0x808080u, 0xA0A0A0u, 0xF0F0F0u, 0xFFFFFFu})
        EXPECT_EQ(GrayscaleIconPixel(kept), kept);
    // 0x909090 is not among them: 144 * 1.03 = 148.32.
    EXPECT_EQ(GrayscaleIconPixel(0x909090), 0x949494u);
    // The weights add up to 1.03, so bright colours clip at white.
    EXPECT_EQ(GrayscaleIconPixel(Rgb(255, 255, 254)), Rgb(255, 255, 255));
    // 0.33 * 100 + 0.59 * 50 + 0.11 * 0 = 62.5 -> 62.
    EXPECT_EQ(GrayscaleIconPixel(Rgb(100, 50, 0)), Rgb(62, 62, 62));
}

TEST(ButtonColours, GradientRunsFromFirstToLastLine)
{
    const Colour a = Rgb(252, 252, 251), b = Rgb(240, 240, 240);
    EXPECT_EQ(GradientColour(a, b, 4, 0), a);
    EXPECT_EQ(GradientColour(a, b, 4, 4), b);
    // Blue 251 -> 240 over 4 steps: 245.5 at the middle goes to 246.
    EXPECT_EQ(GradientColour(a, b, 4, 2), Rgb(246, 246, 246));
    EXPECT_EQ(GradientColour(Rgb(227, 226, 219), Rgb(242, 241, 238), 3, 2), Rgb(237, 236, 232));
}

TEST(ButtonColours, GradientOfZeroStepsIsOneLineInsteadOfADivisionByZero)
{
    EXPECT_EQ(GradientColour(Rgb(1, 2, 3), Rgb(200, 200, 200), 0, 0), Rgb(1, 2, 3));
}

}  // namespace
