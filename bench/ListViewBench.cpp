// The list view control against the platform's list view (SysListView32 in
// report mode), in one run, with the same columns, the same texts, the same
// font and the same window size: filling 100,000 rows with painting off and
// then painting once (rows 34 pixels high in both), scrolling through all of
// them page by page (with the scroll bar's page, and with the Page Down key,
// which moves the focus row), and repainting; printed as times and ratios,
// with the memory each row costs. The two lists page by different steps (a
// page of the scroll bar or of the key is not as many rows in both), so the
// paging is compared per row it moved, besides per step.
// The fill is timed in interleaved rounds (median ratio, lowest and highest),
// and after every fill both lists must hold the texts they were filled with
// (else the run fails with exit code 1); the paging and repainting run in
// alternating turns of 100 steps.
//
// Run under Wine on the virtual display: tools/wine/with-wine build/windows
// build/windows/bin/listview_bench.exe [fill rounds=5]
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/listview/ListView.h"
#include "forms/Form.h"
#include "forms/Gdi.h"
#include "forms/Loaded.h"
#include "forms/PropertyBag.h"
#include "forms/Pump.h"

#include "BenchRounds.h"

using namespace quill;
namespace bench = quill::bench;

namespace {

constexpr int kRows = 100000;
constexpr int kRepaints = 2000;
constexpr int kWidth = 982;
constexpr int kHeight = 440;  // two lists, one above the other, both wholly on the screen

struct ColumnSpec {
    const wchar_t* caption;
    int width;
};

// The project list page's columns.
const ColumnSpec kColumns[] = {
    {L"\u5E8F\u53F7  ", 50},
    {L"\u5E73\u53F0&&\u9879\u76EE\u540D\u79F0  ", 150},
    {L"\u8D77\u606F\u65E5\u671F    ", 90},
    {L"\u5230\u671F\u65E5\u671F    ", 90},
    {L"\u6295\u8D44\u91D1\u989D    ", 90},
    {L"\u6295\u8D44\u9650\u671F    ", 90},
    {L"\u9884\u671F\u5229\u7387    ", 75},
    {L"\u5B9E\u9645\u5229\u7387    ", 75},
    {L"\u9884\u671F\u6536\u76CA    ", 85},
    {L"\u5B9E\u9645\u6536\u76CA    ", 85},
    {L"\u5012\u8BA1\u5929\u6570    ", 80},
};
constexpr int kColumnCount = static_cast<int>(std::size(kColumns));

// The eleven texts of row i, as the main window fills the project list.
std::vector<std::wstring> RowTexts(int i)
{
    static const wchar_t* const projects[] = {L"\u4EBA\u4EBA\u8D37 \u6D88\u8D39\u4FE1\u7528\u501F\u6B3E",
                                              L"\u966A\u6211\u8D37 \u8F66\u8D37\u5468\u8F6C",
                                              L"\u5B9C\u4EBA\u8D37 \u7ECF\u8425\u8D37",
                                              L"\u62CD\u62CD\u8D37 \u623F\u4EA7\u62B5\u62BC"};
    std::wstring project = projects[i % 4] + std::to_wstring(i);
    project += std::wstring(project.size(), L' ');
    return {std::to_wstring(i + 1),
            project,
            L"2016-" + std::to_wstring(1 + i % 12) + L"-" + std::to_wstring(1 + i % 28),
            L"2017-" + std::to_wstring(1 + i % 12) + L"-" + std::to_wstring(1 + i % 28),
            std::to_wstring(1 + i % 9) + L"," + std::to_wstring(1000 + i % 9000),
            std::to_wstring(1 + i % 24) + L" \u6708 ",
            std::to_wstring(8 + i % 7) + L".5%",
            std::to_wstring(7 + i % 7) + L".9%",
            std::to_wstring(100 + i % 900) + L".25",
            std::to_wstring(90 + i % 900) + L".10",
            std::to_wstring(i % 365)};
}

std::vector<std::vector<std::wstring>> AllRowTexts()
{
    std::vector<std::vector<std::wstring>> rows;
    rows.reserve(kRows);
    for (int i = 0; i < kRows; ++i)
        rows.push_back(RowTexts(i));
    return rows;
}

class Stopwatch {
public:
    Stopwatch() { QueryPerformanceCounter(&start_); }
    double Seconds() const
    {
        LARGE_INTEGER now{}, frequency{};
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency.QuadPart);
    }

private:
    LARGE_INTEGER start_{};
};

// Committed private memory of the process (heaps included), summed over its
// regions: what Wine reports reliably, unlike the process counters.
size_t PrivateBytes()
{
    size_t total = 0;
    MEMORY_BASIC_INFORMATION info{};
    for (auto* address = static_cast<BYTE*>(nullptr);
         VirtualQuery(address, &info, sizeof(info)) == sizeof(info);
         address = static_cast<BYTE*>(info.BaseAddress) + info.RegionSize) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE)
            total += info.RegionSize;
        if (static_cast<BYTE*>(info.BaseAddress) + info.RegionSize < address)
            break;
    }
    return total;
}

