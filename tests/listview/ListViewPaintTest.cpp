// The list view's painting read back from its real window, with the main
// window's settings (11 pt 宋体, bottom padding 15, thin border, several rows
// selectable): header and row geometry, selection, focus frames, check boxes
// with their tick, pictures, cell text as the platform's own DrawTextA draws
// it, fillers, border styles, the colour hook, and GDI objects over many
// repaints and many lives.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ListViewHost.h"
#include "controls/listview/BackBuffer.h"
#include "controls/listview/Color.h"
#include "controls/listview/ListGeometry.h"
#include "forms/Gdi.h"
#include "forms/lang/Ansi.h"
#include "tests/support/DibCanvas.h"
#include "tests/support/HostForm.h"
#include "tests/support/ImportPatch.h"
#include "tests/support/Pump.h"

namespace quill::listview::test {
namespace {

constexpr int kHeader = 23;  // 15-pixel font + 8
constexpr int kRow = 34;     // 15 + 4 + 15

int RowTop(int row)
{
    return kHeader + row * kRow;
}

struct Picture {
    std::vector<uint32_t> px;
    int w;
    uint32_t at(int x, int y) const { return px[static_cast<size_t>(y) * w + x] & 0xFFFFFF; }
    // Pixels in [x0, x1) x [y0, y1) that differ from `colour`.
    int Other(int x0, int y0, int x1, int y1, uint32_t colour) const
    {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += at(x, y) != colour;
        return n;
    }
    std::vector<uint32_t> Region(int x0, int y0, int x1, int y1) const
    {
        std::vector<uint32_t> r;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                r.push_back(at(x, y));
        return r;
    }
};

// The list's drawing font, made as the list makes it.
forms::gdi::FontHandle ListFont(int height = 15)
{
    LOGFONTA lf{};
    lf.lfHeight = -height;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    const std::string face = forms::TextToAnsi(L"\u5B8B\u4F53");
    std::copy(face.begin(), face.end(), lf.lfFaceName);
    return forms::gdi::FontHandle(CreateFontIndirectA(&lf));
}

// A w x h cell drawn by the platform's DrawTextA: background, text colour,
// the list's font, the padded text rectangle and the flags given.
std::vector<uint32_t> ReferenceText(int w, int h, const std::string& bytes, RECT text, UINT flags,
                                    COLORREF ink, COLORREF background)
{
    quill::test::DibCanvas canvas(w, h);
    forms::gdi::BrushHandle brush(CreateSolidBrush(background));
    RECT all{0, 0, w, h};
    FillRect(canvas.Dc(), &all, brush);
    forms::gdi::FontHandle font = ListFont();
    forms::gdi::Selection selected(canvas.Dc(), font);
    SetBkMode(canvas.Dc(), TRANSPARENT);
    SetTextColor(canvas.Dc(), ink);
    DrawTextA(canvas.Dc(), bytes.data(), static_cast<int>(bytes.size()), &text, flags);
    std::vector<uint32_t> px = canvas.Pixels();
    for (auto& p : px)
        p &= 0xFFFFFF;
    return px;
}

// A 24-bit BMP file of w x h: `fill` with a one-pixel `frame` around it.
std::wstring WriteFramedBmp(const std::wstring& name, int w, int h, COLORREF fill, COLORREF frame)
{
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    const std::wstring path = std::wstring(dir) + name;
    const int stride = (w * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = w;
    info.biHeight = h;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = static_cast<DWORD>(stride * h);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::vector<uint8_t> rows(info.biSizeImage);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1;
            const COLORREF c = edge ? frame : fill;
            uint8_t* p = &rows[static_cast<size_t>(y) * stride + x * 3];
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    }
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&info), sizeof(info));
    out.write(reinterpret_cast<const char*>(rows.data()), static_cast<std::streamsize>(rows.size()));
    return path;
}

class ListViewPaint : public testing::Test {
protected:
    forms::PropertyBag design = MainWindowDesign();
    ListHost host{&design};
    ListView& list = host.list();

    Picture Shot() const { return {host.Pixels(), host.ClientWidth()}; }
    uint32_t Window() const { return SysRgb(COLOR_WINDOW); }
    uint32_t Highlight() const { return SysRgb(COLOR_HIGHLIGHT); }
    uint32_t Face() const { return SysRgb(COLOR_BTNFACE); }
};

