// The main window's frame: its load and unload, the session values and the
// snapshot loader, logout, the loading and summary panels, the update button
// and prompt, and the layout pass on the real window.
#include "HomeFixture.h"

#include "workspace/ChartSlot.h"
#include "workspace/HomeLayout.h"
#include "workspace/ProjectRows.h"

#include "forms/App.h"
#include "forms/Files.h"
#include "forms/lang/Clock.h"
#include "forms/lang/Dates.h"
#include "forms/lang/Numbers.h"
#include "forms/Screen.h"
#include "session/MainWindowLink.h"
#include "session/Login.h"
#include "session/RecordCache.h"
#include "session/Session.h"
#include "tests/support/Input.h"
#include "tests/support/Pump.h"

using namespace quill;
using workspace::Home;

namespace quill::test {
namespace {

std::vector<std::wstring> Entries(const forms::ComboBox& box)
{
    std::vector<std::wstring> out;
    for (int32_t i = 0; i < box.ListCount(); ++i)
        out.push_back(box.List(i));
    return out;
}

using Names = std::vector<std::wstring>;

TEST_F(HomeTest, OpensMaximisedWithItsTitleAndGreeting)
{
    Home& w = Open(Snapshot(UserInfoText()));
    EXPECT_TRUE(IsWindowVisible(w.hWnd()));
    EXPECT_TRUE(IsZoomed(w.hWnd()));
    EXPECT_EQ(w.WindowState(), forms::vbMaximized);
    std::wstring site = Service().Primary().substr(7);  // after "http://"
    site = site.substr(0, site.find(L'/'));
    EXPECT_EQ(w.Caption(), L"Quillmoor - " + site + L" - V1.3");
    EXPECT_EQ(w.Maininfo->Caption(), L"测试用户，欢迎您的登录。");
    // The first opening in the run sets the margin and the chart height for good.
    EXPECT_EQ(session::CurrentSession().LayoutMargin,
              forms::Screen::Height() / forms::Screen::TwipsPerPixelY() >= 900 ? 90 : 15);
    EXPECT_EQ(session::CurrentSession().ChartHeight, 300 * 15);
    EXPECT_EQ(w.ShownListKind, workspace::ProjectList);  // the overview's list
    EXPECT_EQ(w.NowIDb, 0);
    EXPECT_FALSE(w.LoadBe);
    // Calendar boxes: this year - 3 to + 3, showing this year and month.
    const int year = forms::Year(forms::Today());
    ASSERT_EQ(w.Combo3->ListCount(), 7);
    EXPECT_EQ(w.Combo3->List(0), std::to_wstring(year - 3));
    EXPECT_EQ(w.Combo3->Text(), std::to_wstring(year));
    EXPECT_EQ(w.Combo4->ListCount(), 12);
    EXPECT_EQ(w.Combo4->Text(), std::to_wstring(forms::Month(forms::Today())));
    EXPECT_EQ(w.Combo5->ListIndex(), 0);
    // The list's own settings.
    EXPECT_EQ(w.ListView->Font()->Size(), 11);
    EXPECT_EQ(w.ListView->ItemPaddingBottom(), 15);
    EXPECT_FALSE(w.ListView->MultiSelect());
    EXPECT_EQ(w.ListView->BorderStyle(), 0);
    EXPECT_FALSE(w.ListView->ItemsAutoSize());
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(HomeTest, EachButtonWearsItsDesignsStyle)
{
    Home& w = Open(Snapshot(UserInfoText()));
    const struct {
        const button::StyledButton& button;
        int style;
    } designs[] = {
        {*w.StyledButton2, 8}, {*w.StyledButton3, 8}, {*w.StyledButton4, 6}, {*w.StyledButton7, 6},
        {*w.StyledButton5, 4}, {*w.StyledButton6, 4}, {*w.addcover, 1},      {*w.Doedit, 7},
        {*w.Doover, 7},        {*w.Dodel, 7},         {*w.Dobad, 7},         {*w.DoBack, 7},
    };
    for (const auto& d : designs)
        EXPECT_EQ(d.button.Style(), d.style) << ToUtf8(d.button.Name());
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(w.StyledButton1[i].Style(), 10) << i;
}

TEST_F(HomeTest, ReLoadSplitsTheSnapshotAndFillsTheFourBoxes)
{
    Home& w = Open(Snapshot(UserInfoText()));
    const struct {
        std::wstring lists;
        Names combo1, addptmc, combo2, addptid;
    } cases[] = {
        {L"P1,P2,|A1,", {L"", L"P1", L"P2"}, {L"P1", L"P2"}, {L"", L"A1"}, {L"A1"}},
        {L"|", {L""}, {}, {L""}, {}},
        {L"人人贷,陆金所,人人贷,|小明,,",
         {L"", L"人人贷", L"陆金所", L"人人贷"},
         {L"人人贷", L"陆金所", L"人人贷"},
         {L"", L"小明", L""},
         {L"小明", L""}},
    };
    for (const auto& c : cases) {
        w.ReLoad(Snapshot(UserInfoText(), c.lists));
        EXPECT_EQ(Entries(*w.Combo1), c.combo1) << c.lists;
        EXPECT_EQ(Entries(*w.Addptmc), c.addptmc) << c.lists;
        EXPECT_EQ(Entries(*w.Combo2), c.combo2) << c.lists;
        EXPECT_EQ(Entries(*w.Addptid), c.addptid) << c.lists;
    }
    w.ReLoad(Snapshot(UserInfoText(), L"P1,P2,|A1,"));
    EXPECT_EQ(session::CurrentSession().MonthlySection, L"201512:3:40:0:60|");
    EXPECT_EQ(session::CurrentSession().CurrentPlatformSection, L"P1,1000,200,3,9,8,0,0,0|");
    EXPECT_EQ(session::CurrentSession().FinishedPlatformSection, L"");
    EXPECT_EQ(session::CurrentSession().PlatformListSection, L"P1,P2,|A1,");
    EXPECT_EQ(session::CurrentSession().UserInfo.Count(), 19);
    // Section 4 without "|": the platform boxes empty, the account boxes as they were.
    w.ReLoad(Snapshot(UserInfoText(), L"P9,"));
    EXPECT_EQ(Entries(*w.Combo1), Names{});
    EXPECT_EQ(Entries(*w.Addptmc), Names{});
    EXPECT_EQ(Entries(*w.Combo2), (Names{L"", L"A1"}));
    EXPECT_EQ(Entries(*w.Addptid), Names{L"A1"});
    EXPECT_TRUE(boxes.Boxes().empty());
}

// Thousands of names take the platform's combo boxes seconds: the windows
// answer while the boxes fill (an action waiting in the message queue runs
// before the fill ends), and every name arrives, in order.
TEST_F(HomeTest, ThousandsOfNamesFillTheBoxesWhileTheWindowsAnswer)
{
    Home& w = Open(Snapshot(UserInfoText()));
    constexpr int count = 1000;
    std::wstring platforms, accounts;
    Names platformNames, accountNames;
    for (int i = 0; i < count; ++i) {
        platformNames.push_back(L"平台" + std::to_wstring(i));
        accountNames.push_back(L"账户" + std::to_wstring(i));
        platforms += platformNames.back() + L",";
        accounts += accountNames.back() + L",";
    }
    int filledWhenItRan = -1;
    test::PumpedAction during([&] { filledWhenItRan = w.Addptmc->ListCount(); });
    w.ReLoad(Snapshot(UserInfoText(), platforms + L"|" + accounts));
    EXPECT_TRUE(during.Done());
    EXPECT_GT(filledWhenItRan, 0);
    EXPECT_LT(filledWhenItRan, count);
    EXPECT_EQ(Entries(*w.Addptmc), platformNames);
    EXPECT_EQ(Entries(*w.Addptid), accountNames);
    platformNames.insert(platformNames.begin(), L"");
    accountNames.insert(accountNames.begin(), L"");
    EXPECT_EQ(Entries(*w.Combo1), platformNames);
    EXPECT_EQ(Entries(*w.Combo2), accountNames);
    // A fill that another one overtakes stops where it is: the boxes hold the later one's names.
    test::PumpedAction overtaking([&] { w.ReLoad(Snapshot(UserInfoText(), L"P1,|A1,")); });
    w.ReLoad(Snapshot(UserInfoText(), platforms + L"|" + accounts));
    EXPECT_TRUE(overtaking.Done());
    EXPECT_EQ(Entries(*w.Combo1), (Names{L"", L"P1"}));
    EXPECT_EQ(Entries(*w.Combo2), (Names{L"", L"A1"}));
    EXPECT_EQ(Entries(*w.Addptid), Names{L"A1"});
    EXPECT_TRUE(boxes.Boxes().empty());
}

// 取消登录 while the main window opens on an account of thousands of names:
// the opening stops, and the program is back at the login window, as after
// a logout.
TEST_F(HomeTest, CancellingTheLoginWhileTheMainWindowOpensReturnsToTheLoginWindow)
{
    Service().Control(
        R"({"op":"seed_projects","name":"many","password":"many12","count":3000,"distinct_names":true})");
    session::SetMainWindowOpener([] { workspace::HomeWindow().Show(); });
    session::Login& login = session::LoginWindow();
    login.Show();
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(login.hWnd()) != FALSE; }));
    login.cAcc->Text(L"many");
    login.cPass->Text(L"many12");
    int filledWhenCancelled = -1;
    test::PumpedAction cancel([&] {
        filledWhenCancelled = Window().Addptmc->ListCount();
        ClickAt(login.Loginabort->hWnd());
    });
    cancel.When([] { return session::MainWindowOpening() && Window().Addptmc->ListCount() > 0; });
    ClickAt(login.cmdLogin->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return cancel.Done() && !Window().IsLoaded(); }));
    EXPECT_LT(filledWhenCancelled, 3000);
    EXPECT_TRUE(login.IsLoaded());
    EXPECT_TRUE(IsWindowVisible(login.hWnd()));
    EXPECT_TRUE(login.cmdLogin->Enabled());
    EXPECT_TRUE(session::CurrentSession().AuthQuery.empty());  // logged out
    EXPECT_TRUE(boxes.Boxes().empty());
    // And the next login opens the main window.
    login.cAcc->Text(L"demo");
    login.cPass->Text(L"demo123");
    ClickAt(login.cmdLogin->hWnd());
    ASSERT_TRUE(
        PumpUntil([&] { return Window().IsLoaded() && Window().NowId == 0 && !Window().ActionBusy; }));
    EXPECT_FALSE(login.IsLoaded());
    session::SetMainWindowOpener(nullptr);
}

