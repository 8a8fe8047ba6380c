// The detail page, its actions, the entry form and the calendar on the real
// window against the reference service, as a user works them: double-clicks,
// clicks, typed text; every message box's text and title.
#include "HomeFixture.h"

#include "workspace/CalendarGrid.h"
#include "workspace/DetailActions.h"
#include "workspace/EntryFields.h"
#include "workspace/PageIds.h"
#include "workspace/ProjectDetail.h"
#include "protocol/ReplyForms.h"
#include "protocol/ServiceRequests.h"

#include "controls/button/PaintedStyles.h"
#include "forms/ChartControl.h"
#include "forms/ChartPainter.h"
#include "forms/lang/Clock.h"
#include "forms/lang/Dates.h"
#include "forms/lang/Numbers.h"
#include "forms/lang/Ansi.h"
#include "forms/lang/Text.h"
#include "session/RecordCache.h"
#include "session/Login.h"
#include "session/MainWindowLink.h"
#include "session/Session.h"
#include "tests/support/ChartPixels.h"
#include "tests/support/DibCanvas.h"
#include "tests/support/Input.h"
#include "tests/support/LabelText.h"
#include "tests/support/Pump.h"
#include "tests/support/ScreenCapture.h"

#include <optional>

using namespace quill;
using workspace::Home;

namespace quill::test {
namespace {

// The reply the service logged last for an action ("showinfo", "add", ...).
std::wstring LastReply(ReferenceService& service, const std::string& action)
{
    const auto requests = service.Requests("primary", 200);
    for (auto it = requests.rbegin(); it != requests.rend(); ++it)
        if (it->raw.find("do=" + action + "&") != std::string::npos)
            return FromUtf8(it->reply);
    return {};
}

// How many requests of an action the service logged.
size_t Logged(ReferenceService& service, const std::string& action)
{
    size_t count = 0;
    for (const LoggedRequest& r : service.Requests("primary", 200))
        count += r.raw.find("do=" + action + "&") != std::string::npos;
    return count;
}

// How many requests the service logged for a target ("relogin" has no "do=").
size_t LoggedTarget(ReferenceService& service, const std::string& target)
{
    size_t count = 0;
    for (const LoggedRequest& r : service.Requests("primary", 200))
        count += r.target == target;
    return count;
}

// The value the summary panel shows beside a caption, "" when no line has it.
std::wstring SummaryValue(Home& w, const std::wstring& caption)
{
    for (int i = w.Ole1Label.LBound(); i <= w.Ole1Label.UBound(); ++i)
        if (w.Ole1Label[i].Visible() && w.Ole1Label[i].Caption() == caption)
            return w.Ole1Money[i].Caption();
    return {};
}

// The decoded fields of the last request of an action.
Json LastFields(ReferenceService& service, const std::string& action)
{
    const auto requests = service.Requests("primary", 200);
    for (auto it = requests.rbegin(); it != requests.rend(); ++it)
        if (it->raw.find("do=" + action + "&") != std::string::npos)
            return it->fields;
    return {};
}

// The main window's child that the screen shows at the middle of one of its
// children: the first in the order from the top that holds the point.
HWND TopChildAtMiddleOf(Home& w, HWND child)
{
    RECT r{};
    GetWindowRect(child, &r);
    POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ScreenToClient(w.hWnd(), &middle);
    return ChildWindowFromPointEx(w.hWnd(), middle, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
}

// Text typed as the keyboard would: one character after the other.
void TypeText(HWND box, const std::wstring& text)
{
    SetForegroundWindow(GetAncestor(box, GA_ROOT));
    SetFocus(box);
    for (wchar_t c : text) {
        INPUT key[2]{};
        key[0].type = key[1].type = INPUT_KEYBOARD;
        if (c == L'\n') {
            key[0].ki.wVk = key[1].ki.wVk = VK_RETURN;
        } else {
            key[0].ki.wScan = key[1].ki.wScan = c;
            key[0].ki.dwFlags = KEYEVENTF_UNICODE;
            key[1].ki.dwFlags = KEYEVENTF_UNICODE;
        }
        key[1].ki.dwFlags |= KEYEVENTF_KEYUP;
        SendInput(2, key, sizeof(INPUT));
        forms::DoEvents();
    }
}

class DetailTest : public HomeTest {
protected:
    void SetUp() override
    {
        HomeTest::SetUp();
        Service().Control(R"({"op":"reset_demo"})");
    }
    // The projects saved here are left to no suite after this one.
    void TearDown() override
    {
        HomeTest::TearDown();
        Service().Control(R"({"op":"reset_demo"})");
    }

    // A double-click on row `row` of the list, with the real mouse.
    void DoubleClickRow(Home& w, int row)
    {
        // The first pixel row down the list that lies on the row.
        RECT client{};
        GetClientRect(w.ListView->hWnd(), &client);
        int y = 0;
        while (y < client.bottom && w.ListView->RowFromPoint(60, y) != row)
            ++y;
        y += w.ListView->ItemHeight() / 2;
        ClickAt(w.ListView->hWnd(), 60, y);
        ClickAt(w.ListView->hWnd(), 60, y);
    }

    // A click on a windowless control of the calendar, at its middle.
    void ClickInCalendar(Home& w, const forms::Control& c)
    {
        const float tx = session::CurrentSession().TwipsPerPixelX,
                    ty = session::CurrentSession().TwipsPerPixelY;
        ClickAt(w.Mdateole->hWnd(), static_cast<int>((c.Left() + c.Width() / 2) / tx),
                static_cast<int>((c.Top() + c.Height() / 2) / ty));
    }

    // A click on the button bar's empty end: the next click on a button is a
    // click of its own, not the second half of a double-click.
    void ClickBeside(Home& w)
    {
        const HWND area = w.ole3->Visible() ? w.ole3->hWnd() : w.Addole->hWnd();
        RECT bar{};
        GetClientRect(area, &bar);
        ClickAt(area, bar.right - 4, bar.bottom / 2);
    }

    // Between two runs of a fault table: both windows closed, no fault left,
    // and the credentials back that a logout empties.
    void EndFaultRun(const std::wstring& auth)
    {
        Window().Unload();
        session::LoginWindow().Unload();
        Service().Control(R"({"op":"clear_faults"})");
        session::CurrentSession().AuthQuery = auth;
    }

    Home& OpenDetailOfFirstRow()
    {
        Home& w = Open(DemoLogin());
        EXPECT_GT(w.ListView->ItemCount(), 0);
        DoubleClickRow(w, 0);
        EXPECT_TRUE(PumpUntil([&] { return w.NowId == workspace::DetailPage && !w.ActionBusy; }));
        return w;
    }

    // A login through the login window, as the user types it, and the wait
    // until the main window it opens has built its overview.
    Home& LogIn(const wchar_t* name, const wchar_t* password)
    {
        session::Login& login = session::LoginWindow();
        login.Show();
        EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(login.hWnd()) != FALSE; }));
        login.cAcc->Text(name);
        login.cPass->Text(password);
        ClickAt(login.cmdLogin->hWnd());
        EXPECT_TRUE(
            PumpUntil([] { return Window().IsLoaded() && Window().NowId == 0 && !Window().ActionBusy; }));
        return Window();
    }

    // A click on a tab, and the wait until its page is built.
    void ClickTab(Home& w, int index)
    {
        ClickAt(w.StyledButton1[index].hWnd());
        ASSERT_TRUE(PumpUntil([&] { return w.NowId == index && !w.ActionBusy; }));
    }

    // A project stored as the entry form sends it; its id.
    std::int32_t Stored(const workspace::EntryTexts& texts)
    {
        const protocol::SaveVerdict saved = protocol::ClassifySaveReply(Home::Post(
            protocol::SaveRequest(session::CurrentSession().AuthQuery, workspace::EntryAddFields(texts, 0))));
        EXPECT_TRUE(saved.id.has_value());
        return saved.id.value_or(0);
    }

    // The overview through its tab, on the window already open.
    void BackToOverview(Home& w)
    {
        ClickAt(w.StyledButton1[0].hWnd());
        EXPECT_TRUE(PumpUntil([&] { return w.NowId == workspace::OverviewPage && !w.ActionBusy; }));
    }

    // The first row's project on the window still open from an earlier case,
    // else on a window opened for it.
    Home& DetailOfFirstRow()
    {
        if (!Window().IsLoaded())
            return OpenDetailOfFirstRow();
        Home& w = Window();
        BackToOverview(w);
        EXPECT_GT(w.ListView->ItemCount(), 0);
        DoubleClickRow(w, 0);
        EXPECT_TRUE(PumpUntil([&] { return w.NowId == workspace::DetailPage && !w.ActionBusy; }));
        return w;
    }

    template <class Box>
    void Type(Box& box, const std::wstring& text)
    {
        box.Text(L"");
        TypeText(box.hWnd(), text);
        EXPECT_TRUE(PumpUntil([&] { return box.Text() == forms::Replace(text, L"\n", L"\r\n"); }));
    }
};

