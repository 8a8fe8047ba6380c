// The login window end to end: the real window against the reference service
// on free ports, its message boxes and web pages recorded by the seams.
#include "session/Login.h"

#include "tests/support/ReferenceService.h"
#include "forms/App.h"
#include "forms/Files.h"
#include "forms/lang/Ansi.h"
#include "forms/lang/Clock.h"
#include "forms/MessageBox.h"
#include "forms/Pump.h"
#include "forms/Screen.h"
#include "forms/Shell.h"
#include "StandInHome.h"
#include "session/HttpRequest.h"
#include "session/MainWindowLink.h"
#include "session/Md5.h"
#include "session/SessionToken.h"
#include "session/StartUp.h"
#include "session/Session.h"
#include "tests/support/DibCanvas.h"
#include "tests/support/Pump.h"
#include "tests/support/ScreenCapture.h"
#include "tests/support/WholeFile.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <map>
#include <memory>
#include <sstream>

using namespace quill;
using namespace quill::test;

namespace {

using session::Login;
using session::LoginWindow;

const std::wstring DemoDigest = L"62cc2d8b4bf2d8728120d052163a77df";  // "demo123"
const std::wstring ConnectionFailed =
    L"登录服务器失败，请检查网络连接。\r\n如果您的网络连接正常，可能是远程服务器临时性维护，请稍候再试。";
const std::wstring ReplyUnreadable = L"服务器的回应无法识别，请稍后再试。";

std::wstring SettingsPath()
{
    return forms::App::Path() + L"\\p2pset.ini";
}

// The settings file's raw text (ANSI, code page 936).
std::string SettingsText()
{
    return test::ReadWholeFile(SettingsPath());
}

void WriteSettings(const std::map<std::wstring, std::wstring>& values)
{
    DeleteFileW(SettingsPath().c_str());
    for (const auto& [key, value] : values)
        Login::SaveSetValue(key, value);
}

void Click(HWND window)
{
    RECT r{};
    GetClientRect(window, &r);
    const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
    SendMessageW(window, WM_MOUSEMOVE, 0, at);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(window, WM_LBUTTONUP, 0, at);
    forms::DoEvents();
}

void DoubleClick(HWND window)
{
    const LPARAM at = MAKELPARAM(5, 5);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(window, WM_LBUTTONUP, 0, at);
    SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageW(window, WM_LBUTTONUP, 0, at);
    forms::DoEvents();
}

void PressEnter(HWND window)
{
    PostMessageW(window, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageW(window, WM_KEYUP, VK_RETURN, 0xC01C0001);
    forms::DoEvents();
}

// A field of a logged body as the service decoded it (UTF-8).
std::string Field(const LoggedRequest& r, const std::string& name)
{
    return r.fields[name].text;
}

class LoginTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        service_ = std::make_unique<ReferenceService>();
        // This run's service instead of the built-in addresses.
        SetEnvironmentVariableW(L"QUILL_SERVER_BASE_URL", service_->Primary().c_str());
        SetEnvironmentVariableW(L"QUILL_BACKUP_BASE_URL", service_->Backup().c_str());
        quill::session::CurrentSession().TwipsPerPixelX = forms::Screen::TwipsPerPixelX();
        quill::session::CurrentSession().TwipsPerPixelY = forms::Screen::TwipsPerPixelY();
        // As the program's start-up does.
        session::SetMainWindowOpener([] { session::HomeWindow().Show(); });
    }
    static void TearDownTestSuite() { service_.reset(); }

    void SetUp() override
    {
        service_->Control(R"({"op":"reset"})");
        DeleteFileW(SettingsPath().c_str());
        // Each test is a fresh run of the program: the main window not yet opened.
        session::CurrentSession().Reset(session::SessionReset::NewRun);
    }
    void TearDown() override
    {
        session::HomeWindow().Unload();
        LoginWindow().Unload();
        forms::DoEvents();
        DeleteFileW(SettingsPath().c_str());
    }

    static ReferenceService& Service() { return *service_; }
    static std::vector<LoggedRequest> Logins(const std::string& instance = "primary")
    {
        std::vector<LoggedRequest> logins;
        for (auto& r : service_->Requests(instance))
            if (r.target == "login")
                logins.push_back(r);
        return logins;
    }

    // A login with the demo account that fails with one message box, the
    // login window left as it was before the click.
    void FailedLogin(Login& w, const std::wstring& message)
    {
        const size_t shown = boxes.Boxes().size();
        Enter(L"demo", L"demo123");
        PressLogin();
        ASSERT_EQ(boxes.Boxes().size(), shown + 1);
        EXPECT_EQ(boxes.Boxes().back().prompt, message);
        EXPECT_EQ(boxes.Boxes().back().buttons, forms::vbInformation);
        EXPECT_EQ(boxes.Boxes().back().title, L"登录失败");
        EXPECT_TRUE(w.IsLoaded());
        EXPECT_FALSE(w.DoFrame->Visible());
        EXPECT_TRUE(w.cmdLogin->Enabled());
        EXPECT_EQ(session::CurrentSession().LoginReply, L"");
        EXPECT_FALSE(session::HomeWindow().IsLoaded());
    }

