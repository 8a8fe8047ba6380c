// The session token against worked examples on a fixed clock.
#include "session/SessionToken.h"

#include "forms/lang/Clock.h"
#include "forms/lang/Dates.h"
#include "tests/support/ErrorNumber.h"

#include <gtest/gtest.h>

namespace quill::session {
namespace {

using test::DateAt;

TEST(SessionToken, ConstantComesFromTheBuild)
{
    EXPECT_EQ(TokenConstant, 0x51A3C7E);
}

TEST(SessionToken, WorkedExamples)
{
    const struct {
        double now;
        const wchar_t* text;
        std::int32_t seconds;
        std::int32_t token;
    } cases[] = {
        // seconds 0 + 2015 + 1 + 1 + 0x51A3C7E
        {DateAt(2015, 1, 1), L"", 0, 85607519},
        {DateAt(2026, 12, 10, 13, 5, 9), L"", 376837509, 462445059},
        // The service's time gives the seconds; today's date still gives the date parts.
        {DateAt(2015, 1, 2, 10), L"2026-12-10 13:05:09", 376837509, 462445029},
        {DateAt(2026, 12, 10, 13, 5, 9), L"no date-time", 376837509, 462445059},
        {DateAt(2014, 12, 31, 23, 59, 59), L"", -1, 85607558},
        {DateAt(2015, 1, 1), L"2015-1-1 0:0:1", 1, 85607520},
        // Past 2083 the seconds no longer fit: they wrap as the service's do.
        {DateAt(2090, 1, 1), L"", -1928125696, -1842518102},
    };
    for (const auto& c : cases) {
        forms::ClockOverride clock(c.now);
        EXPECT_EQ(SecondsSinceEpoch2015(c.text), c.seconds) << c.text;
        EXPECT_EQ(MakeSessionToken(c.text), c.token) << c.text;
    }
}

TEST(SessionToken, OnlyAReplyThatBeginsWithErrIsStale)
{
    const struct {
        const wchar_t* reply;
        bool stale;
    } cases[] = {
        {L"err=2026-12-10 13:05:09", true},
        {L"err=", true},
        {L"err=garbage", true},
        {L"ERR=2026-12-10 13:05:09", false},
        {L" err=2026-12-10 13:05:09", false},
        {L"12,\u5e73\u53f0,\u5907\u6ce8err=1|2[]3", false},  // a remark that holds "err="
        {L"", false},
        {L"er", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsStaleTokenReply(c.reply), c.stale) << c.reply;
}

TEST(SessionToken, RepeatTakesTheServicesTime)
{
    forms::ClockOverride clock(DateAt(2015, 1, 2, 10));
    EXPECT_EQ(TokenAfterStaleReply(L"err=2026-12-10 13:05:09"), 462445029);
    EXPECT_EQ(TokenAfterStaleReply(L"err=2026-12-10 13:05:09\r\n"), 462445029);
    // A time that is no date-time: the token comes from now.
    EXPECT_EQ(TokenAfterStaleReply(L"err=later"), MakeSessionToken(L""));
}

}  // namespace
}  // namespace quill::session
