// The list view under the real mouse and keyboard of the virtual display, as
// a user works it: clicks with and without Shift and Ctrl, drag selection
// with scrolling at the edges, column resizing by the header edge, header
// buttons that sort, dragging rows to new places, double clicks, keys and
// check boxes, each with the events it raises in their order. The edge
// scrolling timer runs on the program's clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "ListViewHost.h"
#include "controls/listview/ListGeometry.h"
#include "forms/lang/Clock.h"
#include "forms/lang/Text.h"
#include "tests/support/ErrorNumber.h"
#include "tests/support/Input.h"
#include "tests/support/Pump.h"

namespace quill::listview::test {
namespace {

using Events = std::vector<std::wstring>;
using quill::test::DoubleClick;
using quill::test::MouseButton;
using quill::test::MoveMouse;

// A key pressed and released with modifier keys held around it.
void PressKey(WORD vk, std::initializer_list<WORD> modifiers = {})
{
    for (WORD m : modifiers)
        quill::test::KeyDown(m);
    quill::test::PressKey(vk);
    for (auto m = std::rbegin(modifiers); m != std::rend(modifiers); ++m)
        quill::test::KeyUp(*m);
}

constexpr int kHeader = 23;
constexpr int kRow = 34;

int RowMiddle(int visibleRow)
{
    return kHeader + visibleRow * kRow + kRow / 2;
}

std::vector<int32_t> SelectedRows(const ListView& list)
{
    std::vector<int32_t> rows;
    for (int32_t i = 0; i < list.ItemCount(); ++i)
        if (list.ItemSelected(i))
            rows.push_back(i);
    return rows;
}

bool TextBefore(const std::wstring& a, const std::wstring& b)
{
    return forms::StrComp(a, b, forms::CompareMode::Text) < 0;
}

std::vector<int32_t> Tags(const ListView& list)
{
    std::vector<int32_t> tags;
    for (int32_t i = 0; i < list.ItemCount(); ++i)
        tags.push_back(list.ItemTag(i));
    return tags;
}

class ListViewInput : public testing::Test {
protected:
    // The form sits low on the screen, so that screen and client
    // coordinates of the pointer differ by far more than a list's height.
    forms::PropertyBag design = MainWindowDesign();
    forms::ClockOverride clock{42000.0};
    ListHost host{&design, {.formLeft = 80, .formTop = 460}};
    ListView& list = host.list();

    void SetUp() override
    {
        MoveMouse(host.form().hWnd(), -40, -40);  // off the list
        SetForegroundWindow(host.form().hWnd());
        list.SetFocus();
        ASSERT_TRUE(quill::test::PumpUntil([&] { return GetFocus() == host.hwnd(); }, "the list's focus"));
        host.Take();
    }
    void TearDown() override
    {
        if (GetKeyState(VK_LBUTTON) < 0)
            MouseButton(false);
        MoveMouse(host.form().hWnd(), -40, -40);
    }