TEST_F(DetailTest, AProjectOpenedFromTheListShowsTheServicesRecord)
{
    Home& w = OpenDetailOfFirstRow();
    const std::int32_t id = session::CurrentSession().CurrentProjectId;
    const std::wstring record = LastReply(Service(), "showinfo");
    ASSERT_TRUE(workspace::DetailReplyUsable(record)) << record;
    const std::vector<std::wstring> items = forms::Split(record, L",");
    const workspace::ProjectDetail page = workspace::ReadProjectDetail(record, forms::Today());

    EXPECT_EQ(w.CaptionL->Caption(), items[0] + L" " + items[1] + L" 分月详情");
    for (int i = 0; i < workspace::kDetailLines; ++i) {
        EXPECT_EQ(w.Ole1Label[i].Caption(), page.lines[static_cast<size_t>(i)].caption) << i;
        EXPECT_EQ(w.Ole1Money[i].Caption(), page.lines[static_cast<size_t>(i)].value) << i;
        EXPECT_TRUE(w.Ole1Money[i].Visible()) << i;
    }
    // Item by item, as the service stored them.
    EXPECT_EQ(w.Ole1Money[0].Caption(), items[0]);
    EXPECT_EQ(w.Ole1Money[1].Caption(), items[1]);
    EXPECT_EQ(w.Ole1Money[2].Caption(), items[2]);
    EXPECT_EQ(w.Ole1Money[4].Caption(), items[3]);
    EXPECT_EQ(w.Ole1Money[5].Caption(), items[4]);
    EXPECT_EQ(w.Ole1Money[12].Caption(), items[8] + L"% / " + items[9] + L" %");
    // A held project due within 30 days: red while days remain.
    EXPECT_EQ(w.Ole1Money[3].ForeColor(), page.statusColour);
    EXPECT_EQ(session::CurrentSession().CurrentProjectDueDate, forms::ToDate(items[4]));

    const std::vector<std::wstring> schedule = forms::Split(items[20], L"|");
    ASSERT_EQ(w.ListView->ItemCount(), static_cast<int32_t>(schedule.size()) - 1);
    for (int32_t r = 0; r < w.ListView->ItemCount(); ++r) {
        const std::vector<std::wstring> month = forms::Split(schedule[static_cast<size_t>(r)], L":");
        EXPECT_EQ(w.ListView->ItemText(r, 0), std::to_wstring(r + 1));
        EXPECT_EQ(w.ListView->ItemText(r, 1), month[0].substr(0, 4) + L"年" + month[0].substr(4) + L"月  ");
        EXPECT_EQ(w.ListView->ItemText(r, 6), month[5]);
    }
    EXPECT_EQ(w.ChartItemCount, static_cast<int32_t>(schedule.size()) - 1);
    EXPECT_TRUE(w.ole3->Visible());
    EXPECT_TRUE(w.Doedit->Visible());
    EXPECT_TRUE(w.Dodel->Visible());
    // The reply is kept: a second opening asks nothing.
    EXPECT_EQ(session::CacheGet(id), record);
    const size_t fetched = Logged(Service(), "showinfo");
    w.StyledButton1_Click(0);
    DoubleClickRow(w, 0);
    ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::DetailPage && !w.ActionBusy; }));
    EXPECT_EQ(Logged(Service(), "showinfo"), fetched);

    InputSettled();
    const std::wstring picture = test::ScreensPath(L"detail-page.png");
    ASSERT_TRUE(SaveClientAreaPng(w.hWnd(), picture));
    // The picture shows the status line in its colour.
    RECT status{};
    GetWindowRect(w.Ole1->hWnd(), &status);
    const std::vector<uint32_t> pixels = ScreenPixels(status);
    EXPECT_NE(std::find(pixels.begin(), pixels.end(), static_cast<uint32_t>(page.statusColour)),
              pixels.end());
}

TEST_F(DetailTest, EditingAProjectSavesItAndShowsTheNewValues)
{
    Home& w = OpenDetailOfFirstRow();
    const std::int32_t id = session::CurrentSession().CurrentProjectId;
    ClickAt(w.Doedit->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::EditPage && !w.ActionBusy; }));
    // Fetched afresh, not taken from the kept reply.
    EXPECT_EQ(Logged(Service(), "showinfo"), 2u);
    const std::vector<std::wstring> items = forms::Split(LastReply(Service(), "showinfo"), L",");
    EXPECT_EQ(w.Addptmc->Text(), items[0]);
    EXPECT_EQ(w.Addxmmc->Text(), items[1]);
    EXPECT_EQ(w.AddDateB->Text(), items[3]);
    EXPECT_EQ(w.Addmoney->Text(), items[5]);
    EXPECT_TRUE(w.StyledButton7->Enabled());

    Type(*w.Addmoney, L"12345");
    Type(*w.Addbz, L"x&id=5\n第二行");
    ClickAt(w.StyledButton7->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::DetailPage && !w.ActionBusy; }));
    ASSERT_FALSE(boxes.Boxes().empty());
    EXPECT_EQ(boxes.Boxes().back().prompt, workspace::kSavedMessage);
    EXPECT_EQ(boxes.Boxes().back().title, workspace::kSavedTitle);
    // The remark arrived as typed; the project kept its id.
    const Json fields = LastFields(Service(), "add");
    EXPECT_EQ(fields["v12"].text, "x&id=5\r\n第二行");
    EXPECT_EQ(fields["id"].text, std::to_string(id));
    EXPECT_EQ(session::CurrentSession().CurrentProjectId, id);
    EXPECT_EQ(w.Ole1Money[8].Caption(), L"1,2345元");
    EXPECT_EQ(w.Ole1Money[15].Caption(), L"x&id=5\r\n第二行");
    InputSettled();
    ASSERT_TRUE(w.StyledButton1[1].hWnd());
}

// The edit form shows what the service stores and sends it back as it is
// unless the user changes it, also where the form would not offer it: a day
// project of a monthly type, a term beyond the form's limit (refused when
// sent, never reset while the form fills), a type this program does not
// know (refused, naming the field).
TEST_F(DetailTest, EditingKeepsTheStoredTypeAndTermTheFormDoesNotOffer)
{
    Home& w = Open(DemoLogin());
    const protocol::AddFields project{.platform = L"测试平台",
                                      .account = L"",
                                      .projectName = L"天标等额本金",
                                      .valueDate = forms::DateText(forms::Today() - 5),
                                      .term = L"90",
                                      .termInDays = true,
                                      .amount = L"5000",
                                      .annualRate = L"9",
                                      .repayTypeCode = 3,
                                      .voucher = L"0",
                                      .extraIncome = L"0",
                                      .extraExpense = L"0",
                                      .remark = L"",
                                      .interestFeeRate = L"0"};
    const protocol::SaveVerdict saved = protocol::ClassifySaveReply(
        Home::Post(protocol::SaveRequest(session::CurrentSession().AuthQuery, project)));
    ASSERT_EQ(saved.outcome, protocol::SaveOutcome::Saved);
    const std::int32_t id = *saved.id;

    const struct {
        const char* fault;  // on the edit form's fetch of the record
        const wchar_t* term;
        const wchar_t* type;
        const wchar_t* refusal;  // the save's message; none: saved as stored
    } cases[] = {
        {nullptr, L"90", L"等额本金", nullptr},
        {R"({"op":"fault","kind":"record_bad_item","item":6,"text":"2000","times":1})", L"2000", L"等额本金",
         workspace::kTermDaysMessage},
        {R"({"op":"fault","kind":"record_bad_item","item":14,"text":"9","times":1})", L"90",
         L"未知类型，请升级程序", workspace::kRepayTypeMessage},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault ? c.fault : "as stored");
        ClickAt(w.StyledButton1[0].hWnd());
        ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::OverviewPage && !w.ActionBusy; }));
        session::CacheRemove(id);
        w.Showinfo(std::to_wstring(id));
        ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::DetailPage && !w.ActionBusy; }));
        if (c.fault)
            Service().Control(c.fault);
        const size_t shown = boxes.Boxes().size(), adds = Logged(Service(), "add");
        ClickAt(w.Doedit->hWnd());
        ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::EditPage && !w.ActionBusy; }));
        EXPECT_EQ(boxes.Boxes().size(), shown);  // nothing said while the form fills
        EXPECT_EQ(w.Addday->Text(), c.term);
        EXPECT_TRUE(w.TY0->Value());
        EXPECT_EQ(w.Addtype->Text(), c.type);
        ClickAt(w.StyledButton7->hWnd());
        if (c.refusal) {
            ASSERT_TRUE(PumpUntil([&] { return boxes.Boxes().size() > shown; }));
            EXPECT_EQ(boxes.Boxes().back().prompt, c.refusal);
            EXPECT_EQ(Logged(Service(), "add"), adds);
            EXPECT_EQ(w.NowId, workspace::EditPage);
            continue;
        }
        ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::DetailPage && !w.ActionBusy; }));
        EXPECT_EQ(boxes.Boxes().back().prompt, workspace::kSavedMessage);
        const Json fields = LastFields(Service(), "add");
        EXPECT_EQ(fields["id"].text, std::to_string(id));
        EXPECT_EQ(fields["v7"].text, "3");
        EXPECT_EQ(fields["v4"].text, "90");
        EXPECT_EQ(fields["v15"].text, "0");
        EXPECT_EQ(w.Ole1Money[7].Caption(), L"等额本金");
    }
}