    Login& Open()
    {
        LoginWindow().Show();
        forms::DoEvents();
        return LoginWindow();
    }
    // Types the account and password as the user would.
    void Enter(const std::wstring& account, const std::wstring& password)
    {
        Login& w = LoginWindow();
        w.cAcc->Text(account);
        w.cPass->Text(password);
    }
    void PressLogin() { Click(LoginWindow().cmdLogin->hWnd()); }

    forms::MessageBoxScript boxes;
    forms::ShellExecuteRecorder shell;

private:
    static inline std::unique_ptr<ReferenceService> service_;
};

// ---- start-up and the remembered account ----

TEST_F(LoginTest, StartUpShowsTheLoginWindowWithItsTitleAndTheServiceAddresses)
{
    session::StartUp();
    forms::DoEvents();
    Login& w = LoginWindow();
    EXPECT_TRUE(w.IsLoaded());
    EXPECT_TRUE(IsWindowVisible(w.hWnd()));
    EXPECT_EQ(w.Caption(), L"Quillmoor - V1.3");
    EXPECT_EQ(session::CurrentSession().ServerBaseUrl, Service().Primary());
    EXPECT_EQ(session::CurrentSession().BackupBaseUrl, Service().Backup());
    RECT client{};
    GetClientRect(w.hWnd(), &client);
    EXPECT_EQ(client.right, 334);
    EXPECT_EQ(client.bottom, 214);
    EXPECT_FALSE(w.DoFrame->Visible());
    EXPECT_FALSE(w.Timer1->Enabled());
}

// The account and digest come back only while "mempass" is "1"; then
// "autologin" ticks its box too (the timer is the automatic login's test).
TEST_F(LoginTest, RestoresTheRememberedAccountAndDigest)
{
    struct Case {
        std::wstring mempass, autologin;
        bool remembered;
    } cases[] = {{L"1", L"0", true}, {L"0", L"1", false}};
    for (const Case& c : cases) {
        WriteSettings({{L"mempass", c.mempass},
                       {L"user", L"demo"},
                       {L"pass", DemoDigest},
                       {L"autologin", c.autologin}});
        Login& w = Open();
        EXPECT_EQ(w.cRemPwd->Checked(), c.remembered);
        EXPECT_FALSE(w.cAutoLogin->Checked());
        EXPECT_EQ(w.cPass->Text(), c.remembered ? DemoDigest : L"");
        EXPECT_EQ(w.cAcc->Text() == L"demo", c.remembered);
        EXPECT_FALSE(w.Timer1->Enabled());
        w.Unload();
    }
}

TEST_F(LoginTest, RestoresAValueUnlessItReadsAsTheNumberZero)
{
    struct Case {
        std::wstring user;
        bool restored;
    } cases[] = {{L"abc", true}, {L"000", false}, {L"0", false}, {L"0.0", false}, {L"12", true}};
    for (const Case& c : cases) {
        WriteSettings({{L"mempass", L"1"}, {L"user", c.user}, {L"pass", c.user}});
        Login& w = Open();
        EXPECT_EQ(w.cPass->Text(), c.restored ? c.user : L"") << c.user;
        w.Unload();
    }
}

TEST_F(LoginTest, ReadsASettingUpTo255BytesWithoutItsLeadingSpaces)
{
    WritePrivateProfileStringA("Set", "user", "  spaced", forms::TextToAnsi(SettingsPath()).c_str());
    EXPECT_EQ(Login::GetSetValue(L"user"), L"spaced");
    EXPECT_EQ(Login::GetSetValue(L"missing"), L"");
    Login::SaveSetValue(L"user", std::wstring(300, L'x'));
    EXPECT_EQ(Login::GetSetValue(L"user"), std::wstring(255, L'x'));
    Login::SaveSetValue(L"user", L"记账");
    EXPECT_EQ(Login::GetSetValue(L"user"), L"记账");
}

// ---- the login ----

TEST_F(LoginTest, LogsInWithTheDemoAccountAndOpensTheMainWindow)
{
    Login& w = Open();
    Enter(L"demo", L"demo123");
    const int32_t before = session::MakeSessionToken(L"");
    PressLogin();
    const int32_t after = session::MakeSessionToken(L"");

    auto logins = Logins();
    ASSERT_EQ(logins.size(), 1u);
    const std::string expected =
        "do=login&username=demo&password=" + forms::TextToAnsi(DemoDigest) + "&v=1.3&session=";
    ASSERT_EQ(logins[0].raw.rfind(expected, 0), 0u) << logins[0].raw;
    const int32_t token = std::stoi(logins[0].raw.substr(expected.size()));
    EXPECT_GE(token, before);
    EXPECT_LE(token, after);

    EXPECT_EQ(session::CurrentSession().AuthQuery, L"username=demo&password=" + DemoDigest + L"&v=1.3");
    EXPECT_EQ(session::CurrentSession().LoginReply.rfind(L"演示用户|", 0), 0u);
    EXPECT_EQ(session::CurrentSession().LoginReply, FromUtf8(logins[0].reply));
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_FALSE(w.IsLoaded());
    session::Home& home = session::HomeWindow();
    ASSERT_TRUE(home.IsLoaded());
    std::wstring site = Service().Primary().substr(7);
    site = site.substr(0, site.find(L'/'));
    EXPECT_EQ(home.Caption(), L"Quillmoor - " + site + L" - V1.3");
    EXPECT_EQ(home.WindowState(), forms::vbMaximized);
    EXPECT_TRUE(session::MainWindowOpenedInRun());
}

