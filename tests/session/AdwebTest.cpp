// The notice window against the reference service's status page: the
// pop-up's size, place and time, the question, and what happens to a page
// that never loads. Timers run on the program's clock.
#include "session/Adweb.h"
#include "session/Session.h"

#include "forms/lang/Clock.h"
#include "forms/lang/Dates.h"
#include "forms/MessageBox.h"
#include "forms/Pump.h"
#include "forms/Screen.h"
#include "forms/Shell.h"
#include "tests/support/Pump.h"
#include "tests/support/ReferenceService.h"
#include "tests/support/ScreenCapture.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

using namespace quill;
using namespace quill::test;

namespace {

using session::Adweb;
using session::AdwebWindow;

class AdwebTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        service_ = std::make_unique<ReferenceService>();
        session::CurrentSession().TwipsPerPixelX = forms::Screen::TwipsPerPixelX();
        session::CurrentSession().TwipsPerPixelY = forms::Screen::TwipsPerPixelY();
    }
    static void TearDownTestSuite() { service_.reset(); }
    void SetUp() override
    {
        service_->Control(R"({"op":"reset"})");
        session::CurrentSession().Reset(session::SessionReset::NewRun);
        session::CurrentSession().ServerBaseUrl = service_->Primary();
    }
    void TearDown() override
    {
        AdwebWindow().Unload();
        forms::DoEvents();
    }

    static ReferenceService& Service() { return *service_; }
    void SetNotice(const std::string& json) { Service().Control(R"({"op":"set","notice":)" + json + "}"); }

    // Loads the notice window hidden, as the main window does, and waits
    // until its browser holds the status page.
    Adweb& LoadAndWaitForThePage()
    {
        Adweb& w = AdwebWindow();
        w.Load();
        EXPECT_TRUE(test::PumpUntil([&] { return w.Web->Document() != nullptr; }));
        return w;
    }
    void Seconds(int n)
    {
        for (int i = 0; i < n; ++i) {
            clock.Advance(1000);
            forms::DoEvents();
        }
    }

    forms::ClockOverride clock{forms::ToDate(L"2025-6-1 10:00:00")};
    forms::MessageBoxScript boxes;
    forms::ShellExecuteRecorder shell;

private:
    static inline std::unique_ptr<ReferenceService> service_;
};

TEST_F(AdwebTest, LoadsHiddenAndAsksForTheStatusPageOfItsVersion)
{
    Adweb& w = LoadAndWaitForThePage();
    EXPECT_TRUE(w.IsLoaded());
    EXPECT_FALSE(IsWindowVisible(w.hWnd()));
    EXPECT_EQ(w.Caption(), L"Quillmoor向您推荐:");
    RECT client{};
    GetClientRect(w.hWnd(), &client);
    EXPECT_EQ(client.right, 389);
    EXPECT_EQ(client.bottom, 325);
    // ServerBaseUrl ends in "/": the address holds two slashes in a row.
    EXPECT_EQ(w.Web->LocationURL(), Service().Primary() + L"/status.shtml?ver=1.3");
    auto log = Service().Requests("primary");
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].target, "notice");
    EXPECT_TRUE(w.Timer1->Enabled());
    EXPECT_EQ(w.GetWebstr(), L"");  // no notice set
    Seconds(15);
    EXPECT_FALSE(w.Timer1->Enabled());
    EXPECT_FALSE(IsWindowVisible(w.hWnd()));
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(AdwebTest, APopupShowsItsPageAtTheBottomRightForItsSeconds)
{
    SetNotice(R"("popup")");  // type 1, showtime 8, 300 x 200, the service's notice.html
    Adweb& w = LoadAndWaitForThePage();
    const std::wstring site = Service().Primary().substr(0, Service().Primary().size() - 3);
    EXPECT_EQ(w.GetWebstr(), L"[set]type=\"1\" showtime=\"8\" url=\"" + site +
                                 L"notice.html\" width=\"300\" height=\"200\"");
    Seconds(14);
    EXPECT_FALSE(IsWindowVisible(w.hWnd()));
    Seconds(1);
    ASSERT_TRUE(IsWindowVisible(w.hWnd()));
    EXPECT_EQ(w.CurrentNotice().type, 1);

    RECT client{}, window{};
    GetClientRect(w.hWnd(), &client);
    GetWindowRect(w.hWnd(), &window);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 200);
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(window.right, screenW - 10);
    EXPECT_EQ(window.bottom, screenH - 44);
    RECT web{};
    GetWindowRect(w.Web->hWnd(), &web);
    MapWindowPoints(nullptr, w.hWnd(), reinterpret_cast<POINT*>(&web), 2);
    EXPECT_EQ(web.left, 0);
    EXPECT_EQ(web.top, 0);
    EXPECT_EQ(web.right, 300);
    EXPECT_EQ(web.bottom, 200);

    // The recommended page, as readable text.
    ASSERT_TRUE(test::PumpUntil([&] { return w.Web->Document() != nullptr; }));
    EXPECT_EQ(w.Web->LocationURL(), site + L"notice.html");
    EXPECT_EQ(w.Web->Document()->title, L"Quillmoor 推荐");
    RedrawWindow(w.hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_TRUE(SaveClientAreaPng(w.hWnd(), test::ScreensPath(L"notice-popup.png")));

    Seconds(7);
    EXPECT_TRUE(w.IsLoaded());
    EXPECT_EQ(w.Seconds(), 7);
    Seconds(1);
    EXPECT_FALSE(w.IsLoaded());
}

