// How the descriptor's values become rows of the file list and progress.
#include "updater/FileList.h"

#include "forms/lang/Ansi.h"
#include "forms/lang/Error.h"
#include "tests/support/ErrorNumber.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace quill::updater {
namespace {

using quill::test::ErrorOf;

TEST(IsUpToDate, LeadingDecimalNumbers)
{
    struct Case {
        const wchar_t* current;
        const wchar_t* newest;
        bool upToDate;
    } cases[] = {
        {L"1.3", L"1.4", false},     {L"1.3", L"1.3", true},
        {L"1.3", L"1.10", true},  // 1.1: the reason the service publishes no minor version of ten
        {L"1.3", L"1.30", true},     {L"1.3", L"2", false},
        {L"1.3", L"1.3.1", true},    // reading stops at the second point
        {L"1.3", L" 1 . 4", false},  // blanks are skipped
        {L"1.3", L"1.4beta", false}, {L"1.3", L"", true},
        {L"1.3", L"abc", true},      {L"1.-3", L"1.4", false},  // negative version words: "1." reads as 1
        {L"-1.3", L"0", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsUpToDate(c.current, c.newest), c.upToDate) << forms::TextToAnsi(c.newest);
}

TEST(EntryCount, CheckfileRounding)
{
    struct Case {
        const wchar_t* checkfile;
        bool promises;
        int count;
    } cases[] = {
        {L"3", true, 3},     {L"2.5", true, 2},       {L"3.5", true, 4}, {L"1", true, 1},
        {L"0.99", false, 1}, {L"0.5", false, 0},      {L"0", false, 0},  {L"", false, 0},
        {L"abc", false, 0},  {L"-2", false, -2},      {L" 2 ", true, 2}, {L"2x", true, 2},
        {L"1e1", true, 10},  {L"32767", true, 32767},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PromisesEntries(c.checkfile), c.promises) << c.count;
        EXPECT_EQ(EntryCount(c.checkfile), c.count) << c.count;
    }
    EXPECT_EQ(ErrorOf([] { EntryCount(L"32768"); }), forms::kOverflow);
}

TEST(SplitEntry, PathAndSize)
{
    DescriptorEntry e = SplitEntry(L"sub/dir/a.dll|2048");
    EXPECT_EQ(e.path, L"sub/dir/a.dll");
    EXPECT_EQ(e.sizeText, L"2048");
    e = SplitEntry(L"a.dll|12|ignored|too");
    EXPECT_EQ(e.path, L"a.dll");
    EXPECT_EQ(e.sizeText, L"12");
    e = SplitEntry(L"|");
    EXPECT_EQ(e.path, L"");
    EXPECT_EQ(e.sizeText, L"");
    EXPECT_EQ(ErrorOf([] { SplitEntry(L"a.dll"); }), forms::kSubscriptOutOfRange);
    EXPECT_EQ(ErrorOf([] { SplitEntry(L""); }), forms::kSubscriptOutOfRange);
}

// One decimal place, halves to even, no trailing zeros; KB while that takes
// at most four whole digits, then the next larger unit: every text has at
// most nine characters, as the size column shows them.
TEST(SizeText, OneDecimalHalvesToEvenInTheUnitThatFits)
{
    struct Case {
        double bytes;
        const wchar_t* text;
    } cases[] = {
        {1536, L"1.5 KB"},
        {1075, L"1 KB"},
        {2048, L"2 KB"},
        {0, L"0 KB"},
        {-0.0, L"0 KB"},
        {1024 * 1.25, L"1.2 KB"},
        {1024 * 1.35, L"1.4 KB"},
        {1538, L"1.5 KB"},
        {1002, L"1 KB"},
        {51, L"0 KB"},
        {52, L"0.1 KB"},
        {3774873, L"3686.4 KB"},
        {1024 * 9999.9, L"9999.9 KB"},
        {1024 * 9999.96, L"9.8 MB"},  // 10000 KB to one place: no longer four digits
        {10 * 1048576.0, L"10 MB"},
        {2147483648.0, L"2048 MB"},
        {1073741824.0 * 9999.9, L"9999.9 GB"},
        {1099511627776.0 * 10, L"10 TB"},
        {9007199254740992.0, L"8192 TB"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SizeText(c.bytes), c.text) << c.bytes;
        EXPECT_LE(SizeText(c.bytes).size(), 9u) << c.bytes;
    }
}

// A size is a count of bytes: a whole number from 0 to 2^53, beyond which a
// size no longer tells one count from the next, written as its digits. Any
// other text makes the entry invalid, never a run-time error.
TEST(ByteCount, DigitsOfAWholeNumberFromNothingToTwoToThe53)
{
    const std::wstring manyDigits(401, L'9');
    const std::wstring zerosThenOne = std::wstring(400, L'0') + L"1";
    struct Case {
        std::wstring text;
        std::optional<double> count;
    } cases[] = {
        {L"0", 0},
        {L"1", 1},
        {L"1536", 1536},
        {L" 2048 ", 2048},
        {L"0042", 42},
        {zerosThenOne, 1},
        {L"9007199254740991", 9007199254740991.0},
        {L"9007199254740992", 9007199254740992.0},
        {L"9007199254740993", std::nullopt},  // 2^53 + 1: as a double it would read as 2^53
        {L"9007199254740994", std::nullopt},
        {L"18446744073709551616", std::nullopt},  // 2^64: past any 64-bit count
        {manyDigits, std::nullopt},
        {L"-5", std::nullopt},
        {L"-1", std::nullopt},
        {L"-0", std::nullopt},
        {L"+5", std::nullopt},
        {L"1.5", std::nullopt},
        {L"1.0", std::nullopt},
        {L"0.001", std::nullopt},
        {L"1e3", std::nullopt},
        {L"1.5e3", std::nullopt},
        {L"1,536", std::nullopt},
        {L"1 536", std::nullopt},
        {L"abc", std::nullopt},
        {L"", std::nullopt},
        {L"  ", std::nullopt},
        {L"12abc", std::nullopt},
        {L"12kb", std::nullopt},
        {L"NaN", std::nullopt},
        {L"inf", std::nullopt},
        {L"Infinity", std::nullopt},
        {L"0x10", std::nullopt},
        {L"&H10", std::nullopt},
        {L"&O17", std::nullopt},
        {L"\uFF11\uFF12", std::nullopt},  // full-width digits
    };
    for (const Case& c : cases)
        EXPECT_EQ(ByteCount(c.text), c.count) << forms::TextToAnsi(c.text.substr(0, 40));
}

TEST(ProgressValue, EightFiles)
{
    const int expected[] = {12, 25, 38, 50, 62, 75, 88, 100};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(ProgressValue(i + 1, 8), expected[i]);
    EXPECT_EQ(ProgressValue(1, 3), 33);
    EXPECT_EQ(ProgressValue(2, 3), 67);
    EXPECT_EQ(ProgressValue(1, 1), 100);
}

}  // namespace
}  // namespace quill::updater
