// The hook's per-window tables of messages called before and after the
// window's previous procedure.
#include "controls/button/HookTable.h"

#include <gtest/gtest.h>

using namespace quill;

namespace {

using quill::button::HookTable;

TEST(HookTable, EntriesAreReusedFromTheTopAndGrowWhenFull)
{
    HookTable t;
    EXPECT_EQ(t.AttachThunk(100), 0);
    EXPECT_EQ(t.AttachThunk(200), 1);
    EXPECT_EQ(t.AttachThunk(300), 2);
    EXPECT_TRUE(t.DetachThunk(100));
    EXPECT_TRUE(t.DetachThunk(300));
    EXPECT_EQ(t.FindThunkIndex(0, true), 2);  // highest free first
    EXPECT_EQ(t.AttachThunk(400), 2);
    EXPECT_EQ(t.AttachThunk(500), 0);
    EXPECT_EQ(t.AttachThunk(600), 3);
    EXPECT_EQ(t.FindThunkIndex(200, false), 1);
    EXPECT_EQ(t.FindThunkIndex(999, false), -1);
    EXPECT_FALSE(t.DetachThunk(999));
    EXPECT_EQ(t.WindowsFromTop(), (std::vector<HookTable::Window>{600, 400, 200, 500}));
}

TEST(HookTable, MessagesGoToTheTablesTheirBitsName)
{
    HookTable t;
    t.AttachThunk(7);
    for (int m : {512, 675, 794, 21})
        t.AddThunkMessage(7, m, HookTable::After);
    t.AddThunkMessage(7, 0x100, HookTable::Before | HookTable::After);
    t.AddThunkMessage(7, 675, HookTable::After);  // already there: unchanged
    const auto* e = t.Find(7);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->after.count, 5);
    EXPECT_EQ(e->before.count, 1);
    EXPECT_TRUE(t.CallsAfter(7, 512));
    EXPECT_FALSE(t.CallsBefore(7, 512));
    EXPECT_TRUE(t.CallsBefore(7, 0x100));
    EXPECT_FALSE(t.CallsAfter(7, 513));
    EXPECT_FALSE(t.CallsAfter(8, 512));  // another window
}

TEST(HookTable, MinusOneMeansEveryMessage)
{
    HookTable t;
    t.AttachThunk(7);
    t.AddThunkMessage(7, HookTable::kEveryMessage, HookTable::Before);
    EXPECT_TRUE(t.CallsBefore(7, 1));
    EXPECT_TRUE(t.CallsBefore(7, 0xC123));
    EXPECT_FALSE(t.CallsAfter(7, 1));
    // A single message added afterwards must not take "every" away.
    t.AddThunkMessage(7, 512, HookTable::Before);
    EXPECT_TRUE(t.CallsBefore(7, 0xC123));
}

TEST(HookTable, DetachedWindowHasEmptyTables)
{
    HookTable t;
    t.AttachThunk(7);
    t.AddThunkMessage(7, 512, HookTable::After);
    t.DetachThunk(7);
    EXPECT_FALSE(t.CallsAfter(7, 512));
    EXPECT_EQ(t.AttachThunk(9), 0);
    EXPECT_FALSE(t.CallsAfter(9, 512));
}

}  // namespace
