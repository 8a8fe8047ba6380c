#include "workspace/Reports.h"

#include "forms/lang/Clock.h"
#include "forms/lang/Dates.h"
#include "forms/lang/Error.h"
#include "forms/lang/Numbers.h"
#include "forms/lang/Text.h"
#include "workspace/FormatWan.h"
#include "workspace/ListPages.h"
#include "workspace/PageSummary.h"
#include "protocol/ReplyText.h"

#include <cmath>

namespace quill::workspace {

MonthWindow ChartMonthWindow(double today)
{
    const int year = forms::Year(today), month = forms::Month(today);
    return {forms::DateSerial(year, month - 12, 1), forms::DateSerial(year, month + 12, 1)};
}

bool MonthRowSkipped(const protocol::MonthRow& row)
{
    for (int item : {protocol::MonthRow::ProjectCount, protocol::MonthRow::HoldingInterest,
                     protocol::MonthRow::RepaidPrincipal, protocol::MonthRow::RepaidInterest})
        if (row.Lenient(item) != 0)
            return false;
    return true;
}

std::wstring MonthRowText(const protocol::MonthRow& row, int column, int position)
{
    switch (column) {
    case 0:
        return std::to_wstring(position + 1);
    case 1:
        return row.YearText() + L"年" + forms::Mid(row.Text(protocol::MonthRow::YearMonth), 5) + L"月  ";
    case 2:
        // A blank for the double-byte "项", as the month's cell has for its
        // two: the list draws as many bytes as the text has characters.
        return row.Text(protocol::MonthRow::ProjectCount) + L"项 ";
    case 3:
        return FormatWan(row.Strict(protocol::MonthRow::RepaidPrincipal));
    case 4:
        return FormatWan(row.Strict(protocol::MonthRow::RepaidInterest));
    case 5:
        return FormatWan(row.Lenient(protocol::MonthRow::RepaidPrincipal) +
                         row.Lenient(protocol::MonthRow::RepaidInterest));
    case 6:
        return FormatWan(row.Strict(protocol::MonthRow::HoldingInterest));
    default:
        throw forms::RuntimeError(forms::kSubscriptOutOfRange);
    }
}

ChartSet MonthSet(const protocol::MonthRow& row, std::wstring color)
{
    return {row.YearText() + L"-" + forms::Mid(row.Text(protocol::MonthRow::YearMonth), 5),
            forms::NumberText(std::trunc(row.Strict(protocol::MonthRow::HoldingInterest)) + 0.0),
            std::move(color)};
}

namespace {

std::wstring YearRowLine(const std::wstring& year, int months, double total)
{
    return year + L"," + std::to_wstring(months) + L"," + forms::NumberText(forms::Round(total / months, 2)) +
           L"," + forms::NumberText(forms::Round(total, 2)) + L"|";
}

const std::vector<SummaryLine>& ReportSummary()
{
    static const std::vector<SummaryLine> lines{
        {L"当前投入本金：", WanItem<protocol::UserInfo::CurrentPrincipal>},
        {L"总待收利息：", WanItem<protocol::UserInfo::PendingInterest>},
        {L"本月持有利息：", WanItem<protocol::UserInfo::MonthHoldingInterest>},
        {L"本月回款利息：", WanItem<protocol::UserInfo::MonthRepaidInterest>},
    };
    return lines;
}

}  // namespace

std::wstring YearRows(const std::vector<std::wstring>& monthRows)
{
    std::wstring text, year;
    int months = 0;
    double total = 0;
    for (const std::wstring& line : monthRows) {
        const protocol::MonthRow row(line);
        const std::wstring rowYear = row.YearText();
        if (year.empty())
            year = rowYear;
        if (rowYear == year) {
            ++months;
            total += row.Lenient(protocol::MonthRow::HoldingInterest);
        } else {
            text += YearRowLine(year, months, total);
            year = rowYear;
            total = row.Lenient(protocol::MonthRow::HoldingInterest);
            months = 1;
        }
    }
    if (months != 0)
        text += YearRowLine(year, months, total);
    return text;
}

std::wstring YearRowText(const YearRow& row, int column, int position)
{
    switch (column) {
    case 0:
        return std::to_wstring(position + 1);
    case 1:
        return row.Text(YearRow::Year) + L"年 ";
    case 2:
        return row.Text(YearRow::Months) + L"个月  ";
    case 3:
        return FormatWan(row.Strict(YearRow::Average)) + L" 元 ";
    case 4:
        return FormatWan(row.Strict(YearRow::Total)) + L" 元 ";
    default:
        throw forms::RuntimeError(forms::kSubscriptOutOfRange);
    }
}

PageEnd BuildMonthlyPage(PageHost& host)
{
    host.SetListCaption(L"综合月度收益明细（双击项目查看月度回款项）");
    PageChart chart{L"综合月度收益报表"};
    const std::wstring& section = host.Section(protocol::AccountSnapshot::Monthly);
    host.ReplyRows() = forms::Split(section, L"|");
    const std::vector<std::wstring> rows = protocol::ListRows(section);
    PageList& list = host.List();
    ShowListView(list, host.ShownListKind(), MonthList);
    host.SetChartItemCount(static_cast<std::int32_t>(rows.size()));
    list.Redraw(false);
    const MonthWindow window = ChartMonthWindow(forms::Today());
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!host.DoEvents())
            return PageEnd::Abandoned;
        const protocol::MonthRow row(rows[i]);
        if (MonthRowSkipped(row))
            continue;
        if (window.Holds(row.MonthStart()))
            chart.sets.push_back(MonthSet(row, host.NextColor()));
        if (!host.DoEvents())
            return PageEnd::Abandoned;
        const std::int32_t index = list.AddItem();
        for (int column = 0; column < kMonthRowColumns; ++column)
            list.ItemText(index, column, MonthRowText(row, column, static_cast<int>(i)));
    }
    list.Redraw(true);
    const bool wide = rows.size() >= static_cast<size_t>(kWideMonthlyChart);
    host.SetChartLabelAngle(wide ? -25 : 0);
    host.ShowChart(1, wide ? ChartPlace::WholeWindow : ChartPlace::Column, chart);
    ShowSummary(host, ReportSummary());
    host.ShowRegions(SummaryPanel | ChartFrame1 | ListCaption | ListRegion);
    return PageEnd::Completed;
}