TEST_F(DetailTest, ANewProjectThroughTheEntryFormAndTheCalendar)
{
    Home& w = Open(DemoLogin());
    ClickAt(w.StyledButton1[1].hWnd());
    ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::EntryPage && !w.ActionBusy; }));
    EXPECT_TRUE(w.Addole->Visible());
    Type(*w.Addptmc, L"测试平台");
    Type(*w.Addxmmc, L"新项目 1");
    ClickAt(w.AddDateB->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return w.Mdateole->Visible(); }));
    EXPECT_EQ(w.DatePickTarget, workspace::EntryValueDate);
    EXPECT_EQ(w.Mdateole->Left(), w.Addole->Left() + w.AddDateB->Left());
    EXPECT_EQ(w.Mdateole->Top(), w.Addole->Top() + w.AddDateB->Top() + w.AddDateB->Height());
    InputSettled();
    ASSERT_TRUE(SaveClientAreaPng(w.hWnd(), test::ScreensPath(L"calendar.png")));
    // The day cells of the month shown, from the lists' texts.
    const int length = workspace::MonthLength(w.Combo3->Text(), w.Combo4->Text()).value();
    for (int i = 0; i < workspace::kDayCells; ++i)
        EXPECT_EQ(w.Mdatesel[i].Enabled(), i < length) << i;
    // One month back with "<<", then day 1.
    const int monthShown = w.Combo4->ListIndex();
    ClickInCalendar(w, w.Mdatedo[0]);
    ASSERT_TRUE(PumpUntil([&] { return w.Combo4->ListIndex() == std::max(0, monthShown - 1); }));
    ClickInCalendar(w, w.Mdatesel[0]);
    ASSERT_TRUE(PumpUntil([&] { return !w.Mdateole->Visible(); }));
    EXPECT_EQ(w.AddDateB->Text(), w.Combo3->Text() + L"-" + w.Combo4->Text() + L"-1");

    Type(*w.Addday, L"90");
    Type(*w.Addmoney, L"5000");
    Type(*w.Addlilu, L"9.5");
    SetFocus(w.Addmoney->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return !w.AddDateE->Text().empty(); }));
    EXPECT_EQ(w.AddDateE->Text(), forms::DateText(forms::DateAdd(forms::DateInterval::Day, 90,
                                                                 forms::ToDate(w.AddDateB->Text()))));
    InputSettled();
    ASSERT_TRUE(SaveClientAreaPng(w.hWnd(), test::ScreensPath(L"entry-form.png")));

    ClickAt(w.StyledButton7->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::DetailPage && !w.ActionBusy; }));
    EXPECT_EQ(boxes.Boxes().back().prompt, workspace::kSavedMessage);
    const Json fields = LastFields(Service(), "add");
    EXPECT_EQ(fields["v1"].text, "测试平台");
    EXPECT_EQ(fields["id"].text, "0");
    EXPECT_EQ(w.Ole1Money[0].Caption(), L"测试平台");
    EXPECT_EQ(w.Ole1Money[1].Caption(), L"新项目 1");
    EXPECT_GT(session::CurrentSession().CurrentProjectId, 0);
}

// Whether an option's caption ends short of its right edge: no dark pixel in
// its last columns, where a caption cut by the edge would run on.
bool CaptionEndsInside(const forms::OptionButton& option)
{
    RECT r{};
    GetClientRect(option.hWnd(), &r);
    RedrawWindow(option.hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    for (int x = r.right - 3; x < r.right; ++x)
        for (int y = 0; y < r.bottom; ++y) {
            const COLORREF c = WindowPixel(option.hWnd(), x, y);
            if (GetRValue(c) < 0x80 && GetGValue(c) < 0x80 && GetBValue(c) < 0x80)
                return false;
        }
    return true;
}

// What a real message box does to its owner: takes the activation while it
// is up and hands it back when it closes.
void ActivateAnOwnedWindowAndBack(HWND owner)
{
    HWND box = CreateWindowExW(0, L"STATIC", L"box", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, owner, nullptr,
                               nullptr, nullptr);
    SetForegroundWindow(box);
    EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == box; }));
    DestroyWindow(box);
    EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == owner; }));
}

TEST_F(DetailTest, ANewProjectsNamesShowAsTypedAndNoTabIsLeftPressed)
{
    Home& w = Open(DemoLogin());
    boxes.WhileShown = [&](const forms::MessageBoxScript::Shown&) { ActivateAnOwnedWindowAndBack(w.hWnd()); };
    ClickAt(w.StyledButton1[1].hWnd());
    ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::EntryPage && !w.ActionBusy; }));
    InputSettled();
    // The options' captions whole, their last character included.
    for (const forms::OptionButton* option :
         {&*w.TY0, &*w.TY1, &*w.Myear0, &*w.Myear1, &*w.Jieshu0, &*w.Jieshu1})
        EXPECT_TRUE(CaptionEndsInside(*option)) << option->Caption();

    Type(*w.Addptmc, L"a&b=c");
    Type(*w.Addptid, L"acc&1=2");
    Type(*w.Addxmmc, L"x&y");
    w.AddDateB->Text(forms::DateText(forms::Today()));
    Type(*w.Addday, L"30");
    Type(*w.Addmoney, L"1000");
    Type(*w.Addlilu, L"8");
    SetFocus(w.Addmoney->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return !w.AddDateE->Text().empty(); }));
    ClickAt(w.StyledButton7->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::DetailPage && !w.ActionBusy; }));
    EXPECT_EQ(boxes.Boxes().back().prompt, workspace::kSavedMessage);
    EXPECT_EQ(LastFields(Service(), "add")["v1"].text, "a&b=c");
    EXPECT_EQ(w.Ole1Money[0].Caption(), L"a&b=c");
    EXPECT_EQ(w.Ole1Money[1].Caption(), L"x&y");
    EXPECT_EQ(w.Ole1Money[2].Caption(), L"acc&1=2");
    InputSettled();
    for (forms::Label* label : {&w.Ole1Money[0], &w.Ole1Money[1], &w.Ole1Money[2], &*w.CaptionL, &*w.Maininfo,
                                &*w.MaininfoR, &w.Ole1Label[0]})
        EXPECT_EQ(LiteralCaptionMismatch(*label), "") << label->Caption();
    // The detail page is no tab's page: none is drawn pressed or chosen.
    for (int i = 0; i < 8; ++i) {
        EXPECT_NE(w.StyledButton1[i].State(), button::StatePressed) << i;
        EXPECT_FALSE(w.StyledButton1[i].HasFocus()) << i;
    }
}

struct ActionCase {
    const char* name;
    workspace::DetailAction action;
    const char* request;
};

TEST_F(DetailTest, DeleteBadDebtAndFinishAskOnceAndReportTheirSuccess)
{
    const ActionCase cases[] = {
        {"delete", workspace::DetailAction::Delete, "del"},
        {"bad debt", workspace::DetailAction::BadDebt, "bad"},
    };
    for (const ActionCase& c : cases) {
        SCOPED_TRACE(c.name);
        Home& w = OpenDetailOfFirstRow();
        const std::int32_t id = session::CurrentSession().CurrentProjectId;
        boxes.Answer(forms::vbYes);
        const size_t shown = boxes.Boxes().size();
        button::StyledButton& button = c.action == workspace::DetailAction::Delete ? *w.Dodel : *w.Dobad;
        ClickAt(button.hWnd());
        ASSERT_TRUE(PumpUntil([&] { return boxes.Boxes().size() >= shown + 2 && !w.ActionBusy; }));
        const auto& question = boxes.Boxes()[shown];
        EXPECT_EQ(question.prompt, workspace::TextsOf(c.action).confirmation);
        EXPECT_EQ(question.title, workspace::kConfirmTitle);
        EXPECT_EQ(question.buttons, forms::vbYesNo | forms::vbQuestion | forms::vbDefaultButton2);
        const auto& done = boxes.Boxes()[shown + 1];
        EXPECT_EQ(done.prompt, workspace::TextsOf(c.action).successText);
        EXPECT_EQ(done.title, workspace::TextsOf(c.action).successTitle);
        EXPECT_EQ(Logged(Service(), c.request), 1u);
        EXPECT_EQ(session::CacheGet(id), L"");
        EXPECT_EQ(w.NowId, 0);  // back on the tab clicked last
        Window().Unload();
        Service().ClearLogs();
    }

    // Finish: refused before the due date, with the program's title.
    Home& w = OpenDetailOfFirstRow();
    const size_t shown = boxes.Boxes().size();
    ClickAt(w.Doover->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return boxes.Boxes().size() == shown + 1; }));
    EXPECT_EQ(boxes.Boxes().back().prompt, workspace::kNotDueMessage);
    EXPECT_EQ(boxes.Boxes().back().title, L"Quillmoor");
    EXPECT_EQ(Logged(Service(), "overinfo"), 0u);
    // A project that is past its due date, entered through the form with the
    // calendar's earliest year: finish asks, and No leaves it as it was.
    ClickAt(w.StyledButton1[1].hWnd());
    ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::EntryPage && !w.ActionBusy; }));
    Type(*w.Addptmc, L"旧平台");
    Type(*w.Addxmmc, L"已到期");
    ClickAt(w.AddDateB->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return w.Mdateole->Visible(); }));
    for (int i = 0; i < workspace::kThisYearIndex; ++i) {
        ClickBeside(w);
        ClickInCalendar(w, w.Mdatedo[1]);
    }
    ASSERT_TRUE(PumpUntil([&] { return w.Combo3->ListIndex() == 0; }));
    ClickInCalendar(w, w.Mdatesel[0]);
    ASSERT_TRUE(PumpUntil([&] { return !w.Mdateole->Visible(); }));
    Type(*w.Addday, L"30");
    Type(*w.Addmoney, L"1000");
    Type(*w.Addlilu, L"10");
    ClickBeside(w);
    ClickAt(w.StyledButton7->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::DetailPage && !w.ActionBusy; }));
    EXPECT_LT(session::CurrentSession().CurrentProjectDueDate, forms::Today());
    boxes.Answer(forms::vbNo);
    ClickAt(w.Doover->hWnd());
    ASSERT_TRUE(PumpUntil([&] {
        return boxes.Boxes().back().prompt ==
               workspace::TextsOf(workspace::DetailAction::Finish).confirmation;
    }));
    EXPECT_EQ(boxes.Boxes().back().title, workspace::kConfirmTitle);
    EXPECT_EQ(Logged(Service(), "overinfo"), 0u);
    boxes.Answer(forms::vbYes);
    ClickBeside(w);
    ClickAt(w.Doover->hWnd());
    ASSERT_TRUE(PumpUntil([&] {
        return boxes.Boxes().back().prompt ==
                   workspace::TextsOf(workspace::DetailAction::Finish).successText &&
               !w.ActionBusy;
    }));
    EXPECT_EQ(boxes.Boxes().back().title, L"设置完成状态成功");
    EXPECT_EQ(Logged(Service(), "overinfo"), 1u);
    // Back on the entry form, the tab clicked last; the finished project offers
    // only delete and back.
    EXPECT_EQ(w.NowId, workspace::EntryPage);
    const std::int32_t finished =
        forms::ToInt32(std::wstring_view(FromUtf8(LastFields(Service(), "overinfo")["id"].text)));
    w.NowId = workspace::OverviewPage;
    w.Showinfo(std::to_wstring(finished));
    ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::DetailPage && !w.ActionBusy; }));
    EXPECT_EQ(w.Ole1Money[3].Caption(), L"已完结回款");
    EXPECT_FALSE(w.Doedit->Visible());
    EXPECT_FALSE(w.Doover->Visible());
    EXPECT_FALSE(w.Dobad->Visible());
    EXPECT_TRUE(w.Dodel->Visible());
    EXPECT_TRUE(w.DoBack->Visible());
}

