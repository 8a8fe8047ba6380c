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

TEST(SizeInKb, OneDecimalHalvesToEven)
{
    struct Case {
        double bytes;
        const wchar_t* text;
    } cases[] = {
        {1536, L"1.5 KB"},
        {1075, L"1 KB"},
        {2048, L"2 KB"},
        {0, L"0 KB"},
        {1024 * 1.25, L"1.2 KB"},
        {1024 * 1.35, L"1.4 KB"},
        {1538, L"1.5 KB"},
        {1002, L"1 KB"},
        {51, L"0 KB"},
        {52, L"0.1 KB"},
        {10 * 1048576.0, L"10240 KB"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SizeInKb(c.bytes), c.text) << c.bytes;
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
