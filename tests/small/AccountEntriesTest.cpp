#include "controls/small/AccountEntries.h"

#include <gtest/gtest.h>

namespace quill::small {
namespace {

AccountEntries Listed(int count, int viewHeight)
{
    AccountEntries e;
    for (int i = 0; i < count; ++i)
        e.Add(L"user" + std::to_wstring(i));
    e.SetViewHeight(viewHeight);
    return e;
}

TEST(AccountEntries, EmptyAndRepeatedTextsAreNotAdded)
{
    AccountEntries e;
    EXPECT_TRUE(e.Add(L"alice"));
    EXPECT_FALSE(e.Add(L"alice"));
    EXPECT_FALSE(e.Add(L""));
    EXPECT_TRUE(e.Add(L"Alice"));
    EXPECT_EQ(e.Count(), 2u);
    EXPECT_EQ(e.At(1), L"Alice");
}

TEST(AccountEntries, EntryUnderAPoint)
{
    // 200 pixels hold 11 rows of 18; the 12th row's partial strip is no row.
    const AccountEntries e = Listed(3, 200);
    struct Case {
        int y;
        std::optional<std::size_t> entry;
    } cases[] = {{-1, std::nullopt}, {0, 0}, {17, 0}, {18, 1}, {53, 2}, {54, std::nullopt},
                 {199, std::nullopt}};
    for (const Case& c : cases)
        EXPECT_EQ(e.EntryAt(c.y), c.entry) << c.y;
}

TEST(AccountEntries, ScrollingStaysWithinTheList)
{
    AccountEntries e = Listed(15, 200);  // 11 rows shown, 4 hidden
    e.Scroll(-2);
    EXPECT_EQ(e.FirstShown(), 2u);
    EXPECT_EQ(e.EntryAt(0), 2u);
    e.Scroll(-100);
    EXPECT_EQ(e.FirstShown(), 4u);
    EXPECT_EQ(e.EntryAt(10 * 18), 14u);
    e.Scroll(3);
    EXPECT_EQ(e.FirstShown(), 1u);
    e.Scroll(100);
    EXPECT_EQ(e.FirstShown(), 0u);

    AccountEntries few = Listed(3, 200);
    few.Scroll(-5);
    EXPECT_EQ(few.FirstShown(), 0u);
}

TEST(AccountEntries, HoverReportsOnlyChanges)
{
    AccountEntries e = Listed(3, 200);
    EXPECT_TRUE(e.Hover(1));
    EXPECT_FALSE(e.Hover(1));
    EXPECT_TRUE(e.Hover(std::nullopt));
    EXPECT_FALSE(e.Hover(std::nullopt));
    e.Hover(2);
    e.Clear();
    EXPECT_FALSE(e.Hovered().has_value());
    EXPECT_EQ(e.Count(), 0u);
}

}  // namespace
}  // namespace quill::small