TEST_F(HomeTest, TheStatusLineAfterALoad)
{
    Home& w = Open(Snapshot(UserInfoText(), L"|", DueRow(1, L"P", L"N", 4)));
    const struct {
        std::wstring count8, count9, dueSoon, line;
    } cases[] = {
        {L"0", L"0", DueRow(1, L"P", L"N", 4), L"您还没有录入投资数据，请进行记账操作。"},
        {L"0.0", L"0", L"", L"最近30天没有待收项目，您可安心做甩手掌柜^_^!"},
        {L"3", L"0", L"", L"最近30天没有待收项目，您可安心做甩手掌柜^_^!"},
        {L"3", L"2", DueRow(1, L"P", L"N", 4), L"kept"},
    };
    for (const auto& c : cases) {
        w.MaininfoR->Caption(L"kept");
        w.ReLoad(Snapshot(UserInfoText({{8, c.count8}, {9, c.count9}}), L"|", c.dueSoon));
        EXPECT_EQ(w.MaininfoR->Caption(), c.line) << c.count8 << L"/" << c.count9;
    }
}

TEST_F(HomeTest, AShortSnapshotIsReportedOnceAndLeavesWhatItLacksEmpty)
{
    Home& w = Open(Snapshot(UserInfoText()));
    w.ReLoad(UserInfoText() + L"[]201512:3:40:0:60|");
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].prompt, L"下标越界 Reload出错.");
    EXPECT_EQ(boxes.Boxes()[0].buttons, forms::vbCritical);
    EXPECT_EQ(session::CurrentSession().MonthlySection, L"201512:3:40:0:60|");
    EXPECT_EQ(session::CurrentSession().PlatformListSection, L"");
    EXPECT_EQ(session::CurrentSession().DueSoonSection, L"");
    EXPECT_TRUE(w.IsLoaded());
    // A given text of three characters is loaded, not taken for a refusal.
    w.ReLoad(L"-2|");
    EXPECT_TRUE(w.IsLoaded());
    EXPECT_EQ(session::CurrentSession().LoginReply, L"-2|");
}