TEST_F(AdwebTest, ShowtimeZeroStaysAndOneOrLessClosesAtTheFirstTick)
{
    const struct {
        int showtime;
        bool stays;
    } cases[] = {{0, true}, {1, false}, {-3, false}};
    for (const auto& c : cases) {
        SetNotice(R"({"type":1,"showtime":)" + std::to_string(c.showtime) +
                  R"(,"url":"{site}notice.html","width":200,"height":100})");
        Adweb& w = LoadAndWaitForThePage();
        Seconds(15);
        ASSERT_TRUE(IsWindowVisible(w.hWnd())) << c.showtime;
        EXPECT_EQ(w.Timer2->Enabled(), c.showtime != 0);
        Seconds(1);
        EXPECT_EQ(w.IsLoaded(), c.stays) << c.showtime;
        Seconds(100);
        EXPECT_EQ(w.IsLoaded(), c.stays) << c.showtime;
        w.Unload();
    }
}

TEST_F(AdwebTest, AQuestionIsAskedOnceAndYesOpensTheWebPageOnly)
{
    const std::string site = ToUtf8(Service().Primary().substr(0, Service().Primary().size() - 3));
    const struct {
        std::string url;
        int32_t answer;
        bool opened;
    } cases[] = {
        {site + "notice.html", forms::vbYes, true},
        {site + "notice.html", forms::vbNo, false},
        {"file:///C:/windows/system32/calc.exe", forms::vbYes, false},
        {"C:\\\\windows\\\\system32\\\\calc.exe", forms::vbYes, false},
    };
    for (const auto& c : cases) {
        SetNotice(R"({"type":2,"title":"去看看吗？","url":")" + c.url + R"("})");
        forms::MessageBoxScript answers{c.answer};
        forms::ShellExecuteRecorder opened;
        Adweb& w = LoadAndWaitForThePage();
        Seconds(15);
        ASSERT_EQ(answers.Boxes().size(), 1u) << c.url;
        EXPECT_EQ(answers.Boxes()[0].prompt, L"去看看吗？");
        EXPECT_EQ(answers.Boxes()[0].buttons, forms::vbInformation | forms::vbYesNo);
        EXPECT_EQ(answers.Boxes()[0].title, L"Quillmoor");
        EXPECT_FALSE(IsWindowVisible(w.hWnd()));
        if (c.opened) {
            ASSERT_EQ(opened.Calls().size(), 1u);
            EXPECT_EQ(opened.Calls()[0].file, FromUtf8(c.url));
            EXPECT_EQ(opened.Calls()[0].operation, L"");
            EXPECT_EQ(opened.Calls()[0].parameters, L"");
            EXPECT_EQ(opened.Calls()[0].directory, L"");
            EXPECT_EQ(opened.Calls()[0].showCmd, SW_SHOWNORMAL);
            EXPECT_EQ(opened.Calls()[0].hwnd, w.hWnd());
        } else {
            EXPECT_TRUE(opened.Calls().empty()) << c.url;
        }
        Seconds(30);
        EXPECT_EQ(answers.Boxes().size(), 1u);  // asked once
        w.Unload();
    }
}

// A pop-up whose page is no web address shows nothing: the browser would
// read a local file or a program as well.
TEST_F(AdwebTest, APopupOfALocalPageIsNotShown)
{
    SetNotice(R"({"type":1,"showtime":8,"url":"file:///C:/windows/win.ini","width":300,"height":200})");
    Adweb& w = LoadAndWaitForThePage();
    Seconds(15);
    EXPECT_FALSE(IsWindowVisible(w.hWnd()));
    EXPECT_EQ(w.Web->LocationURL().find(L"win.ini"), std::wstring::npos);
}

TEST_F(AdwebTest, AStatusPageStillLoadingAfterFifteenSecondsGivesNoNotice)
{
    SetNotice(R"("popup")");
    Service().Control(R"({"op":"fault","kind":"hold","on":["notice"]})");
    Adweb& w = AdwebWindow();
    w.Load();
    Seconds(15);
    EXPECT_EQ(w.Web->Document(), nullptr);
    EXPECT_FALSE(w.Timer1->Enabled());
    // The page arrives later: nothing is read again.
    Service().Release();
    ASSERT_TRUE(test::PumpUntil([&] { return w.Web->Document() != nullptr; }));
    EXPECT_NE(w.GetWebstr(), L"");
    Seconds(30);
    EXPECT_FALSE(IsWindowVisible(w.hWnd()));
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(AdwebTest, APageThatNeverCompletesGivesNoNotice)
{
    Adweb& w = AdwebWindow();
    w.Load();
    // The status page of a service that never answers.
    w.Web->Navigate(Service().Primary() + L"never.shtml");
    Seconds(15);
    EXPECT_EQ(w.Web->Document(), nullptr);
    EXPECT_FALSE(IsWindowVisible(w.hWnd()));
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(AdwebTest, EachLoadReadsTheNoticeAgainAndAPopupStaysItsFullTime)
{
    SetNotice(R"("popup")");
    for (int opening = 0; opening < 2; ++opening) {
        Adweb& w = LoadAndWaitForThePage();
        EXPECT_EQ(w.Seconds(), 0);
        Seconds(15);
        ASSERT_TRUE(IsWindowVisible(w.hWnd())) << opening;
        Seconds(7);
        EXPECT_TRUE(w.IsLoaded());
        if (opening == 0) {
            w.Unload();  // the main window closes early
            continue;
        }
        Seconds(1);
        EXPECT_FALSE(w.IsLoaded());
    }
}

}  // namespace
