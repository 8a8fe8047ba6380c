// The owner-drawn popup menu on a real window, driven with the real mouse.
#include "session/frmMenu.h"

#include "forms/Gdi.h"
#include "forms/Pump.h"
#include "forms/Screen.h"
#include "session/Login.h"
#include "session/mGDIp.h"
#include "session/mMenuProc.h"
#include "session/Session.h"
#include "tests/support/Input.h"
#include "tests/support/Pump.h"
#include "tests/support/ScreenCapture.h"
#include "tests/support/TestWindow.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

using namespace quill;

namespace {

using session::frmMenu;
using session::MenuWindow;

struct Clicks : session::MenuCallback {
    std::vector<std::pair<std::int32_t, std::int32_t>> calls;
    std::function<void()> then;  // what the receiver does after noting the click
    void MenuItemClicked(std::int32_t MenuID, std::int32_t itemID) override
    {
        calls.emplace_back(MenuID, itemID);
        if (then)
            then();
    }
};

RECT WindowRect(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

uint32_t ScreenPixel(int x, int y)
{
    return test::ScreenPixels({x, y, x + 1, y + 1}).at(0) & 0xFFFFFF;
}

// Blue enough to be the highlight bar (00B9ED to 009CD7).
bool Highlighted(uint32_t pixel)
{
    const int r = pixel & 0xFF, g = (pixel >> 8) & 0xFF, b = (pixel >> 16) & 0xFF;
    return r < 40 && g > 130 && g < 200 && b > 190;
}

class MenuTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        session::CurrentSession().TwipsPerPixelX = forms::Screen::TwipsPerPixelX();
        session::CurrentSession().TwipsPerPixelY = forms::Screen::TwipsPerPixelY();
    }
    void TearDown() override
    {
        MenuWindow().UnloadMenu();
        session::LoginWindow().Unload();
        forms::DoEvents();
    }
    // A menu of the login's items, shown at a screen point.
    frmMenu& Show(float x, float y, float outSkip = 0)
    {
        frmMenu& menu = MenuWindow();
        menu.UnloadMenu();
        menu.Load();
        menu.Callback = &clicks;
        menu.InitMenu(7, 109);
        menu.AddMenu(10, 0, L"打开登录面板");
        menu.AddMenu(-1, 1, L"");
        menu.AddMenu(11, 0, L"退出");
        menu.ShowMenu(x, y, outSkip);
        forms::DoEvents();
        return menu;
    }
    Clicks clicks;
};