TEST_F(HomeTest, ANameOfMoreThanFiftyCharactersEndsTheProgram)
{
    Open(Snapshot(UserInfoText({{0, std::wstring(50, L'名')}})));
    EXPECT_TRUE(Window().IsLoaded());
    EXPECT_TRUE(boxes.Boxes().empty());
    Window().ReLoad(Snapshot(UserInfoText({{0, std::wstring(51, L'u')}})));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].prompt,
              L"登录时服务器上发生错误，无法继续操作，请稍候再试或联系客服人员反馈问题，谢谢。");
    EXPECT_EQ(boxes.Boxes()[0].title, L"出错");
    EXPECT_EQ(boxes.Boxes()[0].buttons, forms::vbCritical);
    EXPECT_FALSE(Window().IsLoaded());
    EXPECT_EQ(ends.Ends(), 1);
}

TEST_F(HomeTest, AReloginFetchesTheSnapshotAndARefusalLogsOut)
{
    Home& w = Open(Snapshot(UserInfoText()));
    Service().ClearLogs();
    w.ReLoad(L"");
    EXPECT_TRUE(w.IsLoaded());
    EXPECT_EQ(session::CurrentSession().UserInfo.Text(0), L"演示用户");
    Service().AwaitLogged("primary", 1);
    const auto requests = Service().Requests("primary");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].target, "relogin");

    // A refusal fetched by the re-login (a reply without "[]" is asked of the
    // backup too): the message, then the login window.
    Service().Control(
        R"({"op":"fault","kind":"refusal","on":["relogin","login"],"code":"-2","instance":"both"})");
    w.ReLoad(L"");
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].prompt, L"操作过程中产生通讯错误，请重新登录操作。");
    EXPECT_EQ(boxes.Boxes()[0].buttons, forms::vbInformation);
    EXPECT_FALSE(w.IsLoaded());
    EXPECT_TRUE(session::LoginWindow().IsLoaded());
    EXPECT_TRUE(session::CurrentSession().AuthQuery.empty());
}

