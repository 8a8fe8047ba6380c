// The cross-fade's ticks and the constant-alpha blend it makes.
#include "skinning/SkinFade.h"

#include <gtest/gtest.h>

#include <vector>

namespace quill::skinning {
namespace {

std::vector<int> BlendAlphas(int start)
{
    std::vector<int> alphas;
    for (int alpha = start;;) {
        const FadeTick tick = AdvanceFade(alpha);
        alphas.push_back(tick.blendAlpha);
        if (tick.ends) {
            EXPECT_EQ(tick.nextAlpha, 0);
            return alphas;
        }
        alpha = tick.nextAlpha;
    }
}

TEST(SkinFade, AFadeFromNothingBlendsEightySixTimesUpToFullStrength)
{
    const std::vector<int> alphas = BlendAlphas(0);
    ASSERT_EQ(alphas.size(), 86u);
    EXPECT_EQ(alphas.front(), 0);
    EXPECT_EQ(alphas[1], 3);
    EXPECT_EQ(alphas.back(), 255);
    EXPECT_EQ(FadeBlendCount(0), 86);
}

TEST(SkinFade, AReleaseFadeFromSixtyBlendsSixtySixTimes)
{
    const std::vector<int> alphas = BlendAlphas(ReleaseFadeAlpha);
    ASSERT_EQ(alphas.size(), 66u);
    EXPECT_EQ(alphas.back(), 255);
    EXPECT_EQ(FadeBlendCount(60), 66);
}

TEST(SkinFade, AStartOffTheStepsEndsBelowFullStrength)
{
    // 140 + 3k never meets 255: the last blend is at 254.
    EXPECT_EQ(BlendAlphas(140).back(), 254);
    EXPECT_EQ(FadeBlendCount(140), 39);
    EXPECT_EQ(FadeBlendCount(255), 1);
}

TEST(SkinFade, ConstantAlphaBlendEnds)
{
    for (int s : {0, 1, 127, 128, 254, 255})
        for (int d : {0, 1, 127, 128, 254, 255}) {
            EXPECT_EQ(BlendChannel(static_cast<uint8_t>(s), static_cast<uint8_t>(d), 0), d);
            EXPECT_EQ(BlendChannel(static_cast<uint8_t>(s), static_cast<uint8_t>(d), 255), s);
        }
}

TEST(SkinFade, ConstantAlphaBlendRoundsToNearest)
{
    EXPECT_EQ(BlendChannel(255, 0, 128), 128);  // 32640 / 255 = 128
    EXPECT_EQ(BlendChannel(0, 255, 128), 127);
    EXPECT_EQ(BlendChannel(200, 100, 60), 124);  // 100 + 100 * 60 / 255 = 123.5 -> 124
    EXPECT_EQ(BlendColour(0xFFFFFF, 0x000000, 128), 0x808080u);
    EXPECT_EQ(BlendColour(0x0000FF, 0xFF0000, 255), 0x0000FFu);
    EXPECT_EQ(BlendColour(0xFF123456, 0x00000000, 0), 0u);
}

TEST(SkinFade, RepeatedBlendsReachTheNewColour)
{
    // The fade's blends land on each other: after the last at 255 only the
    // new image shows.
    std::uint32_t shown = 0xF9EAD7;
    for (int alpha = 0;;) {
        const FadeTick tick = AdvanceFade(alpha);
        shown = BlendColour(0xFBC24A, shown, tick.blendAlpha);
        if (tick.ends)
            break;
        alpha = tick.nextAlpha;
    }
    EXPECT_EQ(shown, 0xFBC24Au);
}

}  // namespace
}  // namespace quill::skinning