TEST_F(DetailTest, TheCalendarsArrowsTodayCloseAndItsOutsideClosers)
{
    const forms::ClockOverride clock(forms::Now());
    Home& w = Open(DemoLogin());
    ClickAt(w.StyledButton1[1].hWnd());
    ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::EntryPage && !w.ActionBusy; }));
    // Opened from the due date after the value date: the day goes to the due date only.
    ClickAt(w.AddDateB->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return w.Mdateole->Visible(); }));
    EXPECT_EQ(w.DatePickTarget, workspace::EntryValueDate);
    ClickAt(w.StyledButton6->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return !w.Mdateole->Visible(); }));
    ClickAt(w.AddDateE->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return w.Mdateole->Visible(); }));
    EXPECT_EQ(w.DatePickTarget, workspace::EntryDueDate);
    EXPECT_EQ(w.Mdateole->Top(), w.Addole->Top() + w.AddDateE->Top() + w.AddDateE->Height());
    // February of a leap year: 29 enabled, 30 and 31 not.
    w.Combo3->ListIndex(0);
    w.Combo4->ListIndex(1);
    const int leapIndex = [&] {
        for (int i = 0; i < w.Combo3->ListCount(); ++i)
            if (std::stoi(w.Combo3->List(i)) % 4 == 0)
                return i;
        return 0;
    }();
    w.Combo3->ListIndex(leapIndex);
    EXPECT_TRUE(w.Mdatesel[28].Enabled());
    EXPECT_FALSE(w.Mdatesel[29].Enabled());
    EXPECT_FALSE(w.Mdatesel[30].Enabled());
    // "<<" in January and "<" on the first year change nothing.
    w.Combo4->ListIndex(0);
    w.Combo3->ListIndex(0);
    ClickInCalendar(w, w.Mdatedo[0]);
    ClickBeside(w);
    ClickInCalendar(w, w.Mdatedo[1]);
    forms::DoEvents();
    EXPECT_EQ(w.Combo4->ListIndex(), 0);
    EXPECT_EQ(w.Combo3->ListIndex(), 0);
    // ">" moves a year on.
    ClickBeside(w);
    ClickInCalendar(w, w.Mdatedo[2]);
    ASSERT_TRUE(PumpUntil([&] { return w.Combo3->ListIndex() == 1; }));
    // "今天" writes today's date, unpadded, whatever month was shown.
    ClickAt(w.StyledButton5->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return !w.Mdateole->Visible(); }));
    const double today = forms::Today();
    EXPECT_EQ(w.AddDateE->Text(), std::to_wstring(forms::Year(today)) + L"-" +
                                      std::to_wstring(forms::Month(today)) + L"-" +
                                      std::to_wstring(forms::Day(today)));
    EXPECT_EQ(w.AddDateB->Text(), L"");
    // "关闭" writes nothing; the list taking the focus closes it too.
    ClickAt(w.AddDateB->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return w.Mdateole->Visible(); }));
    ClickAt(w.StyledButton6->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return !w.Mdateole->Visible(); }));
    EXPECT_EQ(w.AddDateB->Text(), L"");
    ClickAt(w.AddDateB->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return w.Mdateole->Visible(); }));
    w.ListView->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return !w.Mdateole->Visible(); }));
    EXPECT_EQ(w.AddDateB->Text(), L"");
}

// The entry form's own messages: a field out of bounds is named before
// anything is sent; the keep ticks bring the last platform and amount back.
TEST_F(DetailTest, TheEntryFormsChecksAndKeepTicks)
{
    Home& w = Open(DemoLogin());
    ClickAt(w.StyledButton1[1].hWnd());
    ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::EntryPage && !w.ActionBusy; }));
    const size_t shown = boxes.Boxes().size();
    ClickAt(w.StyledButton7->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return boxes.Boxes().size() == shown + 1; }));
    EXPECT_EQ(boxes.Boxes().back().prompt, workspace::kRequiredMessage);
    EXPECT_EQ(boxes.Boxes().back().title, L"Quillmoor");
    // An empty amount reads 0 once it loses the focus: the amount's message.
    Type(*w.Addptmc, L"P");
    Type(*w.Addxmmc, L"N");
    w.AddDateB->Text(L"2016-1-1");
    Type(*w.Addday, L"30");
    Type(*w.Addlilu, L"8");
    w.Addmoney->SetFocus();
    w.Addlilu->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return w.Addmoney->Text() == L"0"; }));
    ClickBeside(w);
    ClickAt(w.StyledButton7->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return boxes.Boxes().size() == shown + 2; }));
    EXPECT_EQ(boxes.Boxes().back().prompt, workspace::kAmountMessage);
    EXPECT_EQ(Logged(Service(), "add"), 0u);
    // A term of 1826 days: CoverToDate's message and the term back to 0.
    Type(*w.Addday, L"1826");
    w.Addmoney->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return boxes.Boxes().size() == shown + 3; }));
    EXPECT_EQ(boxes.Boxes().back().prompt, workspace::kTermDaysMessage);
    EXPECT_EQ(w.Addday->Text(), L"0");

    // Keep ticks 0 and 5: the saved platform and amount come back on the blank form.
    w.Check1[0].Value(forms::vbChecked);
    w.Check1[5].Value(forms::vbChecked);
    Type(*w.Addday, L"30");
    Type(*w.Addmoney, L"2000");
    w.AddDateB->Text(std::to_wstring(forms::Year(forms::Today())) + L"-1-1");
    ClickBeside(w);
    ClickAt(w.StyledButton7->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::DetailPage && !w.ActionBusy; }));
    EXPECT_EQ(boxes.Boxes().back().prompt, workspace::kSavedMessage);
    ClickAt(w.StyledButton1[1].hWnd());
    ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::EntryPage && !w.ActionBusy; }));
    EXPECT_EQ(w.Addptmc->Text(), L"P");
    EXPECT_EQ(w.Addmoney->Text(), L"2000");
    EXPECT_EQ(w.Addxmmc->Text(), L"");
    EXPECT_EQ(w.Addday->Text(), L"");
}

// The window closed (its close box) while a delete waits for its reply: the
// late reply is read by nobody; no message, no reload, the kept reply stays.
TEST_F(DetailTest, ADeleteWhoseWindowWentAwayWhileItWaitedEndsUnread)
{
    forms::ClockOverride clock(forms::Now());
    Home& w = OpenDetailOfFirstRow();
    const std::int32_t id = session::CurrentSession().CurrentProjectId;
    const std::wstring kept = session::CacheGet(id);
    const std::wstring snapshot = session::CurrentSession().LoginReply;
    Service().Control(R"({"op":"fault","kind":"hold","on":["del"],"times":1})");
    boxes.Answer(forms::vbYes);
    const size_t shown = boxes.Boxes().size();
    // The close box, while the request waits; then the late reply.
    PumpedAction close([&] { PostMessageW(w.hWnd(), WM_CLOSE, 0, 0); });
    PumpedAction reply([&] { Release(); });
    reply.When([&] { return !w.IsLoaded(); });
    w.Dodel_Click();
    EXPECT_TRUE(close.Done());
    EXPECT_TRUE(reply.Done());
    EXPECT_FALSE(w.IsLoaded());
    EXPECT_EQ(boxes.Boxes().size(), shown + 1);  // the question only
    EXPECT_EQ(session::CacheGet(id), kept);
    EXPECT_EQ(session::CurrentSession().LoginReply, snapshot);
}

// A held Space repeats its key: the question comes once, the request goes once.
TEST_F(DetailTest, AHeldSpaceDeletesOnce)
{
    Home& w = OpenDetailOfFirstRow();
    boxes.Answer(forms::vbYes);
    const size_t shown = boxes.Boxes().size();
    const HWND button = w.Dodel->hWnd();
    SetFocus(button);
    const LPARAM first = 0x00390001, repeat = 0x40390001, up = static_cast<LPARAM>(0xC0390001);
    PostMessageW(button, WM_KEYDOWN, VK_SPACE, first);
    PostMessageW(button, WM_CHAR, L' ', first);
    for (int i = 0; i < 3; ++i) {
        PostMessageW(button, WM_KEYDOWN, VK_SPACE, repeat);
        PostMessageW(button, WM_CHAR, L' ', repeat);
    }
    PostMessageW(button, WM_KEYUP, VK_SPACE, up);
    ASSERT_TRUE(PumpUntil([&] { return boxes.Boxes().size() >= shown + 2 && !w.ActionBusy; }));
    InputSettled();
    EXPECT_EQ(boxes.Boxes().size(), shown + 2);
    EXPECT_EQ(Logged(Service(), "del"), 1u);
}

