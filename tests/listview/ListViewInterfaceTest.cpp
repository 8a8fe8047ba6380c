// The list view as a host sees it: rows, columns and their errors, the focus
// row's bookkeeping, key lookups, painting switched off, the stored design
// with its defaults, the reports of changed properties and the font object.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ListViewHost.h"
#include "forms/lang/Error.h"
#include "tests/support/ErrorNumber.h"

namespace quill::listview::test {
namespace {

using quill::test::ErrorOf;
using Texts = std::vector<std::wstring>;

// The texts of column 0, row by row.
Texts FirstCells(const ListView& list)
{
    Texts cells;
    for (int32_t i = 0; i < list.ItemCount(); ++i)
        cells.push_back(list.ItemText(i, 0));
    return cells;
}

std::wstring DescriptionOf(const std::function<void()>& step)
{
    try {
        step();
    } catch (const forms::RuntimeError& e) {
        return e.Description();
    }
    return {};
}

class ListViewInterface : public testing::Test {
protected:
    forms::PropertyBag design = MainWindowDesign();
    ListHost host{&design};
    ListView& list = host.list();

    void ThreeColumns()
    {
        list.AddColumn(L"a", L"A");
        list.AddColumn(L"b", L"B");
        list.AddColumn(L"c", L"C");
    }
    void Rows(std::initializer_list<const wchar_t*> texts)
    {
        for (const wchar_t* t : texts)
            list.AddItem(-1, t);
    }
};

TEST_F(ListViewInterface, AddingRowsNeedsColumnsAndColumnsNeedNoRows)
{
    EXPECT_EQ(ErrorOf([&] { list.AddItem(); }), 31);
    EXPECT_EQ(DescriptionOf([&] { list.AddItem(); }), L"can not add items when there are no columns");
    EXPECT_EQ(list.ItemCount(), 0);

    ThreeColumns();
    Rows({L"x"});
    EXPECT_EQ(ErrorOf([&] { list.AddColumn(L"d"); }), 33);
    EXPECT_EQ(ErrorOf([&] { list.RemoveColumn(0); }), 33);
    EXPECT_EQ(DescriptionOf([&] { list.RemoveColumn(0); }),
              L"can not add or remove columns when there are items");
    EXPECT_EQ(list.ColumnCount(), 3);

    list.Clear();
    list.AddColumn(L"d");
    list.RemoveColumn(L"a");
    EXPECT_EQ(list.ColumnCount(), 3);
    EXPECT_EQ(list.ColumnKey(0), L"b");
}

TEST_F(ListViewInterface, BadPositionsRaiseNineOrNinetyOneAndChangeNothing)
{
    ThreeColumns();
    Rows({L"r0", L"r1"});
    list.ItemTag(1, 5);
    struct Case {
        const char* what;
        std::function<void()> step;
        int error;
    };
    const Case cases[] = {
        {"ItemTag of row -1", [&] { list.ItemTag(-1); }, 9},
        {"ItemTag of an empty slot", [&] { list.ItemTag(2); }, 91},
        {"ItemTag past the storage", [&] { list.ItemTag(1000); }, 9},
        {"writing ItemText of an empty slot", [&] { list.ItemText(5, 0, L"x"); }, 91},
        {"ItemText of cell 3", [&] { list.ItemText(0, 3); }, 9},
        {"writing cell 3", [&] { list.ItemText(0, 3, L"x"); }, 9},
        {"ItemSelected of an empty slot", [&] { list.ItemSelected(2, true); }, 91},
        {"ItemChecked of row -1", [&] { list.ItemChecked(-1, true); }, 9},
        {"RemoveItem of the row count", [&] { list.RemoveItem(2); }, 9},
        {"RemoveItem of -1", [&] { list.RemoveItem(-1); }, 9},
        {"MoveItem past the rows", [&] { list.MoveItem(0, 2); }, 9},
        {"ColumnKey of a missing key", [&] { list.ColumnKey(L"zz"); }, 9},
        {"ColumnCaption of column 3", [&] { list.ColumnCaption(3, L"x"); }, 9},
        {"ColumnWidth of column -1", [&] { list.ColumnWidth(-1, 10); }, 9},
        {"ColumnVisible of a missing key", [&] { list.ColumnVisible(L"nope", false); }, 9},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ErrorOf(c.step), c.error) << c.what;
        EXPECT_EQ(FirstCells(list), (Texts{L"r0", L"r1"})) << c.what;
        EXPECT_EQ(list.ItemTag(1), 5) << c.what;
        EXPECT_EQ(list.ColumnCount(), 3) << c.what;
        EXPECT_EQ(list.ColumnCaption(0), L"A") << c.what;
        EXPECT_EQ(list.ColumnWidth(0), 300) << c.what;
        EXPECT_TRUE(list.ColumnVisible(L"b")) << c.what;
    }

