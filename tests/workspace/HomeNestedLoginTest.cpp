// A logout and a new login while a page's request waits: the login's request
// runs inside the page's wait and to its own limit.
#include "HomeFixture.h"

#include "forms/lang/Clock.h"
#include "session/Login.h"
#include "session/MainWindowLink.h"
#include "session/Session.h"
#include "tests/support/Input.h"
#include "tests/support/Pump.h"

using namespace quill;
using workspace::Home;

namespace quill::test {
namespace {

class NestedLoginTest : public HomeTest {
protected:
    void SetUp() override
    {
        HomeTest::SetUp();
        session::SetMainWindowOpener([] { workspace::HomeWindow().Show(); });
    }
    void TearDown() override
    {
        session::SetMainWindowOpener(nullptr);
        HomeTest::TearDown();
    }
    // The service has taken the request the fault waits for (a fault leaves
    // the list once a request has taken it).
    bool FaultTaken(const std::string& instance = "primary")
    {
        return Service().Control(R"({"op":"state"})")["instances"][instance]["faults"].size() == 0;
    }
};

// Logged in, the user opens the current projects while the service takes 12
// seconds to list them; 2 seconds into that wait the user logs out, types the
// account and password and presses 登录 about 5 seconds into the list's
// 6-second wait; the service answers the login 4 seconds later, past the
// list's limit but well inside the login's own: the login goes through.
TEST_F(NestedLoginTest, ALoginInsideTheListsWaitRunsToItsOwnLimit)
{
    forms::ClockOverride clock(forms::Now());
    Home& w = Open(DemoLogin());
    ASSERT_TRUE(w.IsLoaded());
    session::Login& login = session::LoginWindow();
    Service().ClearLogs();
    Service().Control(R"({"op":"fault","kind":"delay","seconds":12,"on":["list"],"times":1})");

    PumpedAction logout([&] {
        clock.Advance(2000);
        ClickAt(w.StyledButton3->hWnd());
    });
    logout.When([&] { return FaultTaken(); });
    PumpedAction logIn([&] {
        login.cAcc->Text(L"demo");
        login.cPass->Text(L"demo123");
        clock.Advance(3000);
        Service().Control(R"({"op":"fault","kind":"hold","on":["login"],"times":1})");
        ClickAt(login.cmdLogin->hWnd());
    });
    logIn.When([&] { return logout.Done() && login.IsLoaded() && IsWindowVisible(login.hWnd()); });
    PumpedAction answer([&] {
        clock.Advance(4000);
        Release();
    });
    answer.When([&] { return logIn.Done() && FaultTaken(); });

    ClickAt(w.StyledButton1[2].hWnd());
    ASSERT_TRUE(PumpUntil([&] { return answer.Done() && !login.IsLoaded(); }, "the login's end"));
    EXPECT_TRUE(boxes.Boxes().empty()) << (boxes.Boxes().empty() ? "" : ToUtf8(boxes.Boxes()[0].prompt));
    ASSERT_TRUE(PumpUntil([&] { return w.IsLoaded() && w.NowId == 0 && !w.ActionBusy; }, "the main window"));
    EXPECT_EQ(w.Maininfo->Caption(), L"演示用户，欢迎您的登录。");
    EXPECT_EQ(session::CurrentSession().LoginReply.rfind(L"演示用户|", 0), 0u);
    size_t logins = 0;
    for (const LoggedRequest& r : Service().Requests("primary"))
        logins += r.target == "login";
    EXPECT_EQ(logins, 1u);
    EXPECT_TRUE(Service().Requests("backup").empty());
}

// The normal case of the same clicks: a login after a logout, with no
// request waiting, goes through at once.
TEST_F(NestedLoginTest, ALoginAfterALogoutGoesThrough)
{
    Home& w = Open(DemoLogin());
    session::Login& login = session::LoginWindow();
    ClickAt(w.StyledButton3->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return login.IsLoaded() && IsWindowVisible(login.hWnd()); }));
    login.cAcc->Text(L"demo");
    login.cPass->Text(L"demo123");
    ClickAt(login.cmdLogin->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return w.IsLoaded() && w.NowId == 0 && !w.ActionBusy; }, "the main window"));
    EXPECT_TRUE(boxes.Boxes().empty());
}

}  // namespace
}  // namespace quill::test