    // Each press lands a few pixels beside the one before, so that two
    // presses in a row are never taken for a double click.
    int NextX()
    {
        x_ = x_ >= 300 ? 150 : x_ + 6;
        return x_;
    }
    // A click on a visible row, with modifier keys held around the button
    // (pressed after the pointer has moved: the display's own pointer moves
    // report the modifiers it knows, which are none).
    void ClickRow(int visibleRow, std::initializer_list<WORD> modifiers = {}, int x = -1)
    {
        MoveMouse(host.hwnd(), x < 0 ? NextX() : x, RowMiddle(visibleRow));
        for (WORD m : modifiers)
            quill::test::KeyDown(m);
        MouseButton(true);
        MouseButton(false);
        for (WORD m : modifiers)
            quill::test::KeyUp(m);
    }
    void Press(int x, int y)
    {
        MoveMouse(host.hwnd(), x, y);
        MouseButton(true);
    }
    void Release() { MouseButton(false); }

private:
    int x_ = 150;

public:
    // Time passes for the edge scrolling timer: one tick.
    void Tick()
    {
        clock.Advance(15);
        quill::test::PumpPosted();
    }
};

TEST_F(ListViewInput, AClickSelectsTheRowAndRaisesItsEvents)
{
    FillProjects(list, 6);
    ClickRow(2);
    EXPECT_EQ(host.Take(), (Events{L"MouseDown(2,1,0)", L"MouseUp(2)", L"Click(2)"}));
    EXPECT_EQ(list.SelectedItem(), 2);
    EXPECT_EQ(SelectedRows(list), (std::vector<int32_t>{2}));

    ClickRow(4);
    EXPECT_EQ(SelectedRows(list), (std::vector<int32_t>{4}));
    host.Take();

    // Below the rows: nothing selected, row -1 reported; the focus row stays.
    MoveMouse(host.hwnd(), 200, RowMiddle(7));
    MouseButton(true);
    MouseButton(false);
    EXPECT_EQ(host.Take(), (Events{L"MouseDown(-1,1,0)", L"MouseUp(4)", L"Click(4)"}));
    EXPECT_EQ(SelectedRows(list), std::vector<int32_t>{});

    // Right of the columns (they end at 490).
    ClickRow(1);
    host.Take();
    MoveMouse(host.hwnd(), 495, RowMiddle(1));
    MouseButton(true);
    MouseButton(false);
    EXPECT_EQ(host.Take(), (Events{L"MouseDown(-1,1,0)", L"MouseUp(1)", L"Click(1)"}));
    EXPECT_EQ(SelectedRows(list), std::vector<int32_t>{});
}

TEST_F(ListViewInput, CtrlTogglesAndShiftExtendsFromTheFocusRow)
{
    FillProjects(list, 8);
    ClickRow(1);
    ClickRow(3, {VK_CONTROL});
    ClickRow(5, {VK_CONTROL});
    EXPECT_EQ(SelectedRows(list), (std::vector<int32_t>{1, 3, 5}));
    EXPECT_EQ(list.SelectedItem(), 5);
    ClickRow(3, {VK_CONTROL});  // unselects, and the toggle now means "unselect"
    EXPECT_EQ(SelectedRows(list), (std::vector<int32_t>{1, 5}));
    host.Take();
    ClickRow(7, {VK_SHIFT});  // from the focus row 3: rows 3 to 7 unselected
    EXPECT_EQ(SelectedRows(list), (std::vector<int32_t>{1}));
    EXPECT_EQ(host.Take(),
              (Events{L"KeyDown(16)", L"MouseDown(7,1,1)", L"MouseUp(7)", L"Click(7)", L"KeyUp(16)"}));

    ClickRow(2);
    ClickRow(5, {VK_SHIFT});
    EXPECT_EQ(SelectedRows(list), (std::vector<int32_t>{2, 3, 4, 5}));
    ClickRow(0, {VK_SHIFT});  // from the focus row 5 back up to 0, the others kept
    EXPECT_EQ(SelectedRows(list), (std::vector<int32_t>{0, 1, 2, 3, 4, 5}));
}

TEST_F(ListViewInput, WithoutMultiSelectEveryPressAndKeySelectsOneRow)
{
    list.MultiSelect(false);
    FillProjects(list, 6);
    ClickRow(1);
    ClickRow(4, {VK_SHIFT});
    EXPECT_EQ(SelectedRows(list), (std::vector<int32_t>{4}));
    ClickRow(4, {VK_CONTROL});  // a Ctrl press on the selected row unselects it
    EXPECT_EQ(SelectedRows(list), std::vector<int32_t>{});
    ClickRow(2, {VK_SHIFT});  // the toggle set by the Ctrl press: its row stays unselected
    EXPECT_EQ(SelectedRows(list), std::vector<int32_t>{});
    PressKey(VK_DOWN, {VK_SHIFT});
    EXPECT_EQ(SelectedRows(list), (std::vector<int32_t>{3}));
    PressKey(VK_DOWN, {VK_CONTROL});
    EXPECT_EQ(SelectedRows(list), (std::vector<int32_t>{4}));
}

TEST_F(ListViewInput, DragSelectionFollowsThePointerAndScrollsAtTheEdges)
{
    FillProjects(list, 30);
    const int visible = 9;  // 276 / 34 + 0.5, rounded
    Press(200, RowMiddle(1));
    EXPECT_EQ(host.Take(), (Events{L"MouseDown(1,1,0)"}));
    MoveMouse(host.hwnd(), 200, RowMiddle(4));
    EXPECT_EQ(SelectedRows(list), (std::vector<int32_t>{1, 2, 3, 4}));
    EXPECT_EQ(list.SelectedItem(), 4);
    // Moving inside the list does not scroll, wherever the list is on the screen.
    MoveMouse(host.hwnd(), 210, RowMiddle(3));
    EXPECT_EQ(Bar(host.hwnd(), SB_VERT).nPos, 0);
    EXPECT_EQ(SelectedRows(list), (std::vector<int32_t>{1, 2, 3}));

    // Below the list: the move scrolls one row, and each tick one row more
    // and, feeding the pointer's place back as a move, another.
    MoveMouse(host.hwnd(), 200, host.ClientHeight() + 30);
    const int atBottom = Bar(host.hwnd(), SB_VERT).nPos;
    EXPECT_GE(atBottom, 1);
    for (int i = 0; i < 5; ++i)
        Tick();
    EXPECT_EQ(Bar(host.hwnd(), SB_VERT).nPos, atBottom + 10);
    const int32_t last = list.SelectedItem();
    EXPECT_GT(last, visible);
    std::vector<int32_t> range;
    for (int32_t i = 1; i <= last; ++i)
        range.push_back(i);
    EXPECT_EQ(SelectedRows(list), range);

    // Above the header: back up, the selection reaching up past the anchor.
    MoveMouse(host.hwnd(), 200, -20);
    const int up = Bar(host.hwnd(), SB_VERT).nPos;
    Tick();
    Tick();
    EXPECT_EQ(Bar(host.hwnd(), SB_VERT).nPos, up - 4);
    const int32_t top = list.SelectedItem();
    EXPECT_LT(top, up);
    range.clear();
    for (int32_t i = std::min(top, 1); i <= std::max(top, 1); ++i)
        range.push_back(i);
    EXPECT_EQ(SelectedRows(list), range);

    Release();
    EXPECT_EQ(host.Take().back(), L"MouseUp(" + std::to_wstring(list.SelectedItem()) + L")");
    // Released: the timer stops.
    const int still = Bar(host.hwnd(), SB_VERT).nPos;
    Tick();
    EXPECT_EQ(Bar(host.hwnd(), SB_VERT).nPos, still);
}

TEST_F(ListViewInput, APressEndsWhenAnotherWindowTakesTheMouse)
{
    FillProjects(list, 30);
    Press(200, RowMiddle(1));
    MoveMouse(host.hwnd(), 200, host.ClientHeight() + 30);
    const int scrolled = Bar(host.hwnd(), SB_VERT).nPos;
    Tick();
    EXPECT_EQ(Bar(host.hwnd(), SB_VERT).nPos, scrolled + 2);
    // A message box of a handler, say: the form takes the mouse.
    SetCapture(host.form().hWnd());
    Tick();
    Tick();
    EXPECT_EQ(Bar(host.hwnd(), SB_VERT).nPos, scrolled + 2);
    ReleaseCapture();
    Release();

    // A header button let go of the same way is drawn raised again and sorts nothing.
    const std::vector<int32_t> order = Tags(list);
    Press(45, 10);
    EXPECT_EQ(host.Pixel(0, 5), SysRgb(COLOR_BTNSHADOW));
    SendMessageW(host.hwnd(), WM_CANCELMODE, 0, 0);
    EXPECT_EQ(host.Pixel(0, 5), SysRgb(COLOR_3DLIGHT));
    Release();
    EXPECT_EQ(Tags(list), order);
}

TEST_F(ListViewInput, ColumnsAreResizedByTheirHeaderEdge)
{
    FillProjects(list, 3);
    MoveMouse(host.hwnd(), 92, 10);  // within 4 pixels of column 0's edge at 90
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_SIZEWE));
    EXPECT_EQ(list.MousePointer(), forms::vbSizeWE);
    MouseButton(true);
    MoveMouse(host.hwnd(), 140, 10);
    EXPECT_EQ(list.ColumnWidth(0), 140 - 0);
    MoveMouse(host.hwnd(), 160, 200);  // anywhere: the drag goes on
    EXPECT_EQ(list.ColumnWidth(0), 160);
    MoveMouse(host.hwnd(), 2, 10);
    EXPECT_EQ(list.ColumnWidth(0), 5);  // never below 5
    MoveMouse(host.hwnd(), 120, 10);
    MouseButton(false);
    EXPECT_EQ(list.ColumnWidth(0), 120);
    EXPECT_EQ(host.Take(), (Events{L"MouseUp(-1)"}));  // no MouseDown for the header