    // After a removal the column array keeps its slot: 91 until the next add.
    list.Clear();
    list.RemoveColumn(2);
    EXPECT_EQ(ErrorOf([&] { list.ColumnCaption(2); }), 91);
    EXPECT_EQ(ErrorOf([&] { list.RemoveColumn(2); }), 9);
    EXPECT_EQ(ErrorOf([&] { list.ColumnCaption(3); }), 9);
}

TEST_F(ListViewInterface, AddItemDefaultsAndTheFocusRowFollowsInsertsAndRemovals)
{
    ThreeColumns();
    EXPECT_EQ(list.AddItem(), 0);
    EXPECT_EQ(list.ItemText(0, 0), L"");
    EXPECT_EQ(list.ItemText(0, 2), L"");
    Rows({L"1", L"2", L"3", L"4"});
    EXPECT_EQ(list.AddItem(-1, L"5", 2), 5);

    list.SelectedItem(3);
    list.AddItem(0, L"first");
    EXPECT_EQ(list.SelectedItem(), 4);
    list.AddItem(5, L"after");
    EXPECT_EQ(list.SelectedItem(), 4);
    list.AddItem();
    EXPECT_EQ(list.SelectedItem(), 4);
    const int32_t count = list.ItemCount();
    EXPECT_EQ(list.AddItem(count, L"end"), count);

    list.Clear();
    EXPECT_EQ(list.SelectedItem(), -1);
    Rows({L"0", L"1", L"2", L"3", L"4"});
    list.SelectedItem(4);
    list.RemoveItem(4);
    EXPECT_EQ(list.SelectedItem(), 3);
    list.RemoveItem(1);
    EXPECT_EQ(list.SelectedItem(), 2);
    EXPECT_EQ(FirstCells(list), (Texts{L"0", L"2", L"3"}));
    list.SelectedItem(1);
    list.RemoveItem(1);  // the focus row itself: the row that took its place
    EXPECT_EQ(list.SelectedItem(), 1);
    EXPECT_EQ(list.ItemText(1, 0), L"3");

    list.Clear();
    Rows({L"only"});
    list.SelectedItem(0);
    list.RemoveItem(0);
    EXPECT_EQ(list.SelectedItem(), -1);

    Rows({L"a", L"b", L"c", L"d", L"e"});
    list.SelectedItem(0);
    list.MoveItem(0, 4);
    EXPECT_EQ(list.SelectedItem(), 0);
    EXPECT_EQ(FirstCells(list), (Texts{L"b", L"c", L"d", L"e", L"a"}));

    // Written unchecked.
    list.SelectedItem(77);
    EXPECT_EQ(list.SelectedItem(), 77);
}

TEST_F(ListViewInterface, ColumnIndexMatchesKeysExactlyWhileOtherMembersIgnoreCase)
{
    list.AddColumn(L"Name", L"first");
    list.AddColumn(L"amount", L"second");
    list.AddColumn(L"name", L"third");
    list.AddColumn(L"amount", L"fourth");
    EXPECT_EQ(list.ColumnIndex(L"amount"), 3);  // the later of two alike
    EXPECT_EQ(list.ColumnIndex(L"Name"), 0);
    EXPECT_EQ(list.ColumnIndex(L"NAME"), 0);  // no match: 0
    EXPECT_EQ(list.ColumnIndex(L"missing"), 0);
    EXPECT_EQ(list.ColumnCaption(L"NAME"), L"first");  // the first, case ignored
    EXPECT_EQ(list.ColumnCaption(L"2"), L"third");     // a number is a position
}

TEST_F(ListViewInterface, SortByKeyDoesNotRepaintAndUnknownKeysSortByColumnZero)
{
    list.AddColumn(L"k0");
    list.AddColumn(L"k1");
    for (const auto& [a, b] : {std::pair{L"b", L"2"}, {L"A", L"3"}, {L"c", L"1"}}) {
        const int32_t row = list.AddItem(-1, a);
        list.ItemText(row, 1, b);
    }
    list.Sort(L"k1", 0);
    EXPECT_EQ(FirstCells(list), (Texts{L"c", L"b", L"A"}));
    list.Sort(L"nothing", 1);
    EXPECT_EQ(FirstCells(list), (Texts{L"c", L"b", L"A"}));
    list.Sort(L"nothing", 0);
    EXPECT_EQ(FirstCells(list), (Texts{L"A", L"b", L"c"}));
}

TEST_F(ListViewInterface, SelectAllOnlyWithMultiSelect)
{
    ThreeColumns();
    Rows({L"a", L"b", L"c"});
    list.SelectAll();
    EXPECT_TRUE(list.ItemSelected(0) && list.ItemSelected(1) && list.ItemSelected(2));
    list.UnSelectAll();
    EXPECT_FALSE(list.ItemSelected(0) || list.ItemSelected(1) || list.ItemSelected(2));
    list.MultiSelect(false);
    list.SelectAll();
    EXPECT_FALSE(list.ItemSelected(0) || list.ItemSelected(1) || list.ItemSelected(2));
}

TEST_F(ListViewInterface, UnSelectAllFindsEverySelectedRowWhereverItWent)
{
    FillProjects(list, 12);
    list.ItemSelected(3, true);
    list.ItemSelected(7, true);
    list.ItemSelected(9, true);
    list.RemoveItem(7);   // a selected row goes
    list.MoveItem(9, 0);  // the last selected moves
    list.Sort(L"name", 1);
    list.UnSelectAll();
    for (int32_t i = 0; i < list.ItemCount(); ++i)
        EXPECT_FALSE(list.ItemSelected(i)) << i;

    list.ItemSelected(5, true);
    list.RemoveItem(5);  // the row selected last is gone
    list.ItemSelected(2, true);
    list.ItemSelected(2, true);  // selected twice counts once
    list.MoveItem(2, 8);
    list.UnSelectAll();
    for (int32_t i = 0; i < list.ItemCount(); ++i)
        EXPECT_FALSE(list.ItemSelected(i)) << i;
    list.SelectAll();
    list.Clear();
    FillProjects(list, 3);
    list.ItemSelected(1, true);
    list.UnSelectAll();
    EXPECT_FALSE(list.ItemSelected(1));

    // An unselected row that goes leaves the count of selected rows as it was.
    FillProjects(list, 3);
    list.ItemSelected(0, true);
    list.ItemSelected(4, true);
    list.RemoveItem(2);
    list.UnSelectAll();
    for (int32_t i = 0; i < list.ItemCount(); ++i)
        EXPECT_FALSE(list.ItemSelected(i)) << i;
}

TEST_F(ListViewInterface, PicturesThatCannotBeReadStillTakeTheirPlace)
{
    EXPECT_EQ(list.PictureCount(), 0);
    EXPECT_FALSE(list.AddPicture(L"Z:\\no\\such\\picture.png"));
    EXPECT_EQ(list.PictureCount(), 1);
    EXPECT_FALSE(list.AddPictureFromRes(9999, L"CUSTOM"));
    EXPECT_EQ(list.PictureCount(), 2);
}

TEST_F(ListViewInterface, HitTestsFindTheColumnsAsTheyArePainted)
{
    FillProjects(list, 3);  // 90, 150, 90, 70, 90
    list.ColumnVisible(1, false);
    EXPECT_EQ(list.ColumnFromPoint(89, 0), 0);
    EXPECT_EQ(list.ColumnFromPoint(90, 0), 2);  // the hidden column takes no room
    EXPECT_EQ(list.ColumnFromPoint(339, 0), 4);
    EXPECT_EQ(list.ColumnFromPoint(340, 0), -1);
    EXPECT_EQ(list.RowFromPoint(10, 23 + 34 + 5), 1);
    EXPECT_EQ(list.RowFromPoint(10, 23 + 34), 0);  // the top edge of visible row 1
    EXPECT_EQ(list.RowFromPoint(10, 23 + 3 * 34 + 5, true), -1);
    EXPECT_EQ(list.RowFromPoint(10, 23 + 3 * 34 + 5), 3);
    EXPECT_EQ(list.RowFromPoint(345, 30, true), -1);
    EXPECT_EQ(list.RowFromPoint(10, 5, true), -1);
}

TEST_F(ListViewInterface, StoredLayoutsThatWouldDivideByZeroAreHarmless)
{
    // Paddings that leave rows no height, a face name longer than a LOGFONT
    // holds, and auto-sized columns without any width to share.
    const std::wstring longFace(40, L'\u5B8B');
    const forms::PropertyBag stored{{L"ItemsAutoSize", false},
                                    {L"ItemPaddingTop", -40},
                                    {L"ItemPaddingBottom", -40},
                                    {L"ColumnsAutoSize", true},
                                    {L"Font", forms::Font::New(longFace, 11)}};
    ListHost odd(&stored, {.left = 10, .top = 320, .width = 300, .height = 150});
    EXPECT_EQ(odd->ItemHeight(), 1);
    odd->AddColumn(L"a", L"A", 0, 0);
    odd->AddColumn(L"b", L"B", 0, 0);
    for (int i = 0; i < 300; ++i)
        odd->AddItem(-1, L"row");
    EXPECT_EQ(odd->RowFromPoint(5, 100), 76);  // (100 - 23) / 1 - 0.5, rounded to even
    SendMessageW(odd.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 100));
    SendMessageW(odd.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 100));
    SendMessageW(odd.hwnd(), WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_GE(odd->SelectedItem(), 0);
    EXPECT_EQ(odd->ColumnFromPoint(5, 5), 0);
    EXPECT_EQ(odd.Pixel(5, 1), SysRgb(COLOR_BTNHIGHLIGHT));  // the header is painted
}

