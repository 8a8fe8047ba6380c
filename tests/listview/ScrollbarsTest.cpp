// The scroll bars of a real window's frame: ranges and positions as the
// platform keeps them, line, page and wheel steps, and the events raised.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/listview/Scrollbars.h"
#include "forms/MessageBox.h"
#include "tests/support/TestWindow.h"

namespace quill::listview {
namespace {

using test::TestWindow;
using Events = std::vector<std::wstring>;

class ScrollbarsTest : public testing::Test {
protected:
    void SetUp() override
    {
        // As the list view sets them up, with the vertical bar enabled.
        bars.Create(window.hwnd());
        bars.Orientation(2);
        bars.Visible(SB_VERT, true);
        bars.Visible(SB_HORZ, true);
        bars.Enabled(SB_HORZ, true);
        bars.Enabled(SB_VERT, true);
        bars.LargeChange(SB_VERT, 10);
        bars.Max(SB_VERT, 100);
        bars.LargeChange(SB_HORZ, 50);
        bars.Max(SB_HORZ, 300);
        Record();
    }

    void Record()
    {
        bars.Change = [this](ScrollArgs& e) { events.push_back(L"Change " + std::to_wstring(e.eBar)); };
        bars.Scroll = [this](ScrollArgs& e) { events.push_back(L"Scroll " + std::to_wstring(e.eBar)); };
        bars.ScrollClick = [this](ScrollClickArgs& e) {
            events.push_back(L"ScrollClick " + std::to_wstring(e.eBar) + L" " + std::to_wstring(e.eButton));
        };
        bars.MouseWheel = [this](MouseWheelArgs& e) {
            events.push_back(L"MouseWheel " + std::to_wstring(e.eBar) + L" " + std::to_wstring(e.lAmount));
        };
    }

    SCROLLINFO PlatformInfo(int bar) const
    {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_ALL;
        GetScrollInfo(window.hwnd(), bar, &info);
        return info;
    }

    LRESULT Scroll(int bar, WORD code)
    {
        return SendMessageW(window.hwnd(), bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL, code, 0);
    }

    LRESULT Wheel(short delta)
    {
        return SendMessageW(window.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)),
                            MAKELPARAM(100, 100));
    }

    static int WheelLines()
    {
        UINT lines = 0;
        SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
        return static_cast<int>(lines) < 1 ? 3 : static_cast<int>(lines);
    }

    forms::MessageBoxScript boxes;
    TestWindow window;
    Scrollbars bars;
    Events events;
};