// What each fault of the service makes of an action's reply: taken, or the
// error message titled "出错" and the logout.
TEST_F(DetailTest, ActionRepliesAgainstTheServicesFaults)
{
    const struct {
        const char* fault;
        bool rejected;
    } cases[] = {
        {R"({"op":"fault","kind":"empty","on":["del"],"times":1})", true},
        {R"({"op":"fault","kind":"drop","on":["del"],"times":1})", true},
        {R"({"op":"fault","kind":"http500","pipe":true,"on":["del"],"times":1})", true},
        {R"({"op":"fault","kind":"http500","pipe":false,"on":["del"],"times":1})", true},
        {R"({"op":"fault","kind":"refusal","code":"-9","on":["del"],"times":1})", true},
        {R"({"op":"fault","kind":"err","on":["del"],"times":2})", true},
        {R"({"op":"fault","kind":"err","on":["del"],"times":1})", false},
    };
    const std::wstring auth = session::CurrentSession().AuthQuery;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        Service().Control(R"({"op":"reset_demo"})");
        Home& w = OpenDetailOfFirstRow();
        Service().Control(c.fault);
        boxes.Answer(forms::vbYes);
        const size_t shown = boxes.Boxes().size();
        ClickAt(w.Dodel->hWnd());
        ASSERT_TRUE(PumpUntil([&] { return boxes.Boxes().size() >= shown + 2; }))
            << boxes.Boxes().size() - shown << " now " << w.NowId << " busy " << w.ActionBusy << " loaded "
            << w.IsLoaded() << " del " << Logged(Service(), "del");
        const auto& outcome = boxes.Boxes()[shown + 1];
        if (c.rejected) {
            EXPECT_EQ(outcome.prompt, workspace::kActionFailedMessage);
            EXPECT_EQ(outcome.title, L"出错");
            EXPECT_TRUE(PumpUntil([&] { return !w.IsLoaded(); }));
        } else {
            EXPECT_EQ(outcome.prompt, L"成功删除该项目。");
            EXPECT_TRUE(w.IsLoaded());
        }
        EndFaultRun(auth);
    }
}

// What each fault makes of a save: its message, the failure picture, or the
// logout; only a positive id with a readable snapshot opens the project.
TEST_F(DetailTest, SaveRepliesAgainstTheServicesFaults)
{
    const struct {
        const char* fault;
        const wchar_t* message;
        bool logout;
    } cases[] = {
        // No answer: the change may have been stored; the edited project is
        // listed either way (see ASaveWithoutAnAnswer... below).
        {R"({"op":"fault","kind":"empty","on":["add"],"times":1})", workspace::kUnknownEditOutcomeMessage,
         false},
        {R"({"op":"fault","kind":"http500","pipe":true,"on":["add"],"times":1})", workspace::kNotSavedMessage,
         false},
        {R"({"op":"fault","kind":"refusal","code":"-7","on":["add"],"times":1})",
         workspace::kRefusedCharactersMessage, false},
        {R"({"op":"fault","kind":"fail_message","message":"平台维护中","times":1})", L"平台维护中", false},
        {R"({"op":"fault","kind":"save_without_id","form":"no_comma","times":1})", workspace::kNoIdMessage,
         true},
        {R"({"op":"fault","kind":"save_without_id","form":"bare","times":1})", workspace::kNoIdMessage, true},
        {R"({"op":"fault","kind":"save_without_id","form":"empty_id","times":1})", workspace::kNoIdMessage,
         true},
        {R"({"op":"fault","kind":"save_without_id","form":"zero_id","times":1})", workspace::kNoIdMessage,
         true},
        {R"({"op":"fault","kind":"save_without_id","form":"text_id","times":1})", workspace::kNoIdMessage,
         true},
        {R"({"op":"fault","kind":"short_snapshot","userinfo_items":12,"on":["add"],"times":1})",
         workspace::kNoIdMessage, true},
        {R"({"op":"fault","kind":"short_snapshot","sections":5,"on":["add"],"times":1})",
         workspace::kNoIdMessage, true},
        {R"({"op":"fault","kind":"err","on":["add"],"times":1})", workspace::kSavedMessage, false},
    };
    const std::wstring auth = session::CurrentSession().AuthQuery;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        // A case that ends in the logout leaves the next one a window to open.
        Home& w = DetailOfFirstRow();
        ClickAt(w.Doedit->hWnd());
        ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::EditPage && !w.ActionBusy; }));
        Service().Control(c.fault);
        const size_t shown = boxes.Boxes().size();
        ClickAt(w.StyledButton7->hWnd());
        ASSERT_TRUE(PumpUntil([&] { return boxes.Boxes().size() > shown; }));
        EXPECT_EQ(boxes.Boxes()[shown].prompt, c.message);
        if (c.logout) {
            EXPECT_EQ(boxes.Boxes()[shown].buttons & forms::vbCritical, forms::vbCritical);
            EXPECT_TRUE(PumpUntil([&] { return !w.IsLoaded(); }));
        } else if (c.message == workspace::kUnknownEditOutcomeMessage) {
            // Not sent to look for the project in the list: the change may
            // have been stored, or may still arrive.
            EXPECT_EQ(boxes.Boxes()[shown].prompt.find(L"列表"), std::wstring::npos);
            EXPECT_NE(boxes.Boxes()[shown].prompt.find(L"修改可能已经保存"), std::wstring::npos);
            EXPECT_NE(boxes.Boxes()[shown].prompt.find(L"稍后才到达"), std::wstring::npos);
            EXPECT_TRUE(
                PumpUntil([&] { return w.NowId == workspace::CurrentProjectsPage && !w.ActionBusy; }));
            EXPECT_TRUE(w.IsLoaded());
            EXPECT_FALSE(w.Loadingole->Visible());
        } else if (c.message != workspace::kSavedMessage) {
            EXPECT_TRUE(w.Loadingole->Visible());
            EXPECT_TRUE(w.StyledButton7->Enabled());
            EXPECT_EQ(w.NowId, workspace::EditPage);
        }
        if (c.logout) {
            EndFaultRun(auth);
        } else {
            Service().Control(R"({"op":"clear_faults"})");
        }
    }
}

// A new project's form filled in without the keyboard.
void FillNewProject(Home& w, const std::wstring& name)
{
    w.Addptmc->Text(L"测试平台");
    w.Addxmmc->Text(name);
    w.AddDateB->Text(forms::DateText(forms::Today()));
    w.Addday->Text(L"30");
    w.Addmoney->Text(L"5000");
    w.Addlilu->Text(L"9.5");
    w.Addbz->Text(L"备注");
}

// The current projects the service lists under a name.
size_t ListedAs(const std::wstring& list, const std::wstring& name)
{
    size_t count = 0;
    for (const protocol::ProjectRow& row : protocol::ReadRows<protocol::ProjectRow>(list))
        count += row.Text(protocol::ProjectRow::ProjectName) == name;
    return count;
}