TEST_F(HomeTest, AReloginWithoutASnapshotTriesTheBackupAndKeepsIt)
{
    Home& w = Open(Snapshot(UserInfoText()));
    Service().Control(R"({"op":"fault","kind":"empty","on":["relogin"],"times":1})");
    Service().ClearLogs();
    w.ReLoad(L"");
    EXPECT_EQ(session::CurrentSession().ServerBaseUrl, Service().Backup());
    const auto backup = Service().Requests("backup");
    ASSERT_EQ(backup.size(), 1u);
    EXPECT_EQ(backup[0].target, "login");
    EXPECT_EQ(session::CurrentSession().UserInfo.Text(0), L"演示用户");
}

// As a user runs the program: the login window opens the main window, a
// logout goes back to the login window, and a second login opens it again.
TEST_F(HomeTest, TheLoginOpensTheMainWindowAndALogoutReturnsToIt)
{
    session::SetMainWindowOpener([] { workspace::HomeWindow().Show(); });
    session::Login& login = session::LoginWindow();
    for (int round = 0; round < 2; ++round) {
        login.Show();
        ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(login.hWnd()) != FALSE; })) << round;
        login.cAcc->Text(L"demo");
        login.cPass->Text(L"demo123");
        ClickAt(login.cmdLogin->hWnd());
        Home& w = Window();
        ASSERT_TRUE(PumpUntil([&] { return w.IsLoaded() && w.NowId == 0 && !w.ActionBusy; })) << round;
        EXPECT_EQ(w.WindowState(), forms::vbMaximized);
        EXPECT_EQ(w.Maininfo->Caption(), L"演示用户，欢迎您的登录。");
        EXPECT_GT(w.ListView->ItemCount(), 0);  // the demo account's projects due soon
        ClickAt(w.StyledButton3->hWnd());
        ASSERT_TRUE(PumpUntil([&] { return !w.IsLoaded(); })) << round;
        EXPECT_TRUE(IsWindowVisible(login.hWnd())) << round;
    }
    EXPECT_TRUE(boxes.Boxes().empty());
    session::SetMainWindowOpener(nullptr);
}