TEST_F(ScrollbarsTest, RangeIsKeptByThePlatformWithThePageAboveMax)
{
    EXPECT_EQ(bars.Min(SB_VERT), 0);
    EXPECT_EQ(bars.Max(SB_VERT), 100);
    EXPECT_EQ(bars.LargeChange(SB_VERT), 10);
    SCROLLINFO info = PlatformInfo(SB_VERT);
    EXPECT_EQ(info.nMax, 110);
    EXPECT_EQ(info.nPage, 10u);

    bars.Min(SB_VERT, 5);
    bars.LargeChange(SB_VERT, 20);
    EXPECT_EQ(bars.Min(SB_VERT), 5);
    EXPECT_EQ(bars.Max(SB_VERT), 100);
    EXPECT_EQ(bars.LargeChange(SB_VERT), 20);
    info = PlatformInfo(SB_VERT);
    EXPECT_EQ(info.nMin, 5);
    EXPECT_EQ(info.nMax, 120);

    EXPECT_EQ(bars.Max(SB_HORZ), 300);
    EXPECT_EQ(bars.LargeChange(SB_HORZ), 50);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(ScrollbarsTest, ValueIsClampedToMinAndMaxPlusOne)
{
    struct Case {
        int32_t set;
        int32_t expected;
    };
    const Case cases[] = {{50, 50}, {100, 100}, {101, 101}, {1000, 101}, {-5, 0}};
    for (const Case& c : cases) {
        bars.Value(SB_VERT, c.set);
        EXPECT_EQ(bars.Value(SB_VERT), c.expected) << c.set;
        EXPECT_EQ(PlatformInfo(SB_VERT).nPos, c.expected);
    }
    // 1000 leaves it at 101, where it already was.
    EXPECT_EQ(events, Events(4, L"Change 1"));
}

TEST_F(ScrollbarsTest, ValueThatDoesNotMoveRaisesNothing)
{
    bars.Value(SB_VERT, 40);
    bars.Value(SB_VERT, 40);
    bars.Value(SB_VERT, 0);
    bars.Value(SB_VERT, -3);  // clamped to where it already is
    EXPECT_EQ(events, (Events{L"Change 1", L"Change 1"}));
}

TEST_F(ScrollbarsTest, LineAndPageSteps)
{
    struct Case {
        int32_t from;
        WORD code;
        int32_t expected;
    };
    const Case cases[] = {
        {50, SB_LINEDOWN, 51},   {50, SB_LINEUP, 49},        {100, SB_LINEDOWN, 101},
        {101, SB_LINEDOWN, 101}, {0, SB_LINEUP, 0},          {50, SB_PAGEDOWN, 60},
        {50, SB_PAGEUP, 40},     {95, SB_PAGEDOWN, 101},     {5, SB_PAGEUP, 0},
        {50, SB_TOP, 0},         {50, SB_BOTTOM, 100},       {101, SB_BOTTOM, 100},
        {50, SB_ENDSCROLL, 50},  {50, SB_THUMBPOSITION, 50},
    };
    for (const Case& c : cases) {
        bars.Value(SB_VERT, c.from);
        events.clear();
        Scroll(SB_VERT, c.code);
        EXPECT_EQ(bars.Value(SB_VERT), c.expected) << "from " << c.from << " code " << c.code;
        EXPECT_EQ(events, c.expected == c.from ? Events{} : Events{L"Change 1"}) << "from " << c.from;
    }
}

TEST_F(ScrollbarsTest, SmallChangeIsTheLineStepOfItsBar)
{
    bars.SmallChange(SB_HORZ, 3);
    bars.Value(SB_HORZ, 10);
    Scroll(SB_HORZ, SB_LINEDOWN);
    EXPECT_EQ(bars.Value(SB_HORZ), 13);
    Scroll(SB_HORZ, SB_LINEUP);
    Scroll(SB_HORZ, SB_LINEUP);
    EXPECT_EQ(bars.Value(SB_HORZ), 7);
    Scroll(SB_HORZ, SB_PAGEDOWN);
    EXPECT_EQ(bars.Value(SB_HORZ), 57);
    EXPECT_EQ(bars.SmallChange(SB_VERT), 1);
    EXPECT_EQ(events, Events(5, L"Change 0"));
}

TEST_F(ScrollbarsTest, WheelScrollsTheVerticalBarByLines)
{
    const int lines = WheelLines();
    struct Case {
        short delta;
        int32_t smallChange;
        int32_t amount;  // in wheel lines
    };
    const Case cases[] = {{120, 1, -1}, {-240, 1, 2}, {60, 1, 0}, {-119, 1, 0}, {-360, 2, 6}, {240, 2, -4}};
    for (const Case& c : cases) {
        bars.SmallChange(SB_VERT, c.smallChange);
        bars.Value(SB_VERT, 50);
        events.clear();
        const LRESULT result = Wheel(c.delta);
        const int32_t amount = c.amount * lines;
        EXPECT_EQ(bars.Value(SB_VERT), 50 + amount) << c.delta;
        EXPECT_EQ(result, amount != 0 ? 1 : 0) << c.delta;
        Events expected{L"MouseWheel 1 " + std::to_wstring(amount)};
        if (amount != 0)
            expected.push_back(L"Change 1");
        EXPECT_EQ(events, expected) << c.delta;
    }
}

TEST_F(ScrollbarsTest, WheelHandlerMayStopItOrSendItToTheOtherBar)
{
    bars.Value(SB_VERT, 50);
    bars.MouseWheel = [](MouseWheelArgs& e) { e.lAmount = 0; };
    EXPECT_EQ(Wheel(-120), 0);
    EXPECT_EQ(bars.Value(SB_VERT), 50);

    bars.MouseWheel = [](MouseWheelArgs& e) {
        e.eBar = SB_HORZ;
        e.lAmount *= 10;
    };
    EXPECT_EQ(Wheel(-120), 1);
    EXPECT_EQ(bars.Value(SB_VERT), 50);
    EXPECT_EQ(bars.Value(SB_HORZ), 10 * WheelLines());

    // A bar that does not exist scrolls nothing.
    bars.MouseWheel = [](MouseWheelArgs& e) { e.eBar = 7; };
    EXPECT_EQ(Wheel(-120), 0);
}

TEST_F(ScrollbarsTest, WheelDoesNothingWhileTheBarIsDisabledOrHidden)
{
    bars.Value(SB_VERT, 50);
    bars.Enabled(SB_VERT, false);
    EXPECT_EQ(Wheel(-120), 0);
    EXPECT_EQ(bars.Value(SB_VERT), 50);
    bars.Enabled(SB_VERT, true);
    bars.Visible(SB_VERT, false);
    EXPECT_FALSE(bars.Visible(SB_VERT));
    EXPECT_EQ(Wheel(-120), 0);
    EXPECT_EQ(bars.Value(SB_VERT), 50);
    bars.Visible(SB_VERT, true);
    EXPECT_EQ(Wheel(-120), 1);
    EXPECT_EQ(bars.Value(SB_VERT), 50 + WheelLines());
}

TEST_F(ScrollbarsTest, MaxBelowThePositionMovesItAndRaisesChange)
{
    bars.Value(SB_VERT, 90);
    events.clear();
    bars.Max(SB_VERT, 40);
    EXPECT_EQ(bars.Value(SB_VERT), 41);
    EXPECT_EQ(events, Events{L"Change 1"});
    bars.Max(SB_VERT, 60);
    EXPECT_EQ(events, Events{L"Change 1"});
}

TEST_F(ScrollbarsTest, ScrollIsRaisedWhenTrackingFindsAPositionNoChangeTestSaw)
{
    // A new Min moves the position without a change test; the thumb track
    // message that follows finds it.
    bars.Value(SB_VERT, 10);
    events.clear();
    bars.Min(SB_VERT, 20);
    EXPECT_EQ(bars.Value(SB_VERT), 20);
    EXPECT_EQ(events, Events{});
    Scroll(SB_VERT, SB_THUMBTRACK);
    EXPECT_EQ(events, Events{L"Scroll 1"});
    Scroll(SB_VERT, SB_THUMBTRACK);
    EXPECT_EQ(events, Events{L"Scroll 1"});
}

// Screen point of a part of the vertical bar.
POINT VerticalBarPoint(HWND hwnd, bool thumb)
{
    SCROLLBARINFO info{};
    info.cbSize = sizeof(info);
    GetScrollBarInfo(hwnd, OBJID_VSCROLL, &info);
    const LONG x = (info.rcScrollBar.left + info.rcScrollBar.right) / 2;
    if (thumb)
        return {x, info.rcScrollBar.top + (info.xyThumbTop + info.xyThumbBottom) / 2};
    return {x, info.rcScrollBar.bottom - info.dxyLineButton / 2};
}

// A left button press on the frame's bar, with the moves and release queued
// for the platform's tracking loop (window coordinates, as it reads them).
void PressOnBar(HWND hwnd, POINT at, POINT releaseAt)
{
    RECT frame{};
    GetWindowRect(hwnd, &frame);
    const LPARAM moveTo = MAKELPARAM(releaseAt.x - frame.left, releaseAt.y - frame.top);
    PostMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, moveTo);
    PostMessageW(hwnd, WM_LBUTTONUP, 0, moveTo);
    SendMessageW(hwnd, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(at.x, at.y));
}

