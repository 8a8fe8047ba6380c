// The list view's geometry without a window: row height, visible rows, row
// and column hit tests, auto-sized and clamped column widths, check box and
// picture places, and the bytes of a text that are drawn.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/listview/ListGeometry.h"
#include "forms/lang/Ansi.h"

namespace quill::listview {
namespace {

struct ColumnSpec {
    int32_t width;
    bool resizable = true;
    bool visible = true;
};

ColumnCollection Columns(std::initializer_list<ColumnSpec> specs)
{
    ColumnCollection columns;
    for (const ColumnSpec& spec : specs) {
        Column& c = columns.Add();
        c.Width = spec.width;
        c.Resizable = spec.resizable;
        c.Visible = spec.visible;
    }
    return columns;
}

std::vector<int32_t> AutoWidths(const ColumnCollection& columns)
{
    std::vector<int32_t> widths;
    for (int32_t i = 0; i < columns.Count(); ++i)
        widths.push_back(columns.Item(i)->WidthAutoSized);
    return widths;
}

TEST(ListGeometry, RowHeight)
{
    struct Case {
        const char* what;
        RowHeightInputs in;
        int32_t height;
    };
    const Case cases[] = {
        {"12 pt at 96 dpi, padding 4 and 15",
         {.itemsAutoSize = false, .fontHeight = 16, .paddingTop = 4, .paddingBottom = 15},
         35},
        {"the main window's 11 pt font",
         {.itemsAutoSize = false, .fontHeight = 15, .paddingTop = 4, .paddingBottom = 15},
         34},
        {"auto: font plus 4", {.fontHeight = 15}, 19},
        {"auto: check boxes need 19", {.fontHeight = 8, .checkboxes = true}, 19},
        {"auto: pictures need their height plus 3",
         {.fontHeight = 12, .picturesShown = true, .pictureHeight = 32},
         35},
        {"auto: hidden pictures do not count",
         {.fontHeight = 12, .picturesShown = false, .pictureHeight = 32},
         16},
        {"auto: nothing to show still one pixel", {.fontHeight = -4}, 1},
        {"negative paddings from a stored layout",
         {.itemsAutoSize = false, .fontHeight = 15, .paddingTop = -10, .paddingBottom = -10},
         1},
        {"exactly zero", {.itemsAutoSize = false, .fontHeight = 0}, 1},
        {"huge paddings stay in range",
         {.itemsAutoSize = false, .fontHeight = 15, .paddingTop = 2147483647, .paddingBottom = 2147483647},
         2147483647},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ItemHeight(c.in), c.height) << c.what;
}

TEST(ListGeometry, VisibleRowsCountAPartlyCoveredRowAndRoundHalvesToEven)
{
    // (bottom - top + 1) / height, plus a half, rounded halves to even.
    EXPECT_EQ(VisibleRowCount(0, 49, 10), 6);   // exactly 5
    EXPECT_EQ(VisibleRowCount(0, 39, 10), 4);   // exactly 4
    EXPECT_EQ(VisibleRowCount(0, 100, 20), 6);  // 5.05
    EXPECT_EQ(VisibleRowCount(23, 400, 34), 12);
    EXPECT_EQ(VisibleRowCount(0, 10, 0), 12);  // a zero height is taken as one pixel
}

TEST(ListGeometry, RowUnderAPoint)
{
    // Item area from 23, rows 34 high, row 10 at the top.
    EXPECT_EQ(RowAt(23 + 5, 23, 34, 10), 10);
    EXPECT_EQ(RowAt(23 + 33, 23, 34, 10), 10);
    EXPECT_EQ(RowAt(23 + 34, 23, 34, 10), 10);  // top edge of visible row 1 counts to the row above
    EXPECT_EQ(RowAt(23 + 35, 23, 34, 10), 11);
    EXPECT_EQ(RowAt(23 + 68, 23, 34, 10), 12);   // visible row 2 is even: its own
    EXPECT_EQ(RowAt(23 + 102, 23, 34, 10), 12);  // row 3 is odd again
    EXPECT_EQ(RowAt(10, 23, 34, 0), -1);         // in the header
    EXPECT_EQ(RowAt(5000, 23, 0, 0), 4976);      // a zero height is taken as one pixel
}

TEST(ListGeometry, AutoSizedColumnsShareWhatTheFixedOnesLeave)
{
    ColumnCollection columns = Columns({{100}, {50, false}, {300}, {70, true, false}});
    AutoSizeColumns(columns, 450);
    // 400 left for 100 : 300; the hidden column keeps what it had.
    EXPECT_EQ(AutoWidths(columns), (std::vector<int32_t>{100, 50, 300, 0}));
    EXPECT_EQ(TotalColumnWidth(columns, true, 450), 450);

    // The last column is cut so that the columns never exceed the client.
    ColumnCollection rounding = Columns({{1}, {1}, {1}});
    AutoSizeColumns(rounding, 100);  // each 33.33 + 0.5 rounds to 34
    EXPECT_EQ(AutoWidths(rounding), (std::vector<int32_t>{34, 34, 32}));

    // No resizable width to share: 0 instead of 0 / 0.
    ColumnCollection none = Columns({{0}, {0}, {80, false}});
    AutoSizeColumns(none, 300);
    EXPECT_EQ(AutoWidths(none), (std::vector<int32_t>{0, 0, 80}));

    // Fixed columns wider than the client leave a negative share; painting
    // takes such a width as 0.
    ColumnCollection crowded = Columns({{500, false}, {100}});
    AutoSizeColumns(crowded, 300);
    EXPECT_EQ(LaidOutWidth(*crowded.Item(1), true), 0);
}

TEST(ListGeometry, WidthsAreClampedAndSummedWithoutOverflow)
{
    ColumnCollection columns = Columns({{-40}, {100000}, {120}});
    EXPECT_EQ(LaidOutWidth(*columns.Item(0), false), 0);
    EXPECT_EQ(LaidOutWidth(*columns.Item(1), false), MaxColumnWidth);
    EXPECT_EQ(TotalColumnWidth(columns, false, 10), MaxColumnWidth + 120);
    EXPECT_EQ(ColumnLeft(columns, false, 2), MaxColumnWidth);

    ColumnCollection many;
    for (int i = 0; i < 70000; ++i) {
        Column& c = many.Add();
        c.Width = MaxColumnWidth;
        c.Visible = true;
    }
    EXPECT_EQ(TotalColumnWidth(many, false, 10), 2147483647);
}

TEST(ListGeometry, ColumnUnderAPointWalksTheVisibleColumnsAsPainted)
{
    // 100 | hidden 50 | 200: painted side by side as 0-99 and 100-299.
    ColumnCollection columns = Columns({{100}, {50, true, false}, {200}});
    const int32_t total = TotalColumnWidth(columns, false, 0);
    ASSERT_EQ(total, 300);
    EXPECT_EQ(ColumnAt(columns, false, 0, total), 0);
    EXPECT_EQ(ColumnAt(columns, false, 99, total), 0);
    EXPECT_EQ(ColumnAt(columns, false, 100, total), 2);
    EXPECT_EQ(ColumnAt(columns, false, 149, total), 2);
    EXPECT_EQ(ColumnAt(columns, false, 299, total), 2);
    EXPECT_EQ(ColumnAt(columns, false, 300, total), -1);
    EXPECT_EQ(ColumnAt(columns, false, -5, total), 0);
    EXPECT_EQ(ColumnLeft(columns, false, 2), 100);

    // Auto-sized: the widths the layout gave.
    AutoSizeColumns(columns, 600);
    EXPECT_EQ(ColumnAt(columns, true, 250, 600), 2);
    EXPECT_EQ(ColumnAt(columns, true, 150, 600), 0);
}

TEST(ListGeometry, HeaderPressesFindEdgesAndButtons)
{
    ColumnCollection columns = Columns({{100}, {50, true, false}, {200}});
    struct Case {
        int32_t x;
        HeaderHit::Kind kind;
        int32_t column;
    };
    const Case cases[] = {
        {3, HeaderHit::Nothing, -1},  // next to the list's left edge
        {6, HeaderHit::Button, 0},     {94, HeaderHit::Button, 0},
        {95, HeaderHit::Nothing, -1},  // 5 from the edge: neither
        {96, HeaderHit::Edge, 0},      {100, HeaderHit::Edge, 0},
        {104, HeaderHit::Edge, 0},     {105, HeaderHit::Nothing, -1},
        {106, HeaderHit::Button, 2},   {294, HeaderHit::Button, 2},
        {296, HeaderHit::Edge, 2},     {304, HeaderHit::Edge, 2},
        {305, HeaderHit::Nothing, -1},
    };
    for (const Case& c : cases) {
        const HeaderHit hit = HitHeader(columns, false, c.x);
        EXPECT_EQ(hit.kind, c.kind) << "x " << c.x;
        EXPECT_EQ(hit.column, c.column) << "x " << c.x;
    }
}

TEST(ListGeometry, CheckboxAndPicturePlaces)
{
    // A 34-pixel row under a 23-pixel header: (23 + 57) / 2 - 6.5 = 33.5 rounds to 34.
    EXPECT_EQ(CheckboxOrigin(0, 23, 57), (GridPoint{3, 34}));
    EXPECT_EQ(CheckboxOrigin(21, 57, 91), (GridPoint{24, 68}));  // 67.5 rounds to 68
    EXPECT_EQ(CheckboxBand(false, 16).from, 3);
    EXPECT_EQ(CheckboxBand(false, 16).to, 15);
    EXPECT_TRUE(CheckboxBand(true, 16).Contains(25));
    EXPECT_FALSE(CheckboxBand(true, 16).Contains(24));
    EXPECT_FALSE(CheckboxBand(true, 16).Contains(36));
    EXPECT_EQ(PictureTop(23, 57, 16), 33);  // Int(40 - 8) + 1
    EXPECT_EQ(PictureTop(0, 19, 16), 2);    // Int(9.5 - 8) + 1
}

TEST(ListGeometry, DrawnBytesNeverExceedTheConvertedText)
{
    // As many bytes as characters: a double-byte text shows its first half
    // unless the caller pads it with one blank per character.
    EXPECT_EQ(DrawnBytes(L"abc"), "abc");
    EXPECT_EQ(DrawnBytes(L"\u5E73\u53F0"), forms::TextToAnsi(L"\u5E73"));
    EXPECT_EQ(DrawnBytes(L"\u5E73\u53F0  "), forms::TextToAnsi(L"\u5E73\u53F0"));
    const std::wstring loneSurrogate{L'a', static_cast<wchar_t>(0xD800)};
    for (const std::wstring& text : {std::wstring(), std::wstring(L"\U0001F600"), loneSurrogate,
                                     std::wstring(L"\uAC00\uAC00"), std::wstring(L"A&B")}) {
        const std::string converted = forms::TextToAnsi(text);
        EXPECT_LE(DrawnBytes(text).size(), converted.size());
        EXPECT_EQ(DrawnBytes(text), converted.substr(0, std::min(text.size(), converted.size())));
    }
}

TEST(ListGeometry, FaceNamesAreCutAtACharacterBoundaryWithinThirtyOneBytes)
{
    EXPECT_EQ(FaceNameBytes(L"Verdana"), "Verdana");
    EXPECT_EQ(FaceNameBytes(L"\u5B8B\u4F53"), forms::TextToAnsi(L"\u5B8B\u4F53"));
    const std::wstring ascii(40, L'a');
    EXPECT_EQ(FaceNameBytes(ascii), std::string(31, 'a'));
    // Sixteen double-byte characters are 32 bytes: the sixteenth does not fit.
    const std::wstring wide(16, L'\u5B8B');
    EXPECT_EQ(FaceNameBytes(wide), forms::TextToAnsi(std::wstring(15, L'\u5B8B')));
    EXPECT_EQ(FaceNameBytes(L"a" + wide).size(), 31u);
    EXPECT_EQ(FaceNameBytes(L""), "");
}

}  // namespace
}  // namespace quill::listview
