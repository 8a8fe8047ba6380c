#include "session/Login.h"

#include "forms/App.h"
#include "forms/Files.h"
#include "forms/lang/Error.h"
#include "forms/lang/Numbers.h"
#include "forms/lang/Text.h"
#include "forms/MessageBox.h"
#include "forms/Resources.h"
#include "forms/Shell.h"
#include "resources/resource_ids.h"
#include "session/LoginBackground.h"
#include "session/ServiceAddress.h"
#include "session/ServiceLogin.h"
#include "session/Session.h"
#include "session/Md5.h"
#include "protocol/RequestEncoding.h"
#include "protocol/ReplyForms.h"
#include "protocol/ServiceRequests.h"

#include <windows.h>

#include <algorithm>

namespace quill::session {
namespace {

constexpr int Twips = 15;  // the window's design: 15 twips per pixel

const wchar_t ConnectionFailed[] =
    L"登录服务器失败，请检查网络连接。\r\n如果您的网络连接正常，可能是远程服务器临时性维护，请稍候再试。";
// The service answered, but with no account (an unknown code, an error page,
// a page it was sent on to): the network is not what failed.
const wchar_t ReplyUnreadable[] = L"服务器的回应无法识别，请稍后再试。";

std::wstring SettingsFile()
{
    return forms::App::Path() + L"\\p2pset.ini";
}

// A remembered value is restored unless it reads as the number 0 ("0",
// "000", "0.0"); any other text, the empty one included, is restored.
bool Restorable(const std::wstring& value)
{
    return forms::ResumeTest([&] { return forms::ToDouble(value) != 0; });
}

// Puts "update.ocx", a new updater left beside the program, in place of
// "update.exe" in one step: when the move fails the old updater stays.
void SwapInNewUpdater()
{
    const std::wstring ocx = forms::App::Path() + L"\\update.ocx";
    const std::wstring exe = forms::App::Path() + L"\\update.exe";
    if (forms::FileExists(ocx))
        MoveFileExW(ocx.c_str(), exe.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

Login::Login()
    : forms::Form({.caption = L"Quillmoor",
                   .clientWidth = 334 * Twips,
                   .clientHeight = 214 * Twips,
                   .startUpPosition = forms::vbStartUpScreen,
                   .borderStyle = forms::vbFixedSingle,
                   .maxButton = false,
                   .picture = LoginBackground()})
{
}

void Login::CreateControls()
{
    auto verdana = [](double size) { return forms::Font::New(L"Verdana", size); };

    cAcc.Load(*this, forms::ControlArgs{.name = L"cAcc",
                                        .left = 57 * Twips,
                                        .top = 78 * Twips,
                                        .width = 190 * Twips,
                                        .height = 26 * Twips,
                                        .tabIndex = 0});
    cPass.Load(
        *this,
        forms::ControlArgs{.name = L"cPass",
                           .left = 84 * Twips,
                           .top = 120 * Twips,
                           .width = 160 * Twips,
                           .height = 18 * Twips,
                           .tabIndex = 1},
        forms::TextBoxArgs{.passwordChar = L'*', .maxLength = 32, .borderStyle = 0, .font = verdana(10.5)});
    cPass->Change = [this] { cPass_Change(); };
    cPass->DblClick = [this] { cPass_DblClick(); };
    cPass->KeyDown = [this](forms::KeyArgs& e) { cPass_KeyDown(e); };

    static const forms::PropertyBag newAccount{{L"Caption", L"注册新账号"}};
    lNewAccount.Load(*this,
                     forms::ControlArgs{.name = L"lNewAccount",
                                        .left = 252 * Twips,
                                        .top = 84 * Twips,
                                        .width = 64 * Twips,
                                        .height = 14 * Twips,
                                        .tabStop = false},
                     &newAccount);
    lNewAccount->Click = [this] { OpenSitePage(L"register.shtml"); };
    static const forms::PropertyBag getPassword{{L"Caption", L"找回密码"}};
    lGetPassword.Load(*this,
                      forms::ControlArgs{.name = L"lGetPassword",
                                         .left = 252 * Twips,
                                         .top = 120 * Twips,
                                         .width = 52 * Twips,
                                         .height = 14 * Twips,
                                         .tabStop = false},
                      &getPassword);
    lGetPassword->Click = [this] { OpenSitePage(L"getpassword.shtml"); };

    static const forms::PropertyBag remember{{L"Caption", L"记住密码"}};
    cRemPwd.Load(*this,
                 forms::ControlArgs{.name = L"cRemPwd",
                                    .left = 72 * Twips,
                                    .top = 156 * Twips,
                                    .width = 70 * Twips,
                                    .height = 18 * Twips,
                                    .tabIndex = 2},
                 &remember);
    cRemPwd->Click = [this] { cRemPwd_Click(); };
    static const forms::PropertyBag autoLogin{{L"Caption", L"自动登录"}};
    cAutoLogin.Load(*this,
                    forms::ControlArgs{.name = L"cAutoLogin",
                                       .left = 171 * Twips,
                                       .top = 156 * Twips,
                                       .width = 70 * Twips,
                                       .height = 18 * Twips,
                                       .tabIndex = 3},
                    &autoLogin);
    cAutoLogin->Click = [this] { cAutoLogin_Click(); };

    static const forms::PropertyBag about{{L"Caption", L"访问官网"}, {L"Style", 8}, {L"Font", verdana(8.25)}};
    cmdAbout.Load(*this,
                  forms::ControlArgs{.name = L"cmdAbout",
                                     .left = 9 * Twips,
                                     .top = 186 * Twips,
                                     .width = 73 * Twips,
                                     .height = 25 * Twips,
                                     .tabIndex = 5},
                  &about);
    cmdAbout->Click = [this] { OpenSitePage(L""); };
    static const forms::PropertyBag login{{L"Caption", L"登录"}, {L"Style", 8}, {L"Font", verdana(8.25)}};
    cmdLogin.Load(*this,
                  forms::ControlArgs{.name = L"cmdLogin",
                                     .left = 264 * Twips,
                                     .top = 186 * Twips,
                                     .width = 61 * Twips,
                                     .height = 25 * Twips,
                                     .tabIndex = 4},
                  &login);
    cmdLogin->Click = [this] { LoginClick(); };

    DoFrame.Load(
        *this,
        forms::ControlArgs{.name = L"DoFrame", .width = 334 * Twips, .height = 151 * Twips, .visible = false},
        forms::FrameArgs{.borderStyle = 0, .backColor = 0xFFFFFF});
    DoFrame->ZOrder(0);  // the panel covers the controls below the header
    // Stretch mode 4: the control takes the size of the picture loaded into it.
    static const forms::PropertyBag stretchToPicture{{L"Stretch", 4}};
    ucGifPlayer1.Load(
        *DoFrame,
        forms::ControlArgs{
            .name = L"ucGifPlayer1", .width = 150 * Twips, .height = 100 * Twips, .tabStop = false},
        &stretchToPicture);
    Loginabort.Load(*DoFrame,
                    forms::ControlArgs{.name = L"Loginabort",
                                       .left = 111 * Twips,
                                       .top = 120 * Twips,
                                       .width = 97 * Twips,
                                       .height = 25 * Twips},
                    forms::CommandButtonArgs{.caption = L"取消登录"});
    Loginabort->Click = [this] { Loginabort_Click(); };

    Timer1.Load(*this, forms::ControlArgs{.name = L"Timer1"},
                forms::TimerArgs{.interval = 10000, .enabled = false});
    Timer1->Timer = [this] { Timer1_Timer(); };
}

void Login::Form_Load()
{
    loginRunning_ = false;
    passRestored_ = false;
    forms::ResumeNext([&] { Caption(forms::App::Title() + L" - V" + forms::App::MajorMinor()); });
    forms::ResumeNext([&] {
        Session& session = CurrentSession();
        session.ServerBaseUrl = ServicePrimaryBaseUrl();
        session.BackupBaseUrl = ServiceBackupBaseUrl();
    });
    forms::ResumeNext([&] {
        if (GetSetValue(L"mempass") != L"1")
            return;
        forms::ResumeNext([&] { cRemPwd->Checked(true); });
        forms::ResumeNext([&] {
            const std::wstring user = GetSetValue(L"user");
            if (Restorable(user))
                cAcc->Text(user);
        });
        forms::ResumeNext([&] {
            const std::wstring pass = GetSetValue(L"pass");
            if (Restorable(pass)) {
                cPass->Text(pass);
                passRestored_ = true;
            }
        });
        forms::ResumeNext([&] {
            if (GetSetValue(L"autologin") == L"1") {
                cAutoLogin->Checked(true);
                if (!MainWindowOpenedInRun())
                    Timer1->Enabled(true);
            }
        });
    });
    forms::ResumeNext([&] { SwapInNewUpdater(); });
}

void Login::Form_Unload(int16_t& Cancel)
{
    // A login still waiting in its request must leave the released controls
    // alone when its reply comes.
    ++attempt_;
    loginRunning_ = false;
}

void Login::LoginClick()
{
    // Enter, the timer and a second click all come here: one login at a time.
    if (loginRunning_)
        return;
    const std::wstring account = cAcc->Text();
    const std::wstring password = cPass->Text();
    if (forms::Len(account) < 3 || forms::Len(password) < 3) {
        forms::MsgBox(L"请输入正确的用户名或密码。", forms::vbInformation, L"登录");
        return;
    }
    loginRunning_ = true;
    const int attempt = ++attempt_;

    forms::ResumeNext([&] { cmdLogin->Enabled(false); });
    forms::ResumeNext([&] {
        DoFrame->Move(0, 66 * Twips);
        DoFrame->Visible(true);
    });
    forms::ResumeNext([&] {
        ucGifPlayer1->LoadAnimatedGIF_Array(forms::LoadResData(IDR_LOADING_GIF));
        ucGifPlayer1->Move((Width() - ucGifPlayer1->Width()) / 2, 150);
    });

    // A typed password is always hashed, whatever its length; only the digest
    // restored at load goes out as it is.
    const std::wstring digest =
        passRestored_ && forms::Len(password) == 32 ? password : MD5Hex(password, 32, false);
    Session& session = CurrentSession();
    session.AuthQuery = L"username=" + protocol::EscapeFieldValue(account) + L"&password=" + digest + L"&v=" +
                        forms::App::MajorMinor();

    const std::optional<LoginExchange> exchange =
        LoginWithBackup(protocol::LoginRequest(session.AuthQuery), protocol::LoginNeedsBackup,
                        BackupSwitch::LeftToCaller, [&] { return attempt == attempt_; });
    if (!exchange)
        return;  // cancelled while it waited
    session.LoginReply = exchange->reply;

    const protocol::LoginVerdict verdict = protocol::ClassifyLoginReply(session.LoginReply);
    if (verdict.outcome == protocol::LoginOutcome::Unreachable) {
        session.LoginReply.clear();
        EndAttempt();
        forms::MsgBox(exchange->answered ? ReplyUnreadable : ConnectionFailed, forms::vbInformation,
                      L"登录失败");
        return;
    }
    if (exchange->backupUsed)
        session.ServerBaseUrl = session.BackupBaseUrl;
    if (verdict.outcome == protocol::LoginOutcome::Refused) {
        EndAttempt();
        forms::MsgBox(verdict.refusalMessage, forms::vbInformation, L"登录失败");
        if (verdict.refusalCode == L"-5")
            OpenSitePage(L"");
        return;
    }

    if (cRemPwd->Checked()) {
        SaveSetValue(L"mempass", L"1");
        SaveSetValue(L"pass", digest);
        SaveSetValue(L"user", account);
        SaveSetValue(L"autologin", cAutoLogin->Checked() ? L"1" : L"0");
    } else {
        SaveSetValue(L"mempass", L"0");
        SaveSetValue(L"pass", L"");
        SaveSetValue(L"user", L"");
        SaveSetValue(L"autologin", L"0");
    }
    // Enter, the timer and a second click stay refused while the main window
    // opens: its load handles messages while it fills its boxes.
    OpenMainWindow();
    if (attempt != attempt_)
        return;  // 取消登录 while it opened: the logout showed this window anew
    loginRunning_ = false;
    Unload();
}

void Login::EndAttempt()
{
    loginRunning_ = false;
    forms::ResumeNext([&] { cmdLogin->Enabled(true); });
    forms::ResumeNext([&] { DoFrame->Visible(false); });
}

void Login::Loginabort_Click()
{
    if (MainWindowOpening()) {
        CancelMainWindowOpening();
        return;
    }
    // The request goes on in its wait; what it brings back is no longer wanted.
    ++attempt_;
    EndAttempt();
}

void Login::cRemPwd_Click()
{
    if (!cRemPwd->Checked()) {
        SaveSetValue(L"mempass", L"0");
        SaveSetValue(L"pass", L"");
    }
}

void Login::cAutoLogin_Click()
{
    if (cAutoLogin->Checked()) {
        cRemPwd->Checked(true);
        SaveSetValue(L"autologin", L"1");
    } else {
        Timer1->Enabled(false);
        SaveSetValue(L"autologin", L"0");
    }
}

void Login::cPass_Change()
{
    passRestored_ = false;
}

void Login::cPass_DblClick()
{
    cPass->Text(L"");
}

void Login::cPass_KeyDown(forms::KeyArgs& e)
{
    if (e.KeyCode == 13)
        LoginClick();
}

void Login::Timer1_Timer()
{
    Timer1->Enabled(false);
    LoginClick();
}

void Login::OpenSitePage(const std::wstring& page)
{
    forms::ShellExecuteA(hWnd(), L"", ServiceSiteUrl() + page, L"", forms::App::Path(), SW_SHOWNORMAL);
}

std::wstring Login::GetSetValue(const std::wstring& key)
{
    // A buffer of 256 spaces filled by the profile reader, trimmed, less its
    // last character, the terminator: so a value is read up to 255 bytes and
    // its leading spaces are lost.
    const std::wstring buffer =
        forms::GetPrivateProfileStringA(L"Set", key, L"", std::wstring(256, L' '), SettingsFile());
    const std::wstring trimmed = forms::Trim(buffer);
    return forms::Left(trimmed, std::max(forms::Len(trimmed) - 1, 0L));
}

void Login::SaveSetValue(const std::wstring& key, const std::wstring& value)
{
    forms::WritePrivateProfileStringA(L"Set", key, value, SettingsFile());
}

Login& LoginWindow()
{
    static Login login;
    return login;
}

void Login::ShowNotifyMenu()
{
    POINT cursor{};
    forms::ResumeNext([&] { GetCursorPos(&cursor); });
    frmMenu& menu = MenuWindow();
    forms::ResumeNext([&] { menu.UnloadMenu(); });
    forms::ResumeNext([&] { menu.Load(); });
    forms::ResumeNext([&] { menu.Callback = this; });
    forms::ResumeNext([&] { menu.InitMenu(1, 109); });
    forms::ResumeNext([&] { menu.AddMenu(0, 0, L"打开登录面板"); });
    forms::ResumeNext([&] { menu.AddMenu(-1, 1, L""); });
    forms::ResumeNext([&] { menu.AddMenu(1, 0, L"退出"); });
    forms::ResumeNext([&] { menu.ShowMenu(static_cast<float>(cursor.x), static_cast<float>(cursor.y), 0); });
}

void Login::MenuItemClicked(std::int32_t MenuID, std::int32_t itemID)
{
    if (MenuID == 0) {
        chosenEntry_ = itemID;
        ReDrawDrop();
    } else if (MenuID == 1) {
        if (itemID == 0)
            ShowMainForm();
        else if (itemID == 1)
            Unload();
    }
}

void Login::ShowMainForm()
{
    forms::ResumeNext([&] { WindowState(forms::vbNormal); });
    forms::ResumeNext([&] { Show(); });
}

void Login::ReDrawDrop()
{
    using namespace Gdiplus::DllExports;
    if (!dropSurface_)
        return;
    GdipGraphicsClear(dropSurface_, 0xFFE4F4FF);
    Gdiplus::GpBrush* fill = nullptr;
    if (dropHover_ && !dropPressed_)
        fill = hoverBrush_;
    else if (dropPressed_)
        fill = pressedBrush_;
    if (!fill)
        return;
    GdipDrawPath(dropSurface_, dropPen1_, dropPath1_);
    GdipFillRectangleI(dropSurface_, fill, 1, 1, 30, 20);
    GdipDrawPath(dropSurface_, dropPen2_, dropPath2_);
}

void Login::EndMe()
{
    skinner_.reset();
    // Every open window of the program, this one included.
    const std::vector<forms::Form*> open = forms::Forms();
    for (forms::Form* form : open)
        forms::ResumeNext([&] { form->Unload(); });
    dropPen1_.Reset();
    dropPen2_.Reset();
    dropPath1_.Reset();
    dropPath2_.Reset();
    hoverBrush_.Reset();
    pressedBrush_.Reset();
    dropBrush_.Reset();
    dropSurface_.Reset();
    ShutdownGdiplus(GdipToken);
}

void ShowLoginWindow()
{
    LoginWindow().Show();
}

void UnloadLoginWindow()
{
    LoginWindow().Unload();
}

}  // namespace quill::session