PageEnd BuildYearlyPage(PageHost& host)
{
    const std::wstring& section = host.Section(protocol::AccountSnapshot::Monthly);
    const std::wstring years = YearRows(protocol::ListRows(section));
    host.SetChartLabelAngle(0);
    host.SetListCaption(L"综合年度收益明细（双击项目查看年度回款项目）");
    PageChart chart{kYearlyChartCaption};
    host.ReplyRows() = forms::Split(years, L"|");
    const std::vector<std::wstring> rows = protocol::ListRows(years);
    PageList& list = host.List();
    ShowListView(list, host.ShownListKind(), YearList);
    list.Redraw(false);
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!host.DoEvents())
            return PageEnd::Abandoned;
        const YearRow row(rows[i]);
        if (row.Lenient(YearRow::Total) == 0)
            continue;
        chart.sets.push_back({row.Text(YearRow::Year), row.Text(YearRow::Total), host.NextColor()});
        if (!host.DoEvents())
            return PageEnd::Abandoned;
        const std::int32_t index = list.AddItem();
        for (int column = 0; column < kYearRowColumns; ++column)
            list.ItemText(index, column, YearRowText(row, column, static_cast<int>(i)));
    }
    list.Redraw(true);
    host.ShowChart(1, ChartPlace::Column, chart);
    host.SetChartLabelAngle(0);
    ShowSummary(host, ReportSummary());
    host.ShowRegions(SummaryPanel | ChartFrame1 | ListCaption | ListRegion);
    return PageEnd::Completed;
}

}  // namespace quill::workspace