// ---- painting off

// Counts the paints of the list: the colour hook is asked for every painted
// cell, so row 0, column 0 once per paint.
class PaintCounter : public ICustomDraw {
public:
    int paints = 0;
    bool CustomDraw(int32_t ItemIndex, int32_t ColumnIndex, int32_t&, int32_t&) override
    {
        if (ItemIndex == 0 && ColumnIndex == 0)
            ++paints;
        return false;
    }
};

TEST_F(ListViewInterface, WithRedrawOffNothingIsPaintedWhileTheVerticalBarFollows)
{
    FillProjects(list, 3);
    PaintCounter counter;
    list.DrawCallback(&counter);
    ASSERT_EQ(counter.paints, 1);
    const std::vector<uint32_t> before = host.Pixels();

    list.Redraw(false);
    for (int i = 0; i < 40; ++i)
        list.AddItem(0, L"new" + std::to_wstring(i));
    list.ItemText(0, 1, L"changed");
    InvalidateRect(host.hwnd(), nullptr, FALSE);
    UpdateWindow(host.hwnd());
    EXPECT_EQ(counter.paints, 1);
    EXPECT_EQ(host.Pixels(), before);
    // 43 rows; the item area from 23 to 298 shows (276 / 34 + 0.5, rounded)
    // 9 of them: Max 34.
    const SCROLLINFO bar = Bar(host.hwnd(), SB_VERT);
    EXPECT_EQ(static_cast<int>(bar.nMax - bar.nPage), 43 - 9);

    list.Redraw(true);
    EXPECT_EQ(counter.paints, 2);
    EXPECT_NE(host.Pixels(), before);
    list.DrawCallback(nullptr);
}

