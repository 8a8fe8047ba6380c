// The main window's tab row: a tab's click hides the page shown and builds
// its own (the overview here, the entry form, or a page of HomePages), and a
// page whose request failed shows the failure picture.
#include "workspace/Home.h"
#include "workspace/HomePages.h"
#include "workspace/ListPages.h"
#include "workspace/ProjectRows.h"
#include "workspace/RandomColor.h"

#include "forms/lang/Clock.h"
#include "forms/lang/Error.h"
#include "forms/lang/Numbers.h"
#include "forms/lang/Text.h"
#include "forms/MessageBox.h"
#include "session/Session.h"

#include <windows.h>

namespace quill::workspace {

void Home::PageFailed()
{
    ShowLoading(2);
    ActionBusy = false;
    pageFailed_ = true;
}

void Home::StyledButton1_Click(std::int16_t Index)
{
    // A failed page is built again by a click on its own tab.
    if (Index == NowId && !pageFailed_)
        return;
    if (ActionBusy) {
        // The refused click gave its tab the focus, which draws it chosen
        // over a page that stays.
        if (Index >= StyledButton1.LBound() && Index <= StyledButton1.UBound() &&
            StyledButton1[Index].HasFocus())
            FocusShownPage();
        return;
    }
    const std::uint64_t generation = generation_;
    try {
        NowId = Index;
        Form_Resize();
        NowIDb = Index;
        if (Mdateole->Visible())
            Mdateole->Visible(false);
        ActionBusy = true;
        pageFailed_ = false;
        HideAll();
        Ole1Money[3].ForeColor(Ole1Money[2].ForeColor());
        NearestDueDays = kNoDueProject;
        if (session::CurrentSession().CurrentProjectId != -1)
            for (int i = StyledButton1.LBound(); i <= StyledButton1.UBound(); ++i)
                StyledButton1[i].Value(false);
        session::CurrentSession().CurrentProjectId = 0;
        ShowLoading(0);
        // HideAll leaves the entry form to its callers.
        Addole->Visible(false);

        if (Index == OverviewPage) {
            if (summaryStale_) {
                ShowLoading(1);
                if (!RereadSummary()) {
                    ActionBusy = false;  // the window went while it waited
                    return;
                }
                ShowLoading(0);
            }
            BuildOverview();
        } else if (Index == EntryPage) {
            ShowBlankForm();
        } else if (Index <= YearlyReportPage) {
            switch (BuildHomePage(*this, Index)) {
            case PageEnd::Completed:
                break;
            case PageEnd::RequestFailed:
                PageFailed();
                return;
            case PageEnd::Abandoned:
                // The window went while the page let messages through.
                ActionBusy = false;
                return;
            }
        }
        if (!Alive(generation) || pageFailed_)
            return;
        Form_Resize();
        ActionBusy = false;
    } catch (const forms::RuntimeError& e) {
        if (!Alive(generation)) {
            ActionBusy = false;
            return;
        }
        pageFailed_ = true;
        ShowLoading(2);
        forms::MsgBox(e.Description(), forms::vbCritical, L"出错");
        ActionBusy = false;
    }
}

void Home::FocusShownPage()
{
    forms::ResumeNext([&] {
        forms::Control* shown = nullptr;
        if (NowId >= OverviewPage && NowId <= YearlyReportPage)
            shown = &StyledButton1[NowId];
        else if (NowId == DetailPage)
            shown = &*ListView;
        else if (NowId == EditPage)
            shown = &*Addptmc;
        if (shown && shown->CanTakeFocus())
            shown->SetFocus();
        else
            ::SetFocus(hWnd());
    });
}

void Home::BuildOverview()
{
    session::Session& current = session::CurrentSession();
    const protocol::UserInfo& info = current.UserInfo;
    ChartLabelAngle = 0;
    PageChartXml1 = OverviewChartXml(info, [] { return RandomColor(false); });
    ShowFlash1(PubLeft, PubTop, PubWidth, current.ChartHeight, PageChartXml1, 0);
    LoadTlist(12);
    CaptionL->Caption(L"最近30天待收列表");
    CaptionL->Visible(true);
    for (int i = 0; i < kOverviewLines; ++i) {
        Ole1Label[i].Caption(OverviewCaption(i));
        Ole1Money[i].Caption(OverviewValue(info, i));
    }
    Ole1->Visible(true);

    current.ReplyRows = forms::Split(current.DueSoonSection, L"|");
    ShowListView(ProjectList);
    ListView->Redraw(false);
    HomeList list(*ListView);
    const double today = forms::Today();
    for (size_t i = 0; i + 1 < current.ReplyRows.size(); ++i) {
        current.RowFields = forms::Split(current.ReplyRows[i], L",");
        const protocol::ProjectRow row(current.ReplyRows[i]);
        AddProjectListRow(list, row, static_cast<int>(i), DueColumn::DaysLeft, today);
        if (NearestDueDays == kNoDueProject)
            NearestDueDays = forms::ToInt32(DaysToDue(row, today));
    }
    ListView->Redraw(true);
    ListView->Visible(true);

    const Reminder reminder = ReminderLine(NearestDueDays);
    MaininfoR->Caption(reminder.caption);
    MaininfoR->ForeColor(reminder.color);
}

}  // namespace quill::workspace