TEST_F(LoginTest, EnterInThePasswordBoxLogsIn)
{
    Login& w = Open();
    Enter(L"demo", L"demo123");
    PressEnter(w.cPass->hWnd());
    EXPECT_EQ(Logins().size(), 1u);
    EXPECT_TRUE(session::HomeWindow().IsLoaded());
}

TEST_F(LoginTest, WritesTheSettingsFileAfterASuccessfulLogin)
{
    struct Case {
        bool remember, autoLogin;
        std::string file;
    } cases[] = {
        {true, false,
         "[Set]\r\nmempass=1\r\npass=62cc2d8b4bf2d8728120d052163a77df\r\nuser=demo\r\nautologin=0\r\n"},
        {true, true,
         "[Set]\r\nmempass=1\r\npass=62cc2d8b4bf2d8728120d052163a77df\r\nuser=demo\r\nautologin=1\r\n"},
        {false, false, "[Set]\r\nmempass=0\r\npass=\r\nuser=\r\nautologin=0\r\n"},
    };
    for (const Case& c : cases) {
        DeleteFileW(SettingsPath().c_str());
        session::CurrentSession().MainWindowOpened = true;  // no automatic login from these settings
        Login& w = Open();
        w.cRemPwd->Checked(c.remember);
        w.cAutoLogin->Checked(c.autoLogin);
        Enter(L"demo", L"demo123");
        PressLogin();
        EXPECT_EQ(SettingsText(), c.file);
        session::HomeWindow().Unload();
    }
}

TEST_F(LoginTest, SendsTheRestoredDigestUnchangedAndHashesEverythingTyped)
{
    // A restored digest goes out as it is.
    WriteSettings({{L"mempass", L"1"}, {L"user", L"demo"}, {L"pass", DemoDigest}});
    Open();
    PressLogin();
    ASSERT_EQ(Logins().size(), 1u);
    EXPECT_EQ(Field(Logins()[0], "password"), ToUtf8(DemoDigest));
    session::HomeWindow().Unload();

    // A typed password is hashed whatever its length, 32 characters included,
    // and only its digest is remembered.
    const std::wstring typed32 = L"abcdefghijklmnopqrstuvwxyz012345";
    Service().Control(R"({"op":"add_user","name":"long","password":"abcdefghijklmnopqrstuvwxyz012345"})");
    Service().ClearLogs();
    Login& w = Open();
    Enter(L"long", typed32);
    PressLogin();
    ASSERT_EQ(Logins().size(), 1u);
    EXPECT_EQ(Field(Logins()[0], "password"), ToUtf8(session::MD5Hex(typed32, 32, false)));
    EXPECT_FALSE(w.IsLoaded());
    EXPECT_EQ(Login::GetSetValue(L"pass"), session::MD5Hex(typed32, 32, false));
    session::HomeWindow().Unload();

    // Editing the restored digest makes it a typed password.
    Service().ClearLogs();
    Login& again = Open();
    EXPECT_EQ(again.cPass->Text(), session::MD5Hex(typed32, 32, false));
    again.cPass->Text(DemoDigest);
    Enter(L"demo", DemoDigest);
    PressLogin();
    ASSERT_EQ(Logins().size(), 1u);
    EXPECT_EQ(Field(Logins()[0], "password"), ToUtf8(session::MD5Hex(DemoDigest, 32, false)));
}

TEST_F(LoginTest, DoubleClickingThePasswordBoxEmptiesIt)
{
    WriteSettings({{L"mempass", L"1"}, {L"user", L"demo"}, {L"pass", DemoDigest}});
    Login& w = Open();
    DoubleClick(w.cPass->hWnd());
    EXPECT_EQ(w.cPass->Text(), L"");
}

TEST_F(LoginTest, SendsTheAccountExactlyAsTyped)
{
    Open();
    Enter(L"a&b=c%d+e#f 记", L"secret");
    PressLogin();
    auto logins = Logins();
    ASSERT_FALSE(logins.empty());
    EXPECT_EQ(Field(logins[0], "username"), ToUtf8(L"a&b=c%d+e#f 记"));
    EXPECT_EQ(Field(logins[0], "v"), "1.3");
}

TEST_F(LoginTest, RefusesAnAccountOrPasswordShorterThanThreeCharacters)
{
    struct Case {
        std::wstring account, password;
    } cases[] = {{L"de", L"demo123"}, {L"demo", L"12"}};
    Open();
    for (const Case& c : cases) {
        Enter(c.account, c.password);
        PressLogin();
    }
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    for (const auto& box : boxes.Boxes()) {
        EXPECT_EQ(box.prompt, L"请输入正确的用户名或密码。");
        EXPECT_EQ(box.buttons, forms::vbInformation);
        EXPECT_EQ(box.title, L"登录");
    }
    EXPECT_TRUE(Logins().empty());
}

