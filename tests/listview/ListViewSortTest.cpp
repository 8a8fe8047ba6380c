// Sorting rows: order by cell text without regard to case, and the order in
// which equal texts come out, checked against the shell sort's steps written
// out on plain bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "controls/listview/ListItemCollection.h"
#include "forms/lang/Error.h"
#include "tests/support/ErrorNumber.h"
#include "forms/lang/Text.h"
#include "controls/listview/modShellSort.h"

namespace quill::listview {
namespace {

ListItemCollection RowsWithTexts(const std::vector<std::wstring>& texts, int32_t column = 0)
{
    ListItemCollection rows;
    rows.ColumnCount(column + 1);
    for (size_t i = 0; i < texts.size(); ++i) {
        ListItem& row = rows.AddItem();
        row.Text(column, texts[i]);
        row.Tag = static_cast<int32_t>(i);
    }
    return rows;
}

std::vector<std::wstring> Texts(const ListItemCollection& rows, int32_t column = 0)
{
    std::vector<std::wstring> texts;
    for (int32_t i = 0; i < rows.ItemCount(); ++i)
        texts.push_back(rows.Item(i)->Text(column));
    return texts;
}

std::vector<int32_t> Tags(const ListItemCollection& rows)
{
    std::vector<int32_t> tags;
    for (int32_t i = 0; i < rows.ItemCount(); ++i)
        tags.push_back(rows.Item(i)->Tag);
    return tags;
}

TEST(Sort, OrdersByTextWithoutRegardToCase)
{
    struct Case {
        std::vector<std::wstring> texts;
        int32_t order;
        std::vector<std::wstring> expected;
    };
    const Case cases[] = {
        {{L"b", L"A", L"c"}, 0, {L"A", L"b", L"c"}},
        {{L"b", L"A", L"c"}, 1, {L"c", L"b", L"A"}},
        {{L"b", L"A", L"c"}, 2, {L"A", L"b", L"c"}},
        {{L"b", L"A", L"c"}, -1, {L"A", L"b", L"c"}},
        {{L"10", L"9", L"100"}, 0, {L"10", L"100", L"9"}},
        {{L"1,200", L"1,100", L"999"}, 0, {L"1,100", L"1,200", L"999"}},
        {{L"", L"a", L""}, 1, {L"a", L"", L""}},
        {{L"x"}, 0, {L"x"}},
    };
    for (const Case& c : cases) {
        ListItemCollection rows = RowsWithTexts(c.texts);
        rows.Sort(0, c.order);
        EXPECT_EQ(Texts(rows), c.expected) << "order " << c.order;
    }
}

TEST(Sort, SortsByTheGivenColumn)
{
    ListItemCollection rows;
    rows.ColumnCount(2);
    const wchar_t* cells[][2] = {{L"a", L"3"}, {L"b", L"1"}, {L"c", L"2"}};
    for (auto& pair : cells) {
        ListItem& row = rows.AddItem();
        row.Text(0, pair[0]);
        row.Text(1, pair[1]);
    }
    rows.Sort(1, 0);
    EXPECT_EQ(Texts(rows), (std::vector<std::wstring>{L"b", L"c", L"a"}));
}

TEST(Sort, DoesNothingWithoutRowsOrOutsideTheColumns)
{
    ListItemCollection empty;
    empty.ColumnCount(1);
    EXPECT_NO_THROW(empty.Sort(0, 0));

    ListItemCollection rows = RowsWithTexts({L"b", L"a"});
    EXPECT_NO_THROW(rows.Sort(-1, 0));
    EXPECT_NO_THROW(rows.Sort(1, 0));  // ColumnCount is 1
    EXPECT_EQ(Texts(rows), (std::vector<std::wstring>{L"b", L"a"}));
}

TEST(Sort, RowsKeepTheirCellsAndFlags)
{
    ListItemCollection rows;
    rows.ColumnCount(2);
    for (int32_t i = 0; i < 3; ++i) {
        ListItem& row = rows.AddItem();
        row.Text(0, std::wstring(1, static_cast<wchar_t>(L'c' - i)));
        row.Text(1, L"cell" + std::to_wstring(i));
        row.Tag = 100 + i;
        row.PictureIndex = -1 - i;
        row.Selected = i == 1;
        row.Checked = i != 1;
    }
    const ListItem* first = rows.Item(0).get();
    rows.Sort(0, 0);
    ASSERT_EQ(rows.Item(2).get(), first);
    for (int32_t k = 0; k < 3; ++k) {
        const ListItem& row = *rows.Item(k);
        const int32_t i = 2 - k;
        EXPECT_EQ(row.Text(1), L"cell" + std::to_wstring(i));
        EXPECT_EQ(row.Tag, 100 + i);
        EXPECT_EQ(row.PictureIndex, -1 - i);
        EXPECT_EQ(row.Selected, i == 1);
        EXPECT_EQ(row.Checked, i != 1);
    }
}

TEST(Sort, AFailingComparisonLosesNoRow)
{
    // A row added while the collection gave one cell fewer makes the
    // comparison raise error 9 part-way through the sort.
    ListItemCollection rows;
    rows.ColumnCount(2);
    for (int32_t i = 0; i < 20; ++i) {
        if (i == 13)
            rows.ColumnCount(1);
        ListItem& row = rows.AddItem();
        row.Tag = i;
        if (i != 13)
            row.Text(1, std::to_wstring(20 - i));
        if (i == 13)
            rows.ColumnCount(2);
    }
    EXPECT_EQ(test::ErrorOf([&] { rows.Sort(1, 0); }), 9);
    std::vector<int32_t> tags = Tags(rows);
    std::sort(tags.begin(), tags.end());
    std::vector<int32_t> all(20);
    std::iota(all.begin(), all.end(), 0);
    EXPECT_EQ(tags, all);
}

TEST(ShellSortWithCallback, MakesNoComparisonForFewerThanTwoElements)
{
    int calls = 0;
    auto counting = [&](int, int) {
        ++calls;
        return 0;
    };
    int one[] = {5};
    ShellSortWithCallback(one, 1, counting);
    ShellSortWithCallback(one, 0, counting);
    EXPECT_EQ(calls, 0);
}

// The shell sort written out step by step over raw bytes, as the routine is
// described: gaps from 1, 4, 13, ... down to 1, insertion by copying bytes
// through a scratch buffer, a move only where the comparison answers 1.
void ShellSortOracle(void* base, int n, int size, int (*compare)(const void*, const void*))
{
    auto element = [&](int index) { return static_cast<char*>(base) + index * size; };
    std::vector<char> buffer(static_cast<size_t>(size));
    int h = 0;
    while (h <= n)
        h = 3 * h + 1;
    do {
        h = h / 3;
        for (int i = h; i <= n - 1; ++i) {
            if (compare(element(i - h), element(i)) == 1) {
                std::memcpy(buffer.data(), element(i), static_cast<size_t>(size));
                int j = i;
                while (j - h >= 0 && compare(element(j - h), buffer.data()) == 1) {
                    std::memcpy(element(j), element(j - h), static_cast<size_t>(size));
                    j = j - h;
                }
                std::memcpy(element(j), buffer.data(), static_cast<size_t>(size));
            }
        }
    } while (h != 1);
}

struct OracleRow {
    const std::wstring* text;
    int32_t tag;
};

int CompareOracleRows(const void* a, const void* b)
{
    return forms::StrComp(*static_cast<const OracleRow*>(a)->text, *static_cast<const OracleRow*>(b)->text,
                          forms::CompareMode::Text);
}

int CompareOracleRowsDescending(const void* a, const void* b)
{
    return -CompareOracleRows(a, b);
}

TEST(Sort, TiesComeOutInTheShellSortsOrder)
{
    // Few distinct texts differing in case, so that most comparisons are ties.
    const std::vector<std::wstring> alphabet = {L"a", L"A", L"b", L"B", L"ab", L"AB", L"c"};
    std::mt19937 random(20151201);
    for (int n : {2, 3, 4, 5, 13, 14, 40, 41, 100, 121, 122, 997, 3000}) {
        std::vector<std::wstring> texts;
        for (int i = 0; i < n; ++i)
            texts.push_back(alphabet[random() % alphabet.size()]);
        for (int32_t order : {0, 1}) {
            std::vector<OracleRow> oracle;
            for (int i = 0; i < n; ++i)
                oracle.push_back({&texts[static_cast<size_t>(i)], i});
            ShellSortOracle(oracle.data(), n, sizeof(OracleRow),
                            order == 1 ? CompareOracleRowsDescending : CompareOracleRows);
            std::vector<int32_t> expected;
            for (const OracleRow& row : oracle)
                expected.push_back(row.tag);

            ListItemCollection rows = RowsWithTexts(texts);
            rows.Sort(0, order);
            EXPECT_EQ(Tags(rows), expected) << "n " << n << " order " << order;
        }
    }
}

}  // namespace
}  // namespace quill::listview