TEST_F(MenuTest, TheLoginsMenuHasItsRowsAtThreeTwentyFiveAndTwentyNine)
{
    SetCursorPos(300, 300);
    session::LoginWindow().ShowNotifyMenu();
    frmMenu& menu = MenuWindow();
    forms::DoEvents();
    ASSERT_TRUE(menu.IsLoaded());
    EXPECT_TRUE(session::MenuShown);
    EXPECT_EQ(menu.Callback, &session::LoginWindow());
    const RECT r = WindowRect(menu.hWnd());
    EXPECT_EQ(r.left, 300);
    EXPECT_EQ(r.top, 300);
    EXPECT_EQ(r.right - r.left, 109);
    EXPECT_EQ(r.bottom - r.top, 54);
    EXPECT_EQ(menu.RunningHeight(), 54);

    ASSERT_EQ(menu.Items().size(), 3u);
    EXPECT_EQ(menu.Items()[0].Caption, L"打开登录面板");
    EXPECT_EQ(menu.Items()[0].itemID, 0);
    EXPECT_EQ(menu.Items()[1].itemID, -1);
    EXPECT_EQ(menu.Items()[2].itemID, 1);
    // Rows: the first label at 3, the separator at 25, the second label at 29;
    // the texts 4 pixels below their labels' tops, from x 38.
    ASSERT_TRUE(menu.lblC.Contains(0));
    EXPECT_FALSE(menu.lblC.Contains(1));  // separators load no label
    ASSERT_TRUE(menu.lblC.Contains(2));
    EXPECT_EQ(forms::Screen::PixelsY(menu.lblC[0].Top()), 3);
    EXPECT_EQ(menu.Items()[1].y, 25);
    EXPECT_EQ(forms::Screen::PixelsY(menu.lblC[2].Top()), 29);
    EXPECT_EQ(forms::Screen::PixelsX(menu.lblC[2].Left()), 3);
    EXPECT_EQ(forms::Screen::PixelsX(menu.lblC[2].Width()), 103);
    EXPECT_EQ(forms::Screen::PixelsY(menu.lblC[2].Height()), 22);
    EXPECT_EQ(menu.Items()[0].x, 38);
    EXPECT_EQ(menu.Items()[0].y, 7);
    EXPECT_EQ(menu.Items()[2].y, 33);
    // Topmost and layered with its magenta colour key.
    EXPECT_TRUE(GetWindowLongPtrW(menu.hWnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    COLORREF key = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(menu.hWnd(), &key, nullptr, &flags));
    EXPECT_EQ(key, RGB(255, 0, 255));
    EXPECT_EQ(flags, DWORD(LWA_COLORKEY));
}

TEST_F(MenuTest, OpensLeftOfOrAboveAPointNearTheScreensEdge)
{
    const int screenW = forms::Screen::PixelsX(forms::Screen::Width());
    const int screenH = forms::Screen::PixelsY(forms::Screen::Height());
    frmMenu& nearEdge = Show(static_cast<float>(screenW - 50), static_cast<float>(screenH - 20), 16);
    RECT r = WindowRect(nearEdge.hWnd());
    EXPECT_EQ(r.left, screenW - 50 - 109);
    EXPECT_EQ(r.top, screenH - 20 - 16 - 54);
    // A negative point counts as 0; 0 leaves that side where it was.
    frmMenu& again = Show(-20, 200);
    r = WindowRect(again.hWnd());
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 200);
    again.UnloadMenu();
    again.Load();
    again.Left(forms::Screen::TwipsX(123));
    again.InitMenu(1, 109);
    again.AddMenu(0, 0, L"x");
    again.ShowMenu(0, 150, 0);
    r = WindowRect(again.hWnd());
    EXPECT_EQ(r.left, 123);
    EXPECT_EQ(r.top, 150);
}

TEST_F(MenuTest, TheHighlightFollowsTheMouse)
{
    frmMenu& menu = Show(400, 300);
    const RECT r = WindowRect(menu.hWnd());
    auto moveTo = [&](int x, int y) { test::MoveMouseTo({r.left + x, r.top + y}); };

    moveTo(60, 3 + 11);
    ASSERT_TRUE(test::PumpUntil([&] { return menu.HotItem() == 0; }));
    EXPECT_TRUE(Highlighted(ScreenPixel(r.left + 10, r.top + 3 + 11)));
    // The hot text is white on the bar.
    EXPECT_FALSE(Highlighted(ScreenPixel(r.left + 10, r.top + 29 + 11)));

    moveTo(60, 29 + 11);
    ASSERT_TRUE(test::PumpUntil([&] { return menu.HotItem() == 2; }));
    EXPECT_TRUE(Highlighted(ScreenPixel(r.left + 10, r.top + 29 + 11)));
    EXPECT_FALSE(Highlighted(ScreenPixel(r.left + 10, r.top + 3 + 11)));

    // The separator is no item.
    moveTo(60, 26);
    ASSERT_TRUE(test::PumpUntil([&] { return menu.HotItem() == -1; }));

    moveTo(60, 3 + 11);
    ASSERT_TRUE(test::PumpUntil([&] { return menu.HotItem() == 0; }));
    // Leaving the window: the timer notices.
    test::MoveMouseTo({r.right + 40, r.bottom + 40});
    ASSERT_TRUE(test::PumpUntil([&] { return menu.HotItem() == -1; }));
    EXPECT_FALSE(menu.timMouse->Enabled());
    EXPECT_FALSE(Highlighted(ScreenPixel(r.left + 10, r.top + 3 + 11)));
}