TEST_F(ScrollbarsTest, ClickOnTheArrowStepsAndThenReportsTheClick)
{
    bars.Value(SB_VERT, 50);
    events.clear();
    const POINT arrow = VerticalBarPoint(window.hwnd(), false);
    PressOnBar(window.hwnd(), arrow, arrow);
    EXPECT_EQ(bars.Value(SB_VERT), 51);
    EXPECT_EQ(events, (Events{L"Change 1", L"ScrollClick 1 1"}));
}

TEST_F(ScrollbarsTest, DraggingTheThumbRaisesChangeForTheNewPosition)
{
    const POINT thumb = VerticalBarPoint(window.hwnd(), true);
    PressOnBar(window.hwnd(), thumb, {thumb.x, thumb.y + 60});
    ASSERT_GT(bars.Value(SB_VERT), 0);
    EXPECT_EQ(events, (Events{L"Change 1", L"ScrollClick 1 1"}));
}

TEST_F(ScrollbarsTest, RightButtonAndOtherHitCodes)
{
    SendMessageW(window.hwnd(), WM_NCRBUTTONDOWN, HTHSCROLL, 0);
    SendMessageW(window.hwnd(), WM_NCRBUTTONDOWN, HTVSCROLL, 0);
    // On the caption the platform waits for the button to come up.
    PostMessageW(window.hwnd(), WM_RBUTTONUP, 0, 0);
    SendMessageW(window.hwnd(), WM_NCRBUTTONDOWN, HTCAPTION, 0);
    SendMessageW(window.hwnd(), WM_NCRBUTTONDOWN, HTCLIENT, 0);
    EXPECT_EQ(events, (Events{L"ScrollClick 0 2", L"ScrollClick 1 2"}));
}