TEST_F(ListViewPaint, HeaderAndRowsHaveTheirFixedHeights)
{
    FillProjects(list, 4);
    list.ItemSelected(1, true);
    const Picture p = Shot();
    // Column 0 is 90 wide: look at x 45, away from the text.
    const int x = 85;
    EXPECT_EQ(p.at(x, 1), SysRgb(COLOR_BTNHIGHLIGHT));          // raised edge, top
    EXPECT_EQ(p.at(x, kHeader - 1), SysRgb(COLOR_3DDKSHADOW));  // bottom of the raised edge
    EXPECT_EQ(p.at(x, kHeader - 2), SysRgb(COLOR_BTNSHADOW));
    EXPECT_EQ(p.at(x, kHeader), Window());  // row 0 starts at once
    EXPECT_EQ(p.at(x, RowTop(1) - 1), Window());
    EXPECT_EQ(p.at(x, RowTop(1)), Highlight());  // selected row 1: 34 rows of pixels
    EXPECT_EQ(p.at(x, RowTop(2) - 1), Highlight());
    EXPECT_EQ(p.at(x, RowTop(2)), Window());
    EXPECT_EQ(p.Other(x, RowTop(1), x + 1, RowTop(2), Highlight()), 0);
    EXPECT_EQ(list.ItemHeight(), kRow);
}

TEST_F(ListViewPaint, CellsAreDrawnAsTheSystemDrawsTheirBytes)
{
    FillProjects(list, 3);
    list.ItemText(0, 1, L"\u5E73\u53F0\u9879\u76EE");          // not padded: half of it shows
    list.ItemText(1, 1, Padded(L"\u5E73\u53F0\u9879\u76EE"));  // padded: all of it
    list.ItemText(2, 1, Padded(std::wstring(30, L'\u957F')));  // too wide: ellipsis
    list.ItemSelected(2, true);
    const Picture p = Shot();
    const int left = 90;  // column 1, 150 wide
    const RECT text{4, 0, 150 - 5, kRow};
    const UINT flags = 0x8024 | DT_NOPREFIX;
    const auto cell = [&](int row) { return p.Region(left, RowTop(row), left + 150, RowTop(row) + kRow); };
    EXPECT_EQ(cell(0), ReferenceText(150, kRow, forms::TextToAnsi(L"\u5E73\u53F0"), text, flags,
                                     GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW)));
    EXPECT_EQ(cell(1), ReferenceText(150, kRow, forms::TextToAnsi(L"\u5E73\u53F0\u9879\u76EE"), text, flags,
                                     GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW)));
    EXPECT_EQ(cell(2), ReferenceText(150, kRow, forms::TextToAnsi(std::wstring(30, L'\u957F')), text, flags,
                                     GetSysColor(COLOR_HIGHLIGHTTEXT), GetSysColor(COLOR_HIGHLIGHT)));
    // Both halves carry ink; the unpadded text stops after its first half.
    EXPECT_GT(p.Other(left + 4, RowTop(1), left + 34, RowTop(2), Window()), 0);
    EXPECT_GT(p.Other(left + 34, RowTop(1), left + 64, RowTop(2), Window()), 0);
    EXPECT_EQ(p.Other(left + 34, RowTop(0), left + 150, RowTop(1), Window()), 0);
    // Right-aligned amounts end at the right padding.
    EXPECT_GT(p.Other(240 + 90 - 5 - 8, RowTop(0), 240 + 90 - 5, RowTop(1), Window()), 0);
    EXPECT_EQ(p.Other(240 + 90 - 5, RowTop(0), 240 + 90, RowTop(1), Window()), 0);
}