TEST_F(HomeTest, LogoutEmptiesTheSessionAndShowsTheLoginWindow)
{
    Home& w = Open(DemoLogin());
    session::CachePut(7, L"a project's record");
    session::CurrentSession().CurrentListCache = L"1,x|";
    session::CurrentSession().FinishedListCache = L"2,y|";
    ClickAt(w.StyledButton3->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return !w.IsLoaded(); }));
    EXPECT_TRUE(session::LoginWindow().IsLoaded());
    EXPECT_TRUE(IsWindowVisible(session::LoginWindow().hWnd()));
    EXPECT_TRUE(session::CurrentSession().AuthQuery.empty());
    EXPECT_TRUE(session::CurrentSession().LoginReply.empty());
    for (const std::wstring* value :
         {&session::CurrentSession().MonthlySection, &session::CurrentSession().CurrentPlatformSection,
          &session::CurrentSession().FinishedPlatformSection, &session::CurrentSession().PlatformListSection,
          &session::CurrentSession().DueSoonSection, &session::CurrentSession().CurrentListCache,
          &session::CurrentSession().FinishedListCache})
        EXPECT_TRUE(value->empty());
    // Another account in this run sees nothing of this one.
    EXPECT_EQ(session::CurrentSession().UserInfo.Count(), 0);
    EXPECT_EQ(session::CacheGet(7), L"");
    EXPECT_FALSE(w.ActionBusy);
    // The run's first opening is over: no automatic login is armed again.
    EXPECT_TRUE(session::CurrentSession().MainWindowOpened);
    EXPECT_NE(session::CurrentSession().ChartHeight, 0);
    EXPECT_NE(session::CurrentSession().LayoutMargin, 0);
}

TEST_F(HomeTest, TheSummaryPanelsHeightsAndTiles)
{
    Home& w = Open(Snapshot(UserInfoText()));
    const struct {
        int32_t lines;
        int height, shown;
    } cases[] = {{4, 1095, 4},   {5, 2040, 5},   {8, 2040, 8}, {9, 2985, 9},  {12, 2985, 12},
                 {13, 3930, 13}, {16, 3930, 16}, {0, 1095, 0}, {-3, 1095, 0}, {40, 3930, 16}};
    for (const auto& c : cases) {
        w.LoadTlist(c.lines);
        EXPECT_EQ(w.Ole1->Height(), c.height) << c.lines;
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(w.Ole1img[i].Visible(), i < c.shown) << c.lines << " tile " << i;
            EXPECT_EQ(w.Ole1Label[i].Visible(), i < c.shown) << c.lines << " tile " << i;
            EXPECT_EQ(w.Ole1Money[i].Visible(), i < c.shown) << c.lines << " tile " << i;
        }
    }
    // Four rows of four: the captions at their columns, the values 450 lower.
    EXPECT_EQ(w.Ole1Label[5].Left(), 4590);
    EXPECT_EQ(w.Ole1Label[5].Top(), 180 + 945);
    EXPECT_EQ(w.Ole1Money[15].Left(), 11160);
    EXPECT_EQ(w.Ole1Money[15].Top(), 180 + 3 * 945 + 450);
}

