// The notice block of the service's status page and what it asks for.
#include "session/NoticeReader.h"

#include <gtest/gtest.h>

namespace quill::session {
namespace {

TEST(NoticeReader, TheBlockRunsFromSetToJustBeforeTheCharacterBeforeItsEnd)
{
    const struct {
        const wchar_t* body;
        const wchar_t* block;
    } cases[] = {
        {L"<p>ok</p>\n[set]type=\"1\" url=\"http://x/\" [/set]\n", L"[set]type=\"1\" url=\"http://x/\""},
        // The character just before "[/set]" is dropped, whatever it is.
        {L"[set]type=\"2\"[/set]", L"[set]type=\"2"},
        {L"a[set]b[set]c [/set]d[/set]", L"[set]b[set]c"},
        {L"[set][/set]", L"[set"},
        {L"no block here", L""},
        {L"[set]type=\"1\" but never closed", L""},
        {L"[/set] before [set]x ", L""},
        // Exact case only.
        {L"[SET]type=\"1\" [/SET]", L""},
        {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NoticeBlock(c.body), c.block) << c.body;
}

TEST(NoticeReader, AttributesAreReadAndNumbersThatAreNoNumbersStayZero)
{
    const struct {
        const wchar_t* block;
        Notice notice;
    } cases[] = {
        {L"[set]type=\"1\" showtime=\"8\" title=\"t\" url=\"http://a/b\" width=\"300\" height=\"200\"",
         {1, 8, L"t", L"http://a/b", 300, 200}},
        {L"[set]TYPE=\"2\" Title=\"要看看吗？\" URL=\"https://a/\"",
         {2, 0, L"要看看吗？", L"https://a/", 0, 0}},
        // Not numbers, or beyond 32 bits: 0. Fractions round half to even.
        {L"[set]type=\"x\" showtime=\"99999999999\" width=\"2.5\" height=\"3.5\"", {0, 0, L"", L"", 2, 4}},
        {L"[set]showtime=\"-3\" url=\"no closing quote", {0, -3, L"", L"no closing quote", 0, 0}},
        // The name is found as the tail of a longer one, too.
        {L"[set]mytype=\"7\" type=\"1\"", {7, 0, L"", L"", 0, 0}},
        {L"", {}},
    };
    for (const auto& c : cases) {
        const Notice n = ReadNotice(c.block);
        EXPECT_EQ(n.type, c.notice.type) << c.block;
        EXPECT_EQ(n.showtime, c.notice.showtime) << c.block;
        EXPECT_EQ(n.title, c.notice.title) << c.block;
        EXPECT_EQ(n.url, c.notice.url) << c.block;
        EXPECT_EQ(n.width, c.notice.width) << c.block;
        EXPECT_EQ(n.height, c.notice.height) << c.block;
    }
}

TEST(NoticeReader, OnlyWebAddressesAreOpened)
{
    const struct {
        const wchar_t* url;
        bool web;
    } cases[] = {
        {L"http://127.0.0.1:18080/", true},
        {L"HTTPS://example.com/page", true},
        {L"http://", false},
        {L"file:///C:/windows/system32/calc.exe", false},
        {L"C:\\windows\\system32\\calc.exe", false},
        {L"calc.exe", false},
        {L"javascript:alert(1)", false},
        {L" http://x/", false},
        {L"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsWebAddress(c.url), c.web) << c.url;
}

TEST(NoticeReader, ThePopupsClientAreaTakesItsSizeAtTheBottomRight)
{
    // A window 4x frame: 15 twips per pixel, a 1280 x 1024 screen.
    const PopupPlace p = PlacePopup(6000, 5400, 5835, 4875, 300, 200, 15, 15, 1280 * 15, 1024 * 15);
    EXPECT_EQ(p.width, 6000 - 5835 + 300 * 15);
    EXPECT_EQ(p.height, 5400 - 4875 + 200 * 15);
    EXPECT_EQ(p.left, 1280 * 15 - p.width - 150);  // 10 pixels from the right
    EXPECT_EQ(p.top, 1024 * 15 - p.height - 660);  // 44 pixels above the bottom
    // A size no window takes stops at the limit of the numbers.
    const PopupPlace huge = PlacePopup(6000, 5400, 5835, 4875, 2147483647, 1, 15, 15, 19200, 15360);
    EXPECT_EQ(huge.width, 1 << 30);
}

}  // namespace
}  // namespace quill::session