// An account box left empty shows its placeholder, which is long enough to
// pass and goes out as the account name.
TEST_F(LoginTest, AnUntouchedAccountBoxSendsItsPlaceholder)
{
    Login& w = Open();
    w.cPass->SetFocus();
    w.cPass->Text(L"demo123");
    forms::DoEvents();
    PressLogin();
    auto logins = Logins();
    ASSERT_EQ(logins.size(), 1u);
    EXPECT_EQ(Field(logins[0], "username"), ToUtf8(L"<请输入帐号>"));
}

TEST_F(LoginTest, ShowsEachRefusalWithItsMessage)
{
    struct Case {
        const char* code;
        std::wstring message;
    } cases[] = {
        {"-1", L"登录频繁，要求输入验证码或者输入的验证码不正确。"},
        {"-2", L"输入的账号密码不正确。"},
        {"-3", L"输入的用户名与密码不匹配，请检查是否输入正确。"},
        {"-4", L"登录时系统产生错误，请稍候系统工程师进行修复，或联系客服进行反馈。"},
        {"-5", L"当前版本已经不支持登录使用，请升级到新版本。"},
    };
    Login& w = Open();
    for (const Case& c : cases) {
        Service().Control(std::string(R"({"op":"fault","kind":"refusal","times":1,"code":")") + c.code +
                          "\"}");
        Enter(L"demo", L"demo123");
        PressLogin();
        ASSERT_FALSE(boxes.Boxes().empty());
        EXPECT_EQ(boxes.Boxes().back().prompt, c.message);
        EXPECT_EQ(boxes.Boxes().back().buttons, forms::vbInformation);
        EXPECT_EQ(boxes.Boxes().back().title, L"登录失败");
        EXPECT_TRUE(w.IsLoaded());
        EXPECT_FALSE(w.DoFrame->Visible());
        EXPECT_TRUE(w.cmdLogin->Enabled());
        EXPECT_FALSE(session::HomeWindow().IsLoaded());
    }
    EXPECT_EQ(boxes.Boxes().size(), 5u);
    // Only "-5" opens the web site, after its message.
    ASSERT_EQ(shell.Calls().size(), 1u);
    EXPECT_EQ(shell.Calls()[0].file, Service().Primary().substr(0, Service().Primary().size() - 3));
    EXPECT_EQ(shell.Calls()[0].operation, L"");
    EXPECT_EQ(shell.Calls()[0].directory, forms::App::Path());
    EXPECT_EQ(shell.Calls()[0].showCmd, SW_SHOWNORMAL);
    EXPECT_EQ(shell.Calls()[0].hwnd, w.hWnd());
}

// A reply that came but is no readable snapshot (an unlisted code, a lone
// "|", a page in place of the service's, at both addresses or at the primary
// while the backup gives nothing, a cut snapshot) is a failed login: the
// message says the service's answer could not be read, not that the network
// failed, and the login window stays.
TEST_F(LoginTest, AReplyThatIsNoSnapshotIsAFailedLogin)
{
    const char* faults[] = {
        R"({"op":"fault","kind":"refusal","times":1,"code":"-7"})",
        R"({"op":"fault","kind":"refusal","times":1,"code":"-9"})",
        R"({"op":"fault","kind":"refusal","times":1,"code":""})",
        R"({"op":"fault","kind":"http500","pipe":true,"on":["login"],"times":1})",
        R"({"op":"fault","kind":"http500","pipe":false,"on":["login"],"times":1,"instance":"both"})",
        R"([{"op":"fault","kind":"http500","pipe":false,"on":["login"],"times":1,"instance":"primary"},)"
        R"({"op":"fault","kind":"drop","on":["login"],"times":1,"instance":"backup"}])",
        R"({"op":"fault","kind":"short_snapshot","userinfo_items":12,"on":["login"],"times":1})",
        R"({"op":"fault","kind":"short_snapshot","sections":3,"on":["login"],"times":1})",
    };
    Login& w = Open();
    for (const char* fault : faults) {
        SCOPED_TRACE(fault);
        Service().Control(fault);
        FailedLogin(w, ReplyUnreadable);
        Service().Control(R"({"op":"clear_faults","instance":"both"})");
    }
    // The next login opens the main window as ever.
    Enter(L"demo", L"demo123");
    PressLogin();
    EXPECT_TRUE(session::HomeWindow().IsLoaded());
    EXPECT_FALSE(w.IsLoaded());
}

// ---- the backup base URL ----

