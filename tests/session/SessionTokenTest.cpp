// The session token against worked examples on a fixed clock.
#include "session/SessionToken.h"

#include "forms/lang/Clock.h"
#include "forms/lang/Dates.h"
#include "tests/support/ErrorNumber.h"

#include <gtest/gtest.h>

namespace quill::session {
namespace {

using test::DateAt;

// The constant is whatever the build set (shared with the service): a
// positive number of seven hexadecimal digits.
TEST(SessionToken, ConstantIsAPositiveSevenDigitHexNumber)
{
    EXPECT_GE(TokenConstant, 0x1000000);
    EXPECT_LE(TokenConstant, 0xFFFFFFF);
}

// The token less the build's constant, wrapping to 32 bits as the token does.
std::int32_t WithConstant(std::int64_t secondsAndDate)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(secondsAndDate + TokenConstant));
}

TEST(SessionToken, WorkedExamples)
{
    const struct {
        double now;
        const wchar_t* text;
        std::int32_t seconds;
        std::int32_t dateParts;  // today's year + month + day
    } cases[] = {
        {DateAt(2015, 1, 1), L"", 0, 2017},
        {DateAt(2026, 12, 10, 13, 5, 9), L"", 376837509, 2048},
        // The service's time gives the seconds; today's date still gives the date parts.
        {DateAt(2015, 1, 2, 10), L"2026-12-10 13:05:09", 376837509, 2018},
        {DateAt(2026, 12, 10, 13, 5, 9), L"no date-time", 376837509, 2048},
        {DateAt(2014, 12, 31, 23, 59, 59), L"", -1, 2057},
        {DateAt(2015, 1, 1), L"2015-1-1 0:0:1", 1, 2017},
        // Past 2083 the seconds no longer fit: they wrap as the service's do.
        {DateAt(2090, 1, 1), L"", -1928125696, 2092},
    };
    for (const auto& c : cases) {
        forms::ClockOverride clock(c.now);
        EXPECT_EQ(SecondsSinceEpoch2015(c.text), c.seconds) << c.text;
        EXPECT_EQ(MakeSessionToken(c.text), WithConstant(std::int64_t(c.seconds) + c.dateParts)) << c.text;
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
    EXPECT_EQ(TokenAfterStaleReply(L"err=2026-12-10 13:05:09"), WithConstant(376837509 + 2018));
    EXPECT_EQ(TokenAfterStaleReply(L"err=2026-12-10 13:05:09\r\n"), WithConstant(376837509 + 2018));
    // A time that is no date-time: the token comes from now.
    EXPECT_EQ(TokenAfterStaleReply(L"err=later"), MakeSessionToken(L""));
}

}  // namespace
}  // namespace quill::session