    // Column 2's edge lies where painting puts it, past the hidden column 1.
    list.ColumnVisible(1, false);
    Press(120 + 90 - 2, 10);
    MoveMouse(host.hwnd(), 120 + 60, 10);
    Release();
    EXPECT_EQ(list.ColumnWidth(2), 60);
    EXPECT_EQ(list.ColumnWidth(1), 150);

    // Auto-sized columns: no size pointer over an edge, no new width.
    list.ColumnsAutoSize(true);
    ColumnCollection copy;
    for (int32_t i = 0; i < list.ColumnCount(); ++i) {
        Column& c = copy.Add();
        c.Width = list.ColumnWidth(i);
        c.Visible = list.ColumnVisible(i);
        c.Resizable = true;
    }
    AutoSizeColumns(copy, host.ClientWidth());
    const int edge = copy.Item(0)->WidthAutoSized;
    MoveMouse(host.hwnd(), edge + 1, 10);
    EXPECT_NE(list.MousePointer(), forms::vbSizeWE);
    MouseButton(true);
    MoveMouse(host.hwnd(), edge + 40, 10);
    MouseButton(false);
    EXPECT_EQ(list.ColumnWidth(0), 120);
}

TEST_F(ListViewInput, HeaderButtonsSortOnReleaseAndRaiseColumnClick)
{
    FillProjects(list, 5);
    // Column 2 holds the amounts: 10000.00, 10250.00, ...; sort by column 0
    // (platforms) instead, which repeat.
    Press(45, 10);
    EXPECT_EQ(host.Take(), Events{});
    const uint32_t pushed = host.Pixel(0, 5);
    MoveMouse(host.hwnd(), 400, 200);  // released anywhere
    Release();
    EXPECT_EQ(host.Take(), (Events{L"ColumnClick(0)", L"MouseUp(-1)"}));
    std::vector<std::wstring> platforms;
    for (int32_t i = 0; i < list.ItemCount(); ++i)
        platforms.push_back(list.ItemText(i, 0));
    EXPECT_TRUE(std::is_sorted(platforms.begin(), platforms.end(), TextBefore));
    // The pressed button was drawn sunken, the released one raised again.
    EXPECT_EQ(pushed, SysRgb(COLOR_BTNSHADOW));
    EXPECT_EQ(host.Pixel(0, 5), SysRgb(COLOR_3DLIGHT));

    // Again: descending.
    Press(50, 10);
    Release();
    std::vector<std::wstring> again;
    for (int32_t i = 0; i < list.ItemCount(); ++i)
        again.push_back(list.ItemText(i, 0));
    EXPECT_TRUE(std::is_sorted(again.rbegin(), again.rend(), TextBefore));
    EXPECT_NE(again, platforms);

    // Not sortable: the event alone.
    list.Sortable(false);
    const std::vector<int32_t> order = Tags(list);
    host.Take();
    Press(100, 10);
    Release();
    EXPECT_EQ(Tags(list), order);
    EXPECT_EQ(host.Take(), (Events{L"ColumnClick(1)", L"MouseUp(-1)"}));
}