// (An empty reply is what the request routine gives for any failure or
// time-out of the transfer; its own tests show how each comes to that.)
TEST_F(LoginTest, FallsBackToTheBackupWhichStaysCurrent)
{
    Service().Control(R"({"op":"fault","kind":"empty","times":1,"instance":"primary"})");
    Login& w = Open();
    Enter(L"demo", L"demo123");
    PressLogin();
    EXPECT_FALSE(w.IsLoaded());
    EXPECT_TRUE(session::HomeWindow().IsLoaded());
    EXPECT_EQ(session::CurrentSession().LoginReply.rfind(L"演示用户|", 0), 0u);
    EXPECT_EQ(Logins("backup").size(), 1u);
    EXPECT_EQ(session::CurrentSession().ServerBaseUrl, Service().Backup());

    // Later requests of the run go to the backup...
    int16_t timeout = 0;
    session::HttpRequest(session::CurrentSession().ServerBaseUrl + L"softcenter.asp",
                         L"do=list&" + session::CurrentSession().AuthQuery, timeout, L"GB2312", L"", false);
    EXPECT_EQ(Service().Requests("backup").back().target, "list");
    // ...until the login window loads again.
    session::HomeWindow().Unload();
    Open();
    EXPECT_EQ(session::CurrentSession().ServerBaseUrl, Service().Primary());
}

TEST_F(LoginTest, AReplyWithoutPipeOrSectionsIsTriedAtTheBackup)
{
    Service().Control(R"({"op":"fault","kind":"http500","pipe":false,"times":1,"instance":"primary"})");
    Open();
    Enter(L"demo", L"demo123");
    PressLogin();
    EXPECT_EQ(Logins("backup").size(), 1u);
    EXPECT_TRUE(session::HomeWindow().IsLoaded());
    EXPECT_EQ(session::CurrentSession().ServerBaseUrl, Service().Backup());
}

// Nothing came from either address (an empty body, a reset): the network
// message, as ever.
TEST_F(LoginTest, NoReplyFromEitherGivesTheConnectionMessage)
{
    const char* faults[] = {
        R"({"op":"fault","kind":"empty","times":1,"instance":"both"})",
        R"({"op":"fault","kind":"drop","on":["login"],"times":1,"instance":"both"})",
    };
    Login& w = Open();
    for (const char* fault : faults) {
        SCOPED_TRACE(fault);
        Service().Control(R"({"op":"clear_log","instance":"both"})");
        Service().Control(fault);
        FailedLogin(w, ConnectionFailed);
        EXPECT_EQ(session::CurrentSession().ServerBaseUrl, Service().Primary());
        EXPECT_EQ(Logins("primary").size(), 1u);
        EXPECT_EQ(Logins("backup").size(), 1u);
    }
}

// Five logins the service leaves unanswered (it holds each connection until
// it answers again, then drops it), and another program holds idle
// connections to both of the service's addresses, as a browser open on its
// site does: once the service answers again, the next login is sent and goes
// through, whatever the system's connections to the service.
TEST_F(LoginTest, LoginsGivenUpHoldNoLaterLoginBack)
{
    Login& w = Open();
    Service().Control(R"({"op":"down","mode":"hang","instance":"both"})");
    {
        forms::ClockOverride clock(forms::Now());
        PassingTime time(clock, 1000);
        for (int i = 0; i < 5; ++i)
            FailedLogin(w, ConnectionFailed);
    }
    Service().Control(R"({"op":"idle_connections","count":6,"instance":"both"})");
    Service().Control(R"({"op":"up","instance":"both"})");
    // (Each connection held is logged as the service drops it.)
    Service().AwaitLogged("primary", 5);
    Service().AwaitLogged("backup", 5);
    Enter(L"demo", L"demo123");
    PressLogin();
    EXPECT_EQ(Service().Requests("primary").size(), 6u);
    EXPECT_EQ(Logins("primary").size(), 1u);  // the only one read: the others were dropped unread
    EXPECT_EQ(boxes.Boxes().size(), 5u);
    EXPECT_TRUE(session::HomeWindow().IsLoaded());
    EXPECT_EQ(session::CurrentSession().LoginReply.rfind(L"演示用户|", 0), 0u);
    Service().Control(R"({"op":"idle_connections","count":0,"instance":"both"})");
}

// ---- the progress panel and what may run during the wait ----

// The service holds each reply back until the test, acting from inside the
// login's wait, lets it go.
TEST_F(LoginTest, ShowsTheProgressPanelWhileTheRequestWaits)
{
    Service().Control(R"({"op":"fault","kind":"hold","times":1})");
    Login& w = Open();
    Enter(L"demo", L"demo123");
    bool seen = false;
    test::PumpedAction during([&] {
        seen = true;
        EXPECT_TRUE(w.DoFrame->Visible());
        EXPECT_EQ(w.DoFrame->Left(), 0);
        EXPECT_EQ(w.DoFrame->Top(), 66 * 15);
        EXPECT_EQ(w.DoFrame->Width(), 334 * 15);
        EXPECT_EQ(w.DoFrame->Height(), 151 * 15);
        EXPECT_FALSE(w.cmdLogin->Enabled());
        EXPECT_FALSE(w.ucGifPlayer1->Frames().empty());
        // Stretch mode 4: as large as the picture.
        EXPECT_EQ(w.ucGifPlayer1->Width(), w.ucGifPlayer1->Header().width * 15);
        EXPECT_EQ(w.ucGifPlayer1->Left(), (w.Width() - w.ucGifPlayer1->Width()) / 2);
        EXPECT_EQ(w.ucGifPlayer1->Top(), 150);
        EXPECT_TRUE(w.Loginabort->Visible());
        EXPECT_EQ(w.Loginabort->Caption(), L"取消登录");
        Service().Release();
    });
    PressLogin();
    EXPECT_TRUE(seen);
}

