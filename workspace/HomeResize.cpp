// The main window's layout pass: its resize event places every region for
// the window's size and the page shown (the figures are HomeLayout's), and
// its first pass after a load builds the overview.
#include "workspace/Home.h"
#include "workspace/HomeLayout.h"

#include "forms/lang/Error.h"
#include "session/Session.h"

namespace quill::workspace {

namespace {

// UserInfo items 8 and 9 as the layout reads them: leading numbers, 0 when missing.
double LenientItem(int item)
{
    const protocol::UserInfo& info = session::CurrentSession().UserInfo;
    return item < info.Count() ? info.Lenient(item) : 0;
}

}  // namespace

void Home::Form_Resize()
{
    // The pass never fails out of the resize event: whatever goes wrong in
    // it stays in it.
    forms::ResumeNext([&] { LayOut(); });
}

void Home::LayOut()
{
    session::Session& current = session::CurrentSession();
    if (!IsLoaded())
        return;
    const std::uint64_t generation = generation_;
    auto input = [&] {
        LayoutInput in;
        in.W = ScaleWidth();
        in.H = ScaleHeight();
        in.twipsPerPixelX = current.TwipsPerPixelX;
        in.twipsPerPixelY = current.TwipsPerPixelY;
        in.NowId = NowId;
        in.margin = current.LayoutMargin;
        in.currentProjects = LenientItem(protocol::UserInfo::CurrentProjectCount);
        in.finishedProjects = LenientItem(protocol::UserInfo::FinishedProjectCount);
        in.ChartItemCount = ChartItemCount;
        in.loadingVisible = Loadingole->Visible();
        in.buttonWidth = StyledButton3->Width();
        in.buttonHeight = StyledButton3->Height();
        in.maininfoHeight = Maininfo->Height();
        in.maininfoRWidth = MaininfoR->Width();
        in.summaryHeight = Ole1->Height();
        in.captionWidth = CaptionL->Width();
        in.captionHeight = CaptionL->Height();
        in.filterHeight = Ole2->Height();
        in.buttonBarHeight = ole3->Height();
        in.loadingWidth = Loadingole->Width();
        in.editButtonVisible = Doedit->Visible();
        return in;
    };
    LayoutInput in = input();
    Header h = LayOutHeader(in);
    current.ChartHeight = h.ChartHeight;
    PubLeft = h.PubLeft;
    PubWidth = h.PubWidth;
    for (int i = 0; i < 8; ++i)
        StyledButton1[i].Move(h.tabs[static_cast<size_t>(i)].left, h.tabs[static_cast<size_t>(i)].top);
    StyledButton2->Move(h.update.left, h.update.top);
    StyledButton3->Move(h.logout.left, h.logout.top);
    Maininfo->Move(h.maininfo.left, h.maininfo.top);
    MaininfoR->Move(h.maininfoR.left, h.maininfoR.top);
    PubTop = h.PubTop;
    if (h.loading)
        Loadingole->Move(h.loading->left, h.loading->top);

    if (LoadBe) {
        // The first pass after the load builds the overview.
        LoadBe = false;
        StyledButton1[0].Value(true);
        StyledButton1_Click(0);
        if (!Alive(generation))
            return;
        in = input();
        h = LayOutHeader(in);
    }

    const PageRegions r = LayOutPage(in, h);
    if (r.showOverviewRegions) {
        Flashole1->Visible(true);
        Ole1->Visible(true);
        ListView->Visible(true);
    }
    auto placeChart = [&](const std::optional<Rect>& place, const ChartSlot& slot) {
        if (!place)
            return;
        slot.frame->Move(place->left, place->top, place->width, place->height);
        PlaceChartContent(slot);
    };
    placeChart(r.chart1, Slot1());
    placeChart(r.chart2, Slot2());
    if (r.summary)
        Ole1->Move(r.summary->left, r.summary->top, r.summary->width);
    if (r.caption)
        CaptionL->Move(r.caption->left, r.caption->top);
    if (r.filter)
        Ole2->Move(r.filter->left, r.filter->top, r.filter->width);
    if (r.entry)
        Addole->Move(r.entry->left, r.entry->top, r.entry->width);
    if (r.buttonBar)
        ole3->Move(r.buttonBar->left, r.buttonBar->top, r.buttonBar->width);
    if (r.detailButtonLefts) {
        button::StyledButton* const bar[] = {&*Doedit, &*Doover, &*Dodel, &*Dobad, &*DoBack};
        for (size_t i = 0; i < 5; ++i)
            if (const std::optional<int> left = (*r.detailButtonLefts)[i])
                bar[i]->Move(*left, bar[i]->Top());
    }
    if (r.list)
        ListView->Move(r.list->left, r.list->top, r.list->width, r.list->height);
}

}  // namespace quill::workspace