// An item's icon is centred on x 16 and the middle of its row.
TEST_F(MenuTest, AnIconSitsAtTheLeftOfItsRow)
{
    frmMenu& menu = MenuWindow();
    menu.UnloadMenu();
    menu.Load();
    // The caller's picture, in a GDI+ session of the caller's.
    session::GdiplusSession gdiplus;
    session::BitmapOwner icon;
    Gdiplus::DllExports::GdipCreateBitmapFromScan0(10, 8, 0, PixelFormat32bppARGB, nullptr, icon.Out());
    icon.Take();
    ASSERT_TRUE(icon);
    {
        session::GraphicsOwner g;
        Gdiplus::DllExports::GdipGetImageGraphicsContext(icon, g.Out());
        g.Take();
        Gdiplus::DllExports::GdipGraphicsClear(g, 0xFFFF0000);
    }
    menu.InitMenu(1, 109);
    menu.AddMenu(5, 0, L"x", icon, 10, 8);
    menu.ShowMenu(400, 300, 0);
    forms::DoEvents();
    const RECT r = WindowRect(menu.hWnd());
    // (16 - 10 / 2, 3 + 4 + 7 - 8 / 2): 11..20 across, 10..17 down.
    EXPECT_EQ(ScreenPixel(r.left + 11, r.top + 10), 0x0000FFu);
    EXPECT_EQ(ScreenPixel(r.left + 20, r.top + 17), 0x0000FFu);
    EXPECT_NE(ScreenPixel(r.left + 21, r.top + 17), 0x0000FFu);
    EXPECT_NE(ScreenPixel(r.left + 11, r.top + 18), 0x0000FFu);
    menu.UnloadMenu();
}

TEST_F(MenuTest, AClickCallsBackWithTheListAndItemAndCloses)
{
    frmMenu& menu = Show(400, 300);
    test::ClickAt(menu.hWnd(), 60, 29 + 11);
    ASSERT_TRUE(test::PumpUntil([&] { return !menu.IsLoaded(); }));
    EXPECT_EQ(clicks.calls, (std::vector<std::pair<std::int32_t, std::int32_t>>{{7, 11}}));
    EXPECT_FALSE(session::MenuShown);
}

TEST_F(MenuTest, ClosesWhenItLosesActivation)
{
    frmMenu& menu = Show(400, 300);
    ASSERT_TRUE(test::PumpUntil([&] { return GetActiveWindow() == menu.hWnd(); }));
    // Destroyed on every way out of the test, a failed assertion included.
    test::TestWindow other(WS_POPUP | WS_VISIBLE);
    SetActiveWindow(other.hwnd());
    ASSERT_TRUE(test::PumpUntil([&] { return !menu.IsLoaded(); }));
    EXPECT_FALSE(session::MenuShown);
    EXPECT_TRUE(clicks.calls.empty());
}

// A menu closed and opened again before the unload that the first showing
// asked for arrives stays open: by a click whose receiver opens the menu
// again, and by a deactivation followed by a new showing.
TEST_F(MenuTest, AnUnloadAskedForByOneShowingLeavesTheNextOpen)
{
    frmMenu& menu = Show(400, 300);
    bool reopened = false;
    clicks.then = [&] {
        clicks.then = nullptr;
        Show(400, 300);
        reopened = true;
    };
    test::ClickAt(menu.hWnd(), 60, 29 + 11);
    ASSERT_TRUE(test::PumpUntil([&] { return reopened; }));
    forms::DoEvents();
    EXPECT_TRUE(menu.IsLoaded());
    EXPECT_TRUE(session::MenuShown);

    ASSERT_TRUE(test::PumpUntil([&] { return GetActiveWindow() == menu.hWnd(); }));
    test::TestWindow other(WS_POPUP | WS_VISIBLE);
    SetActiveWindow(other.hwnd());  // the deactivation asks for the unload
    const std::uint64_t first = menu.Showing();
    Show(400, 300);  // before the request is handled
    EXPECT_NE(menu.Showing(), first);
    forms::DoEvents();
    EXPECT_TRUE(menu.IsLoaded());
    // The new showing still closes on a click of its own.
    test::ClickAt(menu.hWnd(), 60, 29 + 11);
    ASSERT_TRUE(test::PumpUntil([&] { return !menu.IsLoaded(); }));
}