TEST_F(ListViewPaint, RowCellsShowAmpersandsAsTypedAndCaptionsKeepPrefixes)
{
    list.AddColumn(L"a", L"\u5E73\u53F0&&\u9879\u76EE\u540D\u79F0      ", 0, 200);
    list.AddColumn(L"b", L"x", 0, 100);
    list.AddItem(-1, L"A&B");
    const Picture p = Shot();
    const RECT text{4, 0, 200 - 5, kRow};
    const auto row = p.Region(0, RowTop(0), 200, RowTop(1));
    const auto asTyped = ReferenceText(200, kRow, "A&B", text, 0x8024 | DT_NOPREFIX,
                                       GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW));
    const auto prefixed = ReferenceText(200, kRow, "A&B", text, 0x8024, GetSysColor(COLOR_WINDOWTEXT),
                                        GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(row, asTyped);
    EXPECT_NE(row, prefixed);

    // The caption's "&&" shows one "&": its inside equals the platform's
    // drawing with prefixes (edges excluded).
    const std::string caption =
        forms::TextToAnsi(L"\u5E73\u53F0&&\u9879\u76EE\u540D\u79F0      ").substr(0, 14);
    const RECT headerText{4, 0, 200 - 5, kHeader};
    const auto header = p.Region(2, 2, 190, kHeader - 2);
    const auto want = Picture{ReferenceText(200, kHeader, caption, headerText, 0x8024,
                                            GetSysColor(COLOR_BTNTEXT), GetSysColor(COLOR_BTNFACE)),
                              200}
                          .Region(2, 2, 190, kHeader - 2);
    EXPECT_EQ(header, want);
}

TEST_F(ListViewPaint, FocusFramesSolidAndDotted)
{
    FillProjects(list, 4);
    list.SetFocus();
    quill::test::PumpPosted();
    list.SelectedItem(2);
    const int end = 490;  // the columns' end
    const int top = RowTop(2);
    Picture p = Shot();
    for (const auto& [x, y] : {std::pair{0, top},
                               {end - 1, top},
                               {end - 1, top + kRow - 1},
                               {0, top + kRow - 1},
                               {200, top},
                               {200, top + kRow - 1},
                               {0, top + 10},
                               {end - 1, top + 10}})
        EXPECT_EQ(p.at(x, y), Highlight()) << x << "," << y;
    EXPECT_EQ(p.at(end, top), Window());  // the frame ends with the columns

    list.SolidFocusRect(false);
    p = Shot();
    // Dotted: every other pixel of the top edge inverted.
    int inverted = 0;
    for (int x = 100; x < 140; ++x)
        inverted += p.at(x, top) != Window();
    EXPECT_EQ(inverted, 20);

    // Without the focus, or disabled, no frame.
    list.Enabled(false);
    p = Shot();
    EXPECT_EQ(p.Other(100, top, 140, top + 1, Window()), 0);
}

TEST_F(ListViewPaint, CheckBoxesWithTheirExactTick)
{
    list.Checkboxes(true);
    FillProjects(list, 3);
    list.ItemChecked(1, true);
    list.ItemSelected(2, true);
    list.ItemChecked(2, true);
    const Picture p = Shot();
    for (int row = 0; row < 3; ++row) {
        const bool selected = row == 2;
        const uint32_t back = selected ? Highlight() : Window();
        const COLORREF ink = selected ? RGB(255, 255, 255) : RGB(0, 0, 0);
        const GridPoint o = CheckboxOrigin(0, RowTop(row), RowTop(row) + kRow);
        ASSERT_EQ(o.x, 3);
        // The platform draws the same squares and strokes with the same pen.
        quill::test::DibCanvas canvas(17, 17);
        forms::gdi::BrushHandle fill(CreateSolidBrush(back));
        RECT all{0, 0, 17, 17};
        FillRect(canvas.Dc(), &all, fill);
        forms::gdi::PenHandle pen(CreatePen(PS_SOLID, 1, ink));
        forms::gdi::Selection selected_pen(canvas.Dc(), pen);
        const int x = 2, y = 2;  // the origin inside the 17 x 17 reference
        const POINT inner[] = {{x, y}, {x + 12, y}, {x + 12, y + 12}, {x, y + 12}, {x, y}};
        const POINT outer[] = {
            {x - 1, y - 1}, {x + 13, y - 1}, {x + 13, y + 13}, {x - 1, y + 13}, {x - 1, y - 1}};
        Polyline(canvas.Dc(), inner, 5);
        Polyline(canvas.Dc(), outer, 5);
        if (row > 0) {
            for (const Stroke& s : TickStrokes) {
                MoveToEx(canvas.Dc(), x + s.from.x, y + s.from.y, nullptr);
                LineTo(canvas.Dc(), x + s.to.x, y + s.to.y);
            }
        }
        std::vector<uint32_t> want = canvas.Pixels();
        for (auto& w : want)
            w &= 0xFFFFFF;
        EXPECT_EQ(p.Region(o.x - 2, o.y - 2, o.x + 15, o.y + 15), want) << "row " << row;
        // A few of the strokes' own pixels, by hand.
        EXPECT_EQ(p.at(o.x, o.y), Rgb(ink));
        EXPECT_EQ(p.at(o.x + 13, o.y + 13), Rgb(ink));
        EXPECT_EQ(p.at(o.x + 9, o.y + 5), row > 0 ? Rgb(ink) : back);
        EXPECT_EQ(p.at(o.x + 3, o.y + 7), row > 0 ? Rgb(ink) : back);
        EXPECT_EQ(p.at(o.x + 8, o.y + 3), back);
    }
    // The text moves right by the box's 18 pixels: no ink left of 18 + 4 in row 0.
    EXPECT_EQ(p.Other(17, RowTop(0), 22, RowTop(1), Window()), 0);
}

