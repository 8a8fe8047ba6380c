// A whole update as a user does it: real clicks on the wizard and on its
// message boxes, the 10-second automatic start through the program's clock,
// a picture of each page, and the program folder afterwards.
#include "OnlineFixture.h"

#include "forms/lang/Clock.h"
#include "tests/support/Input.h"
#include "tests/support/Pump.h"
#include "tests/support/ScreenCapture.h"

#include <gtest/gtest.h>

namespace quill::updater::testing {
namespace {

// A picture of the test's own window (docs/ shows update.exe's instead).
bool SaveWindow(HWND window, const std::wstring& name)
{
    RECT r{};
    GetWindowRect(window, &r);
    return test::SaveScreenPng(r, test::ScreensPath(L"online-" + name));
}

// The window shows what it holds: nothing waits to be painted.
void Settle(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    test::PumpUntil([&] { return GetUpdateRect(window, nullptr, FALSE) == FALSE; }, "the window painted");
}

HWND MessageBoxTitled(const wchar_t* title)
{
    return FindWindowW(L"#32770", title);
}

std::wstring DialogText(HWND box)
{
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[32];
        GetClassNameW(child, cls, 32);
        if (lstrcmpiW(cls, L"Static") == 0 && GetWindowTextLengthW(child) > 4) {
            std::wstring text(GetWindowTextLengthW(child) + 1, L'\0');
            text.resize(GetWindowTextW(child, text.data(), static_cast<int>(text.size())));
            return text;
        }
    }
    return L"";
}

class OnlineUpdateTest : public OnlineFixture {};

TEST_F(OnlineUpdateTest, AWholeUpdateWithRealClicksAndTheAutomaticStart)
{
    const auto release = Release14();
    Publish(release);
    forms::ClockOverride clock(46000.5);
    OnlineWindow& w = Open();
    ASSERT_FALSE(w.Ended());
    SetForegroundWindow(w.hWnd());
    Settle(w.hWnd());
    ASSERT_TRUE(w.Frame2->Visible());
    EXPECT_TRUE(SaveWindow(w.hWnd(), L"welcome.png"));

    // The descriptor comes late, so the connecting page and its stars show.
    Fault(R"({"kind":"delay","seconds":2,"on":["update"],"path":"update.txt"})");
    bool connectingShot = false;
    test::PumpedAction connecting([&] {
        Settle(w.hWnd());
        connectingShot = SaveWindow(w.hWnd(), L"connecting.png");
    });
    connecting.When([&] {
        if (!w.Frame3->Visible() || !w.Timer1->Enabled())
            return false;
        if (w.Waitlab->Caption().size() >= 12)
            return true;
        clock.Advance(250);
        return false;
    });
    test::ClickAt(w.StyledButton2->hWnd());
    ASSERT_TRUE(test::PumpUntil([&] { return w.StyledButton2->Caption() == L"开始下载"; }, "the file list"));
    EXPECT_TRUE(connectingShot);

    EXPECT_EQ(w.List1->ListCount(), 3);
    EXPECT_EQ(w.List1->List(2), L"sub/dir/a.dll");
    EXPECT_EQ(w.List2->List(2), L"2 KB");
    EXPECT_EQ(w.List3->List(2), L"-");
    Settle(w.hWnd());
    EXPECT_TRUE(SaveWindow(w.hWnd(), L"file-list.png"));

    // The last file comes slowly: a picture half way through.
    Fault(R"({"kind":"slow_body","after":100,"seconds":1,"path":"sub/dir/a.dll"})");
    bool downloadingShot = false;
    test::PumpedAction downloading([&] {
        EXPECT_EQ(w.List3->List(0), L"完成");
        EXPECT_EQ(w.List3->List(1), L"完成");
        EXPECT_EQ(w.Down1->Value(), 67);
        Settle(w.hWnd());
        downloadingShot = SaveWindow(w.hWnd(), L"downloading.png");
    });
    downloading.When([&] { return w.List3->List(2) == L"正在下载"; });
    // Nobody presses "开始下载": ten seconds later the download starts by itself.
    clock.Advance(9999);
    forms::DoEvents();
    EXPECT_TRUE(w.StyledButton2->Visible());
    clock.Advance(1);
    ASSERT_TRUE(test::PumpUntil([&] { return w.StyledButton1->Caption() == L"完成"; }, "the update done"));
    EXPECT_TRUE(downloadingShot);
    EXPECT_EQ(w.InTime, 1);
    EXPECT_EQ(w.Down1->Value(), 100);
    EXPECT_EQ(w.List3->List(2), L"完成");
    EXPECT_EQ(w.Label1[6].Caption(), L"更新完成");
    Settle(w.hWnd());
    EXPECT_TRUE(SaveWindow(w.hWnd(), L"done.png"));
    EXPECT_EQ(ProgramFiles(), Installed(release));

    // "完成", then "是" in the real message box.
    std::wstring offer;
    int seen = 0;
    test::PumpedAction answer([&] {
        HWND box = MessageBoxTitled(L"启动");
        offer = DialogText(box);
        Settle(box);
        EXPECT_TRUE(SaveWindow(box, L"restart-offer.png"));
        test::ClickAt(GetDlgItem(box, IDYES));
    });
    // A few rounds of the box's own loop first: its text is painted after it shows.
    answer.When([&] {
        HWND box = MessageBoxTitled(L"启动");
        return box && IsWindowVisible(box) && ++seen >= 5;
    });
    test::ClickAt(w.StyledButton1->hWnd());
    ASSERT_TRUE(test::PumpUntil([&] { return w.Ended(); }, "the program ended"));
    EXPECT_EQ(offer, L"更新完成，是否现在启动程序?");
    ASSERT_EQ(shell.Calls().size(), 1u);
    EXPECT_EQ(shell.Calls()[0].file, program / L"tallivo.exe");
    EXPECT_EQ(ProgramFiles(), Installed(release));
}

TEST_F(OnlineUpdateTest, StartingTheDownloadByHandAndTheQuitQuestion)
{
    const auto release = Release14();
    Publish(release);
    OnlineWindow& w = Open();
    SetForegroundWindow(w.hWnd());
    Settle(w.hWnd());

    // "退出", then "否": nothing changes.
    std::wstring question;
    test::PumpedAction no([&] {
        HWND box = MessageBoxTitled(L"退出");
        question = DialogText(box);
        test::ClickAt(GetDlgItem(box, IDNO));
    });
    no.When([&] {
        HWND box = MessageBoxTitled(L"退出");
        return box && IsWindowVisible(box);
    });
    test::ClickAt(w.StyledButton1->hWnd());
    ASSERT_TRUE(
        test::PumpUntil([&] { return no.Done() && !MessageBoxTitled(L"退出"); }, "the question gone"));
    EXPECT_EQ(question, L"还未完成更新,确定的要退出在线更新程序吗?");
    EXPECT_TRUE(w.IsLoaded());
    EXPECT_TRUE(w.Frame2->Visible());

    test::ClickAt(w.StyledButton2->hWnd());
    ASSERT_TRUE(test::PumpUntil([&] { return w.StyledButton2->Caption() == L"开始下载"; }, "the file list"));
    // Away from the first click's place: the same place this soon would be a double click.
    test::ClickAt(w.StyledButton2->hWnd(), 12, 14);
    ASSERT_TRUE(test::PumpUntil([&] { return w.StyledButton1->Caption() == L"完成"; }, "the update done"));
    EXPECT_EQ(w.InTime, 0);  // started by hand, not by the timer
    EXPECT_EQ(ProgramFiles(), Installed(release));

    // The close box after the update: no question, no restart.
    SendMessageW(w.hWnd(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(test::PumpUntil([&] { return w.Ended(); }, "the program ended"));
    EXPECT_TRUE(shell.Calls().empty());
}

}  // namespace
}  // namespace quill::updater::testing