// One list under test: filled, paged and repainted through the same steps.
class Subject {
public:
    virtual ~Subject() = default;
    virtual void Fill(const std::vector<std::vector<std::wstring>>& rows) = 0;
    // Empties the list for the next fill.
    virtual void Empty() = 0;
    virtual int Rows() = 0;
    virtual std::wstring Text(int row, int column) = 0;
    // One page down with the scroll bar's page; false at the end.
    virtual bool PageDown() = 0;
    // One Page Down key; false once the focus row is the last row.
    virtual bool PageDownKey() = 0;
    // The row shown at the top, and the focus row.
    virtual int TopRow() = 0;
    virtual int FocusRow() = 0;
    virtual void ToTop() = 0;
    virtual void Repaint() = 0;
};

class BenchForm : public forms::Form {
public:
    BenchForm()
        : Form({.caption = L"ListView",
                .clientWidth = (kWidth + 20) * 15,
                .clientHeight = (kHeight + 20) * 15,
                .left = 20 * 15,
                .top = 20 * 15,
                .startUpPosition = forms::vbStartUpManual})
    {
    }
    forms::Loaded<listview::ListView> list;

protected:
    void CreateControls() override
    {
        static const forms::PropertyBag design{{L"Font", forms::Font::New(L"\u5B8B\u4F53", 11)},
                                               {L"ItemPaddingBottom", 15},
                                               {L"ItemsAutoSize", false},
                                               {L"BorderStyle", 1},
                                               {L"Reorder", false}};
        list.Load(
            *this,
            {.name = L"ListView", .left = 150, .top = 150, .width = kWidth * 15, .height = kHeight * 15},
            &design);
    }
};

class OwnList final : public Subject {
public:
    OwnList()
    {
        form_.Load();
        form_.Show();
        for (const ColumnSpec& c : kColumns)
            list().AddColumn(L"", c.caption, 2, c.width, false, true);
        forms::DoEvents();
    }
    ~OwnList() override { form_.Unload(); }

    void Fill(const std::vector<std::vector<std::wstring>>& rows) override
    {
        list().Redraw(false);
        for (size_t i = 0; i < rows.size(); ++i) {
            const int32_t row = list().AddItem(-1, rows[i][0]);
            list().ItemTag(row, static_cast<int32_t>(i));
            for (int c = 1; c < kColumnCount; ++c)
                list().ItemText(row, c, rows[i][static_cast<size_t>(c)]);
        }
        list().Redraw(true);
    }
    void Empty() override
    {
        list().Clear();
        forms::DoEvents();
    }
    int Rows() override { return list().ItemCount(); }
    std::wstring Text(int row, int column) override { return list().ItemText(row, column); }
    bool PageDown() override
    {
        const int before = Top();
        SendMessageW(hwnd(), WM_VSCROLL, SB_PAGEDOWN, 0);
        UpdateWindow(hwnd());
        return Top() != before;
    }
    bool PageDownKey() override
    {
        SendMessageW(hwnd(), WM_KEYDOWN, VK_NEXT, 0);
        SendMessageW(hwnd(), WM_KEYUP, VK_NEXT, 0);
        UpdateWindow(hwnd());
        return list().SelectedItem() < list().ItemCount() - 1;
    }
    int TopRow() override { return Top(); }
    int FocusRow() override { return list().SelectedItem(); }
    void ToTop() override
    {
        SendMessageW(hwnd(), WM_VSCROLL, SB_TOP, 0);
        list().SelectedItem(0);
    }
    void Repaint() override
    {
        InvalidateRect(hwnd(), nullptr, FALSE);
        UpdateWindow(hwnd());
    }

private:
    listview::ListView& list() { return *form_.list; }
    HWND hwnd() { return form_.list->hWnd(); }
    int Top()
    {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_POS;
        GetScrollInfo(hwnd(), SB_VERT, &info);
        return info.nPos;
    }

    BenchForm form_;
};