// A save that brings no answer (reset, nothing, a time-out) may have been
// stored: the client says so, keeps the session and the form, and shows the
// project list fetched again; the form comes back on its tab.
TEST_F(DetailTest, ASaveWithoutAnAnswerKeepsTheFormAndTheSessionAndListsTheProjectsAgain)
{
    const struct {
        const char* fault;
        bool stored;
        // The client's own time-out may end the wait: the reply is held, or
        // (under Wine, now and then) a reset is never reported.
        bool timeOut;
    } cases[] = {
        {R"({"op":"fault","kind":"lost_reply","times":1})", true, true},
        {R"({"op":"fault","kind":"lost_reply","then":"hold","times":1})", true, true},
        {R"({"op":"fault","kind":"drop","on":["add"],"times":1})", false, true},
        {R"({"op":"fault","kind":"empty","on":["add"],"times":1})", false, false},
    };
    const std::wstring auth = session::CurrentSession().AuthQuery;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        Service().Control(R"({"op":"reset_demo"})");
        std::optional<forms::ClockOverride> clock;
        if (c.timeOut)
            clock.emplace(forms::Now());
        Home& w = Open(DemoLogin());
        ClickAt(w.StyledButton1[1].hWnd());
        ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::EntryPage && !w.ActionBusy; }));
        const std::wstring name = L"无回应项目";
        FillNewProject(w, name);
        Service().Control(c.fault);
        const size_t shown = boxes.Boxes().size(), lists = Logged(Service(), "list"),
                     relogins = LoggedTarget(Service(), "relogin");
        // The clock moves on by the save's time-out once the service has
        // taken the fault (and stored the project, where it does), while the
        // save still waits: moved on during the summary's request that
        // follows a save ended early, it would end that request too. (That
        // request is logged only once answered; the message before it
        // tells that the save has ended.)
        std::optional<PumpedAction> late;
        if (c.timeOut) {
            late.emplace([&] { clock->Advance(15000); });
            late->When([&] {
                return boxes.Boxes().size() == shown &&
                       Service().Control(R"({"op":"state"})")["instances"]["primary"]["faults"].size() == 0 &&
                       LoggedTarget(Service(), "relogin") == relogins;
            });
        }
        w.StyledButton7_Click();
        ASSERT_EQ(boxes.Boxes().size(), shown + 1);
        EXPECT_EQ(boxes.Boxes()[shown].prompt, workspace::kUnknownOutcomeMessage);
        EXPECT_EQ(boxes.Boxes()[shown].buttons, forms::vbInformation);
        // The session stays; the current projects are fetched again and shown.
        EXPECT_TRUE(w.IsLoaded());
        EXPECT_EQ(session::CurrentSession().AuthQuery, auth);
        EXPECT_FALSE(w.ActionBusy);
        EXPECT_EQ(w.NowId, workspace::CurrentProjectsPage);
        EXPECT_EQ(Logged(Service(), "list"), lists + 1);
        EXPECT_FALSE(w.Loadingole->Visible());
        EXPECT_FALSE(w.Addole->Visible());
        EXPECT_TRUE(w.ListView->Visible());
        EXPECT_EQ(ListedAs(session::CurrentSession().CurrentListCache, name), c.stored ? 1u : 0u);
        EXPECT_EQ(w.ListView->ItemCount(), c.stored ? 27 : 26);
        // The account's summary is read again, as a save's answer brings it:
        // its counts agree with the list.
        EXPECT_EQ(LoggedTarget(Service(), "relogin"), relogins + 1);
        const std::wstring count = c.stored ? L"27" : L"26";
        EXPECT_EQ(session::CurrentSession().UserInfo.Text(protocol::UserInfo::CurrentProjectCount), count);
        EXPECT_EQ(SummaryValue(w, L"当前持有项目："), count);
        // The tab row marks the list, as a click on its tab would.
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(w.StyledButton1[i].HasFocus(), i == workspace::CurrentProjectsPage) << i;
        // The form comes back as it was sent. (Called, not clicked: a click
        // so soon on the tab clicked before would be a double-click.)
        w.StyledButton1_Click(workspace::EntryPage);
        ASSERT_EQ(w.NowId, workspace::EntryPage);
        EXPECT_EQ(w.Addptmc->Text(), L"测试平台");
        EXPECT_EQ(w.Addxmmc->Text(), name);
        EXPECT_EQ(w.Addmoney->Text(), L"5000");
        EXPECT_EQ(w.Addbz->Text(), L"备注");
        EXPECT_TRUE(w.StyledButton7->Enabled());
        EXPECT_FALSE(w.Loadingole->Visible());
        // Where the list holds the same project, the form says so before it
        // is sent again.
        EXPECT_EQ(w.AddNote3->Visible(), c.stored);
        EXPECT_EQ(w.AddNote3->Caption(), workspace::kAlreadyListedNote);
        if (c.stored) {
            InputSettled();
            EXPECT_EQ(LiteralCaptionMismatch(*w.AddNote3), "");  // what the screen shows
        }
        // A later blank form is blank again.
        ClickAt(w.StyledButton1[0].hWnd());
        ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::OverviewPage && !w.ActionBusy; }));
        ClickAt(w.StyledButton1[1].hWnd());
        ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::EntryPage && !w.ActionBusy; }));
        EXPECT_EQ(w.Addxmmc->Text(), L"");
        EXPECT_FALSE(w.AddNote3->Visible());
        EndFaultRun(auth);
    }
}

// Whether the service still holds a fault of a kind.
bool FaultLeft(ReferenceService& service, const std::string& kind)
{
    const Json faults = service.Control(R"({"op":"state"})")["instances"]["primary"]["faults"];
    for (size_t i = 0; i < faults.size(); ++i)
        if (faults[i]["kind"].text == kind)
            return true;
    return false;
}

// The service stores a new project and its answer is lost; the client gives
// up at its limit and reads the summary and the list again, one of them
// perhaps failing too. The project may then be stored, or still be on its
// way: the message says both; the overview reads the summary again while it
// is known to be stale; and the next 提交 of the form given back asks first
// (否 by default, which sends nothing; 是 stores the second copy it warned
// of), whether or not a list could be read and showed the project.
TEST_F(DetailTest, TheNextSubmitOfAFormWhoseSaveWentUnansweredAsksFirst)
{
    const struct {
        const char* then;  // the fault that follows the lost answer
        bool listRead, summaryRead;
    } cases[] = {
        {R"({"op":"fault","kind":"reset_in_body","bytes":40,"on":["relogin"],"times":1})", true, false},
        {R"({"op":"fault","kind":"reset_in_body","bytes":40,"on":["list"],"times":1})", false, true},
        {nullptr, true, true},
    };
    const std::wstring name = L"无回应项目";
    auto storedCopies = [&] {
        return ListedAs(Home::Post(protocol::CurrentListRequest(session::CurrentSession().AuthQuery)), name);
    };
    const std::wstring auth = session::CurrentSession().AuthQuery;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.then ? c.then : "nothing more");
        Service().Control(R"({"op":"reset_demo"})");
        forms::ClockOverride clock(forms::Now());
        Home& w = Open(DemoLogin());
        ClickTab(w, workspace::EntryPage);
        FillNewProject(w, name);
        w.Addday->Text(L"12");
        Service().Control(R"({"op":"fault","kind":"lost_reply","then":"hold","times":1})");
        if (c.then)
            Service().Control(c.then);
        // The save's limit passes once the service has taken the save.
        PumpedAction late([&] { clock.Advance(15000); });
        late.When([&] { return !FaultLeft(Service(), "lost_reply"); });
        const size_t shown = boxes.Boxes().size();
        const size_t relogins = LoggedTarget(Service(), "relogin");
        w.StyledButton7_Click();
        ASSERT_EQ(boxes.Boxes().size(), shown + 1);
        const std::wstring message = boxes.Boxes()[shown].prompt;
        EXPECT_EQ(message, workspace::kUnknownOutcomeMessage);
        EXPECT_NE(message.find(L"可能已经提交成功"), std::wstring::npos);
        EXPECT_NE(message.find(L"也可能稍后才到达服务器"), std::wstring::npos);
        EXPECT_EQ(w.NowId, workspace::CurrentProjectsPage);
        EXPECT_EQ(w.ListView->Visible(), c.listRead);
        EXPECT_EQ(w.Loadingole->Visible(), !c.listRead);
        EXPECT_EQ(LoggedTarget(Service(), "relogin"), relogins + 1);
        EXPECT_EQ(session::CurrentSession().UserInfo.Text(protocol::UserInfo::CurrentProjectCount),
                  c.summaryRead ? L"27" : L"26");

        // The overview reads the summary again only while it is stale, and
        // then lists the project due in 12 days.
        for (int visit = 0; visit < 2; ++visit) {
            ClickTab(w, workspace::OverviewPage);
            EXPECT_EQ(LoggedTarget(Service(), "relogin"), relogins + (c.summaryRead ? 1 : 2)) << visit;
            EXPECT_EQ(session::CurrentSession().UserInfo.Text(protocol::UserInfo::CurrentProjectCount),
                      L"27");
            EXPECT_EQ(SummaryValue(w, L"当前持有项目："), L"27");
            bool listed = false;
            for (std::int32_t r = 0; r < w.ListView->ItemCount(); ++r)
                listed = listed || w.ListView->ItemText(r, 1).find(name) != std::wstring::npos;
            EXPECT_TRUE(listed) << visit;
            // Away by a page that reads no list.
            ClickTab(w, workspace::CurrentPlatformsPage);
        }

        // The form comes back, the red line only under a list that showed
        // the project; its next 提交 asks first, and 否 sends nothing.
        ClickTab(w, workspace::EntryPage);
        ASSERT_EQ(w.Addxmmc->Text(), name);
        EXPECT_EQ(w.AddNote3->Visible(), c.listRead);
        ASSERT_EQ(storedCopies(), 1u);
        for (const int32_t answer : {forms::vbNo, forms::vbNo, forms::vbYes}) {
            const size_t before = boxes.Boxes().size();
            boxes.Answer(answer);
            ClickAt(w.StyledButton7->hWnd());
            ASSERT_TRUE(PumpUntil([&] { return boxes.Boxes().size() > before && !w.ActionBusy; }));
            const forms::MessageBoxScript::Shown& question = boxes.Boxes()[before];
            EXPECT_EQ(question.prompt, workspace::kSendAgainQuestion);
            EXPECT_NE(question.prompt.find(L"重复记账"), std::wstring::npos);
            EXPECT_EQ(question.buttons, forms::vbYesNo | forms::vbQuestion | forms::vbDefaultButton2);
            if (answer == forms::vbNo) {
                EXPECT_EQ(boxes.Boxes().size(), before + 1);
                EXPECT_EQ(w.NowId, workspace::EntryPage);
                EXPECT_TRUE(w.StyledButton7->Enabled());
                EXPECT_EQ(storedCopies(), 1u);
                ClickBeside(w);
            }
        }
        // 是: sent again, and stored again.
        ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::DetailPage && !w.ActionBusy; }));
        EXPECT_EQ(boxes.Boxes().back().prompt, workspace::kSavedMessage);
        EXPECT_EQ(storedCopies(), 2u);
        // A form whose save was answered asks nothing.
        ClickTab(w, workspace::EntryPage);
        FillNewProject(w, L"有回应项目");
        const size_t before = boxes.Boxes().size();
        ClickAt(w.StyledButton7->hWnd());
        ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::DetailPage && !w.ActionBusy; }));
        ASSERT_EQ(boxes.Boxes().size(), before + 1);
        EXPECT_EQ(boxes.Boxes()[before].prompt, workspace::kSavedMessage);
        Release();
        EndFaultRun(auth);
    }
}