TEST_F(ListViewPaint, PicturesSitCentredAtTheirPlace)
{
    const std::wstring file =
        WriteFramedBmp(L"quill_listview_pic.bmp", 16, 16, RGB(255, 0, 0), RGB(0, 0, 255));
    list.PictureWidth(16);
    list.PictureHeight(16);
    ASSERT_TRUE(list.AddPicture(file));
    DeleteFileW(file.c_str());
    list.AddColumn(L"a", L"A", 0, 120);
    list.AddItem(-1, L"", 0);
    list.AddItem(-1, L"", -1);
    list.AddItem(-1, L"", 5);  // past the one picture: drawn as none, nothing raised
    list.Checkboxes(true);
    const Picture p = Shot();
    const int top = RowTop(0);
    const int y = PictureTop(top, top + kRow, 16);
    EXPECT_EQ(y, top + 10);
    EXPECT_EQ(p.at(2, y), 0xFF0000u);  // the blue frame (red low)
    EXPECT_EQ(p.at(17, y + 15), 0xFF0000u);
    EXPECT_EQ(p.at(3, y + 1), 0x0000FFu);  // the red inside
    EXPECT_EQ(p.at(16, y + 14), 0x0000FFu);
    EXPECT_EQ(p.at(1, y), Window());
    EXPECT_EQ(p.at(18, y), Window());
    EXPECT_EQ(p.at(2, y - 1), Window());
    EXPECT_EQ(p.at(2, y + 16), Window());
    // The check box follows the picture's place in every row: 2 + 16 + 3 + 3.
    for (int row = 0; row < 3; ++row) {
        const GridPoint o = CheckboxOrigin(2 + 16 + 3, RowTop(row), RowTop(row) + kRow);
        EXPECT_EQ(o.x, 24);
        EXPECT_EQ(p.at(o.x, o.y), 0u) << row;
        EXPECT_EQ(p.at(o.x - 1, o.y - 1), 0u) << row;
    }
    EXPECT_EQ(p.Other(0, RowTop(1), 20, RowTop(3), Window()), 0);
}