class PlatformList final : public Subject {
public:
    PlatformList()
    {
        INITCOMMONCONTROLSEX init{sizeof(init), ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&init);
        frame_ =
            CreateWindowExW(0, L"STATIC", L"SysListView32", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20,
                            kHeight + 100, kWidth + 40, kHeight + 60, nullptr, nullptr, nullptr, nullptr);
        list_ = CreateWindowExW(WS_EX_STATICEDGE, WC_LISTVIEWW, L"",
                                WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, 10, 10, kWidth,
                                kHeight, frame_, nullptr, nullptr, nullptr);
        SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
        SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
        // Rows as high as the list view's (34 pixels): a small image list
        // that high sets the platform's row height.
        SendMessageW(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(rowHeight_));
        for (int c = 0; c < kColumnCount; ++c) {
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
            column.fmt = LVCFMT_CENTER;
            column.cx = kColumns[c].width;
            column.pszText = const_cast<wchar_t*>(kColumns[c].caption);
            SendMessageW(list_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
        }
        forms::DoEvents();
    }
    ~PlatformList() override
    {
        DestroyWindow(frame_);
        ImageList_Destroy(rowHeight_);
    }

    void Fill(const std::vector<std::vector<std::wstring>>& rows) override
    {
        SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
        for (size_t i = 0; i < rows.size(); ++i) {
            LVITEMW item{};
            item.mask = LVIF_TEXT | LVIF_PARAM;
            item.iItem = static_cast<int>(i);
            item.lParam = static_cast<LPARAM>(i);
            item.pszText = const_cast<wchar_t*>(rows[i][0].c_str());
            const auto row =
                static_cast<WPARAM>(SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
            for (int c = 1; c < kColumnCount; ++c) {
                LVITEMW cell{};
                cell.iSubItem = c;
                cell.pszText = const_cast<wchar_t*>(rows[i][static_cast<size_t>(c)].c_str());
                SendMessageW(list_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&cell));
            }
        }
        SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list_, nullptr, TRUE);
        UpdateWindow(list_);
    }
    void Empty() override
    {
        SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
        forms::DoEvents();
    }
    int Rows() override { return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)); }
    std::wstring Text(int row, int column) override
    {
        wchar_t buffer[256] = {};
        LVITEMW cell{};
        cell.iSubItem = column;
        cell.pszText = buffer;
        cell.cchTextMax = static_cast<int>(std::size(buffer));
        SendMessageW(list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
        return buffer;
    }
    bool PageDown() override
    {
        const LRESULT before = SendMessageW(list_, LVM_GETTOPINDEX, 0, 0);
        SendMessageW(list_, WM_VSCROLL, SB_PAGEDOWN, 0);
        UpdateWindow(list_);
        return SendMessageW(list_, LVM_GETTOPINDEX, 0, 0) != before;
    }
    bool PageDownKey() override
    {
        SendMessageW(list_, WM_KEYDOWN, VK_NEXT, 0);
        SendMessageW(list_, WM_KEYUP, VK_NEXT, 0);
        UpdateWindow(list_);
        return FocusRow() < kRows - 1;
    }
    int TopRow() override { return static_cast<int>(SendMessageW(list_, LVM_GETTOPINDEX, 0, 0)); }
    int FocusRow() override
    {
        return static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    }
    void ToTop() override
    {
        SendMessageW(list_, WM_VSCROLL, SB_TOP, 0);
        LVITEMW focus{};
        focus.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
        focus.state = LVIS_FOCUSED | LVIS_SELECTED;
        SendMessageW(list_, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&focus));
    }
    void Repaint() override
    {
        InvalidateRect(list_, nullptr, TRUE);
        UpdateWindow(list_);
    }

private:
    HWND frame_ = nullptr;
    HWND list_ = nullptr;
    forms::gdi::FontHandle font_{
        CreateFontW(-15, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"\u5B8B\u4F53")};
    HIMAGELIST rowHeight_ = ImageList_Create(1, 34, ILC_COLOR32, 1, 1);
};

// The first row whose texts in the list differ from those it was filled
// with, named; empty when every row holds its texts.
std::string TextFault(const char* name, Subject& list, const std::vector<std::vector<std::wstring>>& rows)
{
    if (list.Rows() != static_cast<int>(rows.size()))
        return std::string(name) + " holds " + std::to_string(list.Rows()) + " rows";
    for (size_t i = 0; i < rows.size(); ++i)
        for (int c = 0; c < kColumnCount; ++c)
            if (list.Text(static_cast<int>(i), c) != rows[i][static_cast<size_t>(c)])
                return std::string(name) + ": row " + std::to_string(i) + ", column " + std::to_string(c);
    return {};
}

// Time and steps of a stepping phase, for each subject, and the rows the
// steps moved it by.
struct Phase {
    double seconds[2] = {0, 0};
    int steps[2] = {0, 0};
    int rows[2] = {0, 0};
};

// Runs `step` on both subjects in turns of `turn` steps each, until each
// answers false, so that both meet the machine in the same state of load.
Phase Interleaved(Subject* subjects[2], int turn, const std::function<bool(Subject&)>& step)
{
    Phase phase;
    bool going[2] = {true, true};
    while (going[0] || going[1]) {
        for (int s = 0; s < 2; ++s) {
            if (!going[s])
                continue;
            Stopwatch watch;
            for (int i = 0; i < turn && going[s]; ++i) {
                going[s] = step(*subjects[s]);
                ++phase.steps[s];
            }
            GdiFlush();
            phase.seconds[s] += watch.Seconds();
        }
    }
    return phase;
}