TEST_F(ListViewInput, DraggingSelectedRowsMovesThemWholeAndRaisesReorder)
{
    FillProjects(list, 8);  // tags 1000 ... 1007
    ClickRow(1);
    ClickRow(2, {VK_SHIFT});
    host.Take();
    Press(200, RowMiddle(2));  // on a selected row: a drag of the selection
    EXPECT_EQ(host.Take(), (Events{L"MouseDown(2,1,0)"}));
    MoveMouse(host.hwnd(), 200, RowMiddle(4));
    EXPECT_EQ(Tags(list), (std::vector<int32_t>{1000, 1003, 1004, 1001, 1002, 1005, 1006, 1007}));
    EXPECT_EQ(SelectedRows(list), (std::vector<int32_t>{3, 4}));
    EXPECT_EQ(list.SelectedItem(), 4);
    MoveMouse(host.hwnd(), 200, RowMiddle(5));
    // Down to the end and beyond: they stop at the bottom, whole.
    MoveMouse(host.hwnd(), 200, RowMiddle(8) + 2);
    MoveMouse(host.hwnd(), 200, host.ClientHeight() - 5);
    EXPECT_EQ(Tags(list), (std::vector<int32_t>{1000, 1003, 1004, 1005, 1006, 1007, 1001, 1002}));
    Release();
    const Events events = host.Take();
    ASSERT_GE(events.size(), 4u);
    EXPECT_EQ(std::count(events.begin(), events.end(), L"Reorder"), static_cast<long>(events.size()) - 2);
    EXPECT_EQ(events[events.size() - 2], L"MouseUp(7)");
    EXPECT_EQ(events.back(), L"Click(7)");
    EXPECT_EQ(SelectedRows(list), (std::vector<int32_t>{6, 7}));

    // A press on a selected row released without moving selects it alone.
    Press(200, RowMiddle(6));
    Release();
    EXPECT_EQ(SelectedRows(list), (std::vector<int32_t>{6}));

    // Without Reorder nothing moves.
    list.Reorder(false);
    const std::vector<int32_t> order = Tags(list);
    Press(200, RowMiddle(6));
    MoveMouse(host.hwnd(), 200, RowMiddle(1));
    Release();
    EXPECT_EQ(Tags(list), order);
}

