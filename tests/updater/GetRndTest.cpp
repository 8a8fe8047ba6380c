// Random whole numbers from 1 to a limit, drawn with the clock standing
// still and moving.
#include "updater/GetRnd.h"

#include "forms/lang/Clock.h"

#include <gtest/gtest.h>

#include <map>

namespace quill::updater {
namespace {

constexpr double Noon = 46000.5;  // 2025-12-09 12:00

TEST(GetRnd, NoNumberForZeroOrLess)
{
    EXPECT_EQ(GetRnd(0), 0);
    EXPECT_EQ(GetRnd(-1), 0);
    EXPECT_EQ(GetRnd(-32768), 0);
}

TEST(GetRnd, OneIsAlwaysOne)
{
    forms::ClockOverride clock(Noon);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(GetRnd(1), 1);  // with the clock standing still too
    for (int i = 0; i < 200; ++i) {
        clock.Advance(7);
        EXPECT_EQ(GetRnd(1), 1);
    }
}

TEST(GetRnd, SixFacesWithTheLastHalfAsLikely)
{
    forms::ClockOverride clock(Noon);
    std::map<int, int> counts;
    constexpr int Draws = 12000;
    for (int i = 0; i < Draws; ++i) {
        clock.Advance(10);
        ++counts[GetRnd(6)];
    }
    ASSERT_EQ(counts.size(), 6u);
    EXPECT_EQ(counts.begin()->first, 1);
    EXPECT_EQ(counts.rbegin()->first, 6);
    // Rounding gives 0 and 6 half a step each and 1 to 5 a whole one; a 0 is
    // drawn again, so 1 to 5 come 2/11 of the time each and 6 1/11.
    for (int face : {1, 2, 3, 4, 5})
        EXPECT_NEAR(counts[face], Draws * 2 / 11, Draws / 40) << face;
    EXPECT_NEAR(counts[6], Draws / 11, Draws / 40);
}

TEST(GetRnd, LargestLimit)
{
    forms::ClockOverride clock(Noon);
    for (int i = 0; i < 500; ++i) {
        clock.Advance(3);
        const int n = GetRnd(32767);
        EXPECT_GE(n, 1);
        EXPECT_LE(n, 32767);
    }
}

}  // namespace
}  // namespace quill::updater