void Print(const char* what, double ours, double platform)
{
    std::printf("%-34s %10.3f   %10.3f     ratio %.2f\n", what, ours, platform, ours / platform);
}

}  // namespace

int main(int argc, char** argv)
{
    const int fillRounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::printf("%d rows of %d columns, %d x %d pixels, rows 34 pixels high\n\n", kRows, kColumnCount, kWidth,
                kHeight);
    OwnList own;
    PlatformList platform;
    Subject* subjects[2] = {&own, &platform};

    // The fills in interleaved rounds, each list emptied before its next;
    // the memory a row costs is taken from each list's first fill. After
    // every fill both lists must hold the texts they were filled with.
    const std::vector<std::vector<std::wstring>> rows = AllRowTexts();
    double bytesPerRow[2] = {0, 0};
    int fills[2] = {0, 0};
    std::string fault;
    const auto fillRound = [&](int s) {
        subjects[s]->Empty();
        const size_t before = PrivateBytes();
        Stopwatch watch;
        subjects[s]->Fill(rows);
        GdiFlush();
        const double seconds = watch.Seconds();
        const char* const name = s == 0 ? "ListView" : "SysListView32";
        std::fprintf(stderr, "fill %d of %s: %.2f s\n", fills[s] + 1, name, seconds);
        if (fills[s]++ == 0)
            bytesPerRow[s] = static_cast<double>(PrivateBytes() - before) / kRows;
        if (fault.empty())
            fault = TextFault(name, *subjects[s], rows);
        return seconds;
    };
    std::vector<double> oursFill, platformFill;
    bench::InterleavedRounds(
        fillRounds, [&] { return fillRound(0); }, [&] { return fillRound(1); }, oursFill, platformFill);
    if (!fault.empty()) {
        std::printf("the lists hold other texts than they were filled with (%s)\n", fault.c_str());
        return 1;
    }

    // The scroll bar's pages from the top, as the fill left both lists; then
    // the keys from the first row focused at the top. (Under Wine, a focus
    // row set before the scroll bar's pages makes the platform's first Page
    // Down go straight to the last row.)
    Phase pages = Interleaved(subjects, 100, [](Subject& l) { return l.PageDown(); });
    for (int s = 0; s < 2; ++s)
        pages.rows[s] = subjects[s]->TopRow();
    for (Subject* l : subjects)
        l->ToTop();
    Phase keys = Interleaved(subjects, 100, [](Subject& l) { return l.PageDownKey(); });
    for (int s = 0; s < 2; ++s)
        keys.rows[s] = subjects[s]->FocusRow();
    int repaints[2] = {0, 0};
    const Phase repaint = Interleaved(subjects, 100, [&](Subject& l) {
        l.Repaint();
        return ++repaints[&l == subjects[0] ? 0 : 1] < kRepaints;
    });

    std::printf("%-34s %12s %12s   %s\n", "", "ListView", "SysListView32", "ours / platform");
    std::printf("%-34s %10.3f   %10.3f     ratio", "fill, painting off, one paint (s)",
                bench::Median(oursFill), bench::Median(platformFill));
    bench::PrintRatio(bench::RatioOf(oursFill, platformFill));
    std::printf(" in %d rounds\n", fillRounds);
    const auto printPaging = [](const char* what, const char* steps, const char* perStep,
                                const Phase& phase) {
        Print(what, phase.seconds[0], phase.seconds[1]);
        std::printf("%-34s %10d   %10d\n", steps, phase.steps[0], phase.steps[1]);
        std::printf("%-34s %10d   %10d\n", "  rows moved", phase.rows[0], phase.rows[1]);
        std::printf("%-34s %10.2f   %10.2f\n", "  rows per step", double(phase.rows[0]) / phase.steps[0],
                    double(phase.rows[1]) / phase.steps[1]);
        Print(perStep, phase.seconds[0] / phase.steps[0] * 1e3, phase.seconds[1] / phase.steps[1] * 1e3);
        Print("  per row moved (us)", phase.seconds[0] / std::max(phase.rows[0], 1) * 1e6,
              phase.seconds[1] / std::max(phase.rows[1], 1) * 1e6);
    };
    printPaging("scroll bar page by page (s)", "  pages", "  per page (ms)", pages);
    printPaging("Page Down key to the last row (s)", "  key presses", "  per key press (ms)", keys);
    Print("repaint, 2000 times (s)", repaint.seconds[0], repaint.seconds[1]);
    std::printf("%-34s %10.0f B %10.0f B   ratio %.2f\n", "memory per row", bytesPerRow[0], bytesPerRow[1],
                bytesPerRow[0] / bytesPerRow[1]);
    return 0;
}