TEST_F(ListViewInput, ADoubleClickOnARowRaisesDblClickWithTheRow)
{
    FillProjects(list, 6);
    MoveMouse(host.hwnd(), 200, RowMiddle(3));
    DoubleClick();
    EXPECT_EQ(host.Take(),
              (Events{L"MouseDown(3,1,0)", L"MouseUp(3)", L"Click(3)", L"DblClick(3)", L"MouseUp(3)"}));

    // On a row that is not selected (Ctrl toggled it off): no DblClick.
    ClickRow(3, {VK_CONTROL});
    EXPECT_FALSE(list.ItemSelected(3));
    host.Take();
    // The second press of a double click is no press of the list's: the
    // first one selects the row again, so the double click finds it selected.
    MoveMouse(host.hwnd(), 200, RowMiddle(3));
    DoubleClick();
    EXPECT_EQ(host.Take(),
              (Events{L"MouseDown(3,1,0)", L"MouseUp(3)", L"Click(3)", L"DblClick(3)", L"MouseUp(3)"}));
}

TEST_F(ListViewInput, KeysMoveTheFocusRowAndScrollWithIt)
{
    FillProjects(list, 30);
    ClickRow(0);
    host.Take();
    PressKey(VK_DOWN);
    EXPECT_EQ(host.Take(), (Events{L"KeyDown(40)", L"Click(1)", L"KeyUp(40)"}));
    EXPECT_EQ(SelectedRows(list), (std::vector<int32_t>{1}));
    PressKey(VK_DOWN, {VK_SHIFT});
    PressKey(VK_DOWN, {VK_SHIFT});
    EXPECT_EQ(SelectedRows(list), (std::vector<int32_t>{1, 2, 3}));
    PressKey(VK_DOWN, {VK_CONTROL});  // the focus moves, the selection stays
    EXPECT_EQ(list.SelectedItem(), 4);
    EXPECT_EQ(SelectedRows(list), (std::vector<int32_t>{1, 2, 3}));
    PressKey(VK_SPACE, {VK_CONTROL});
    EXPECT_EQ(SelectedRows(list), (std::vector<int32_t>{1, 2, 3, 4}));

    // Page down: v - 1 = 8 rows, the list scrolls by the same.
    PressKey(VK_NEXT);
    EXPECT_EQ(list.SelectedItem(), 12);
    EXPECT_EQ(Bar(host.hwnd(), SB_VERT).nPos, 8);
    EXPECT_EQ(SelectedRows(list), (std::vector<int32_t>{12}));
    for (int i = 0; i < 4; ++i)
        PressKey(VK_DOWN);
    EXPECT_EQ(list.SelectedItem(), 16);
    EXPECT_EQ(Bar(host.hwnd(), SB_VERT).nPos, 9);  // one row per step past the last visible row
    PressKey(VK_PRIOR);                            // 16 - 8 is above the top row 9: up by v - 1
    EXPECT_EQ(list.SelectedItem(), 8);
    EXPECT_EQ(Bar(host.hwnd(), SB_VERT).nPos, 1);
    PressKey(VK_UP);
    EXPECT_EQ(list.SelectedItem(), 7);
    EXPECT_EQ(Bar(host.hwnd(), SB_VERT).nPos, 1);

    // Home, End, Left, Right: the events alone.
    host.Take();
    PressKey(VK_HOME);
    PressKey(VK_END);
    EXPECT_EQ(list.SelectedItem(), 7);
    EXPECT_EQ(host.Take(), (Events{L"KeyDown(36)", L"KeyUp(36)", L"KeyDown(35)", L"KeyUp(35)"}));

    // A KeyDown handler that changes the key changes what the list does.
    list.KeyDown = [](forms::KeyArgs& e) {
        if (e.KeyCode == VK_DOWN)
            e.KeyCode = VK_UP;
    };
    PressKey(VK_DOWN);
    EXPECT_EQ(list.SelectedItem(), 6);
}

