#include "HomeFixture.h"

#include "workspace/ChartSlot.h"

#include "forms/App.h"
#include "forms/Files.h"
#include "forms/lang/Clock.h"
#include "forms/lang/Dates.h"
#include "forms/lang/Error.h"
#include "forms/Screen.h"
#include "session/HttpRequest.h"
#include "session/Login.h"
#include "session/RecordCache.h"
#include "session/Session.h"
#include "tests/support/Input.h"
#include "tests/support/Pump.h"
#include "tests/support/ScreenCapture.h"

namespace quill::test {

namespace {

const std::wstring DemoAuth = L"username=demo&password=62cc2d8b4bf2d8728120d052163a77df&v=1.3";

}  // namespace

std::wstring UserInfoText(const std::vector<std::pair<int, std::wstring>>& changes)
{
    std::vector<std::wstring> items{L"测试用户", L"0", L"0",   L"1000", L"200", L"300", L"40",
                                    L"0",        L"3", L"2",   L"500",  L"60",  L"1.3", L"0",
                                    L"0",        L"0", L"800", L"9.5",  L"8.2"};
    for (const auto& [item, value] : changes) {
        if (item >= static_cast<int>(items.size()))
            items.resize(static_cast<size_t>(item) + 1);
        items[static_cast<size_t>(item)] = value;
    }
    std::wstring text;
    for (size_t i = 0; i < items.size(); ++i)
        text += (i ? L"|" : L"") + items[i];
    return text;
}

std::wstring DueRow(int id, const std::wstring& platform, const std::wstring& name, int days)
{
    const std::wstring due = forms::DateText(forms::Today() + days);
    return std::to_wstring(id) + L"," + platform + L"," + name + L",2015-1-5," + due +
           L",20000,6,12,11.5,x,1200,1150,2,acc|";
}

std::wstring Snapshot(const std::wstring& userInfo, const std::wstring& platformLists,
                      const std::wstring& dueSoon)
{
    return userInfo + L"[]201512:3:40:0:60|[]P1,1000,200,3,9,8,0,0,0|[][]" + platformLists + L"[]" + dueSoon;
}

void HomeTest::SetUpTestSuite()
{
    // One service for every suite of the run: the window, made once, keeps
    // the address it was made with in its title.
    if (!service_)
        service_ = std::make_unique<ReferenceService>();
    SetEnvironmentVariableW(L"QUILL_SERVER_BASE_URL", service_->Primary().c_str());
    SetEnvironmentVariableW(L"QUILL_BACKUP_BASE_URL", service_->Backup().c_str());
    session::CurrentSession().TwipsPerPixelX = forms::Screen::TwipsPerPixelX();
    session::CurrentSession().TwipsPerPixelY = forms::Screen::TwipsPerPixelY();
    // The chart page's template as it ships beside the program.
    const forms::Bytes page = forms::ReadFileBytes(UnixToWine(QUILL_PROGRAM_DIR) + L"\\webchart.htm");
    forms::WriteFileBytes(workspace::ChartTemplatePath(), page);
}

void HomeTest::TearDownTestSuite()
{
    forms::ResumeNext([] { forms::Kill(workspace::ChartTemplatePath()); });
}

void HomeTest::SetUp()
{
    service_->Control(R"({"op":"reset"})");
    SetEnvironmentVariableW(L"QUILL_NO_CHART_CONTROL", nullptr);
    // Each test is a fresh run of the program, logged in with the demo account.
    session::Session& current = session::CurrentSession();
    current.Reset(session::SessionReset::NewRun);
    current.ServerBaseUrl = service_->Primary();
    current.BackupBaseUrl = service_->Backup();
    current.AuthQuery = DemoAuth;
    Window().ActionBusy = false;
    Window().NowId = -1;
}

void HomeTest::TearDown()
{
    SetEnvironmentVariableW(L"QUILL_NO_CHART_CONTROL", nullptr);
    Window().Unload();
    session::LoginWindow().Unload();
    forms::DoEvents();
}

std::wstring HomeTest::DemoLogin()
{
    int16_t timeout = 0;
    return session::HttpRequest(service_->Primary() + L"softcenter.asp", L"do=login&" + DemoAuth, timeout,
                                L"GB2312", L"", false);
}

workspace::Home& HomeTest::Open(const std::wstring& loginReply)
{
    session::CurrentSession().LoginReply = loginReply;
    Window().Show();
    EXPECT_TRUE(
        PumpUntil([] { return !Window().IsLoaded() || (Window().NowId == 0 && !Window().ActionBusy); }));
    return Window();
}

void HomeTest::DoubleClickAt(HWND window, POINT client)
{
    MoveMouse(window, client.x, client.y);
    DoubleClick();
}

void HomeTest::Picture(workspace::Home& w, const wchar_t* name)
{
    RedrawWindow(w.hWnd(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    forms::DoEvents();
    EXPECT_TRUE(SaveClientAreaPng(w.hWnd(), test::ScreensPath(std::wstring(name) + L".png")));
}

void HomeTest::Release(const std::string& instance)
{
    service_->Control(R"({"op":"release","instance":")" + instance + R"("})");
}

}  // namespace quill::test
