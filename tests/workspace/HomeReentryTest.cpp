// The first opening's checks against the service's versions, and the window
// going away while one of its own handlers waits: a logout, the update
// prompt's Yes or the close box during a held request or a message box.
#include "HomeFixture.h"

#include "forms/App.h"
#include "forms/lang/Clock.h"
#include "session/Login.h"
#include "session/Session.h"
#include "tests/support/Input.h"
#include "tests/support/Pump.h"

using namespace quill;
using workspace::Home;

namespace quill::test {
namespace {

const std::wstring Maintenance = L"当前服务器处于维护模式，暂时无法登录，请稍候再试。";
const std::wstring UpdatePrompt =
    L"发现新版本，需要启动升级程序进行自动升级吗?\r\n提示：自动升级前将关闭本程序。";

TEST_F(HomeTest, AServiceInMaintenanceEndsTheFirstOpening)
{
    for (const char* version : {"0", "-1"}) {
        Service().Control(std::string(R"({"op":"set","latest_version":")") + version + R"("})");
        session::CurrentSession().MainWindowOpened = false;
        const int endsBefore = ends.Ends();
        const size_t boxesBefore = boxes.Boxes().size();
        Open(DemoLogin());
        EXPECT_FALSE(Window().IsLoaded()) << version;
        EXPECT_EQ(ends.Ends(), endsBefore + 1) << version;
        ASSERT_EQ(boxes.Boxes().size(), boxesBefore + 1) << version;
        EXPECT_EQ(boxes.Boxes().back().prompt, Maintenance);
        EXPECT_EQ(boxes.Boxes().back().buttons, forms::vbInformation);
        EXPECT_EQ(boxes.Boxes().back().title, L"Quillmoor");
    }
    // A later opening in the same run tests nothing.
    session::CurrentSession().MainWindowOpened = true;
    Open(DemoLogin());
    EXPECT_TRUE(Window().IsLoaded());
    EXPECT_EQ(boxes.Boxes().size(), 2u);
}

// The layout values keep their meaning as sizes: the first opening is the
// flag's, and the opening sets the flag with the values.
TEST_F(HomeTest, TheFirstOpeningIsToldByItsFlagNotByTheLayoutValues)
{
    Service().Control(R"({"op":"set","latest_version":"1.4"})");
    session::Session& current = session::CurrentSession();
    const struct {
        bool opened;
        std::int32_t chartHeight, layoutMargin;
        bool checked;
    } cases[] = {{false, 0, 0, true}, {false, 4500, 90, true}, {true, 0, 0, false}, {true, 4500, 90, false}};
    for (const auto& c : cases) {
        current.MainWindowOpened = c.opened;
        current.ChartHeight = c.chartHeight;
        current.LayoutMargin = c.layoutMargin;
        Home& w = Open(DemoLogin());
        ASSERT_TRUE(w.IsLoaded());
        EXPECT_EQ(w.updateTimer->Enabled(), c.checked) << c.opened << " " << c.chartHeight;
        EXPECT_TRUE(current.MainWindowOpened);
        EXPECT_NE(current.ChartHeight, 0);
        EXPECT_NE(current.LayoutMargin, 0);
        w.Unload();
    }
}

TEST_F(HomeTest, ANewerVersionArmsTheUpdatePromptOthersDoNot)
{
    forms::ClockOverride clock(forms::Now());
    const struct {
        const char* fault;  // a service setting or fault, as JSON
        bool prompt;
    } cases[] = {
        {R"({"op":"set","latest_version":"1.4"})", true},
        {R"({"op":"set","latest_version":"1.3"})", false},
        {R"({"op":"set","latest_version":"1.10"})", false},  // 1.1
        {R"({"op":"set","latest_version":"1,4"})", false},   // 1, whatever the decimal separator
        {R"({"op":"set","latest_version":""})", false},
        {R"({"op":"set","latest_version":"abc"})", false},
        // A cut UserInfo without item 12: neither maintenance nor an update that closes the program.
        {R"({"op":"fault","kind":"short_snapshot","userinfo_items":12,"times":1})", false},
    };
    for (const auto& c : cases) {
        Service().Control(R"({"op":"reset"})");
        Service().Control(c.fault);
        session::CurrentSession().MainWindowOpened = false;
        const size_t boxesBefore = boxes.Boxes().size(), callsBefore = shell.Calls().size();
        Home& w = Open(DemoLogin());
        ASSERT_TRUE(w.IsLoaded()) << c.fault;
        EXPECT_EQ(w.updateTimer->Enabled(), c.prompt) << c.fault;
        clock.Advance(5000);
        forms::DoEvents();
        // (The cut UserInfo also stops the overview at its summary lines: an "出错" box of its own.)
        size_t prompts = 0;
        for (size_t i = boxesBefore; i < boxes.Boxes().size(); ++i) {
            prompts += boxes.Boxes()[i].prompt == UpdatePrompt;
            EXPECT_NE(boxes.Boxes()[i].prompt, Maintenance) << c.fault;
        }
        ASSERT_EQ(prompts, c.prompt ? 1u : 0u) << c.fault;
        if (c.prompt) {
            EXPECT_EQ(boxes.Boxes().back().prompt, UpdatePrompt);
            EXPECT_EQ(boxes.Boxes().back().buttons, forms::vbQuestion | forms::vbYesNo);
            EXPECT_EQ(boxes.Boxes().back().title, L"自动升级");
            // The default answer is Yes: the updater starts and the window closes.
            ASSERT_EQ(shell.Calls().size(), callsBefore + 1);
            EXPECT_EQ(shell.Calls().back().file, forms::App::Path() + L"\\update.exe");
            EXPECT_EQ(shell.Calls().back().showCmd, SW_SHOWNORMAL);
            EXPECT_FALSE(w.IsLoaded());
        } else {
            EXPECT_EQ(shell.Calls().size(), callsBefore);
            EXPECT_TRUE(w.IsLoaded());
        }
        EXPECT_EQ(ends.Ends(), 0);
        w.Unload();
        forms::DoEvents();
    }
}

TEST_F(HomeTest, NoToTheUpdatePromptKeepsTheWindowAndAsksNoMore)
{
    forms::ClockOverride clock(forms::Now());
    Service().Control(R"({"op":"set","latest_version":"1.4"})");
    boxes.Answer(forms::vbNo);
    Home& w = Open(DemoLogin());
    clock.Advance(5000);
    forms::DoEvents();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_TRUE(w.IsLoaded());
    EXPECT_TRUE(shell.Calls().empty());
    EXPECT_FALSE(w.updateTimer->Enabled());
    clock.Advance(20000);
    forms::DoEvents();
    EXPECT_EQ(boxes.Boxes().size(), 1u);
}

// A re-login that the service holds: the user logs out meanwhile. The late
// reply must reach neither the session nor the unloaded window.
TEST_F(HomeTest, ALogoutDuringAHeldReloginLeavesTheLateReplyUnread)
{
    forms::ClockOverride clock(forms::Now());
    Home& w = Open(Snapshot(UserInfoText()));
    Service().Control(R"({"op":"fault","kind":"hold","on":["relogin"],"times":1})");
    // Both act from the request's wait: the user's click, then, once the
    // window has gone, the service's late reply.
    PumpedAction click([&] { ClickAt(w.StyledButton3->hWnd()); });
    PumpedAction reply([&] { Release(); });
    reply.When([&] { return !w.IsLoaded(); });
    w.ReLoad(L"");
    EXPECT_TRUE(click.Done());
    EXPECT_TRUE(reply.Done());
    EXPECT_FALSE(w.IsLoaded());
    EXPECT_TRUE(session::LoginWindow().IsLoaded());
    EXPECT_TRUE(session::CurrentSession().LoginReply.empty());
    EXPECT_EQ(session::CurrentSession().UserInfo.Count(), 0);
    EXPECT_TRUE(session::CurrentSession().PlatformListSection.empty());
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_FALSE(w.ActionBusy);
}

// The update prompt's timer fires while the re-login waits; Yes closes the window.
TEST_F(HomeTest, AnUpdateYesDuringAHeldReloginLeavesTheLateReplyUnread)
{
    forms::ClockOverride clock(forms::Now());
    Service().Control(R"({"op":"set","latest_version":"1.4"})");
    const std::wstring login = DemoLogin();
    Home& w = Open(login);
    ASSERT_TRUE(w.updateTimer->Enabled());
    Service().Control(R"({"op":"fault","kind":"hold","on":["relogin"],"times":1})");
    PumpedAction later([&] { clock.Advance(5000); });  // the prompt's five seconds, during the wait
    PumpedAction reply([&] { Release(); });
    reply.When([&] { return !w.IsLoaded(); });
    w.ReLoad(L"");
    EXPECT_TRUE(reply.Done());
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].prompt, UpdatePrompt);
    EXPECT_EQ(shell.Calls().size(), 1u);
    EXPECT_FALSE(w.IsLoaded());
    EXPECT_EQ(session::CurrentSession().LoginReply, login);  // the held reply never replaced it
}

TEST_F(HomeTest, TheCloseBoxDuringAHeldReloginLeavesTheLateReplyUnread)
{
    forms::ClockOverride clock(forms::Now());
    const std::wstring login = Snapshot(UserInfoText());
    Home& w = Open(login);
    w.WindowState(forms::vbNormal);
    POINT closeBox{};
    Service().Control(R"({"op":"fault","kind":"hold","on":["relogin"],"times":1})");
    // The close box on the window's frame, as the user presses it: the point
    // of the caption that the window itself calls its close box.
    PumpedAction click([&] {
        RECT frame{};
        GetWindowRect(w.hWnd(), &frame);
        const int y = frame.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
        for (int x = frame.right - 1; x > frame.right - 80; --x) {
            if (SendMessageW(w.hWnd(), WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) {
                closeBox = {x - 3, y};
                break;
            }
        }
        EXPECT_NE(closeBox.x, 0);
        MoveMouseTo(closeBox);
        // The frame follows the pressed button in a loop of its own until the
        // release: both go into the input queue at once.
        INPUT press[2]{};
        press[0].type = press[1].type = INPUT_MOUSE;
        press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, press, sizeof(INPUT));
        InputSettled();
    });
    PumpedAction reply([&] { Release(); });
    reply.When([&] { return !w.IsLoaded(); });
    w.ReLoad(L"");
    EXPECT_TRUE(reply.Done());
    EXPECT_FALSE(w.IsLoaded());
    EXPECT_EQ(session::CurrentSession().LoginReply, login);
    EXPECT_TRUE(boxes.Boxes().empty());
}

// The page's error message is up when the window closes: the handler resumes
// to find the window gone and touches none of its controls.
TEST_F(HomeTest, TheWindowClosedWhileThePagesErrorMessageIsUp)
{
    boxes.WhileShown = [&](const forms::MessageBoxScript::Shown&) {
        PostMessageW(Window().hWnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
        forms::DoEvents();
    };
    Home& w = Open(Snapshot(UserInfoText({{3, L"abc"}})));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].title, L"出错");
    EXPECT_FALSE(w.IsLoaded());
    EXPECT_FALSE(w.ActionBusy);
}

}  // namespace
}  // namespace quill::test