TEST_F(ScrollbarsTest, HandlerThatMovesTheBarIsSeenByTheNextTest)
{
    bars.Change = [this](ScrollArgs& e) {
        events.push_back(L"Change " + std::to_wstring(e.eBar) + L" at " +
                         std::to_wstring(bars.Value(e.eBar)));
        if (bars.Value(e.eBar) == 30)
            bars.Value(e.eBar, 70);
    };
    bars.Value(SB_VERT, 30);
    bars.Value(SB_VERT, 70);
    EXPECT_EQ(events, (Events{L"Change 1 at 30", L"Change 1 at 70"}));
}

TEST_F(ScrollbarsTest, StyleOtherThanZeroIsRefusedInStandardMode)
{
    EXPECT_FALSE(bars.CanBeFlat());
    bars.Style(2);
    EXPECT_EQ(bars.Style(), 0);
    bars.Style(0);
    EXPECT_EQ(bars.Style(), 0);
}

TEST_F(ScrollbarsTest, VisibleEnabledAndOrientationReachTheFrame)
{
    bars.Orientation(1);
    EXPECT_EQ(GetWindowLongW(window.hwnd(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), WS_VSCROLL);
    bars.Orientation(0);
    EXPECT_EQ(GetWindowLongW(window.hwnd(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), WS_HSCROLL);
    bars.Orientation(2);
    bars.Visible(SB_HORZ, false);
    EXPECT_EQ(GetWindowLongW(window.hwnd(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), WS_VSCROLL);
    EXPECT_EQ(bars.Orientation(), 2);

    // A disabled bar takes no clicks.
    bars.Enabled(SB_VERT, false);
    EXPECT_FALSE(bars.Enabled(SB_VERT));
    events.clear();
    const POINT arrow = VerticalBarPoint(window.hwnd(), false);
    PressOnBar(window.hwnd(), arrow, arrow);
    EXPECT_EQ(bars.Value(SB_VERT), 0);
    EXPECT_EQ(events, Events{L"ScrollClick 1 1"});
}

TEST_F(ScrollbarsTest, WithoutRepaintingTheBarsStillTakeEveryChange)
{
    bars.RedrawBars(false);
    bars.Max(SB_VERT, 500);
    bars.Value(SB_VERT, 42);
    EXPECT_EQ(PlatformInfo(SB_VERT).nMax, 510);
    EXPECT_EQ(PlatformInfo(SB_VERT).nPos, 42);
    EXPECT_EQ(events, (Events{L"Change 1"}));
    bars.RedrawBars(true);
    bars.Max(SB_VERT, 30);
    EXPECT_EQ(PlatformInfo(SB_VERT).nPos, 31);
}

TEST_F(ScrollbarsTest, TerminateStopsTheEventsAndCreateStartsAgain)
{
    bars.Terminate();
    Scroll(SB_VERT, SB_LINEDOWN);
    Wheel(-120);
    EXPECT_EQ(events, Events{});

    TestWindow other;
    bars.Create(other.hwnd());
    bars.Create(window.hwnd());  // ignored: it holds a window
    bars.Orientation(2);
    bars.Visible(SB_VERT, true);
    bars.Enabled(SB_VERT, true);
    bars.LargeChange(SB_VERT, 5);
    bars.Max(SB_VERT, 20);
    SendMessageW(other.hwnd(), WM_VSCROLL, SB_LINEDOWN, 0);
    Scroll(SB_VERT, SB_LINEDOWN);
    EXPECT_EQ(events, Events{L"Change 1"});
    EXPECT_EQ(bars.Value(SB_VERT), 1);
    EXPECT_TRUE(boxes.Boxes().empty());
}

}  // namespace
}  // namespace quill::listview
