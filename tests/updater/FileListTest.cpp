// How the descriptor's values become rows of the file list and progress.
#include "updater/FileList.h"

#include "forms/lang/Ansi.h"
#include "forms/lang/Error.h"
#include "tests/support/ErrorNumber.h"

#include <gtest/gtest.h>

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

TEST(ListedSize, StrictNumbers)
{
    EXPECT_EQ(ListedSize(L"2048"), 2048);
    EXPECT_EQ(ListedSize(L" 1,536 "), 1536);
    EXPECT_EQ(ListedSize(L"1.5e3"), 1500);
    EXPECT_EQ(ErrorOf([] { ListedSize(L"12kb"); }), forms::kTypeMismatch);
    EXPECT_EQ(ErrorOf([] { ListedSize(L""); }), forms::kTypeMismatch);
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
// size no longer tells one count from the next.
TEST(IsByteCount, WholeNumbersFromNothingToTwoToThe53)
{
    struct Case {
        double size;
        bool count;
    } cases[] = {
        {0, true},
        {-0.0, true},
        {1, true},
        {1500, true},
        {-5, false},
        {-1, false},
        {1.5, false},
        {0.001, false},
        {9007199254740992.0, true},
        {9007199254740994.0, false},
        {1e300, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsByteCount(c.size), c.count) << c.size;
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
