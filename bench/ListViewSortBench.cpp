// Filling 100,000 rows and sorting them: the list view's own row collection
// against the platform's list view (SysListView32) with the same text
// comparison, in one run. Prints the times and their ratios.
//
// LVM_SORTITEMSEX hands the callback item positions, so it reads the cell
// texts back through the list view. Under Wine that is slow (each position is
// searched for) and leaves rows out of order (positions move while it sorts);
// the run counts the rows out of order and also times LVM_SORTITEMS, whose
// callback gets each row's lParam and reads the same texts directly.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "controls/listview/ListItemCollection.h"
#include "forms/lang/Text.h"

using namespace quill;

namespace {

constexpr int kRows = 100000;
constexpr int kColumns = 3;

// Column 0: mostly distinct names; column 1: a few platform names in mixed
// case, so that most comparisons are ties; column 2: amounts with separators.
std::vector<std::vector<std::wstring>> MakeCells()
{
    static const wchar_t* platforms[] = {L"alpha", L"Alpha", L"BETA", L"beta", L"Gamma", L"delta", L"Delta"};
    std::mt19937 random(20151201);
    std::vector<std::vector<std::wstring>> cells(kRows);
    for (auto& row : cells) {
        std::wstring name = L"P";
        for (int i = 0, n = 6 + static_cast<int>(random() % 7); i < n; ++i)
            name += static_cast<wchar_t>(L'a' + random() % 26);
        const unsigned amount = random() % 10000000;
        row = {name, platforms[random() % std::size(platforms)],
               std::to_wstring(amount / 1000) + L"," + std::to_wstring(1000 + amount % 1000).substr(1) +
                   L".00"};
    }
    return cells;
}

class Stopwatch {
public:
    Stopwatch() { QueryPerformanceCounter(&start_); }
    double Seconds() const
    {
        LARGE_INTEGER now, frequency;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency.QuadPart);
    }

private:
    LARGE_INTEGER start_;
};

struct Timing {
    double fill = 0;
    double sort = 0;
    std::vector<std::wstring> sorted;  // the sort column afterwards
};

Timing OwnRows(const std::vector<std::vector<std::wstring>>& cells, int column)
{
    Timing timing;
    listview::ListItemCollection rows;
    rows.ColumnCount(kColumns);
    Stopwatch fill;
    for (int i = 0; i < kRows; ++i) {
        listview::ListItem& row = rows.AddItem();
        for (int c = 0; c < kColumns; ++c)
            row.Text(c, cells[static_cast<size_t>(i)][static_cast<size_t>(c)]);
        row.Tag = i;
    }
    timing.fill = fill.Seconds();
    Stopwatch sort;
    rows.Sort(column, 0);
    timing.sort = sort.Seconds();
    for (int i = 0; i < kRows; ++i)
        timing.sorted.push_back(rows.Item(i)->Text(column));
    return timing;
}

struct PlatformSort {
    HWND list;
    int column;
    const std::vector<std::vector<std::wstring>>* cells;
};

std::wstring ItemText(HWND list, int item, int column)
{
    wchar_t buffer[64]{};
    LVITEMW lv{};
    lv.iSubItem = column;
    lv.pszText = buffer;
    lv.cchTextMax = 64;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
    return buffer;
}

// The same comparison as the row collection's: the two cell texts read
// afresh and compared as text, ignoring case.
int CALLBACK CompareItemsByPosition(LPARAM first, LPARAM second, LPARAM sortParam)
{
    const auto* sort = reinterpret_cast<const PlatformSort*>(sortParam);
    return forms::StrComp(ItemText(sort->list, static_cast<int>(first), sort->column),
                          ItemText(sort->list, static_cast<int>(second), sort->column),
                          forms::CompareMode::Text);
}

int CALLBACK CompareItemsByParam(LPARAM first, LPARAM second, LPARAM sortParam)
{
    const auto* sort = reinterpret_cast<const PlatformSort*>(sortParam);
    const auto& cells = *sort->cells;
    const auto column = static_cast<size_t>(sort->column);
    return forms::StrComp(cells[static_cast<size_t>(first)][column],
                          cells[static_cast<size_t>(second)][column], forms::CompareMode::Text);
}

Timing PlatformRows(const std::vector<std::vector<std::wstring>>& cells, int column, UINT sortMessage)
{
    Timing timing;
    HWND parent = CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPED, 0, 0, 600, 400, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 600, 400,
                                parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    for (int c = 0; c < kColumns; ++c) {
        LVCOLUMNW lvc{};
        lvc.mask = LVCF_WIDTH | LVCF_SUBITEM;
        lvc.cx = 150;
        lvc.iSubItem = c;
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&lvc));
    }
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    Stopwatch fill;
    for (int i = 0; i < kRows; ++i) {
        const auto& row = cells[static_cast<size_t>(i)];
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = i;
        item.pszText = const_cast<wchar_t*>(row[0].c_str());
        item.lParam = i;
        const int index =
            static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        for (int c = 1; c < kColumns; ++c) {
            LVITEMW sub{};
            sub.iSubItem = c;
            sub.pszText = const_cast<wchar_t*>(row[static_cast<size_t>(c)].c_str());
            SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&sub));
        }
    }
    timing.fill = fill.Seconds();
    PlatformSort sort{list, column, &cells};
    const PFNLVCOMPARE compare =
        sortMessage == LVM_SORTITEMSEX ? CompareItemsByPosition : CompareItemsByParam;
    Stopwatch sorting;
    SendMessageW(list, sortMessage, reinterpret_cast<WPARAM>(&sort), reinterpret_cast<LPARAM>(compare));
    timing.sort = sorting.Seconds();
    for (int i = 0; i < kRows; ++i)
        timing.sorted.push_back(ItemText(list, i, column));
    DestroyWindow(parent);
    return timing;
}

// Neighbours out of order under the comparison.
int Inversions(const std::vector<std::wstring>& sorted)
{
    int count = 0;
    for (size_t i = 1; i < sorted.size(); ++i)
        count += forms::StrComp(sorted[i - 1], sorted[i], forms::CompareMode::Text) > 0;
    return count;
}

}  // namespace

int main()
{
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    const auto cells = MakeCells();
    std::printf("%d rows, %d columns; seconds; ratio = own / platform\n\n", kRows, kColumns);
    const struct {
        int column;
        const char* name;
    } runs[] = {{0, "column 0, distinct names"}, {1, "column 1, few names in mixed case (ties)"}};
    for (const auto& run : runs) {
        const Timing own = OwnRows(cells, run.column);
        const Timing byPosition = PlatformRows(cells, run.column, LVM_SORTITEMSEX);
        const Timing byParam = PlatformRows(cells, run.column, LVM_SORTITEMS);
        std::printf("%s\n", run.name);
        std::printf("  %-30s fill %8.3f  sort %8.3f  rows out of order %d\n", "own row collection", own.fill,
                    own.sort, Inversions(own.sorted));
        std::printf("  %-30s fill %8.3f  sort %8.3f  rows out of order %d\n", "SysListView32 LVM_SORTITEMSEX",
                    byPosition.fill, byPosition.sort, Inversions(byPosition.sorted));
        std::printf("  %-30s fill %8.3f  sort %8.3f  rows out of order %d\n", "SysListView32 LVM_SORTITEMS",
                    byParam.fill, byParam.sort, Inversions(byParam.sorted));
        std::printf("  ratio fill %.4f, sort %.4f (LVM_SORTITEMSEX), sort %.4f (LVM_SORTITEMS)\n\n",
                    own.fill / byPosition.fill, own.sort / byPosition.sort, own.sort / byParam.sort);
    }
    return 0;
}
