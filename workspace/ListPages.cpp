#include "workspace/ListPages.h"

#include "forms/lang/Clock.h"
#include "forms/lang/Error.h"
#include "forms/lang/Text.h"
#include "workspace/PageSummary.h"
#include "protocol/ReplyForms.h"
#include "protocol/ReplyText.h"

namespace quill::workspace {

void ShowListView(PageList& list, std::int32_t& shownKind, std::int32_t kind)
{
    forms::ResumeNext([&] { list.Clear(); });
    if (kind == shownKind)
        return;
    std::int32_t count = 0;
    forms::ResumeNext([&] { count = list.ColumnCount(); });
    for (std::int32_t i = 0; i < count; ++i)
        forms::ResumeNext([&] { list.RemoveColumn(0); });
    for (const ListColumn& column : ListColumns(kind))
        forms::ResumeNext([&] { list.AddColumn(column); });
    shownKind = kind;
}

std::int32_t PageListKind(std::int32_t pageId)
{
    switch (pageId) {
    case OverviewPage:
    case CurrentProjectsPage:
    case FinishedProjectsPage:
        return ProjectList;
    case CurrentPlatformsPage:
    case FinishedPlatformsPage:
        return PlatformList;
    case MonthlyReportPage:
        return MonthList;
    case YearlyReportPage:
        return YearList;
    case DetailPage:
        return ScheduleList;
    default:
        return 0;
    }
}

std::wstring ShowinfoArgument(std::int32_t pageId, std::int32_t tag, const std::wstring& column1)
{
    switch (pageId) {
    case CurrentPlatformsPage:
    case FinishedPlatformsPage:
    case MonthlyReportPage:
    case YearlyReportPage:
        return column1;
    default:
        return std::to_wstring(tag);
    }
}

std::int32_t ProjectChartAngle(double projectCount)
{
    return projectCount >= 6 ? -25 : 0;
}

bool ProjectChartSpansWindow(double projectCount)
{
    return projectCount >= 20;
}

namespace {

const std::vector<SummaryLine>& ProjectListSummary(bool finished)
{
    static const std::vector<SummaryLine> current{
        {L"当前投入本金：", WanItem<protocol::UserInfo::CurrentPrincipal>},
        {L"当前持有项目：", WanItem<protocol::UserInfo::CurrentProjectCount>},
        {L"本月持有利息：", WanItem<protocol::UserInfo::MonthHoldingInterest>},
        {L"本月回款利息：", WanItem<protocol::UserInfo::MonthRepaidInterest>},
    };
    return finished ? FinishedSummary() : current;
}

ChartSet ProjectSet(PageHost& host, const protocol::ProjectRow& row)
{
    return {row.Text(protocol::ProjectRow::ProjectName), row.Text(protocol::ProjectRow::ActualIncome),
            host.NextColor()};
}

}  // namespace

void AddProjectListRow(PageList& list, const protocol::ProjectRow& row, int position, DueColumn due,
                       double today)
{
    const std::int32_t index = list.AddItem();
    list.ItemTag(index, row.Id());
    for (int column = 0; column < kProjectRowColumns; ++column)
        list.ItemText(index, column, ProjectRowText(row, column, position, due, today));
}

PageEnd BuildProjectListPage(PageHost& host, bool finished)
{
    host.ShowLoading(1);
    if (!host.DoEvents())
        return PageEnd::Abandoned;
    host.SetListCaption(finished ? L"已经完结项目明细（双击项目查看详情）"
                                 : L"当前持有项目明细（双击项目:操作/查看详情）");
    const std::optional<std::wstring> reply = host.RequestList(finished);
    if (!reply)
        return PageEnd::Abandoned;
    host.ListCache(finished) = *reply;
    const protocol::UserInfo& info = host.Info();
    const int countItem =
        finished ? protocol::UserInfo::FinishedProjectCount : protocol::UserInfo::CurrentProjectCount;
    if (protocol::ListReplyFailed(*reply, info.Lenient(countItem))) {
        host.ShowLoading(2);
        host.SetActionBusy(false);
        return PageEnd::RequestFailed;
    }

    PageList& list = host.List();
    ShowListView(list, host.ShownListKind(), ProjectList);
    if (!finished)
        host.SetChartLabelAngle(ProjectChartAngle(info.Lenient(countItem)));
    PageChart chart{finished ? L"已经完结项目-实际收益(显示最新到期20项)"
                             : L"当前持有项目-实际收益(显示最近到期20项)"};

    // The rows are read from a copy of their own: handlers that run while
    // messages are let through may read other replies into the shared scratch.
    host.ReplyRows() = forms::Split(*reply, L"|");
    const std::vector<std::wstring> rows = protocol::ListRows(*reply);
    list.Redraw(false);
    const double today = forms::Today();
    const DueColumn due = finished ? DueColumn::Dash : DueColumn::DaysLeft;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (finished && !host.DoEvents())
            return PageEnd::Abandoned;
        const protocol::ProjectRow row(rows[i]);
        const bool charted = i < static_cast<size_t>(kProjectChartSets);
        if (!finished) {
            if (charted)
                chart.sets.push_back(ProjectSet(host, row));
            if (!host.DoEvents())
                return PageEnd::Abandoned;
        }
        AddProjectListRow(list, row, static_cast<int>(i), due, today);
        if (finished && charted)
            chart.sets.push_back(ProjectSet(host, row));
    }
    list.Redraw(true);

    const double count = info.Lenient(countItem);
    if (finished)
        host.SetChartLabelAngle(ProjectChartAngle(count));
    host.ShowChart(1, ProjectChartSpansWindow(count) ? ChartPlace::WholeWindow : ChartPlace::Column, chart);
    ShowSummary(host, ProjectListSummary(finished));
    host.ShowLoading(0);
    host.ShowRegions(SummaryPanel | ChartFrame1 | ListCaption | FilterPanel | ListRegion);
    return PageEnd::Completed;
}

}  // namespace quill::workspace