// Counts the passes of the painter over the rows, whichever rows show: a
// pass asks for the cells row by row, so a row no later than the one before
// starts the next pass.
class PassCounter : public ICustomDraw {
public:
    int passes = 0;
    bool CustomDraw(int32_t ItemIndex, int32_t ColumnIndex, int32_t&, int32_t&) override
    {
        if (ColumnIndex == 0) {
            if (ItemIndex <= last_)
                ++passes;
            last_ = ItemIndex;
        }
        return false;
    }
    void Reset()
    {
        passes = 0;
        last_ = -1;
    }

private:
    int32_t last_ = -1;
};

TEST_F(ListViewInterface, AKeyThatScrollsPaintsOnce)
{
    FillProjects(list, 40);
    PassCounter counter;
    list.DrawCallback(&counter);
    list.SelectedItem(0);
    for (int i = 0; i < 10; ++i) {
        counter.Reset();
        SendMessageW(host.hwnd(), WM_KEYDOWN, VK_DOWN, 0);  // scrolls from row 8 on
        EXPECT_EQ(counter.passes, 0) << i;                  // the first pass counts from the second
    }
    EXPECT_EQ(list.SelectedItem(), 10);
    EXPECT_EQ(Bar(host.hwnd(), SB_VERT).nPos, 3);
    list.DrawCallback(nullptr);
}

