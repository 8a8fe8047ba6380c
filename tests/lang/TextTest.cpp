// Text functions with positions from 1, binary and case-insensitive comparison.
#include "forms/lang/Error.h"
#include "forms/lang/Text.h"

#include "tests/support/ErrorNumber.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quill::forms {
namespace {

using test::DateAt;
using test::ErrorOf;

TEST(InStr, PositionsFromOne)
{
    const CompareMode B = CompareMode::Binary, T = CompareMode::Text;
    const struct {
        long start;
        const wchar_t* text;
        const wchar_t* sought;
        CompareMode mode;
        long expected;
    } cases[] = {
        {1, L"abcabc", L"c", B, 3},
        {4, L"abcabc", L"c", B, 6},
        {1, L"abc", L"d", B, 0},
        {1, L"", L"a", B, 0},
        {1, L"abc", L"", B, 1},
        {3, L"abc", L"", B, 3},
        {4, L"abc", L"", B, 0},
        {9, L"abc", L"a", B, 0},
        {1, L"ABC", L"b", T, 2},
        {1, L"ABC", L"b", B, 0},
        {1, L"x[UPDATE]", L"[update]", T, 2},
        {1, L"\uFF21\uFF22\uFF23", L"b", T, 2},
        {1, L"a|b", L"|", B, 2},
        {1, L"\u8BB0\u8D26", L"\u8D26", B, 2},
        {1, L"caption=\"x\"", L"CAPTION=\"", T, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InStr(c.start, c.text, c.sought, c.mode), c.expected) << c.text << " " << c.sought;
    EXPECT_EQ(InStr(L"abcabc", L"bc"), 2);
    EXPECT_EQ(ErrorOf([] { InStr(0, L"abc", L"a"); }), kInvalidCall);
}

TEST(Substrings, MidLeftRight)
{
    EXPECT_EQ(Mid(L"abcdef", 2, 3), L"bcd");
    EXPECT_EQ(Mid(L"abcdef", 5), L"ef");
    EXPECT_EQ(Mid(L"abc", 5), L"");
    EXPECT_EQ(Mid(L"abc", 2, 10), L"bc");
    EXPECT_EQ(Left(L"abc", 5), L"abc");
    EXPECT_EQ(Left(L"abc", 0), L"");
    EXPECT_EQ(Right(L"abc", 2), L"bc");
    EXPECT_EQ(Right(L"abc", 7), L"abc");
    EXPECT_EQ(ErrorOf([] { Mid(L"abc", 0); }), kInvalidCall);
    EXPECT_EQ(ErrorOf([] { Mid(L"abc", 2, -1); }), kInvalidCall);
    EXPECT_EQ(ErrorOf([] { Left(L"abc", -1); }), kInvalidCall);
    EXPECT_EQ(ErrorOf([] { Right(L"abc", -1); }), kInvalidCall);
    EXPECT_EQ(Len(L"\u8BB0\u8D26"), 2);
}

TEST(Replace, EveryOccurrenceFromTheLeft)
{
    EXPECT_EQ(Replace(L"a,b|c:d", L",", L" "), L"a b|c:d");
    EXPECT_EQ(Replace(L"[]a[][]", L"[]", L""), L"a");
    EXPECT_EQ(Replace(L"aaa", L"aa", L"b"), L"ba");
    EXPECT_EQ(Replace(L"aXbx", L"x", L"-", CompareMode::Text), L"a-b-");
    EXPECT_EQ(Replace(L"aXbx", L"x", L"-"), L"aXb-");
    EXPECT_EQ(Replace(L"abc", L"", L"z"), L"abc");
    EXPECT_EQ(Replace(L"err=2015-1-1err=", L"err=", L""), L"2015-1-1");
}

TEST(Split, PiecesBetweenDelimiters)
{
    using Pieces = std::vector<std::wstring>;
    EXPECT_EQ(Split(L"a,,b", L","), (Pieces{L"a", L"", L"b"}));
    EXPECT_EQ(Split(L"", L","), Pieces{});
    EXPECT_EQ(Split(L"a|", L"|"), (Pieces{L"a", L""}));
    EXPECT_EQ(Split(L"a[]b[]", L"[]"), (Pieces{L"a", L"b", L""}));
    EXPECT_EQ(Split(L"abc", L""), Pieces{L"abc"});
    EXPECT_EQ(Split(L",", L","), (Pieces{L"", L""}));
}

TEST(Trim, OnlySpaces)
{
    EXPECT_EQ(Trim(L"  a b  "), L"a b");
    EXPECT_EQ(Trim(L"\ta "), L"\ta");
    EXPECT_EQ(LTrim(L"  a "), L"a ");
    EXPECT_EQ(RTrim(L"  a "), L"  a");
    EXPECT_EQ(Trim(L"   "), L"");
    EXPECT_EQ(Trim(L"\u3000a\u3000"), L"\u3000a\u3000");
}

TEST(Case, LettersOfTheCommonScripts)
{
    EXPECT_EQ(LCase(L"ABC\u00C0\u03A3\u0416\uFF21\u8BB0"), L"abc\u00E0\u03C3\u0436\uFF41\u8BB0");
    EXPECT_EQ(UCase(L"abc\u00E0\u03C3\u0436\uFF41\u00D7"), L"ABC\u00C0\u03A3\u0416\uFF21\u00D7");
    EXPECT_EQ(LCase(L"TALLIVO.EXE"), L"tallivo.exe");
}

TEST(StrComp, BinaryAndText)
{
    EXPECT_EQ(StrComp(L"a", L"B", CompareMode::Text), -1);
    EXPECT_EQ(StrComp(L"a", L"B"), 1);
    EXPECT_EQ(StrComp(L"abc", L"ABC", CompareMode::Text), 0);
    EXPECT_EQ(StrComp(L"10", L"9", CompareMode::Text), -1);
    EXPECT_EQ(StrComp(L"ab", L"abc"), -1);
    EXPECT_EQ(StrComp(L"", L""), 0);
    EXPECT_TRUE(TextEquals(L"Caption", L"CAPTION"));
    EXPECT_FALSE(TextEquals(L"Caption", L"Captions"));
}

}  // namespace
}  // namespace quill::forms
