#include "workspace/ListFilter.h"

#include "forms/lang/Clock.h"
#include "forms/lang/Dates.h"
#include "forms/lang/Error.h"
#include "forms/lang/Text.h"
#include "workspace/ListPages.h"

namespace quill::workspace {

namespace {

// An exact, case-sensitive search; an empty text holds nothing, not even the
// empty text.
bool Occurs(const std::wstring& text, const std::wstring& sought)
{
    return !text.empty() && text.find(sought) != std::wstring::npos;
}

bool PlatformMatches(const FilterBoxes& boxes, const protocol::ProjectRow& row)
{
    return Occurs(row.Text(protocol::ProjectRow::PlatformName), boxes.platform);
}

bool AccountMatches(const FilterBoxes& boxes, const protocol::ProjectRow& row)
{
    return PlatformMatches(boxes, row) &&
           Occurs(row.Text(protocol::ProjectRow::PlatformAccount), boxes.account);
}

bool DateMatches(const FilterBoxes& boxes, const protocol::ProjectRow& row)
{
    const double date =
        row.StrictDate(boxes.dateKind == 0 ? protocol::ProjectRow::ValueDate : protocol::ProjectRow::DueDate);
    return date >= forms::ToDate(boxes.start) && date <= forms::ToDate(boxes.end);
}

}  // namespace

bool FilterMatches(const FilterBoxes& boxes, const protocol::ProjectRow& row)
{
    if (boxes.nothing)
        return false;
    try {
        const bool platform = !boxes.platform.empty(), account = !boxes.account.empty(),
                   start = !boxes.start.empty();
        bool passes;
        if (!platform && !account && !start)
            passes = boxes.end.empty();
        else
            passes = (!platform || PlatformMatches(boxes, row)) && (!account || AccountMatches(boxes, row)) &&
                     (!start || DateMatches(boxes, row));
        return passes && Occurs(row.Text(protocol::ProjectRow::PlatformName) +
                                    row.Text(protocol::ProjectRow::ProjectName),
                                boxes.key);
    } catch (const forms::RuntimeError&) {
        return false;
    }
}

FilterEnd RunFilter(PageHost& host)
{
    if (host.ActionBusy())
        return FilterEnd::Refused;
    host.SetActionBusy(true);
    host.EnableFilterButton(false);
    const auto run = [&] {
        const std::int32_t page = host.NowId();
        std::vector<std::wstring> pieces;
        if (page == CurrentProjectsPage || page == FinishedProjectsPage) {
            pieces = forms::Split(host.ListCache(page == FinishedProjectsPage), L"|");
            host.ReplyRows() = pieces;
        } else {
            pieces = host.ReplyRows();
        }

        FilterBoxes boxes = host.ReadFilterBoxes();
        if (!boxes.start.empty() && boxes.end.empty()) {
            boxes.end = forms::DateText(forms::Today());
            host.SetFilterEnd(boxes.end);
        }
        // A start or end date that does not read counts as out of order, as
        // the failed test of a handler that goes on with errors would.
        if (!boxes.start.empty() &&
            forms::ResumeTest([&] { return forms::ToDate(boxes.end) < forms::ToDate(boxes.start); })) {
            host.Inform(kEndBeforeStartMessage);
            return FilterEnd::EndBeforeStart;
        }
        boxes.key = forms::Trim(boxes.key);
        host.SetFilterKey(boxes.key);

        PageList& list = host.List();
        forms::ResumeNext([&] { list.Clear(); });
        PageChart chart{std::wstring(page == CurrentProjectsPage ? L"当前持有" : L"已经完结") +
                        L"项目 - 筛选"};
        int matches = 0;
        forms::ResumeNext([&] { list.Redraw(false); });
        const double today = forms::Today();
        for (size_t i = 0; i + 1 < pieces.size(); ++i) {
            const protocol::ProjectRow row(pieces[i]);
            if (!FilterMatches(boxes, row))
                continue;
            ++matches;
            if (matches <= kFilterChartSets)
                forms::ResumeNext([&] {
                    chart.sets.push_back({row.Text(protocol::ProjectRow::ProjectName),
                                          row.Text(protocol::ProjectRow::ActualIncome), host.NextColor()});
                });
            if (!host.DoEvents())
                return FilterEnd::Abandoned;
            std::int32_t index = -1;
            forms::ResumeNext([&] { index = list.AddItem(); });
            forms::ResumeNext([&] { list.ItemTag(index, row.Id()); });
            for (int column = 0; column < kProjectRowColumns; ++column)
                forms::ResumeNext([&] {
                    list.ItemText(index, column,
                                  ProjectRowText(row, column, matches - 1, DueColumn::DaysLeft, today));
                });
        }
        forms::ResumeNext([&] { list.Redraw(true); });
        forms::ResumeNext([&] {
            host.ShowChart(1, ProjectChartSpansWindow(matches) ? ChartPlace::WholeWindow : ChartPlace::Column,
                           chart);
        });
        return FilterEnd::Completed;
    };
    FilterEnd end = FilterEnd::Completed;
    forms::ResumeNext([&] { end = run(); });
    if (end != FilterEnd::Abandoned) {
        host.EnableFilterButton(true);
        host.SetActionBusy(false);
    }
    return end;
}

}  // namespace quill::workspace