TEST_F(LoginTest, ALoginInProgressIsNotStartedAgain)
{
    Service().Control(R"({"op":"fault","kind":"hold","times":1})");
    WriteSettings({{L"mempass", L"1"}, {L"user", L"demo"}, {L"pass", DemoDigest}, {L"autologin", L"1"}});
    forms::ClockOverride clock(forms::Now());
    Login& w = Open();
    clock.Advance(9000);
    test::PumpedAction during([&] {
        PressEnter(w.cPass->hWnd());  // Enter in the password box
        w.LoginClick();               // a second click
        clock.Advance(1000);          // the automatic login's time comes
        forms::DoEvents();
        EXPECT_FALSE(w.Timer1->Enabled());
        Service().Release();
    });
    PressLogin();
    EXPECT_TRUE(during.Done());
    EXPECT_EQ(Logins().size(), 1u);
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_TRUE(session::HomeWindow().IsLoaded());
}

TEST_F(LoginTest, CancellingIgnoresTheRunningAttemptAndFreesTheWindow)
{
    Service().Control(R"({"op":"fault","kind":"hold","times":1})");
    Login& w = Open();
    Enter(L"demo", L"demo123");
    test::PumpedAction cancel([&] {
        Click(w.Loginabort->hWnd());
        EXPECT_FALSE(w.DoFrame->Visible());
        EXPECT_TRUE(w.cmdLogin->Enabled());
        Service().Release();
    });
    PressLogin();
    EXPECT_TRUE(cancel.Done());
    // The reply came, and went unheeded.
    EXPECT_EQ(Logins().size(), 1u);
    EXPECT_TRUE(w.IsLoaded());
    EXPECT_FALSE(session::HomeWindow().IsLoaded());
    EXPECT_EQ(session::CurrentSession().LoginReply, L"");
    EXPECT_TRUE(boxes.Boxes().empty());

    // A new login started while the cancelled one still waits is the one that
    // counts. Both requests are held until the new one waits too.
    Service().Control(R"({"op":"fault","kind":"hold","times":2})");
    std::unique_ptr<test::PumpedAction> release;
    test::PumpedAction again([&] {
        Click(w.Loginabort->hWnd());
        release = std::make_unique<test::PumpedAction>([&] { Service().Release(); });
        PressLogin();
    });
    PressLogin();
    EXPECT_TRUE(again.Done());
    EXPECT_TRUE(release->Done());
    EXPECT_EQ(Logins().size(), 3u);
    EXPECT_TRUE(session::HomeWindow().IsLoaded());
    EXPECT_FALSE(w.IsLoaded());
}

// ---- automatic login ----

TEST_F(LoginTest, TheAutomaticLoginPressesTheButtonAfterTenSecondsOnlyOnTheFirstOpening)
{
    WriteSettings({{L"mempass", L"1"}, {L"user", L"demo"}, {L"pass", DemoDigest}, {L"autologin", L"1"}});
    forms::ClockOverride clock(forms::Now());
    Login& w = Open();
    EXPECT_TRUE(w.cAutoLogin->Checked());
    EXPECT_TRUE(w.Timer1->Enabled());
    clock.Advance(9999);
    forms::DoEvents();
    EXPECT_TRUE(Logins().empty());
    clock.Advance(1);
    forms::DoEvents();
    EXPECT_EQ(Logins().size(), 1u);
    EXPECT_TRUE(session::HomeWindow().IsLoaded());
    EXPECT_FALSE(w.IsLoaded());

    // Logout: the login window loads again, without the automatic login.
    session::HomeWindow().Unload();
    Open();
    EXPECT_TRUE(w.cAutoLogin->Checked());
    EXPECT_FALSE(w.Timer1->Enabled());
    clock.Advance(20000);
    forms::DoEvents();
    EXPECT_EQ(Logins().size(), 1u);
}

// The layout values are the main window's sizes only: the run's opening is
// told by its flag, whatever they hold.
TEST_F(LoginTest, TheAutomaticLoginFollowsTheMainWindowsOpeningNotItsLayoutValues)
{
    WriteSettings({{L"mempass", L"1"}, {L"user", L"demo"}, {L"pass", DemoDigest}, {L"autologin", L"1"}});
    session::Session& current = session::CurrentSession();
    const struct {
        bool opened;
        std::int32_t chartHeight, layoutMargin;
        bool armed;
    } cases[] = {{false, 0, 0, true}, {false, 4500, 90, true}, {true, 0, 0, false}, {true, 4500, 90, false}};
    for (const auto& c : cases) {
        current.MainWindowOpened = c.opened;
        current.ChartHeight = c.chartHeight;
        current.LayoutMargin = c.layoutMargin;
        Login& w = Open();
        EXPECT_TRUE(w.cAutoLogin->Checked());
        EXPECT_EQ(w.Timer1->Enabled(), c.armed) << c.opened << " " << c.chartHeight;
        EXPECT_EQ(session::MainWindowOpenedInRun(), c.opened);
        w.Unload();
    }
}

