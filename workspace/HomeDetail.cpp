// The main window's detail page: Showinfo, the page of one project with its
// summary, schedule and chart, and the five buttons of its bar.
#include "workspace/ChartXml.h"
#include "workspace/Home.h"
#include "workspace/PageIds.h"
#include "workspace/ProjectDetail.h"
#include "workspace/ProjectRows.h"
#include "protocol/ReplyForms.h"
#include "workspace/RandomColor.h"

#include "forms/lang/Clock.h"
#include "forms/lang/Error.h"
#include "forms/lang/Numbers.h"
#include "forms/MessageBox.h"
#include "session/RecordCache.h"
#include "session/Session.h"

namespace quill::workspace {

namespace {

constexpr int kBarButtonWidth = 1365, kBarButtonHeight = 420, kBarButtonTop = 135;

}  // namespace

void Home::CreateDetailControls()
{
    struct Bar {
        forms::Loaded<button::StyledButton>& button;
        const wchar_t* name;
        const wchar_t* caption;
        void (Home::*click)();
    };
    const Bar bar[] = {
        {Doedit, L"Doedit", L"编辑项目  ", &Home::Doedit_Click},
        {Doover, L"Doover", L"完成项目  ", &Home::Doover_Click},
        {Dodel, L"Dodel", L"删除项目  ", &Home::Dodel_Click},
        {Dobad, L"Dobad", L"设置坏账  ", &Home::Dobad_Click},
        {DoBack, L"DoBack", L"返回列表  ", &Home::DoBack_Click},
    };
    int left = 0;
    for (const Bar& b : bar) {
        // The control takes a copy of its design when it is made.
        const forms::PropertyBag design{{L"Caption", b.caption}, {L"Style", 7}};
        b.button.Load(*ole3,
                      {.name = b.name,
                       .left = left,
                       .top = kBarButtonTop,
                       .width = kBarButtonWidth,
                       .height = kBarButtonHeight},
                      &design);
        b.button->Click = [this, click = b.click] { (this->*click)(); };
        left += kBarButtonWidth + 450;
    }
    for (auto* destructive : {&Doover, &Dodel, &Dobad})
        spaceWatch_.Watch((*destructive)->hWnd());
}

void Home::Showinfo(const std::wstring& showid)
{
    // A page build or a filter run is under way and lets messages through
    // (a double click on the rows it is adding): it would go on writing its
    // rows and its chart into whatever this opened.
    if (ActionBusy)
        return;
    switch (ShowinfoWorkOn(NowId)) {
    case ShowinfoWork::OpenDetail:
        BuildDetailPage(showid);
        break;
    case ShowinfoWork::PlatformList:
    case ShowinfoWork::MonthList:
    case ShowinfoWork::YearList:
        OpenFilteredList(showid);
        break;
    case ShowinfoWork::Nothing:
        break;
    }
}

void Home::BuildDetailPage(const std::wstring& showid)
{
    session::Session& current = session::CurrentSession();
    const std::uint64_t generation = generation_;
    auto fail = [&](const forms::RuntimeError& e) {
        ActionBusy = false;
        forms::MsgBox(DetailErrorMessage(e), forms::vbCritical);
    };
    ActionBusy = true;
    // The caption of the page left stays while the project is read, and over
    // the failure picture of one that could not be, until a tab is clicked.
    HidePageContent();
    std::int32_t id = 0;
    try {
        id = forms::ToInt32(std::wstring_view(showid));
    } catch (const forms::RuntimeError& e) {
        fail(e);
        return;
    }
    current.CurrentProjectId = id;
    NowId = DetailPage;
    current.ChartHeight = forms::ToInt32(static_cast<double>(current.TwipsPerPixelY) * 200);

    std::wstring record = session::CacheGet(id);
    if (record.empty()) {
        record = Post(protocol::RecordRequest(showid, current.AuthQuery));
        if (!Alive(generation))
            return;
    }
    // The page is read whole before anything of it shows or is kept.
    const DetailVerdict verdict = ClassifyDetailReply(record, forms::Today());
    if (verdict.reading != DetailReading::Read) {
        session::CacheRemove(id);
        if (verdict.reading == DetailReading::Unusable) {
            ActionBusy = false;
            ShowLoading(2);
        } else {
            fail(verdict.error);
        }
        return;
    }
    session::CachePut(id, record);
    const ProjectDetail& page = verdict.detail;

    try {
        ChartXml chart(ChartStyle::Overview, page.chartCaption);
        LoadTlist(kDetailLines);
        CaptionL->Caption(page.pageCaption);
        CaptionL->Visible(true);
        for (int i = 0; i < kDetailLines; ++i) {
            Ole1Label[i].Caption(page.lines[static_cast<size_t>(i)].caption);
            Ole1Money[i].Caption(page.lines[static_cast<size_t>(i)].value);
        }
        Ole1Money[3].ForeColor(page.statusColour);
        Ole1Money[kDetailLines - 1].ToolTipText(page.lines[kDetailLines - 1].value);
        Ole1->Visible(true);
        current.CurrentProjectDueDate = page.dueDate;
        for (auto* held : {&Doedit, &Doover, &Dobad})
            (*held)->Visible(!page.finished);
        Dodel->Visible(true);
        DoBack->Visible(true);

        ShowListView(ScheduleList);
        ListView->Redraw(false);
        ChartItemCount = page.chartItemCount;
        ChartLabelAngle = page.chartLabelAngle;
        for (const ScheduleListRow& row : page.schedule) {
            const std::int32_t added = ListView->AddItem();
            for (int column = 0; column < kScheduleColumns; ++column)
                ListView->ItemText(added, column, row.texts[static_cast<size_t>(column)]);
            chart.Set(row.month, row.holdingInterest, RandomColor(false));
        }
        ListView->Redraw(true);
        ListView->Visible(true);
        ole3->Visible(true);
        PageChartXml1 = chart.Text();
        ShowFlash1(PubLeft, PubTop, PubWidth, current.ChartHeight, PageChartXml1, 0);
    } catch (const forms::RuntimeError& e) {
        fail(e);
        return;
    }
    ActionBusy = false;
    Form_Resize();
}

void Home::OpenFilteredList(const std::wstring& showid)
{
    const ShowinfoWork work = ShowinfoWorkOn(NowId);
    ShowinfoFilter filter;
    try {
        filter = ShowinfoFilterFor(work, NowId, showid, forms::Today());
    } catch (const forms::RuntimeError& e) {
        forms::MsgBox(DetailErrorMessage(e), forms::vbCritical);
        return;
    }
    const std::uint64_t generation = generation_;
    StyledButton1_Click(filter.tab);
    // A list that could not be fetched or read leaves its failure picture
    // alone: no filter run over the rows of an earlier view.
    if (!Alive(generation) || pageFailed_ || NowId != filter.tab)
        return;
    if (work == ShowinfoWork::PlatformList) {
        // The first entry equal to the name; none keeps the box as it is,
        // and the run then lists nothing rather than another platform's projects.
        bool listed = false;
        forms::ResumeNext([&] {
            for (std::int32_t i = 0; i < Combo1->ListCount() && !listed; ++i)
                if (Combo1->List(i) == filter.platform) {
                    Combo1->ListIndex(i);
                    listed = true;
                }
        });
        FilterPlatformUnlisted = !listed;
        forms::ResumeNext([&] { SXdateb->Text(L""); });
        forms::ResumeNext([&] { SXdatee->Text(L""); });
        forms::ResumeNext([&] { SXKey->Text(L""); });
        forms::ResumeNext([&] { Combo2->ListIndex(0); });
    } else {
        forms::ResumeNext([&] { SXdateb->Text(filter.start); });
        forms::ResumeNext([&] { SXdatee->Text(filter.end); });
        forms::ResumeNext([&] { Combo5->ListIndex(filter.dateKind); });
        forms::ResumeNext([&] { Combo1->ListIndex(0); });
        forms::ResumeNext([&] { Combo2->ListIndex(0); });
        forms::ResumeNext([&] { SXKey->Text(L""); });
    }
    StyledButton4_Click();
    FilterPlatformUnlisted = false;
}

void Home::DoBack_Click()
{
    session::CurrentSession().CurrentProjectId = -1;
    StyledButton1_Click(NowIDb);
}

void Home::Doedit_Click()
{
    EDITinfo(session::CurrentSession().CurrentProjectId);
}

void Home::Doover_Click()
{
    if (FinishRefused(session::CurrentSession().CurrentProjectDueDate, forms::Today())) {
        if (spaceWatch_.TakePress(Doover->hWnd()))
            forms::MsgBox(kNotDueMessage, forms::vbInformation);
        return;
    }
    RunDetailAction(DetailAction::Finish, *Doover);
}

void Home::Dodel_Click()
{
    RunDetailAction(DetailAction::Delete, *Dodel);
}

void Home::Dobad_Click()
{
    RunDetailAction(DetailAction::BadDebt, *Dobad);
}

void Home::RunDetailAction(DetailAction action, button::StyledButton& pressed)
{
    // One question and one request per click or Space press: clicks that
    // come while the question is up or the request waits, and the clicks of
    // a held Space, are not new presses.
    if (actionRunning_ || ActionBusy || !spaceWatch_.TakePress(pressed.hWnd()))
        return;
    const HeldFlag running(actionRunning_);
    const std::uint64_t generation = generation_;

    const DetailActionTexts& texts = TextsOf(action);
    const std::int32_t answer = forms::MsgBox(
        texts.confirmation, forms::vbYesNo | forms::vbQuestion | forms::vbDefaultButton2, kConfirmTitle);
    if (!Alive(generation) || answer == forms::vbNo)
        return;

    ActionBusy = true;
    HideAll();
    ShowLoading(1);
    const std::int32_t id = session::CurrentSession().CurrentProjectId;
    const std::wstring reply = Post(DetailActionRequest(action, id, session::CurrentSession().AuthQuery));
    // Logged out or closed while the request waited: the reply belongs to a
    // window that is no more.
    if (!Alive(generation))
        return;
    ServerReply = reply;
    if (protocol::ActionReplyRejected(ServerReply)) {
        forms::MsgBox(kActionFailedMessage, forms::vbInformation, kActionFailedTitle);
        if (Alive(generation))
            StyledButton3_Click();
        return;
    }
    ReLoad(ServerReply);
    if (!Alive(generation))
        return;
    session::CacheRemove(id);
    ActionBusy = false;
    StyledButton1_Click(NowIDb);
    if (!Alive(generation))
        return;
    forms::MsgBox(texts.successText, forms::vbInformation, texts.successTitle);
}

}  // namespace quill::workspace
