// Pictures of the list for review by eye, each checked for what it must
// show: the project list page as the main window fills it (written to the
// build's screens folder; docs/listview-projects.png is a copy), and the
// list's other looks (check boxes, pictures, dotted focus, ellipsis).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ListViewHost.h"
#include "tests/support/PngFile.h"
#include "tests/support/Pump.h"

namespace quill::listview::test {
namespace {

const std::wstring kScreens = L"Z:" QUILL_LISTVIEW_SCREENS_W;

bool Save(const ListHost& host, const std::wstring& name, const std::vector<uint32_t>& pixels)
{
    CreateDirectoryW(kScreens.c_str(), nullptr);
    return quill::test::WritePng(kScreens + L"/" + name, host.ClientWidth(), host.ClientHeight(), pixels);
}

struct ProjectColumn {
    const wchar_t* key;
    const wchar_t* caption;
    int32_t width;
};

// The columns of the project list page, as the main window adds them.
const ProjectColumn kProjectColumns[] = {
    {L"LV1", L"\u5E8F\u53F7  ", 50},
    {L"LV2", L"\u5E73\u53F0&&\u9879\u76EE\u540D\u79F0  ", 150},
    {L"LV3", L"\u8D77\u606F\u65E5\u671F    ", 90},
    {L"LV4", L"\u5230\u671F\u65E5\u671F    ", 90},
    {L"LV5", L"\u6295\u8D44\u91D1\u989D    ", 90},
    {L"LV6", L"\u6295\u8D44\u9650\u671F    ", 90},
    {L"LV7", L"\u9884\u671F\u5229\u7387    ", 75},
    {L"LV8", L"\u5B9E\u9645\u5229\u7387    ", 75},
    {L"LV9", L"\u9884\u671F\u6536\u76CA    ", 85},
    {L"LV10", L"\u5B9E\u9645\u6536\u76CA    ", 85},
    {L"LV11", L"\u5012\u8BA1\u5929\u6570    ", 80},
};

TEST(ListViewScreens, TheProjectListPage)
{
    forms::PropertyBag design = MainWindowDesign();
    ListHost host(&design, {.left = 10, .top = 10, .width = 982, .height = 420});
    ListView& list = host.list();
    for (const ProjectColumn& c : kProjectColumns)
        list.AddColumn(c.key, c.caption, 2, c.width, false, true);
    static const wchar_t* const projects[] = {L"\u4EBA\u4EBA\u8D37 \u6D88\u8D39\u4FE1\u7528\u501F\u6B3E",
                                              L"\u966A\u6211\u8D37 \u8F66\u8D37\u5468\u8F6C",
                                              L"\u5B9C\u4EBA\u8D37 \u7ECF\u8425\u8D37A&B",
                                              L"\u62CD\u62CD\u8D37 \u623F\u4EA7\u62B5\u62BC",
                                              L"\u79EF\u6728\u76D2\u5B50 \u7406\u8D22\u8BA1\u5212",
                                              L"\u6709\u5229\u7F51 \u5B9A\u5B58\u5B9D"};
    list.Redraw(false);
    for (int i = 0; i < 10; ++i) {
        const int32_t row = list.AddItem(-1, std::to_wstring(i + 1));
        list.ItemTag(row, 5000 + i);
        list.ItemText(row, 1, Padded(projects[i % 6]));
        list.ItemText(row, 2, L"2016-" + std::to_wstring(1 + i) + L"-" + std::to_wstring(3 + i));
        list.ItemText(row, 3, L"2017-" + std::to_wstring(1 + i) + L"-" + std::to_wstring(3 + i));
        list.ItemText(row, 4, i % 3 ? L"8,000" : L"1,2000");
        list.ItemText(row, 5, std::to_wstring(3 + i) + L" \u6708 ");
        list.ItemText(row, 6, std::to_wstring(10 + i % 4) + L".5%");
        list.ItemText(row, 7, std::to_wstring(9 + i % 4) + L".8%");
        list.ItemText(row, 8, std::to_wstring(210 + 13 * i) + L".35");
        list.ItemText(row, 9, std::to_wstring(97 + 7 * i) + L".10");
        list.ItemText(row, 10, std::to_wstring(20 + 31 * i));
    }
    list.Redraw(true);
    list.SetFocus();
    quill::test::PumpPosted();
    list.SelectedItem(2);
    list.ItemSelected(2, true);
    const std::vector<uint32_t> pixels = host.Pixels();
    ASSERT_TRUE(Save(host, L"listview-projects.png", pixels));

    // What it shows: eleven header buttons with captions, ten rows of 34
    // pixels with text in every cell, row 2 selected and framed, the list's
    // back colour below the rows.
    const int w = host.ClientWidth();
    const auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y) * w + x] & 0xFFFFFF; };
    const auto inkIn = [&](int x0, int y0, int x1, int y1, uint32_t background) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += at(x, y) != background;
        return n;
    };
    const uint32_t window = SysRgb(COLOR_WINDOW);
    const uint32_t highlight = SysRgb(COLOR_HIGHLIGHT);
    int left = 0;
    for (const ProjectColumn& c : kProjectColumns) {
        EXPECT_GT(inkIn(left + 3, 3, left + c.width - 3, 20, SysRgb(COLOR_BTNFACE)), 20) << c.width;
        for (int row = 0; row < 10; ++row) {
            const int top = 23 + row * 34;
            const uint32_t back = row == 2 ? highlight : window;
            EXPECT_GT(inkIn(left + 2, top + 2, left + c.width - 2, top + 32, back), 10)
                << left << " row " << row;
        }
        left += c.width;
    }
    EXPECT_EQ(at(500, 23 + 2 * 34 + 5), highlight);
    EXPECT_EQ(at(0, 23 + 2 * 34), highlight);  // the focus frame in the highlight colour
    EXPECT_EQ(at(959, 23 + 2 * 34 + 5), highlight);
    EXPECT_EQ(at(5, 23 + 10 * 34 + 5), window);
}

TEST(ListViewScreens, CheckBoxesSelectionDottedFocusAndEllipsis)
{
    forms::PropertyBag design = MainWindowDesign();
    ListHost host(&design, {.left = 10, .top = 10, .width = 420, .height = 200});
    ListView& list = host.list();
    list.Checkboxes(true);
    list.SolidFocusRect(false);
    FillProjects(list, 5);
    list.ColumnWidth(1, 60);
    list.ItemChecked(0, true);
    list.ItemChecked(3, true);
    list.ItemSelected(1, true);
    list.ItemSelected(3, true);
    list.SetFocus();
    quill::test::PumpPosted();
    list.SelectedItem(3);
    const std::vector<uint32_t> pixels = host.Pixels();
    ASSERT_TRUE(Save(host, L"listview-checkboxes.png", pixels));
    const int w = host.ClientWidth();
    const auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y) * w + x] & 0xFFFFFF; };
    EXPECT_EQ(at(3, 23 + 3 * 34 + 11), 0xFFFFFFu);  // white box on the selected row
    EXPECT_EQ(at(3, 23 + 0 * 34 + 11), 0u);         // black box on an unselected row
    EXPECT_EQ(at(100, 23 + 34 + 10), SysRgb(COLOR_HIGHLIGHT));
}

}  // namespace
}  // namespace quill::listview::test