// Records the rows one painting pass draws.
class RowRecorder : public ICustomDraw {
public:
    std::vector<int32_t> rows;
    bool CustomDraw(int32_t ItemIndex, int32_t ColumnIndex, int32_t&, int32_t&) override
    {
        if (ColumnIndex == 0)
            rows.push_back(ItemIndex);
        return false;
    }
};

TEST_F(ListViewInterface, ARefilledListShowsItsFirstRowsAlsoWhenDisabled)
{
    // Scrolled to the end of 40 rows, disabled, emptied and filled again: the
    // list starts at its first row, as it does while enabled, and not where
    // the disabled bar (which cannot scroll) was left. 9 rows and a part
    // show.
    struct Case {
        int rows;
        int lastShown;
    } cases[] = {{3, 2}, {20, 9}};
    for (const Case& c : cases) {
        list.Enabled(true);
        list.Clear();
        FillProjects(list, 40);
        SendMessageW(host.hwnd(), WM_VSCROLL, SB_BOTTOM, 0);
        ASSERT_EQ(Bar(host.hwnd(), SB_VERT).nPos, 40 - 9) << c.rows;
        list.Enabled(false);
        list.Clear();
        FillProjects(list, c.rows);
        for (bool enabled : {false, true}) {
            SCOPED_TRACE(std::to_string(c.rows) + (enabled ? " rows, enabled" : " rows, disabled"));
            list.Enabled(enabled);
            RowRecorder painted;
            list.DrawCallback(&painted);
            list.Refresh();
            list.DrawCallback(nullptr);
            ASSERT_FALSE(painted.rows.empty());
            EXPECT_EQ(painted.rows.front(), 0);
            EXPECT_EQ(painted.rows.back(), c.lastShown);
            EXPECT_EQ(Bar(host.hwnd(), SB_VERT).nPos, 0);
        }
    }
}

TEST_F(ListViewInterface, RowsRemovedWhileDisabledLeaveTheLastRowInSight)
{
    // Scrolled to the end of 40 rows, disabled, cut to 20: the range follows
    // the rows, so the list shows its end instead of a position past it.
    FillProjects(list, 40);
    SendMessageW(host.hwnd(), WM_VSCROLL, SB_BOTTOM, 0);
    list.Enabled(false);
    while (list.ItemCount() > 20)
        list.RemoveItem(list.ItemCount() - 1);
    RowRecorder painted;
    list.DrawCallback(&painted);
    list.Refresh();
    list.DrawCallback(nullptr);
    ASSERT_FALSE(painted.rows.empty());
    // The highest position is one past the last full page.
    EXPECT_EQ(painted.rows.front(), 20 - 9 + 1);
    EXPECT_EQ(painted.rows.back(), 19);
}

// ---- stored design

