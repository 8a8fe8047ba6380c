#include "workspace/HomePages.h"

#include "workspace/ChartXml.h"
#include "workspace/ListPages.h"
#include "workspace/PlatformPages.h"
#include "workspace/RandomColor.h"
#include "workspace/Reports.h"
#include "protocol/ServiceRequests.h"
#include "session/Session.h"

#include "forms/lang/Clock.h"
#include "forms/lang/Error.h"
#include "forms/lang/Numbers.h"
#include "forms/MessageBox.h"
#include "forms/Pump.h"
#include "forms/TimerControl.h"

namespace quill::workspace {

void HomeList::AddColumn(const ListColumn& column)
{
    list_.AddColumn(column.key, column.caption, 2, column.width, false, true);
}

HomePages::HomePages(Home& home) : home_(home), generation_(home.Generation()), list_(*home.ListView) {}

bool HomePages::Alive() const
{
    return home_.Generation() == generation_ && home_.IsLoaded();
}

// A look at an empty queue costs the platform more than adding a row does,
// and the pages look once per row: the messages run at the first look, when
// a timer of the program is due (the loading picture's next frame) and
// otherwise once the interval has passed, so input waits no longer than that
// and a page of 100,000 rows is not spent asking.
bool HomePages::DoEvents()
{
    const std::int64_t now = forms::MonotonicMilliseconds();
    if (!lastPump_ || now - *lastPump_ >= kPumpIntervalMs || now < *lastPump_ ||
        forms::TimerControl::AnyDue()) {
        forms::DoEvents();
        lastPump_ = forms::MonotonicMilliseconds();
    }
    return Alive();
}

void HomePages::SetListCaption(const std::wstring& text)
{
    home_.CaptionL->Caption(text);
}

void HomePages::ShowChart(int slot, ChartPlace place, const PageChart& chart)
{
    ChartXml xml(chart.pie ? ChartStyle::Pie : ChartStyle::List, chart.caption);
    for (const ChartSet& set : chart.sets) {
        if (chart.pie)
            xml.PieSet(set.name, set.value, set.color);
        else
            xml.Set(set.name, set.value, set.color);
    }
    std::wstring& text = slot == 1 ? home_.PageChartXml1 : home_.PageChartXml2;
    text = xml.Text();
    std::int32_t left = home_.PubLeft, width = home_.PubWidth;
    if (place == ChartPlace::WholeWindow) {
        left = 0;
        width = home_.ScaleWidth();
    } else if (place == ChartPlace::HalfColumn) {
        width = forms::ToInt32(home_.PubWidth / 2.0);
    }
    const std::int16_t type = chart.pie ? 1 : 0;
    if (slot == 1)
        home_.ShowFlash1(left, home_.PubTop, width, session::CurrentSession().ChartHeight, text, type);
    else
        home_.ShowFlash2(left, home_.PubTop, width, session::CurrentSession().ChartHeight, text, type);
}

void HomePages::SetSummaryLine(int line, const std::wstring& caption, const std::wstring& value)
{
    home_.Ole1Label[line].Caption(caption);
    home_.Ole1Money[line].Caption(value);
}

void HomePages::ShowRegions(unsigned regions)
{
    if (regions & SummaryPanel)
        home_.Ole1->Visible(true);
    if (regions & ChartFrame1)
        home_.Flashole1->Visible(true);
    if (regions & ChartFrame2)
        home_.Flashole2->Visible(true);
    if (regions & ListCaption)
        home_.CaptionL->Visible(true);
    if (regions & FilterPanel)
        home_.Ole2->Visible(true);
    if (regions & ListRegion)
        home_.ListView->Visible(true);
}

std::wstring HomePages::NextColor()
{
    return RandomColor(false);
}

const protocol::UserInfo& HomePages::Info()
{
    return session::CurrentSession().UserInfo;
}

const std::wstring& HomePages::Section(protocol::AccountSnapshot::SectionIndex section)
{
    switch (section) {
    case protocol::AccountSnapshot::Monthly:
        return session::CurrentSession().MonthlySection;
    case protocol::AccountSnapshot::CurrentPlatforms:
        return session::CurrentSession().CurrentPlatformSection;
    case protocol::AccountSnapshot::FinishedPlatforms:
        return session::CurrentSession().FinishedPlatformSection;
    case protocol::AccountSnapshot::PlatformList:
        return session::CurrentSession().PlatformListSection;
    case protocol::AccountSnapshot::DueSoon:
        return session::CurrentSession().DueSoonSection;
    default:
        throw forms::RuntimeError(forms::kSubscriptOutOfRange);
    }
}

std::optional<std::wstring> HomePages::RequestList(bool finished)
{
    std::wstring reply =
        Home::Post(finished ? protocol::FinishedListRequest(session::CurrentSession().AuthQuery)
                            : protocol::CurrentListRequest(session::CurrentSession().AuthQuery));
    if (!Alive())
        return std::nullopt;
    return reply;
}

std::wstring& HomePages::ListCache(bool finished)
{
    return finished ? session::CurrentSession().FinishedListCache
                    : session::CurrentSession().CurrentListCache;
}

std::vector<std::wstring>& HomePages::ReplyRows()
{
    return session::CurrentSession().ReplyRows;
}

FilterBoxes HomePages::ReadFilterBoxes()
{
    return {home_.Combo1->Text(),        home_.Combo2->Text(),  home_.SXKey->Text(),
            home_.SXdateb->Text(),       home_.SXdatee->Text(), home_.Combo5->ListIndex(),
            home_.FilterPlatformUnlisted};
}

void HomePages::SetFilterKey(const std::wstring& text)
{
    home_.SXKey->Text(text);
}

void HomePages::SetFilterEnd(const std::wstring& text)
{
    home_.SXdatee->Text(text);
}

void HomePages::EnableFilterButton(bool enabled)
{
    home_.StyledButton4->Enabled(enabled);
}

void HomePages::Inform(const std::wstring& message)
{
    forms::MsgBox(message, forms::vbInformation);
}

PageEnd BuildHomePage(Home& home, std::int16_t index)
{
    HomePages pages(home);
    switch (index) {
    case CurrentProjectsPage:
    case FinishedProjectsPage:
        return BuildProjectListPage(pages, index == FinishedProjectsPage);
    case CurrentPlatformsPage:
    case FinishedPlatformsPage:
        return BuildPlatformPage(pages, index == FinishedPlatformsPage);
    case MonthlyReportPage:
        return BuildMonthlyPage(pages);
    case YearlyReportPage:
        return BuildYearlyPage(pages);
    default:
        return PageEnd::Completed;
    }
}

}  // namespace quill::workspace
