// Columns and rows of the list view: positions, keys, growth of the row
// storage and the error numbers its callers see.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/listview/ColumnCollection.h"
#include "controls/listview/ListItemCollection.h"
#include "forms/lang/Error.h"
#include "tests/support/ErrorNumber.h"

namespace quill::listview {
namespace {

using test::ErrorOf;

std::vector<std::wstring> Keys(const ColumnCollection& columns)
{
    std::vector<std::wstring> keys;
    for (int32_t i = 0; i < columns.Count(); ++i)
        keys.push_back(columns.Item(i)->key);
    return keys;
}

ColumnCollection ColumnsWithKeys(std::initializer_list<const wchar_t*> keys)
{
    ColumnCollection columns;
    for (const wchar_t* key : keys)
        columns.Add(key);
    return columns;
}

TEST(ColumnCollection, AddGivesAColumnAtItsStartValues)
{
    ColumnCollection columns;
    Column& added = columns.Add(L"name");
    EXPECT_EQ(columns.Count(), 1);
    EXPECT_EQ(columns.Item(0), &added);
    EXPECT_EQ(added.key, L"name");
    EXPECT_EQ(added.Caption, L"");
    EXPECT_EQ(added.Width, 0);
    EXPECT_FALSE(added.Visible);
    EXPECT_FALSE(added.Resizable);
    EXPECT_EQ(added.LastSortOrder, 0);
}

TEST(ColumnCollection, ItemByPositionKeyOrNumericText)
{
    ColumnCollection columns = ColumnsWithKeys({L"id", L"Name", L"2", L"amount"});
    struct Case {
        const wchar_t* index;
        int32_t expected;  // position, or -1 for error 9
    };
    const Case cases[] = {
        {L"name", 1}, {L"NAME", 1}, {L"Amount", 3}, {L"id", 0},       {L"2", 2},
        {L"0", 0},    {L"3", 3},                  // numeric text is a position
        {L" 1 ", 1},  {L"1.5", 2},  {L"2.5", 2},  // halves to even
        {L"4", -1},   {L"-1", -1},  {L"1e20", -1},  {L"missing", -1}, {L"", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "index " << c.index);
        if (c.expected < 0)
            EXPECT_EQ(ErrorOf([&] { columns.Item(c.index); }), 9);
        else
            EXPECT_EQ(columns.Item(c.index), columns.Item(c.expected));
    }
    EXPECT_EQ(ErrorOf([&] { columns.Item(4); }), 9);
    EXPECT_EQ(ErrorOf([&] { columns.Item(-1); }), 9);
}

TEST(ColumnCollection, KeyThatReadsAsANumberIsAPosition)
{
    ColumnCollection columns = ColumnsWithKeys({L"2", L"b", L"c"});
    EXPECT_EQ(columns.Item(L"2")->key, L"c");
}

TEST(ColumnCollection, DuplicateKeyIsAddedAndLookupFindsTheOlder)
{
    ColumnCollection columns = ColumnsWithKeys({L"a"});
    Column* older = columns.Item(0).get();
    EXPECT_NO_THROW(columns.Add(L"A"));
    EXPECT_EQ(columns.Count(), 2);
    EXPECT_EQ(columns.Item(L"A"), older);
}

TEST(ColumnCollection, RemoveClosesUpAndLeavesEmptySlotsUntilTheNextAdd)
{
    ColumnCollection columns = ColumnsWithKeys({L"a", L"b", L"c", L"d"});
    columns.Remove(1);
    columns.Remove(L"D");
    EXPECT_EQ(Keys(columns), (std::vector<std::wstring>{L"a", L"c"}));
    // The array keeps its length: the slots past Count hold no column.
    EXPECT_FALSE(columns.Item(2));
    EXPECT_EQ(ErrorOf([&] { columns.Item(3)->Width = 1; }), 91);
    EXPECT_EQ(ErrorOf([&] { columns.Item(L"3")->Caption = L"x"; }), 91);
    EXPECT_EQ(ErrorOf([&] { columns.Item(4); }), 9);

    columns.Add(L"e");
    EXPECT_EQ(Keys(columns), (std::vector<std::wstring>{L"a", L"c", L"e"}));
    EXPECT_EQ(ErrorOf([&] { columns.Item(3); }), 9);
}

TEST(ColumnCollection, RemoveOfTheLastColumnRightAfterAdd)
{
    ColumnCollection columns = ColumnsWithKeys({L"a", L"b"});
    columns.Remove(1);
    EXPECT_EQ(Keys(columns), std::vector<std::wstring>{L"a"});
}

TEST(ColumnCollection, RemoveOutsideTheColumnsRaises9AndChangesNothing)
{
    ColumnCollection columns = ColumnsWithKeys({L"a", L"b", L"c"});
    columns.Remove(2);  // slot 2 is now empty but still in the array
    for (int32_t index : {2, 3, -1}) {
        EXPECT_EQ(ErrorOf([&] { columns.Remove(index); }), 9) << index;
    }
    for (const wchar_t* index : {L"c", L"2", L"nothing"}) {
        EXPECT_EQ(ErrorOf([&] { columns.Remove(index); }), 9);
    }
    EXPECT_EQ(Keys(columns), (std::vector<std::wstring>{L"a", L"b"}));
}

TEST(ListItem, CellsComeFromSetSubItemCount)
{
    ListItem row;
    EXPECT_EQ(ErrorOf([&] { row.Text(0); }), 9);
    row.SetSubItemCount(2);
    row.Text(1, L"x");
    EXPECT_EQ(row.Text(0), L"");
    EXPECT_EQ(row.Text(1), L"x");
    EXPECT_EQ(ErrorOf([&] { row.Text(2); }), 9);
    EXPECT_EQ(ErrorOf([&] { row.Text(-1, L"y"); }), 9);
    row.SetSubItemCount(3);
    EXPECT_EQ(row.Text(1), L"");
}

// Rows tagged with their order of adding, so that positions can be read back.
std::vector<int32_t> Tags(const ListItemCollection& rows)
{
    std::vector<int32_t> tags;
    for (int32_t i = 0; i < rows.ItemCount(); ++i)
        tags.push_back(rows.Item(i)->Tag);
    return tags;
}

ListItemCollection RowsTagged(int32_t count, int32_t columns = 1)
{
    ListItemCollection rows;
    rows.ColumnCount(columns);
    for (int32_t i = 0; i < count; ++i)
        rows.AddItem().Tag = i;
    return rows;
}

// The last slot of the storage that answers without error 9.
int32_t StorageLength(const ListItemCollection& rows)
{
    int32_t length = rows.ItemCount();
    while (ErrorOf([&] { rows.Item(length); }) == 0)
        ++length;
    return length;
}

TEST(ListItemCollection, NewRowHasColumnCountEmptyCellsAndStartValues)
{
    ListItemCollection rows;
    rows.ColumnCount(3);
    ListItem& row = rows.AddItem();
    EXPECT_EQ(rows.ItemCount(), 1);
    EXPECT_EQ(rows.Item(0), &row);
    EXPECT_EQ(row.Text(2), L"");
    EXPECT_EQ(ErrorOf([&] { row.Text(3); }), 9);
    EXPECT_EQ(row.PictureIndex, 0);
    EXPECT_EQ(row.Tag, 0);
    EXPECT_FALSE(row.Selected);
    EXPECT_FALSE(row.Checked);
}

TEST(ListItemCollection, AddItemAppendsOrInsertsBeforeAPosition)
{
    struct Case {
        int32_t insertAt;
        std::vector<int32_t> expected;
    };
    const Case cases[] = {
        {-1, {0, 1, 2, 99}}, {-5, {0, 1, 2, 99}}, {0, {99, 0, 1, 2}}, {1, {0, 99, 1, 2}}, {3, {0, 1, 2, 99}},
    };
    for (const Case& c : cases) {
        ListItemCollection rows = RowsTagged(3);
        rows.AddItem(c.insertAt).Tag = 99;
        EXPECT_EQ(Tags(rows), c.expected) << c.insertAt;
    }
}

TEST(ListItemCollection, InsertingPastTheRowsRaises9AndChangesNothing)
{
    ListItemCollection rows = RowsTagged(3);
    EXPECT_EQ(ErrorOf([&] { rows.AddItem(4); }), 9);
    EXPECT_EQ(ErrorOf([&] { rows.AddItem(5000); }), 9);
    EXPECT_EQ(Tags(rows), (std::vector<int32_t>{0, 1, 2}));
}

TEST(ListItemCollection, StorageGrowsByHalfRoundedHalfToEven)
{
    // Capacity c holds up to c - 1 rows; the add that reaches c grows it.
    const int32_t capacities[] = {1000, 1500, 2250, 3375, 5062, 7593, 11390, 17085};
    ListItemCollection rows;
    rows.ColumnCount(1);
    for (size_t k = 0; k + 1 < std::size(capacities); ++k) {
        while (rows.ItemCount() < capacities[k] - 1)
            rows.AddItem();
        EXPECT_EQ(StorageLength(rows), capacities[k]);
        EXPECT_EQ(rows.Item(capacities[k] - 1), nullptr);
        EXPECT_EQ(ErrorOf([&] { rows.Item(capacities[k]); }), 9);
        rows.AddItem();
        EXPECT_EQ(StorageLength(rows), capacities[k + 1]) << capacities[k];
    }
}

TEST(ListItemCollection, InsertAtTheCountAppendsWithOneEmptySlotLeft)
{
    ListItemCollection rows = RowsTagged(999);
    rows.AddItem(999).Tag = -7;
    EXPECT_EQ(rows.ItemCount(), 1000);
    EXPECT_EQ(rows.Item(999)->Tag, -7);
    EXPECT_EQ(StorageLength(rows), 1500);
}

TEST(ListItemCollection, ErrorsFollowTheStorage9OutsideAnd91OnAnEmptySlot)
{
    ListItemCollection rows = RowsTagged(2);
    struct Case {
        int32_t index;
        int32_t error;
    };
    const Case cases[] = {{0, 0}, {1, 0}, {2, 91}, {999, 91}, {1000, 9}, {-1, 9}};
    for (const Case& c : cases)
        EXPECT_EQ(ErrorOf([&] { rows.Item(c.index)->Tag = 1; }), c.error) << c.index;
    EXPECT_FALSE(rows.Item(2));
}

TEST(ListItemCollection, RemoveItemClosesUp)
{
    ListItemCollection rows = RowsTagged(4);
    const ListItem* third = rows.Item(2).get();
    rows.RemoveItem(1);
    EXPECT_EQ(Tags(rows), (std::vector<int32_t>{0, 2, 3}));
    EXPECT_EQ(rows.Item(1).get(), third);  // moved, not copied
    EXPECT_EQ(rows.Item(3), nullptr);
    rows.RemoveItem(2);
    rows.RemoveItem(0);
    EXPECT_EQ(Tags(rows), std::vector<int32_t>{2});
}

TEST(ListItemCollection, RemoveItemOutsideTheRowsRaises9AndChangesNothing)
{
    ListItemCollection rows = RowsTagged(3);
    for (int32_t index : {3, -1, 999, 1000}) {
        EXPECT_EQ(ErrorOf([&] { rows.RemoveItem(index); }), 9) << index;
        EXPECT_EQ(Tags(rows), (std::vector<int32_t>{0, 1, 2}));
    }
}

TEST(ListItemCollection, MoveItem)
{
    struct Case {
        int32_t from, to;
        std::vector<int32_t> expected;
    };
    const Case cases[] = {
        {0, 4, {1, 2, 3, 4, 0}}, {4, 0, {4, 0, 1, 2, 3}}, {1, 3, {0, 2, 3, 1, 4}},
        {3, 1, {0, 3, 1, 2, 4}}, {2, 2, {0, 1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        ListItemCollection rows = RowsTagged(5);
        const ListItem* moved = rows.Item(c.from).get();
        rows.MoveItem(c.from, c.to);
        EXPECT_EQ(Tags(rows), c.expected) << c.from << "->" << c.to;
        EXPECT_EQ(rows.Item(c.to).get(), moved);
    }
}

TEST(ListItemCollection, MoveItemPastTheRowsRaises9AndChangesNothing)
{
    ListItemCollection rows = RowsTagged(3);
    const std::pair<int32_t, int32_t> cases[] = {{0, 3}, {3, 0}, {-1, 1}, {1, -1}, {0, 1000}};
    for (const auto& c : cases) {
        EXPECT_EQ(ErrorOf([&] { rows.MoveItem(c.first, c.second); }), 9) << c.first << "->" << c.second;
        EXPECT_EQ(Tags(rows), (std::vector<int32_t>{0, 1, 2}));
    }
}

TEST(ListItemCollection, ClearKeepsAGrownStorage)
{
    ListItemCollection rows = RowsTagged(1000);
    rows.Clear();
    EXPECT_EQ(rows.ItemCount(), 0);
    EXPECT_EQ(rows.Item(0), nullptr);
    EXPECT_EQ(StorageLength(rows), 1500);
    rows.AddItem().Tag = 5;
    EXPECT_EQ(Tags(rows), std::vector<int32_t>{5});
}

TEST(ListItemCollection, PrepareForItemsSetsTheCapacityAndEmptiesTheRows)
{
    ListItemCollection rows = RowsTagged(3);
    rows.PrepareForItems(4);
    EXPECT_EQ(rows.ItemCount(), 0);
    EXPECT_EQ(StorageLength(rows), 4);
    for (int i = 0; i < 3; ++i)
        rows.AddItem();
    EXPECT_EQ(StorageLength(rows), 4);
    rows.AddItem();
    EXPECT_EQ(StorageLength(rows), 6);
    rows.PrepareForItems(1);
    rows.AddItem();
    EXPECT_EQ(StorageLength(rows), 2);  // 1.5 rounds to 2
    EXPECT_EQ(ErrorOf([&] { rows.PrepareForItems(0); }), 9);
}

}  // namespace
}  // namespace quill::listview