// While a save waits, the loading panel shows over the form (on top of it,
// where the screen shows it) and the tabs are refused without being drawn
// chosen; its answer is told over the form.
TEST_F(DetailTest, WhileASaveWaitsThePagesStay)
{
    Home& w = Open(DemoLogin());
    ClickAt(w.StyledButton1[1].hWnd());
    ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::EntryPage && !w.ActionBusy; }));
    FillNewProject(w, L"等待中项目");
    Service().Control(R"({"op":"fault","kind":"hold","on":["add"],"times":1})");
    bool loading = false, busy = false, tabClicked = false, overlayOnTop = false, tabLit = true;
    std::int32_t page = -1;
    const auto tabHandler = w.StyledButton1[2].Click;
    w.StyledButton1[2].Click = [&] {
        tabHandler();
        tabClicked = true;
    };
    PumpedAction tab([&] { ClickAt(w.StyledButton1[2].hWnd()); });
    tab.When([&] { return w.Loadingole->Visible(); });
    // Once the tab's click has been handled, the service answers.
    PumpedAction reply([&] {
        loading = w.Loadingole->Visible();
        overlayOnTop = TopChildAtMiddleOf(w, w.Loadingole->hWnd()) == w.Loadingole->hWnd();
        tabLit = w.StyledButton1[2].HasFocus();
        busy = w.ActionBusy;
        page = w.NowId;
        Release();
    });
    reply.When([&] { return tabClicked; });
    w.StyledButton7_Click();
    EXPECT_TRUE(tabClicked);
    EXPECT_TRUE(reply.Done());
    EXPECT_TRUE(loading);
    EXPECT_TRUE(overlayOnTop);
    EXPECT_FALSE(tabLit);
    EXPECT_TRUE(busy);
    EXPECT_EQ(page, workspace::EntryPage);
    EXPECT_EQ(Logged(Service(), "list"), 0u);
    ASSERT_FALSE(boxes.Boxes().empty());
    EXPECT_EQ(boxes.Boxes().back().prompt, workspace::kSavedMessage);
    EXPECT_EQ(w.NowId, workspace::DetailPage);
    EXPECT_FALSE(w.ActionBusy);
}

// A project keeps the caption of the list it was opened from while its
// record is read, and over the failure picture when the record is cut by a
// reset, until a tab is clicked; a record that comes whole shows its page
// under its own caption.
TEST_F(DetailTest, AProjectKeepsTheCaptionOfTheListLeftWhileItLoadsAndWhenItFails)
{
    Home& w = Open(DemoLogin());
    ClickAt(w.StyledButton1[workspace::CurrentProjectsPage].hWnd());
    ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::CurrentProjectsPage && !w.ActionBusy; }));
    ASSERT_TRUE(w.CaptionL->Visible());
    const std::wstring listCaption = w.CaptionL->Caption();
    EXPECT_EQ(listCaption.rfind(L"当前持有项目明细", 0), 0u);
    const std::int32_t id = w.ListView->ItemTag(0);

    // While the record is on its way.
    session::CacheRemove(id);
    Service().Control(R"({"op":"fault","kind":"hold","on":["showinfo"],"times":1})");
    bool captionShown = false, listShown = true;
    std::wstring caption;
    PumpedAction look([&] {
        captionShown = w.CaptionL->Visible();
        caption = w.CaptionL->Caption();
        listShown = w.ListView->Visible() || w.Ole1->Visible() || w.Ole2->Visible();
        Release();
    });
    look.When([&] { return w.NowId == workspace::DetailPage && w.ActionBusy; });
    DoubleClickRow(w, 0);
    ASSERT_TRUE(PumpUntil([&] { return look.Done() && w.NowId == workspace::DetailPage && !w.ActionBusy; }));
    EXPECT_TRUE(captionShown);
    EXPECT_EQ(caption, listCaption);
    EXPECT_FALSE(listShown);
    // Whole: the project's own caption.
    EXPECT_TRUE(w.CaptionL->Visible());
    EXPECT_NE(w.CaptionL->Caption().find(L"分月详情"), std::wstring::npos);
    EXPECT_TRUE(w.ole3->Visible());
    EXPECT_FALSE(w.Loadingole->Visible());

    // Cut by a reset: the failure picture under the list's caption.
    ClickAt(w.StyledButton1[workspace::CurrentProjectsPage].hWnd());
    ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::CurrentProjectsPage && !w.ActionBusy; }));
    session::CacheRemove(id);
    Service().Control(R"({"op":"fault","kind":"reset_in_body","bytes":40,"on":["showinfo"],"times":1})");
    DoubleClickRow(w, 0);
    ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::DetailPage && !w.ActionBusy; }));
    EXPECT_TRUE(w.Loadingole->Visible());
    EXPECT_EQ(w.LoadingLabel->Caption(), L"呃，加载失败，请再试或稍候再试。");
    EXPECT_TRUE(w.CaptionL->Visible());
    EXPECT_EQ(w.CaptionL->Caption(), listCaption);
    for (forms::Control* region : std::initializer_list<forms::Control*>{
             &*w.Ole1, &*w.Ole2, &*w.ole3, &*w.ListView, &*w.Flashole1, &*w.Flashole2})
        EXPECT_FALSE(region->Visible()) << region->Name();
    EXPECT_EQ(session::CacheGet(id), L"");
    // A tab's click takes the caption with the page.
    ClickAt(w.StyledButton1[workspace::OverviewPage].hWnd());
    ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::OverviewPage && !w.ActionBusy; }));
    EXPECT_EQ(w.CaptionL->Caption(), L"最近30天待收列表");
}

// A project of 25 monthly payments of equal principal, as large as the form
// takes, its platform, account and name at their longest.
workspace::EntryTexts LongestProject()
{
    workspace::EntryTexts t;
    t.platform = L"平台名称二十个字平台名称二十个字平台名称";
    t.account = L"账户名称二十个字账户名称二十个字账户名称";
    t.projectName = L"项目名称二十个字项目名称二十个字项目名称";
    // As the calendar writes it: no leading zeros.
    const double start = forms::Today() - 40;
    t.valueDate = std::to_wstring(forms::Year(start)) + L"-" + std::to_wstring(forms::Month(start)) + L"-" +
                  std::to_wstring(forms::Day(start));
    t.term = L"25";
    t.termInDays = false;
    t.amount = L"100000000";
    t.annualRate = L"50";
    t.repayType = L"等额本金";
    t.voucher = t.extraIncome = t.extraExpense = t.interestFee = L"0";
    return t;
}

// Platform, project and account names at their longest stay on their lines
// of the detail page, cut with an ellipsis, never wrapped over the tile
// below; a value that fits shows whole.
TEST_F(DetailTest, NamesAtTheirLongestStayOnTheirLinesCutWithAnEllipsis)
{
    Home& w = Open(DemoLogin());
    const workspace::EntryTexts project = LongestProject();
    w.Showinfo(std::to_wstring(Stored(project)));
    ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::DetailPage && !w.ActionBusy; }));
    InputSettled();
    const struct {
        int line;
        std::wstring value;
        bool cut;
    } cases[] = {
        {0, project.platform, true},
        {1, project.projectName, true},
        {2, project.account, true},
        {4, project.valueDate, false},
    };
    for (const auto& c : cases) {
        forms::Label& label = w.Ole1Money[c.line];
        SCOPED_TRACE(label.Name() + L" " + std::to_wstring(c.line));
        EXPECT_EQ(label.Caption(), c.value);
        DibCanvas measure(1, 1);
        forms::gdi::FontHandle font = label.Font()->CreateHandle();
        forms::gdi::Selection selected(measure.Dc(), font);
        SIZE whole{};
        GetTextExtentPoint32W(measure.Dc(), c.value.c_str(), static_cast<int>(c.value.size()), &whole);
        const RECT tile = label.PixelRect();
        EXPECT_EQ(whole.cx > tile.right - tile.left, c.cut);
        TEXTMETRICW metrics{};
        GetTextMetricsW(measure.Dc(), &metrics);
        const std::vector<int> rows = InkRows(label);
        ASSERT_FALSE(rows.empty());
        EXPECT_LT(rows.back(), metrics.tmHeight);
        EXPECT_EQ(CutCaptionMismatch(label), "");
    }
}