TEST_F(ListViewInput, CheckBoxesToggleByClickWithItemCheckAndBySpaceWithout)
{
    list.Checkboxes(true);
    FillProjects(list, 4);
    ClickRow(0);
    host.Take();
    ClickRow(2, {}, 9);  // inside the box band (3 ... 15)
    EXPECT_TRUE(list.ItemChecked(2));
    EXPECT_EQ(SelectedRows(list), (std::vector<int32_t>{0}));  // selection unchanged
    EXPECT_EQ(host.Take(), (Events{L"ItemCheck(2)", L"MouseUp(0)", L"Click(0)"}));
    ClickRow(2, {}, 16);  // just right of the band: a plain press
    EXPECT_TRUE(list.ItemChecked(2));
    EXPECT_EQ(list.SelectedItem(), 2);
    host.Take();
    PressKey(VK_SPACE);
    EXPECT_FALSE(list.ItemChecked(2));
    EXPECT_EQ(host.Take(), (Events{L"KeyDown(32)", L"KeyPress(32)", L"KeyUp(32)"}));
}

TEST_F(ListViewInput, AnEmptyListIgnoresMovingKeysAndSpace)
{
    list.AddColumn(L"a", L"A", 0, 100);
    list.Checkboxes(true);
    for (WORD key : {VK_DOWN, VK_UP, VK_NEXT, VK_PRIOR, VK_HOME, VK_END, VK_SPACE})
        PressKey(key);
    const Events events = host.Take();
    EXPECT_EQ(std::count_if(events.begin(), events.end(),
                            [](const std::wstring& e) { return e.starts_with(L"Click"); }),
              0);
    EXPECT_EQ(list.SelectedItem(), -1);

    // Rows, but no focus row (after Clear): Space and Shift+press do nothing.
    list.RemoveColumn(0);
    FillProjects(list, 3);
    list.SelectedItem(-1);
    PressKey(VK_SPACE);
    EXPECT_FALSE(list.ItemChecked(0));
    host.Take();
    ClickRow(1, {VK_SHIFT});
    EXPECT_EQ(SelectedRows(list), std::vector<int32_t>{});
    EXPECT_EQ(host.Take(), (Events{L"KeyDown(16)", L"MouseUp(-1)", L"KeyUp(16)"}));
    // A focus row written past the rows: the keys land on the rows.
    list.SelectedItem(50);
    PressKey(VK_UP);
    EXPECT_EQ(list.SelectedItem(), 2);
}

TEST_F(ListViewInput, ADisabledListIgnoresInputButStillReportsReleasesAndClicks)
{
    FillProjects(list, 4);
    ClickRow(1);
    list.Enabled(false);
    host.Take();
    ClickRow(3);
    EXPECT_EQ(list.SelectedItem(), 1);
    EXPECT_EQ(SelectedRows(list), (std::vector<int32_t>{1}));
    EXPECT_EQ(host.Take(), (Events{L"MouseUp(1)", L"Click(1)"}));
    PressKey(VK_DOWN);
    EXPECT_EQ(list.SelectedItem(), 1);
    EXPECT_EQ(host.Take(), Events{});
    MoveMouse(host.hwnd(), 200, RowMiddle(1));
    MouseButton(true);
    MouseButton(false);
    MouseButton(true);
    MouseButton(false);
    EXPECT_EQ(host.Take(), (Events{L"MouseUp(1)", L"Click(1)", L"DblClick(1)", L"MouseUp(1)"}));
}