TEST_F(HomeTest, TheLoadingPanelsStatesAndPlace)
{
    Home& w = Open(Snapshot(UserInfoText()));
    const struct {
        int16_t type;
        bool shown;
        const wchar_t* label;
        int pictureWidth;
    } cases[] = {{1, true, L"正在加载中，请稍候...", 150},
                 {2, true, L"呃，加载失败，请再试或稍候再试。", 100},
                 {7, true, L"呃，加载失败，请再试或稍候再试。", 100},
                 {0, false, nullptr, 0}};
    for (const auto& c : cases) {
        w.ShowLoading(c.type);
        EXPECT_EQ(w.Loadingole->Visible(), c.shown) << c.type;
        if (c.shown) {
            EXPECT_EQ(w.LoadingLabel->Caption(), c.label) << c.type;
            EXPECT_EQ(w.Loading->Width(), forms::Screen::TwipsX(c.pictureWidth)) << c.type;
        }
        EXPECT_EQ(w.Loadingole->Left(), forms::ToInt32(w.ScaleWidth() / 2.0 - 5145 / 2.0)) << c.type;
        EXPECT_EQ(w.Loadingole->Top(), w.PubTop + 1500) << c.type;
        EXPECT_EQ(w.Loadingole->Width(), 5145);
        EXPECT_EQ(w.Loadingole->Height(), 1950);
    }
}

TEST_F(HomeTest, HideAllHidesThePageRegionsOnly)
{
    Home& w = Open(Snapshot(UserInfoText()));
    for (forms::Control* c : std::initializer_list<forms::Control*>{
             w.Flashole1.get(), w.Flashole2.get(), w.Ole1.get(), w.Ole2.get(), w.ole3.get(), w.CaptionL.get(),
             w.ListView.get(), w.Addole.get(), w.Loadingole.get(), w.Mdateole.get()})
        c->Visible(true);
    w.HideAll();
    for (forms::Control* c : std::initializer_list<forms::Control*>{w.Flashole1.get(), w.Flashole2.get(),
                                                                    w.Ole1.get(), w.Ole2.get(), w.ole3.get(),
                                                                    w.CaptionL.get(), w.ListView.get()})
        EXPECT_FALSE(c->Visible()) << std::string(c->Name().begin(), c->Name().end());
    EXPECT_TRUE(w.Addole->Visible());
    EXPECT_TRUE(w.Loadingole->Visible());
    EXPECT_TRUE(w.Mdateole->Visible());
}

TEST_F(HomeTest, TheUpdateButtonStartsTheUpdaterAndKeepsTheWindow)
{
    Home& w = Open(Snapshot(UserInfoText()));
    ClickAt(w.StyledButton2->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return !shell.Calls().empty(); }));
    ASSERT_EQ(shell.Calls().size(), 1u);
    const auto& call = shell.Calls()[0];
    EXPECT_EQ(call.hwnd, w.hWnd());
    EXPECT_EQ(call.operation, L"");
    EXPECT_EQ(call.file, forms::App::Path() + L"\\update.exe");
    EXPECT_EQ(call.parameters, L"");
    EXPECT_EQ(call.directory, L"");
    EXPECT_EQ(call.showCmd, SW_SHOWNORMAL);
    EXPECT_TRUE(w.IsLoaded());
}