TEST_F(MenuTest, TheLoginsItemsShowAndCloseTheLoginWindow)
{
    session::Login& login = session::LoginWindow();
    login.MenuItemClicked(1, 0);
    EXPECT_TRUE(login.IsLoaded());
    EXPECT_TRUE(IsWindowVisible(login.hWnd()));
    EXPECT_EQ(login.WindowState(), forms::vbNormal);
    login.MenuItemClicked(1, 5);  // no such item
    login.MenuItemClicked(2, 1);  // no such list
    EXPECT_TRUE(login.IsLoaded());
    login.MenuItemClicked(0, 42);  // list 0 remembers its choice
    EXPECT_EQ(login.ChosenEntry(), 42);
    login.MenuItemClicked(1, 1);
    EXPECT_FALSE(login.IsLoaded());
}

TEST_F(MenuTest, EndMeClosesEveryWindowAndEndsGdiplus)
{
    session::LoginWindow().Show();
    SetCursorPos(300, 300);
    session::LoginWindow().ShowNotifyMenu();
    ASSERT_TRUE(MenuWindow().IsLoaded());
    EXPECT_NE(session::GdipToken, 0u);
    session::LoginWindow().EndMe();
    forms::DoEvents();
    EXPECT_TRUE(forms::Forms().empty());
    EXPECT_EQ(session::GdipToken, 0u);
    EXPECT_EQ(session::LiveGdiplusObjects(), 0);
}

TEST_F(MenuTest, NothingGrowsOverAThousandShowsAndCloses)
{
    Show(400, 300).UnloadMenu();
    const long gdi = forms::gdi::LiveObjects();
    const long gdiplus = session::LiveGdiplusObjects();
    for (int i = 0; i < 1000; ++i) {
        frmMenu& menu = Show(400, 300);
        // Every tenth menu the pointer moves between its two items, so the
        // highlight is drawn too.
        if (i % 10 == 0)
            test::MoveMouseTo({410, 300 + (i % 20 == 0 ? 14 : 40)});
        forms::DoEvents();
        menu.UnloadMenu();
    }
    EXPECT_EQ(forms::gdi::LiveObjects(), gdi);
    EXPECT_EQ(session::LiveGdiplusObjects(), gdiplus);
    EXPECT_EQ(session::LiveGdiplusObjects(), 0);
    EXPECT_EQ(session::GdipToken, 0u);
}

}  // namespace

namespace {

// The login window's menu over the login window, its first item hot.
TEST_F(MenuTest, PictureOfTheLoginsMenu)
{
    session::Login& login = session::LoginWindow();
    login.Show();
    forms::DoEvents();
    const RECT lr = WindowRect(login.hWnd());
    SetCursorPos(lr.left + 120, lr.top + 90);
    login.ShowNotifyMenu();
    frmMenu& menu = MenuWindow();
    const RECT r = WindowRect(menu.hWnd());
    test::MoveMouseTo({r.left + 60, r.top + 3 + 11});
    ASSERT_TRUE(test::PumpUntil([&] { return menu.HotItem() == 0; }));
    RedrawWindow(login.hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    forms::DoEvents();
    // Outside the rounded panel the colour key lets the login window show;
    // inside, the dark edge, the highlight and the separator's light row.
    EXPECT_NE(ScreenPixel(r.left, r.top), 0xFF00FFu);
    EXPECT_NE(ScreenPixel(r.right - 1, r.bottom - 1), 0xFF00FFu);
    EXPECT_EQ(ScreenPixel(r.left + 50, r.top), 0x5F5519u);
    EXPECT_TRUE(Highlighted(ScreenPixel(r.left + 10, r.top + 3 + 11)));
    // "退出" in dark text from x 38 of its row.
    int dark = 0;
    for (uint32_t pixel : test::ScreenPixels({r.left + 38, r.top + 29, r.left + 80, r.top + 51}))
        dark += (pixel & 0xFF) < 100 && ((pixel >> 8) & 0xFF) < 100 && ((pixel >> 16) & 0xFF) < 100;
    EXPECT_GT(dark, 15);
    const RECT shot{r.left - 20, r.top - 20, r.right + 20, r.bottom + 20};
    EXPECT_TRUE(test::SaveScreenPng(shot, test::ScreensPath(L"popup-menu.png")));
}

}  // namespace