TEST_F(LoginTest, UntickingAutomaticLoginStopsItAndIsRemembered)
{
    WriteSettings({{L"mempass", L"1"}, {L"user", L"demo"}, {L"pass", DemoDigest}, {L"autologin", L"1"}});
    forms::ClockOverride clock(forms::Now());
    Login& w = Open();
    Click(w.cAutoLogin->hWnd());
    EXPECT_FALSE(w.cAutoLogin->Checked());
    EXPECT_FALSE(w.Timer1->Enabled());
    EXPECT_EQ(Login::GetSetValue(L"autologin"), L"0");
    clock.Advance(10000);
    forms::DoEvents();
    EXPECT_TRUE(Logins().empty());
}

TEST_F(LoginTest, TheRememberAndAutomaticBoxesWriteAtOnce)
{
    WriteSettings({{L"mempass", L"1"}, {L"user", L"demo"}, {L"pass", DemoDigest}, {L"autologin", L"0"}});
    Login& w = Open();
    // Unticking "remember" forgets the digest but not the account.
    Click(w.cRemPwd->hWnd());
    EXPECT_FALSE(w.cRemPwd->Checked());
    EXPECT_EQ(Login::GetSetValue(L"mempass"), L"0");
    EXPECT_EQ(Login::GetSetValue(L"pass"), L"");
    EXPECT_EQ(Login::GetSetValue(L"user"), L"demo");
    // Ticking "automatic" ticks "remember" too.
    Click(w.cAutoLogin->hWnd());
    EXPECT_TRUE(w.cAutoLogin->Checked());
    EXPECT_TRUE(w.cRemPwd->Checked());
    EXPECT_EQ(Login::GetSetValue(L"autologin"), L"1");
    EXPECT_EQ(Login::GetSetValue(L"mempass"), L"0");
}

// ---- the links ----

TEST_F(LoginTest, TheLinksOpenTheServicePages)
{
    Login& w = Open();
    Click(w.cmdAbout->hWnd());
    Click(w.lGetPassword->hWnd());
    Click(w.lNewAccount->hWnd());
    const std::wstring site = Service().Primary().substr(0, Service().Primary().size() - 3);
    ASSERT_EQ(shell.Calls().size(), 3u);
    EXPECT_EQ(shell.Calls()[0].file, site);
    EXPECT_EQ(shell.Calls()[1].file, site + L"getpassword.shtml");
    EXPECT_EQ(shell.Calls()[2].file, site + L"register.shtml");
}

// ---- the updater swap ----

class UpdaterSwapTest : public LoginTest {
protected:
    std::wstring exe = forms::App::Path() + L"\\update.exe";
    std::wstring ocx = forms::App::Path() + L"\\update.ocx";
    void Write(const std::wstring& path, const std::string& text)
    {
        forms::WriteFileBytes(path, forms::Bytes(text.begin(), text.end()));
    }
    std::string Read(const std::wstring& path)
    {
        auto bytes = forms::ReadFileBytes(path);
        return std::string(bytes.begin(), bytes.end());
    }
    void TearDown() override
    {
        LoginTest::TearDown();
        DeleteFileW(exe.c_str());
        DeleteFileW(ocx.c_str());
    }
};

TEST_F(UpdaterSwapTest, PutsTheNewUpdaterInPlace)
{
    Write(exe, "old updater");
    Write(ocx, "new updater");
    Open();
    EXPECT_FALSE(forms::FileExists(ocx));
    EXPECT_EQ(Read(exe), "new updater");
}