TEST_F(HomeTest, ClosingTheWindowDeletesItsReportPages)
{
    Home& w = Open(Snapshot(UserInfoText()));
    w.ShowWeb1(w.PubLeft, w.PubTop, w.PubWidth, session::CurrentSession().ChartHeight, w.PageChartXml1, 0);
    w.ShowWeb2(w.PubLeft, w.PubTop, w.PubWidth / 2, session::CurrentSession().ChartHeight, w.PageChartXml1,
               0);
    EXPECT_TRUE(forms::FileExists(workspace::ReportPath(L"report1.html")));
    EXPECT_TRUE(forms::FileExists(workspace::ReportPath(L"report2.html")));
    // Reports live in this process's folder under the user's temporary folder.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    EXPECT_EQ(workspace::ReportPath(L"report1.html").rfind(temp, 0), 0u);
    SendMessageW(w.hWnd(), WM_CLOSE, 0, 0);
    forms::DoEvents();
    EXPECT_FALSE(w.IsLoaded());
    EXPECT_FALSE(forms::FileExists(workspace::ReportPath(L"report1.html")));
    EXPECT_FALSE(forms::FileExists(workspace::ReportPath(L"report2.html")));
    EXPECT_FALSE(session::LoginWindow().IsLoaded());
    // Closing it when there are none raises nothing.
    Open(Snapshot(UserInfoText()));
    EXPECT_TRUE(Window().Unload());
}

TEST_F(HomeTest, TheLayoutPassPlacesTheHeaderAndTheOverview)
{
    Home& w = Open(Snapshot(UserInfoText()));
    // Restored to a known size: 1280 x 900 pixels of client area.
    w.WindowState(forms::vbNormal);
    w.Move(0, 0, forms::Screen::TwipsX(1280 + 100), forms::Screen::TwipsY(900 + 100));
    RECT client{};
    GetClientRect(w.hWnd(), &client);
    const int W = forms::Screen::TwipsX(client.right), H = forms::Screen::TwipsY(client.bottom);
    workspace::LayoutInput in;
    in.W = W;
    in.H = H;
    in.NowId = 0;
    in.margin = session::CurrentSession().LayoutMargin;
    in.maininfoRWidth = w.MaininfoR->Width();
    in.captionWidth = w.CaptionL->Width();
    in.summaryHeight = w.Ole1->Height();
    const workspace::Header h = workspace::LayOutHeader(in);
    EXPECT_EQ(w.PubLeft, h.PubLeft);
    EXPECT_EQ(w.PubTop, h.PubTop);
    EXPECT_EQ(w.PubWidth, 14725);
    EXPECT_EQ(session::CurrentSession().ChartHeight, h.ChartHeight);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(w.StyledButton1[i].Left(), h.PubLeft + 1670 * i);
        EXPECT_EQ(w.StyledButton1[i].Top(), 90);
    }
    EXPECT_EQ(w.StyledButton3->Left(), h.PubLeft + 8 * 1670);
    EXPECT_EQ(w.StyledButton3->Top(), 600);
    const workspace::PageRegions r = workspace::LayOutPage(in, h);
    EXPECT_EQ(w.Flashole1->Top(), r.chart1->top);
    EXPECT_EQ(w.Flashole1->Height(), r.chart1->height);
    EXPECT_EQ(w.Ole1->Top(), r.summary->top);
    EXPECT_EQ(w.CaptionL->Top(), r.caption->top);
    EXPECT_EQ(w.ListView->Top(), r.list->top);
    EXPECT_EQ(w.ListView->Height(), r.list->height);

    // A window too low for its list: the list's height clamps at 0, nothing raised.
    w.Move(0, 0, forms::Screen::TwipsX(800), forms::Screen::TwipsY(300));
    EXPECT_EQ(w.ListView->Height(), 0);
    // A minimised window moves no list.
    const int listTop = w.ListView->Top();
    w.WindowState(forms::vbMinimized);
    forms::DoEvents();
    EXPECT_EQ(w.ListView->Top(), listTop);
    w.WindowState(forms::vbMaximized);
}

