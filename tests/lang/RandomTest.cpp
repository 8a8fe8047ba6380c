// The platform's generator: 24-bit seed, x' = (x * 0x43FD43FD + 0xC39EC3) mod 2^24,
// r = x' / 2^24, first seed 0x50000. Expected numbers are worked from that.
#include "forms/lang/Clock.h"
#include "forms/lang/Dates.h"
#include "forms/lang/Random.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace quill::forms {
namespace {

float Fraction(std::uint32_t seed)
{
    return static_cast<float>(seed) / 16777216.0f;
}

TEST(Random, UnseededSequenceIsTheSameInEveryRun)
{
    RandomGenerator random;
    EXPECT_EQ(random.Next(), Fraction(0xB49EC3));  // 0.7055475
    EXPECT_EQ(random.Next(), Fraction(0x888E7A));  // 0.533424
    EXPECT_EQ(random.Next(), Fraction(0x945B55));  // 0.5795186
    EXPECT_EQ(random.Next(0), Fraction(0x945B55));
    EXPECT_EQ(random.Seed(), 0x945B55u);
}

TEST(Random, NegativeArgumentReseedsFromItsBits)
{
    RandomGenerator random;
    random.Next();
    EXPECT_EQ(random.Next(-1), Fraction(0x395886));  // 0.224007
    EXPECT_EQ(random.Next(-1), Fraction(0x395886));
    RandomGenerator other;
    EXPECT_EQ(other.Next(-1), Fraction(0x395886));
}

TEST(Random, RandomizeChangesOnlyTheMiddleBitsOfTheSeed)
{
    RandomGenerator random;
    random.Next(-1);        // seed 0x395886
    random.Randomize(1.0);  // high word 0x3FF00000: middle bits 0x3FF0
    EXPECT_EQ(random.Seed(), 0x3FF086u);
    EXPECT_EQ(random.Next(), Fraction(0x556531));
    EXPECT_EQ(random.Next(), Fraction(0x117330));
    EXPECT_EQ(random.Next(), Fraction(0x980533));

    random.Randomize(-5.5);  // high word 0xC0160000
    EXPECT_EQ(random.Seed(), 0xC01633u);
}

TEST(Random, RandomizeFromTheClockUsesTheSecondsSinceMidnight)
{
    ClockOverride clock(MakeDate({2015, 12, 10, 12, 0, 0}).value());  // Timer 43200 = 0x4728C000
    RandomGenerator random;
    random.Randomize();
    EXPECT_EQ(random.Seed(), 0x872800u);
    EXPECT_EQ(random.Next(), Fraction(0xCE26C3));
    EXPECT_EQ(random.Next(), Fraction(0x5BF67A));
}

TEST(Random, EveryNumberIsBelowOne)
{
    RandomGenerator random;
    for (int i = 0; i < 100000; ++i) {
        const float r = random.Next();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
    }
}

}  // namespace
}  // namespace quill::forms