TEST_F(ListViewInput, TheWheelScrollsTheRows)
{
    FillProjects(list, 30);
    MoveMouse(host.hwnd(), 200, RowMiddle(2));
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_WHEEL;
    in.mi.mouseData = static_cast<DWORD>(-WHEEL_DELTA);
    SendInput(1, &in, sizeof(in));
    ASSERT_TRUE(
        quill::test::PumpUntil([&] { return Bar(host.hwnd(), SB_VERT).nPos != 0; }, "the wheel's scroll"));
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    EXPECT_EQ(Bar(host.hwnd(), SB_VERT).nPos, static_cast<int>(lines < 1 ? 3 : lines));
}

}  // namespace
}  // namespace quill::listview::test

namespace quill::listview::test {
namespace {

// The least a drag source needs: data with no formats, and a source that
// drops once the list has seen the drag come over it.
class NoData final : public IDataObject {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        if (riid == IID_IUnknown || riid == IID_IDataObject) {
            *object = static_cast<IDataObject*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC*, STGMEDIUM*) override { return DV_E_FORMATETC; }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return DV_E_FORMATETC; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC*) override { return DV_E_FORMATETC; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }
};

class DropWhenSeen final : public IDropSource {
public:
    explicit DropWhenSeen(std::function<bool()> seen) : seen_(std::move(seen)) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        if (riid == IID_IUnknown || riid == IID_IDropSource) {
            *object = static_cast<IDropSource*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD) override
    {
        if (escape || ++asked_ > 200)
            return DRAGDROP_S_CANCEL;
        return seen_() ? DRAGDROP_S_DROP : S_OK;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    std::function<bool()> seen_;
    int asked_ = 0;
};

TEST_F(ListViewInput, WhatIsDroppedOnTheListReachesTheHost)
{
    FillProjects(list, 3);
    list.OLEDropMode(1);
    Events ole;
    int32_t enteredEffect = -1;
    POINT droppedAt{};
    IDataObject* droppedData = nullptr;
    list.OLEDragOver = [&](OLEDragOverArgs& e) {
        ole.push_back(L"OLEDragOver(" + std::to_wstring(e.state) + L")");
        if (e.state == 0)
            enteredEffect = e.Effect;
        e.Effect = DROPEFFECT_COPY;
    };
    list.OLEDragDrop = [&](OLEDragDropArgs& e) {
        ole.push_back(L"OLEDragDrop");
        droppedData = e.Data;
        droppedAt = {static_cast<LONG>(e.X), static_cast<LONG>(e.Y)};
        e.Effect = DROPEFFECT_COPY;
    };
    MoveMouse(host.hwnd(), 120, RowMiddle(1));
    NoData data;
    DropWhenSeen source([&] { return !ole.empty(); });
    DWORD effect = DROPEFFECT_NONE;
    EXPECT_EQ(DoDragDrop(&data, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect), DRAGDROP_S_DROP);
    ASSERT_GE(ole.size(), 2u);
    EXPECT_EQ(ole.front(), L"OLEDragOver(0)");
    EXPECT_EQ(ole.back(), L"OLEDragDrop");
    EXPECT_EQ(enteredEffect, DROPEFFECT_COPY | DROPEFFECT_MOVE);
    EXPECT_EQ(droppedData, &data);
    EXPECT_EQ(droppedAt.x, 120);
    EXPECT_EQ(droppedAt.y, RowMiddle(1));
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));

    // Disabled: the drop goes on without the host hearing of it.
    list.Enabled(false);
    ole.clear();
    int asked = 0;
    DropWhenSeen blind([&] { return ++asked > 3; });
    DoDragDrop(&data, &blind, DROPEFFECT_COPY, &effect);
    EXPECT_EQ(ole, Events{});

    // Mode 0: the window takes no drops.
    list.Enabled(true);
    list.OLEDropMode(0);
    asked = 0;
    EXPECT_EQ(DoDragDrop(&data, &blind, DROPEFFECT_COPY, &effect), DRAGDROP_S_DROP);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(ole, Events{});
}

}  // namespace
}  // namespace quill::listview::test