TEST_F(ListViewPaint, FillersRightOfTheColumnsAndBelowTheRows)
{
    FillProjects(list, 2);
    list.ItemSelected(0, true);
    const Picture p = Shot();
    const int end = 490;
    const int right = host.ClientWidth();
    // Selected row 0: its filler keeps the list's back colour.
    EXPECT_EQ(p.Other(end, RowTop(0), right, RowTop(1), Window()), 0);
    EXPECT_EQ(p.Other(0, RowTop(2), right, host.ClientHeight(), Window()), 0);
    // The header's filler: raised at the top, no edge on the right.
    EXPECT_EQ(p.at(end + 5, 0), SysRgb(COLOR_3DLIGHT));
    EXPECT_EQ(p.at(end + 5, 1), SysRgb(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(p.at(right - 1, 10), Face());
    EXPECT_EQ(p.at(right - 2, 10), Face());
    EXPECT_EQ(p.at(end + 5, kHeader - 1), SysRgb(COLOR_3DDKSHADOW));
}

TEST_F(ListViewPaint, AnEmptyListShowsItsHeaderAndItsBackColour)
{
    list.AddColumn(L"a", L"A", 0, 100);
    list.BackColor(0x00C0FFEE);
    const Picture p = Shot();
    EXPECT_EQ(p.Other(0, kHeader, host.ClientWidth(), host.ClientHeight(), 0xC0FFEE), 0);
    EXPECT_EQ(p.at(50, 1), SysRgb(COLOR_BTNHIGHLIGHT));
}

TEST_F(ListViewPaint, AHiddenColumnLeavesNoGap)
{
    FillProjects(list, 2);
    const Picture before = Shot();
    list.ColumnVisible(1, false);
    const Picture after = Shot();
    // Column 2 (amounts) now starts where column 1 did.
    EXPECT_EQ(after.Region(90, 0, 180, RowTop(2)), before.Region(240, 0, 330, RowTop(2)));
}

TEST_F(ListViewPaint, BorderStyles)
{
    struct Case {
        int32_t style;
        LONG_PTR ex;
        int frame;  // pixels of frame on each side
    };
    for (const Case& c : {Case{0, 0, 0}, Case{1, WS_EX_STATICEDGE, 1}, Case{2, WS_EX_CLIENTEDGE, 2}}) {
        list.BorderStyle(c.style);
        quill::test::PumpPosted();
        EXPECT_EQ(GetWindowLongPtrW(host.hwnd(), GWL_EXSTYLE) &
                      (WS_EX_STATICEDGE | WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE),
                  c.ex)
            << c.style;
        RECT window{}, client{};
        GetWindowRect(host.hwnd(), &window);
        GetClientRect(host.hwnd(), &client);
        const int bar = GetSystemMetrics(SM_CXVSCROLL);
        EXPECT_EQ(window.right - window.left - client.right - bar, 2 * c.frame) << c.style;
        // The layout followed the new client size: the bottom filler reaches it.
        EXPECT_EQ(Shot().at(host.ClientWidth() - 1, host.ClientHeight() - 1), Window()) << c.style;
    }
    list.BorderStyle(7);  // stored, window left alone
    EXPECT_EQ(list.BorderStyle(), 7);
    EXPECT_EQ(GetWindowLongPtrW(host.hwnd(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, WS_EX_CLIENTEDGE);
}

// A hook that answers for chosen cells.
class Hook : public ICustomDraw {
public:
    int32_t back = -1, fore = -1;
    bool answer = true;
    bool CustomDraw(int32_t ItemIndex, int32_t ColumnIndex, int32_t& BackColor, int32_t& ForeColor) override
    {
        if (ItemIndex != 1)
            return false;
        BackColor = back;
        ForeColor = fore;
        return answer;
    }
};

TEST_F(ListViewPaint, TheColourHookPaintsChosenCells)
{
    FillProjects(list, 3);
    list.ItemSelected(1, true);
    Hook hook;
    list.DrawCallback(&hook);  // True with both -1: the normal unselected colours
    EXPECT_EQ(Shot().at(85, RowTop(1) + 2), Window());
    hook.back = 0x0000FF00;
    list.Refresh();
    const Picture p = Shot();
    EXPECT_EQ(p.at(85, RowTop(1) + 2), 0x00FF00u);
    EXPECT_EQ(p.at(85, RowTop(2) + 2), Window());
    // The same colour again makes no new objects.
    const long objects = forms::gdi::LiveObjects();
    for (int i = 0; i < 20; ++i)
        list.Refresh();
    EXPECT_EQ(forms::gdi::LiveObjects(), objects);
    list.DrawCallback(nullptr);
    EXPECT_EQ(Shot().at(85, RowTop(1) + 2), Highlight());
}

TEST_F(ListViewPaint, ColumnsAutoSizeFillTheClientWithoutAHorizontalBar)
{
    FillProjects(list, 2);
    list.ColumnWidth(0, 900);  // wider than the list: a bar
    EXPECT_TRUE(GetWindowLongPtrW(host.hwnd(), GWL_STYLE) & WS_HSCROLL);
    list.ColumnsAutoSize(true);
    EXPECT_FALSE(GetWindowLongPtrW(host.hwnd(), GWL_STYLE) & WS_HSCROLL);
    const Picture p = Shot();
    // No filler: the last column reaches the right edge, no edge without a right side.
    EXPECT_EQ(p.at(host.ClientWidth() - 1, kHeader - 1), SysRgb(COLOR_3DDKSHADOW));
}

// ---- GDI objects

TEST_F(ListViewPaint, TenThousandRepaintsLeaveNoObjectBehind)
{
    list.Checkboxes(true);
    FillProjects(list, 30);
    list.SetFocus();
    list.Refresh();
    const long objects = forms::gdi::LiveObjects();
    for (int i = 0; i < 10000; ++i) {
        if (i % 2) {
            list.SelectedItem(i % 30);
        } else {
            InvalidateRect(host.hwnd(), nullptr, FALSE);
            UpdateWindow(host.hwnd());
        }
    }
    EXPECT_EQ(forms::gdi::LiveObjects(), objects);
    for (int i = 0; i < 200; ++i) {
        list.FocusRectColor(static_cast<forms::OleColor>(i * 0x010203));
        list.BackColor(static_cast<forms::OleColor>(i * 0x030201));
        list.Font()->Size(9 + i % 5);
    }
    EXPECT_EQ(forms::gdi::LiveObjects(), objects);
}

TEST(ListViewLifetime, AThousandListsComeAndGoWithoutObjectsLeft)
{
    const forms::PropertyBag design = MainWindowDesign();
    forms::Loaded<ListView> list;
    quill::test::HostForm<> form(
        [](auto&) {}, forms::FormArgs{.caption = L"lives", .clientWidth = 4000, .clientHeight = 3000});
    form.Load();
    const auto live = [&] {
        list.Load(form, {.name = L"ListView", .width = 3000, .height = 2000}, &design);
        FillProjects(*list, 5);
        list->FocusRectColor(0xFF);
        list.UnloadAll();
    };
    live();  // what stays for the process (the first font, classes) is made here
    const long objects = forms::gdi::LiveObjects();
    for (int i = 0; i < 1000; ++i)
        live();
    EXPECT_EQ(forms::gdi::LiveObjects(), objects);
    form.Unload();
}

// The focus pen is deleted only after the back buffer's own pen is back in.
TEST(ListViewDrawingObjects, APenIsDeletedOnlyOnceNoDcHoldsIt)
{
    quill::test::HostForm<> form([](auto&) {}, forms::FormArgs{.caption = L"pens"});
    form.Load();
    Color colour;
    HPEN first = nullptr;
    {
        BackBuffer buffer(form.hWnd());
        ASSERT_TRUE(colour.SetColor(0xFF, false, true));
        first = colour.GDIPen();
        buffer.SelectPen(first);
        EXPECT_EQ(GetCurrentObject(buffer.Dc(), OBJ_PEN), first);
        buffer.RestorePen();
        ASSERT_TRUE(colour.SetColor(0xFF00, false, true));
        EXPECT_EQ(GetObjectType(first), 0u);  // really gone, not kept alive by a DC
        buffer.SelectPen(colour.GDIPen());
    }
    EXPECT_EQ(GetObjectType(colour.GDIPen()), static_cast<DWORD>(OBJ_PEN));
    colour.Dispose();
    form.Unload();
}

HBITMAP WINAPI RefusedBitmap(HDC, int, int)
{
    return nullptr;
}

TEST(ListViewDrawingObjects, AFailedBitmapKeepsTheOneBeforeAndSizesAreCapped)
{
    quill::test::HostForm<> form([](auto&) {}, forms::FormArgs{.caption = L"buffer"});
    form.Load();
    BackBuffer buffer(form.hWnd());
    ASSERT_TRUE(buffer.Resize(300, 200));
    const HGDIOBJ bitmap = GetCurrentObject(buffer.Dc(), OBJ_BITMAP);
    {
        quill::test::ImportPatch refuse("gdi32.dll", "CreateCompatibleBitmap",
                                        reinterpret_cast<void*>(&RefusedBitmap));
        ASSERT_TRUE(refuse.Patched());
        EXPECT_FALSE(buffer.Resize(400, 300));
    }
    EXPECT_EQ(GetCurrentObject(buffer.Dc(), OBJ_BITMAP), bitmap);
    EXPECT_EQ(buffer.Width(), 300);
    EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));

    EXPECT_TRUE(buffer.Resize(100000, 10));
    EXPECT_EQ(buffer.Width(), BackBuffer::MaxWidth);
    form.Unload();
}

}  // namespace
}  // namespace quill::listview::test