// A project of 25 months, its values as wide as they come: its chart (the
// chart control) shows each month whole on one line, never split inside
// its number, and no two labels, months or values, touch; those that would
// are left out.
TEST_F(DetailTest, TheChartOfTwentyFiveMonthsShowsWholeLabelsThatNeverTouch)
{
    Home& w = Open(DemoLogin());
    w.Showinfo(std::to_wstring(Stored(LongestProject())));
    ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::DetailPage && !w.ActionBusy; }));
    ASSERT_GE(w.ChartItemCount, 25);
    auto& chart = dynamic_cast<forms::ChartControl&>(*w.Flash1);
    const Pixels pixels = ControlPixels(chart);

    DibCanvas measure(1, 1);
    const forms::ChartPainter painter(measure.Dc(), chart.Chart());
    const web::ColumnLayout layout = painter.Columns(RECT{0, 0, pixels.width, pixels.height}, 0);
    ASSERT_FALSE(layout.ticks.empty());
    ASSERT_FALSE(layout.titles.empty());
    // Where the layout puts a text, as the painter measures it.
    auto box = [&](const web::PlacedText& t) {
        const int width = painter.Metrics().width(t.text, web::ChartFont::Label);
        return RECT{t.x - width / 2, t.y, t.x - width / 2 + width, t.y + painter.Metrics().labelHeight};
    };
    // The piece of ink lies within one text's box and meets no other (a
    // pixel of slack for the way the platform centres a text): two texts
    // that touch make pieces across both.
    auto withinOne = [](const RECT& piece, const std::vector<RECT>& boxes) {
        int met = 0;
        bool within = false;
        for (const RECT& b : boxes) {
            const RECT slack{b.left - 1, b.top - 1, b.right + 1, b.bottom + 1};
            met += piece.left < slack.right && slack.left < piece.right && piece.top < slack.bottom &&
                   slack.top < piece.bottom;
            within = within || (piece.left >= slack.left && piece.right <= slack.right &&
                                piece.top >= slack.top && piece.bottom <= slack.bottom);
        }
        return met == 1 && within;
    };
    constexpr uint32_t kInk = 0x333333;
    const int clearOfTicks = layout.ticks.front().x + 2;

    // The months under the axis: one line, each piece inside one whole month.
    std::vector<RECT> monthBoxes;
    for (const web::PlacedText& t : layout.categories) {
        EXPECT_EQ(t.y, layout.categories.front().y);
        monthBoxes.push_back(box(t));
    }
    ASSERT_GE(monthBoxes.size(), 5u);
    const std::vector<RECT> months =
        InkPieces(pixels, {clearOfTicks, layout.baseline + 2, pixels.width, pixels.height}, kInk);
    ASSERT_GE(months.size(), monthBoxes.size());
    int top = pixels.height, bottom = 0;
    for (const RECT& piece : months) {
        EXPECT_TRUE(withinOne(piece, monthBoxes)) << piece.left << "," << piece.top;
        top = std::min<int>(top, piece.top);
        bottom = std::max<int>(bottom, piece.bottom);
    }
    EXPECT_LE(bottom - top, painter.Metrics().labelHeight);
    // The values over the bars: each piece inside one value; some values
    // are left out, as wide as they are.
    std::vector<RECT> valueBoxes;
    for (const web::Bar& bar : layout.bars)
        if (!bar.value.text.empty())
            valueBoxes.push_back(box(bar.value));
    EXPECT_LT(valueBoxes.size(), layout.bars.size());
    ASSERT_GE(valueBoxes.size(), 5u);
    const int captionBottom = layout.titles.front().y + painter.Metrics().captionHeight;
    const std::vector<RECT> values =
        InkPieces(pixels, {clearOfTicks, captionBottom, pixels.width, layout.baseline}, kInk);
    ASSERT_GE(values.size(), valueBoxes.size());
    for (const RECT& piece : values)
        EXPECT_TRUE(withinOne(piece, valueBoxes)) << piece.left << "," << piece.top;
}

// A record the service sends cut short or with an item that is no number is
// neither shown nor kept; nor does the edit form offer it to be sent.
TEST_F(DetailTest, RecordsThatDoNotReadAreNeitherShownNorKept)
{
    const struct {
        const char* fault;
        bool message;
    } cases[] = {
        {R"({"op":"fault","kind":"refusal","code":"-2","on":["showinfo"],"times":1})", false},
        {R"({"op":"fault","kind":"http500","pipe":true,"on":["showinfo"],"times":1})", false},
        {R"({"op":"fault","kind":"short_record","items":12,"times":1})", false},
        {R"({"op":"fault","kind":"record_without_pipe","times":1})", false},
        {R"({"op":"fault","kind":"record_bad_item","item":5,"text":"12a","times":1})", true},
    };
    // No case logs out: one window serves them all, back on the overview's
    // list for each.
    Home& w = Open(DemoLogin());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        const std::int32_t id = w.ListView->ItemTag(0);
        session::CacheRemove(id);
        Service().Control(c.fault);
        const size_t shown = boxes.Boxes().size();
        DoubleClickRow(w, 0);
        ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::DetailPage && !w.ActionBusy; }));
        EXPECT_EQ(session::CacheGet(id), L"");
        EXPECT_FALSE(w.Ole1->Visible());
        EXPECT_FALSE(w.ole3->Visible());
        EXPECT_EQ(boxes.Boxes().size(), shown + (c.message ? 1 : 0));
        if (!c.message) {
            EXPECT_TRUE(w.Loadingole->Visible());
        }
        Service().Control(R"({"op":"clear_faults"})");
        BackToOverview(w);
    }
    // The edit form refetches; a short reply sends the user back to the
    // project instead of leaving a form that could be sent.
    DetailOfFirstRow();
    Service().Control(R"({"op":"fault","kind":"short_record","items":12,"times":1})");
    ClickAt(w.Doedit->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::DetailPage && !w.ActionBusy; }));
    EXPECT_FALSE(w.Addole->Visible());
    EXPECT_TRUE(w.ole3->Visible());
}

// A logout after work on a project, then another account's login: the
// program meets the second account as a fresh run would, with nothing of the
// first account left in the session, whatever values it holds.
TEST_F(DetailTest, AnotherAccountLoggingInAfterALogoutFindsNothingOfTheFirst)
{
    Service().Control(R"({"op":"add_user","name":"other","password":"other123","display":"另一用户"})");
    session::SetMainWindowOpener([] { workspace::HomeWindow().Show(); });

    Home& first = LogIn(L"demo", L"demo123");
    ClickAt(first.StyledButton1[2].hWnd());
    ASSERT_TRUE(
        PumpUntil([&] { return first.NowId == workspace::CurrentProjectsPage && !first.ActionBusy; }));
    DoubleClickRow(first, 0);
    ASSERT_TRUE(PumpUntil([&] { return first.NowId == workspace::DetailPage && !first.ActionBusy; }));
    const std::int32_t id = session::CurrentSession().CurrentProjectId;
    ASSERT_GT(id, 0);
    ClickAt(first.StyledButton3->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return !first.IsLoaded(); }));
    const session::AccountValues& left = session::CurrentSession();
    EXPECT_TRUE(left == session::AccountValues());
    EXPECT_EQ(session::CurrentSession().CurrentProjectId, 0);
    EXPECT_TRUE(session::CurrentSession().ReplyRows.empty());

    Home& second = LogIn(L"other", L"other123");
    EXPECT_EQ(second.Maininfo->Caption(), L"另一用户，欢迎您的登录。");
    EXPECT_EQ(second.ListView->ItemCount(), 0);
    EXPECT_LE(second.Combo1->ListCount(), 1);
    // The first account's project is asked of the service for the second,
    // which refuses it: nothing the first account opened answers instead.
    const size_t fetched = Logged(Service(), "showinfo");
    second.Showinfo(std::to_wstring(id));
    ASSERT_TRUE(PumpUntil([&] { return !second.ActionBusy; }));
    EXPECT_EQ(Logged(Service(), "showinfo"), fetched + 1);
    EXPECT_FALSE(second.ole3->Visible());
    EXPECT_TRUE(second.Loadingole->Visible());
    session::SetMainWindowOpener(nullptr);
}

// Account A saves a project with the keep ticks of the platform and the
// account set, then logs out; account B logs in, sets the same ticks and
// changes tab: B's blank form holds nothing of A's. Each account's own kept
// names come back across page changes and saves.
TEST_F(DetailTest, OneAccountsKeptEntriesNeverReachTheNextAccount)
{
    Service().Control(R"({"op":"add_user","name":"other","password":"other123","display":"另一用户"})");
    session::SetMainWindowOpener([] { workspace::HomeWindow().Show(); });
    const struct {
        const wchar_t *name, *password, *platform, *account;
    } accounts[] = {
        {L"demo", L"demo123", L"甲的平台", L"甲的账户"},
        {L"other", L"other123", L"乙的平台", L"乙的账户"},
    };
    for (const auto& a : accounts) {
        SCOPED_TRACE(forms::TextToAnsi(a.name));
        Home& w = LogIn(a.name, a.password);
        ClickTab(w, workspace::EntryPage);
        ClickAt(w.Check1[0].hWnd());
        ClickAt(w.Check1[1].hWnd());
        ASSERT_TRUE(PumpUntil([&] {
            return w.Check1[0].Value() == forms::vbChecked && w.Check1[1].Value() == forms::vbChecked;
        }));
        // A page change builds the blank form afresh: nothing kept yet in
        // this account.
        ClickTab(w, workspace::CurrentProjectsPage);
        ClickTab(w, workspace::EntryPage);
        EXPECT_EQ(w.Addptmc->Text(), L"");
        EXPECT_EQ(w.Addptid->Text(), L"");

        FillNewProject(w, L"保留测试");
        w.Addptmc->Text(a.platform);
        w.Addptid->Text(a.account);
        ClickAt(w.StyledButton7->hWnd());
        ASSERT_TRUE(PumpUntil([&] { return w.NowId == workspace::DetailPage && !w.ActionBusy; }));
        EXPECT_EQ(boxes.Boxes().back().prompt, workspace::kSavedMessage);
        // The account's own names come back, after the save and after
        // another page change.
        for (int page : {workspace::EntryPage, workspace::OverviewPage, workspace::EntryPage}) {
            ClickTab(w, page);
            if (page == workspace::EntryPage) {
                EXPECT_EQ(w.Addptmc->Text(), a.platform);
                EXPECT_EQ(w.Addptid->Text(), a.account);
                EXPECT_EQ(w.Addxmmc->Text(), L"");
            }
        }
        ClickAt(w.StyledButton3->hWnd());
        ASSERT_TRUE(PumpUntil([&] { return !w.IsLoaded(); }));
        EXPECT_TRUE(session::CurrentSession().KeptPlatform.empty());
        EXPECT_TRUE(session::CurrentSession().KeptAccount.empty());
    }
    session::SetMainWindowOpener(nullptr);
}

}  // namespace
}  // namespace quill::test