TEST_F(UpdaterSwapTest, KeepsTheOldUpdaterWhenTheMoveFails)
{
    Write(exe, "old updater");
    Write(ocx, "new updater");
    // The new one is held open by someone who lets nobody rename it.
    HANDLE held = CreateFileW(ocx.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Open();
    CloseHandle(held);
    EXPECT_EQ(Read(exe), "old updater");
    EXPECT_EQ(Read(ocx), "new updater");
}

TEST_F(UpdaterSwapTest, WithoutANewUpdaterNothingChanges)
{
    Write(exe, "old updater");
    Open();
    EXPECT_EQ(Read(exe), "old updater");
}

// ---- what the window shows ----

// Everything drawn and on the screen.
void Painted(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    forms::DoEvents();
}

// A control's window rectangle in the login window's client pixels.
RECT PlacedAt(HWND control, HWND window)
{
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST_F(LoginTest, ControlsSitWhereTheLayoutPutsThem)
{
    Login& w = Open();
    const struct {
        const char* name;
        HWND control;
        int left, top, width, height;
    } cases[] = {
        {"cAcc", w.cAcc->hWnd(), 57, 78, 190, 26},
        {"cPass", w.cPass->hWnd(), 84, 120, 160, 18},
        {"lNewAccount", w.lNewAccount->hWnd(), 252, 84, 64, 14},
        {"lGetPassword", w.lGetPassword->hWnd(), 252, 120, 52, 14},
        // Placed 18 high; the check box keeps itself 15 pixels high.
        {"cRemPwd", w.cRemPwd->hWnd(), 72, 156, 70, 15},
        {"cAutoLogin", w.cAutoLogin->hWnd(), 171, 156, 70, 15},
        {"cmdAbout", w.cmdAbout->hWnd(), 9, 186, 73, 25},
        {"cmdLogin", w.cmdLogin->hWnd(), 264, 186, 61, 25},
        {"DoFrame", w.DoFrame->hWnd(), 0, 0, 334, 151},
    };
    for (const auto& c : cases) {
        const RECT r = PlacedAt(c.control, w.hWnd());
        EXPECT_EQ(r.left, c.left) << c.name;
        EXPECT_EQ(r.top, c.top) << c.name;
        EXPECT_EQ(r.right - r.left, c.width) << c.name;
        EXPECT_EQ(r.bottom - r.top, c.height) << c.name;
    }
    // Inside the progress panel, which the login moves 66 pixels down.
    const RECT abort = PlacedAt(w.Loginabort->hWnd(), w.DoFrame->hWnd());
    EXPECT_EQ(abort.left, 111);
    EXPECT_EQ(abort.top, 120);
    EXPECT_EQ(abort.right - abort.left, 97);
    EXPECT_EQ(abort.bottom - abort.top, 25);
}

// The labels in front of the two boxes keep every stroke: their pixels on
// the screen match the same text drawn with the same font without clipping.
TEST_F(LoginTest, TheAccountAndPasswordLabelsAreNotClipped)
{
    Login& w = Open();
    Painted(w.hWnd());
    const RECT client = test::ClientAreaOnScreen(w.hWnd());
    const uint32_t page = 0xFFF4E4;  // RGB(E4, F4, FF), red in the low byte
    struct Label {
        const wchar_t* text;
        int top;
    } labels[] = {{L"\u5E10  \u53F7", 78}, {L"\u5BC6  \u7801", 116}};
    for (const Label& label : labels) {
        // The label's cell: from the window's edge to the box in front of it.
        const RECT cell{client.left, client.top + label.top, client.left + 57, client.top + label.top + 26};
        int shown = 0;
        for (uint32_t pixel : test::ScreenPixels(cell))
            shown += (pixel & 0xFFFFFF) != page;

        test::DibCanvas canvas(80, 30);
        forms::gdi::BrushHandle background(CreateSolidBrush(RGB(0xE4, 0xF4, 0xFF)));
        const RECT all{0, 0, 80, 30};
        FillRect(canvas.Dc(), &all, background);
        forms::gdi::FontHandle font(CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                                CLEARTYPE_QUALITY, 0, L"\u5B8B\u4F53"));
        forms::gdi::Selection use(canvas.Dc(), font);
        SetBkMode(canvas.Dc(), TRANSPARENT);
        SetTextColor(canvas.Dc(), RGB(0x33, 0x4D, 0x66));
        TextOutW(canvas.Dc(), 4, 4, label.text, lstrlenW(label.text));
        int drawn = 0;
        for (uint32_t pixel : canvas.Pixels())
            drawn += (pixel & 0xFFFFFF) != page;

        EXPECT_GT(drawn, 40) << "the reference shows the text";
        EXPECT_EQ(shown, drawn) << "label at " << label.top;
    }
}

TEST_F(LoginTest, PicturesOfTheWindowAndItsProgressPanel)
{
    WriteSettings({{L"mempass", L"1"}, {L"user", L"demo"}, {L"pass", DemoDigest}, {L"autologin", L"0"}});
    Login& w = Open();
    Painted(w.hWnd());
    RECT window{};
    GetWindowRect(w.hWnd(), &window);
    EXPECT_TRUE(test::SaveScreenPng(window, test::ScreensPath(L"login.png")));
    // The header's blue band above the page's pale blue, and the white
    // password field.
    const RECT client = test::ClientAreaOnScreen(w.hWnd());
    auto at = [&](int x, int y) {
        const RECT one{client.left + x, client.top + y, client.left + x + 1, client.top + y + 1};
        return test::ScreenPixels(one).at(0) & 0xFFFFFF;
    };
    EXPECT_EQ(at(300, 0), 0xC97C2Bu);
    EXPECT_EQ(at(20, 170), 0xFFF4E4u);
    EXPECT_EQ(at(60, 140), 0xFFFFFFu);

    Service().Control(R"({"op":"fault","kind":"hold","times":1})");
    test::PumpedAction during([&] {
        Painted(w.hWnd());
        EXPECT_TRUE(test::SaveScreenPng(window, test::ScreensPath(L"login-progress.png")));
        // The white panel over the boxes, with its cancel button.
        EXPECT_EQ(at(20, 100), 0xFFFFFFu);
        EXPECT_NE(at(111 + 48, 66 + 120 + 12), 0xFFFFFFu);
        Service().Release();
    });
    PressLogin();
    EXPECT_TRUE(during.Done());
}

}  // namespace