TEST_F(ListViewInterface, ANewControlStoresItsPictureSizeAgainstTheStoredDefault)
{
    ListHost fresh(nullptr, {.left = 10, .top = 320, .width = 200, .height = 100});
    EXPECT_EQ(fresh->PictureWidth(), 16);
    forms::PropertyBag saved;
    fresh->SaveProperties(saved);
    std::vector<std::wstring> keys;
    for (const auto& e : saved.Entries())
        keys.push_back(e.key);
    EXPECT_EQ(keys, (std::vector<std::wstring>{L"PictureWidth", L"PictureHeight"}));
    EXPECT_EQ(saved.ReadProperty(L"PictureWidth", 0), 16);

    forms::PropertyBag empty;
    ListHost loaded(&empty, {.left = 220, .top = 320, .width = 200, .height = 100});
    EXPECT_EQ(loaded->PictureWidth(), 13);
    EXPECT_EQ(loaded->PictureHeight(), 13);
    forms::PropertyBag resaved;
    loaded->SaveProperties(resaved);
    EXPECT_TRUE(resaved.Entries().empty());
}

TEST_F(ListViewInterface, AllTwentySixKeysRoundTripAndDefaultsAreLeftOut)
{
    const auto font = forms::Font::New(L"Verdana", 12, true, true);
    const forms::PropertyBag stored{
        {L"backcolor", 0x00FFEEDDu},  // keys match without regard to case
        {L"ForeColor", 0x00112233u},
        {L"SelectedBackColor", 0x00334455u},
        {L"SelectedForeColor", 0x00556677u},
        {L"FocusRectColor", 0x000000FFu},
        {L"Reorder", false},
        {L"MultiSelect", false},
        {L"ColumnsAutoSize", true},
        {L"Enabled", false},
        {L"BorderStyle", 2},
        {L"Font", font},
        {L"ColumnsVisible", false},
        {L"SolidFocusRect", false},
        {L"OLEDropMode", 1},
        {L"Checkboxes", true},
        {L"CheckboxColor", 0x00FF0000u},
        {L"CheckboxSelectedColor", 0x0000FF00u},
        {L"ItemPaddingTop", 1},
        {L"ItemPaddingBottom", 2},
        {L"ItemPaddingLeft", 3},
        {L"ItemPaddingRight", 7},
        {L"PictureWidth", 20},
        {L"PictureHeight", 24},
        {L"PicturesVisible", false},
        {L"ItemsAutoSize", false},
        {L"Sortable", false},
    };
    ListHost loaded(&stored, {.left = 10, .top = 320, .width = 200, .height = 100});
    ListView& l = loaded.list();
    EXPECT_EQ(l.BackColor(), 0x00FFEEDDu);
    EXPECT_EQ(l.ForeColor(), 0x00112233u);
    EXPECT_EQ(l.SelectedBackColor(), 0x00334455u);
    EXPECT_EQ(l.SelectedForeColor(), 0x00556677u);
    EXPECT_EQ(l.FocusRectColor(), 0x000000FFu);
    EXPECT_FALSE(l.Reorder());
    EXPECT_FALSE(l.MultiSelect());
    EXPECT_TRUE(l.ColumnsAutoSize());
    EXPECT_FALSE(l.Enabled());
    EXPECT_EQ(l.BorderStyle(), 2);
    EXPECT_TRUE(l.Font()->SameAs(*font));
    EXPECT_FALSE(l.ColumnsVisible());
    EXPECT_FALSE(l.SolidFocusRect());
    EXPECT_EQ(l.OLEDropMode(), 1);
    EXPECT_TRUE(l.Checkboxes());
    EXPECT_EQ(l.CheckboxColor(), 0x00FF0000u);
    EXPECT_EQ(l.CheckboxSelectedColor(), 0x0000FF00u);
    EXPECT_EQ(l.ItemPaddingTop(), 1);
    EXPECT_EQ(l.ItemPaddingBottom(), 2);
    EXPECT_EQ(l.ItemPaddingLeft(), 3);
    EXPECT_EQ(l.ItemPaddingRight(), 7);
    EXPECT_EQ(l.PictureWidth(), 20);
    EXPECT_EQ(l.PictureHeight(), 24);
    EXPECT_FALSE(l.PicturesVisible());
    EXPECT_FALSE(l.ItemsAutoSize());
    EXPECT_FALSE(l.Sortable());
    EXPECT_EQ(GetWindowLongPtrW(loaded.hwnd(), GWL_EXSTYLE) & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE),
              WS_EX_CLIENTEDGE);

    forms::PropertyBag saved;
    l.SaveProperties(saved);
    std::vector<std::wstring> keys;
    for (const auto& e : saved.Entries())
        keys.push_back(e.key);
    EXPECT_EQ(keys, (std::vector<std::wstring>{L"BackColor",
                                               L"ForeColor",
                                               L"SelectedBackColor",
                                               L"SelectedForeColor",
                                               L"FocusRectColor",
                                               L"Reorder",
                                               L"MultiSelect",
                                               L"ColumnsAutoSize",
                                               L"Enabled",
                                               L"BorderStyle",
                                               L"Font",
                                               L"ColumnsVisible",
                                               L"SolidFocusRect",
                                               L"OLEDropMode",
                                               L"Checkboxes",
                                               L"CheckboxColor",
                                               L"CheckboxSelectedColor",
                                               L"ItemPaddingTop",
                                               L"ItemPaddingBottom",
                                               L"ItemPaddingLeft",
                                               L"ItemPaddingRight",
                                               L"PictureWidth",
                                               L"PictureHeight",
                                               L"PicturesVisible",
                                               L"ItemsAutoSize",
                                               L"Sortable"}));
    EXPECT_EQ(saved.ReadProperty(L"BackColor", 0u), 0x00FFEEDDu);
    EXPECT_EQ(saved.ReadProperty(L"OLEDropMode", 0), 1);
    EXPECT_TRUE(saved.ReadProperty(L"Font", forms::Font::New())->SameAs(*font));

    // Loading what was saved gives the same design again.
    ListHost again(&saved, {.left = 220, .top = 320, .width = 200, .height = 100});
    forms::PropertyBag resaved;
    again->SaveProperties(resaved);
    ASSERT_EQ(resaved.Entries().size(), saved.Entries().size());
    for (size_t i = 0; i < saved.Entries().size(); ++i) {
        EXPECT_EQ(resaved.Entries()[i].key, saved.Entries()[i].key);
        if (saved.Entries()[i].key != L"Font") {
            EXPECT_TRUE(resaved.Entries()[i].value == saved.Entries()[i].value) << i;
        }
    }
}

