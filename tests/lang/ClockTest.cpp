// The clock that tests drive.
#include "forms/lang/Clock.h"
#include "forms/lang/Dates.h"

#include "tests/support/ErrorNumber.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace quill::forms {
namespace {

using test::DateAt;
using test::ErrorOf;

TEST(Clock, OverrideFixesTheWallClock)
{
    ClockOverride clock(DateAt(2015, 12, 10, 13, 5, 9));
    EXPECT_DOUBLE_EQ(Now(), DateAt(2015, 12, 10, 13, 5, 9));
    EXPECT_DOUBLE_EQ(Today(), DateAt(2015, 12, 10));
    EXPECT_EQ(Timer(), 47109.0f);
    const auto start = MonotonicMilliseconds();
    EXPECT_EQ(MonotonicMilliseconds(), start);
    EXPECT_DOUBLE_EQ(Now(), DateAt(2015, 12, 10, 13, 5, 9));
}

TEST(Clock, AdvanceMovesBothClocks)
{
    ClockOverride clock(DateAt(2015, 12, 10, 13, 5, 9));
    const auto start = MonotonicMilliseconds();
    clock.Advance(1500);
    EXPECT_EQ(MonotonicMilliseconds() - start, 1500);
    EXPECT_DOUBLE_EQ(Now(), DateAt(2015, 12, 10, 13, 5, 10));  // whole seconds only
    EXPECT_EQ(Timer(), 47110.5f);
    EXPECT_THROW(clock.Advance(-1), std::invalid_argument);
}

// A wait measured on the monotonic clock ends across midnight, where one
// measured on the time of day would start again from zero.
TEST(Clock, AdvanceCrossesMidnight)
{
    ClockOverride clock(DateAt(2015, 12, 31, 23, 59, 58));
    const auto start = MonotonicMilliseconds();
    clock.Advance(6000);
    EXPECT_EQ(MonotonicMilliseconds() - start, 6000);
    EXPECT_DOUBLE_EQ(Today(), DateAt(2016, 1, 1));
    EXPECT_DOUBLE_EQ(Now(), DateAt(2016, 1, 1, 0, 0, 4));
    EXPECT_EQ(Timer(), 4.0f);
}

TEST(Clock, SetNowLeavesTheMonotonicClock)
{
    ClockOverride clock(DateAt(2015, 12, 10));
    const auto start = MonotonicMilliseconds();
    clock.SetNow(DateAt(2014, 1, 1, 8));
    EXPECT_DOUBLE_EQ(Now(), DateAt(2014, 1, 1, 8));
    EXPECT_EQ(MonotonicMilliseconds(), start);
}

TEST(Clock, OneOverrideAtATimeAndTheRealClockAfterIt)
{
    {
        ClockOverride clock(DateAt(2000, 1, 1));
        EXPECT_THROW(ClockOverride second(DateAt(2001, 1, 1)), std::logic_error);
        EXPECT_DOUBLE_EQ(Now(), DateAt(2000, 1, 1));
    }
    EXPECT_GE(Year(Now()), 2024);
    EXPECT_DOUBLE_EQ(Today(), static_cast<double>(static_cast<long long>(Now())));
    const auto a = MonotonicMilliseconds();
    EXPECT_GE(MonotonicMilliseconds(), a);
}

}  // namespace
}  // namespace quill::forms
