// When a finished transfer is the whole reply: its length against the bytes,
// compressed replies, replies without a length, and the size limit.
#include "session/WholeReply.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace quill::session;

namespace {

TEST(WholeReply, TheBytesMustBeAsManyAsTheLengthSays)
{
    struct Case {
        const wchar_t* length;
        const wchar_t* encoding;
        size_t received;
        bool whole;
    } cases[] = {
        {L"2632", L"", 2632, true},
        {L" 2632 ", L"", 2632, true},
        {L"0", L"", 0, true},
        {L"2632", L"", 2400, false},  // cut by a reset
        {L"2732", L"", 2632, false},  // announced longer than sent
        {L"2632", L"", 2732, false},
        {L"", L"", 2632, true},  // chunked, or ended by the close: as the platform delivered it
        {L"", L"", 0, true},
        {L"26x2", L"", 2632, false},
        {L"-1", L"", 2632, false},
        {L"2632, 2632", L"", 2632, false},
        {L"99999999999999999999999", L"", 2632, false},
        {L"", L"gzip", 2632, true},  // the platform decoded it: its length is the compressed one's
        {L"900", L"deflate", 2632, true},
        {L"2632", L"identity", 2632, true},
        {L"", L"identity", 2632, true},
        {L"", L"gzip", LargestReplyBytes + 1, false},
        {L"", L"", LargestReplyBytes + 1, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ArrivedWhole(c.length, c.encoding, c.received), c.whole)
            << "length '" << testing::PrintToString(std::wstring(c.length)) << "' encoding '"
            << testing::PrintToString(std::wstring(c.encoding)) << "' received " << c.received;
    // Below the client's limit the updater's rule is the same.
    for (const Case& c : cases)
        if (c.received <= LargestReplyBytes) {
            EXPECT_EQ(MatchesItsLength(c.length, c.encoding, c.received), c.whole)
                << testing::PrintToString(std::wstring(c.length)) << " " << c.received;
        }
}

// The updater's files may be larger than any reply of the service's.
TEST(WholeReply, TheLengthRuleAloneKnowsNoSizeLimit)
{
    const std::size_t beyond = LargestReplyBytes + 1;
    EXPECT_TRUE(MatchesItsLength(std::to_wstring(beyond), L"", beyond));
    EXPECT_FALSE(MatchesItsLength(std::to_wstring(beyond + 1), L"", beyond));
    EXPECT_TRUE(MatchesItsLength(L"", L"", beyond));
}

TEST(WholeReply, NoReplyIsLargerThanTheLargestAccountsWithRoomToSpare)
{
    // 100,000 current projects listed at 85 bytes a row fit three times over.
    EXPECT_GE(LargestReplyBytes, 3u * 100000u * 85u);
    const std::wstring largest = std::to_wstring(LargestReplyBytes);
    const std::wstring beyond = std::to_wstring(LargestReplyBytes + 1);
    EXPECT_TRUE(ArrivedWhole(largest, L"", LargestReplyBytes));
    EXPECT_FALSE(ArrivedWhole(beyond, L"", LargestReplyBytes + 1));
    EXPECT_FALSE(AnnouncesTooLarge(largest));
    EXPECT_TRUE(AnnouncesTooLarge(beyond));
    EXPECT_TRUE(AnnouncesTooLarge(L" 104857600"));
    // Any length beyond the bound, however it is written: with leading
    // zeros, or with more digits than 64 bits hold.
    for (const std::wstring& text :
         std::vector<std::wstring>{L"99999999999999999999", L"99999999999999999999999",
                                   L"18446744073709551616", L"18446744073709551615", std::wstring(400, L'9'),
                                   L"000000000000000000000000000000" + beyond, L"0" + beyond}) {
        EXPECT_TRUE(AnnouncesTooLarge(text)) << testing::PrintToString(text);
        EXPECT_FALSE(ArrivedWhole(text, L"", 2632)) << testing::PrintToString(text);
    }
    // A length within it keeps its value behind any number of zeros.
    const std::wstring zeros(40, L'0');
    EXPECT_FALSE(AnnouncesTooLarge(zeros + largest));
    EXPECT_TRUE(ArrivedWhole(zeros + L"2632", L"", 2632));
    EXPECT_TRUE(ArrivedWhole(zeros, L"", 0));
    // What says no number announces nothing.
    for (const wchar_t* text : {L"", L"big", L"-104857600", L"1e9", L"0x7fffffff", L"99999999999999999999x"})
        EXPECT_FALSE(AnnouncesTooLarge(text)) << testing::PrintToString(std::wstring(text));
}

// The same reading against another bound: the updater's descriptor's.
TEST(WholeReply, ALengthOverAnyBound)
{
    const std::uint64_t bound = std::uint64_t(24) << 20;
    EXPECT_FALSE(AnnouncesMoreThan(std::to_wstring(bound), bound));
    EXPECT_TRUE(AnnouncesMoreThan(std::to_wstring(bound + 1), bound));
    EXPECT_TRUE(AnnouncesMoreThan(L"209715200", bound));  // 200 MiB
    EXPECT_TRUE(AnnouncesMoreThan(std::wstring(400, L'9'), bound));
    EXPECT_FALSE(AnnouncesMoreThan(L"000" + std::to_wstring(bound), bound));
    for (const wchar_t* text : {L"", L"big", L"-209715200", L"2e8"})
        EXPECT_FALSE(AnnouncesMoreThan(text, bound)) << testing::PrintToString(std::wstring(text));
}

}  // namespace