// What the window gives the layout pass (UserInfo's project counts read as 0).
workspace::LayoutInput LayoutInputOf(Home& w)
{
    workspace::LayoutInput in;
    in.W = static_cast<int>(w.ScaleWidth());
    in.H = static_cast<int>(w.ScaleHeight());
    in.twipsPerPixelX = session::CurrentSession().TwipsPerPixelX;
    in.twipsPerPixelY = session::CurrentSession().TwipsPerPixelY;
    in.NowId = w.NowId;
    in.margin = session::CurrentSession().LayoutMargin;
    in.ChartItemCount = w.ChartItemCount;
    in.loadingVisible = w.Loadingole->Visible();
    in.buttonWidth = w.StyledButton3->Width();
    in.buttonHeight = w.StyledButton3->Height();
    in.maininfoHeight = w.Maininfo->Height();
    in.maininfoRWidth = w.MaininfoR->Width();
    in.summaryHeight = w.Ole1->Height();
    in.captionWidth = w.CaptionL->Width();
    in.captionHeight = w.CaptionL->Height();
    in.filterHeight = w.Ole2->Height();
    in.buttonBarHeight = w.ole3->Height();
    in.loadingWidth = w.Loadingole->Width();
    in.editButtonVisible = w.Doedit->Visible();
    return in;
}

// The pass runs to its end for every page, known or not: each region it
// places (moved out of the way first) stands where the layout puts it.
TEST_F(HomeTest, TheLayoutPassPlacesEveryRegionOfEveryPage)
{
    Home& w = Open(Snapshot(UserInfoText()));
    // A UserInfo too short for the list pages' chart test reads its items as 0.
    session::CurrentSession().UserInfo = protocol::UserInfo(L"u|1");
    auto expectAt = [](const forms::Control& c, int left, int top, const char* what) {
        EXPECT_EQ(c.Left(), left) << what;
        EXPECT_EQ(c.Top(), top) << what;
    };
    for (int32_t page : {2, 4, 3, 6, 20, 21, -1, 99}) {
        SCOPED_TRACE(page);
        w.NowId = page;
        const workspace::LayoutInput in = LayoutInputOf(w);
        const workspace::Header h = workspace::LayOutHeader(in);
        const workspace::PageRegions r = workspace::LayOutPage(in, h);
        for (forms::Control* c : std::initializer_list<forms::Control*>{
                 &*w.StyledButton2, &*w.StyledButton3, &*w.Maininfo, &*w.MaininfoR, &*w.Ole1, &*w.CaptionL,
                 &*w.Ole2, &*w.Addole, &*w.ole3, &*w.ListView})
            c->Move(0, 0);
        w.Form_Resize();
        expectAt(*w.StyledButton2, h.update.left, h.update.top, "update button");
        expectAt(*w.StyledButton3, h.logout.left, h.logout.top, "logout button");
        expectAt(*w.Maininfo, h.maininfo.left, h.maininfo.top, "greeting");
        expectAt(*w.MaininfoR, h.maininfoR.left, h.maininfoR.top, "status line");
        struct Region {
            const std::optional<workspace::Rect>& place;
            forms::Control* control;
            const char* what;
        };
        for (const Region& g :
             {Region{r.summary, &*w.Ole1, "summary"}, Region{r.filter, &*w.Ole2, "filter"},
              Region{r.entry, &*w.Addole, "entry form"}, Region{r.buttonBar, &*w.ole3, "button bar"}})
            if (g.place) {
                expectAt(*g.control, g.place->left, g.place->top, g.what);
                EXPECT_EQ(g.control->Width(), g.place->width) << g.what;
            }
        if (r.caption)
            expectAt(*w.CaptionL, r.caption->left, r.caption->top, "caption");
        if (r.list) {
            expectAt(*w.ListView, r.list->left, r.list->top, "list");
            EXPECT_EQ(w.ListView->Width(), r.list->width);
            EXPECT_EQ(w.ListView->Height(), r.list->height);
        }
    }
    w.NowId = 2;
    w.Form_Resize();
    EXPECT_EQ(w.Flashole1->Left(), w.PubLeft);  // fewer than 20 projects: in the column
}

}  // namespace
}  // namespace quill::test