TEST_F(ListViewInterface, WritersReportTheirPropertyNames)
{
    std::vector<std::wstring> reports;
    list.PropertyChangeReported = [&](const std::wstring& name) { reports.push_back(name); };
    list.BackColor(0xFF);
    list.ItemPaddingTop(3);
    list.SolidFocusRect(false);  // repaints only
    list.Redraw(true);           // not stored
    list.DrawCallback(nullptr);  // not stored
    list.OLEDropMode(0);
    list.Font(forms::Font::New(L"Verdana", 9));
    list.PictureHeight(20);
    EXPECT_EQ(reports, (std::vector<std::wstring>{L"BackColor", L"ItemPaddingTop", L"OLEDropMode", L"Font",
                                                  L"PictureHeight"}));
}

TEST_F(ListViewInterface, ColoursThatCannotBeTranslatedLeaveNoColourAndRaiseNothing)
{
    list.BackColor(0x800000FFu);  // no such system colour
    EXPECT_EQ(list.BackColor(), 0x800000FFu);
    FillProjects(list, 2);
    list.Refresh();
    list.BackColor(0xFFFFFF);
    EXPECT_EQ(host.Pixel(host.ClientWidth() - 2, host.ClientHeight() - 2), 0xFFFFFFu);
}

// ---- the font object

TEST_F(ListViewInterface, ChangingTheFontObjectChangesTheTextAndAtTheNextRefreshTheRows)
{
    FillProjects(list, 2);
    EXPECT_EQ(list.ItemHeight(), 34);
    list.Font()->Size(14);  // 19 pixels
    EXPECT_EQ(list.ItemHeight(), 19 + 4 + 15);

    // Another object: taken over, but the drawing font follows only when
    // that object reports a change.
    auto other = forms::Font::New(L"\u5B8B\u4F53", 9);
    list.Font(other);
    EXPECT_EQ(list.Font(), other);
    EXPECT_EQ(list.ItemHeight(), 38);
    other->Size(9);
    EXPECT_EQ(list.ItemHeight(), 12 + 4 + 15);
}

}  // namespace
}  // namespace quill::listview::test
