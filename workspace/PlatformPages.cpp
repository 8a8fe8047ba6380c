#include "workspace/PlatformPages.h"

#include "forms/lang/Error.h"
#include "forms/lang/Numbers.h"
#include "forms/lang/Text.h"
#include "workspace/FormatWan.h"
#include "workspace/ListPages.h"
#include "workspace/PageSummary.h"
#include "protocol/ReplyText.h"

namespace quill::workspace {

std::wstring PlatformShare(double amount, double total)
{
    if (total == 0)
        return L"0.00%";
    return forms::Format(forms::Round(forms::Divide(amount, total) * 100, 2), L"0.00") + L"%";
}

std::wstring PlatformRowText(const protocol::PlatformRow& row, int column, int position,
                             double principalTotal, double interestTotal)
{
    switch (column) {
    case 0:
        return std::to_wstring(position + 1);
    case 1:
        return PadForList(row.Text(protocol::PlatformRow::PlatformName));
    case 2:
        return FormatWan(row.Strict(protocol::PlatformRow::Principal));
    case 3:
        return PlatformShare(row.Strict(protocol::PlatformRow::Principal), principalTotal);
    case 4:
        return FormatWan(row.Strict(protocol::PlatformRow::InterestIncome));
    case 5:
        return PlatformShare(row.Strict(protocol::PlatformRow::InterestIncome), interestTotal);
    case 6:
        return row.Text(protocol::PlatformRow::ProjectCount);
    case 7:
        return row.Text(protocol::PlatformRow::AverageRate) + L"%";
    case 8:
        return row.Text(protocol::PlatformRow::ActualRate) + L"%";
    case 9:
        return row.Text(protocol::PlatformRow::Voucher);
    case 10:
        return row.Text(protocol::PlatformRow::OtherIncome);
    case 11:
        return row.Text(protocol::PlatformRow::OtherExpense);
    default:
        throw forms::RuntimeError(forms::kSubscriptOutOfRange);
    }
}

PageEnd BuildPlatformPage(PageHost& host, bool finished)
{
    if (!host.DoEvents())
        return PageEnd::Abandoned;
    host.SetListCaption(finished ? L"已经完结平台明细（双击项目查看平台项目）"
                                 : L"当前持有平台明细（双击项目查看平台项目）");
    PageChart principalPie{finished ? L"已经完结平台 - 本金分布" : L"当前持有平台 - 本金分布", true};
    PageChart interestPie{finished ? L"已经完结平台 - 利息收入分布" : L"当前持有平台 - 利息收入分布", true};

    const std::wstring& section = host.Section(finished ? protocol::AccountSnapshot::FinishedPlatforms
                                                        : protocol::AccountSnapshot::CurrentPlatforms);
    host.ReplyRows() = forms::Split(section, L"|");
    const std::vector<std::wstring> rows = protocol::ListRows(section);
    const protocol::UserInfo& info = host.Info();
    double principalTotal = 0, interestTotal = 0;
    if (finished) {
        for (const std::wstring& text : rows) {
            const protocol::PlatformRow row(text);
            principalTotal += row.Lenient(protocol::PlatformRow::Principal);
            interestTotal += row.Lenient(protocol::PlatformRow::InterestIncome);
        }
    }
    PageList& list = host.List();
    ShowListView(list, host.ShownListKind(), PlatformList);
    list.Redraw(false);
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::wstring color = host.NextColor();
        const protocol::PlatformRow row(rows[i]);
        if (!finished || i < static_cast<size_t>(kFinishedPlatformChartSets)) {
            const std::wstring& name = row.Text(protocol::PlatformRow::PlatformName);
            principalPie.sets.push_back({name, row.Text(protocol::PlatformRow::Principal), color});
            interestPie.sets.push_back({name, row.Text(protocol::PlatformRow::InterestIncome), color});
        }
        if (!host.DoEvents())
            return PageEnd::Abandoned;
        const std::int32_t index = list.AddItem();
        if (!finished) {
            principalTotal = info.Strict(protocol::UserInfo::CurrentPrincipal);
            interestTotal = info.Strict(protocol::UserInfo::PendingInterest);
        }
        for (int column = 0; column < kPlatformRowColumns; ++column)
            list.ItemText(index, column,
                          PlatformRowText(row, column, static_cast<int>(i), principalTotal, interestTotal));
    }
    list.Redraw(true);
    host.ShowChart(1, ChartPlace::HalfColumn, principalPie);
    host.ShowChart(2, ChartPlace::HalfColumn, interestPie);
    if (finished) {
        ShowSummary(host, FinishedSummary());
    } else {
        const std::wstring platforms = std::to_wstring(rows.size());
        host.LoadTlist(4);
        host.SetSummaryLine(0, L"当前投入本金：", WanItem<protocol::UserInfo::CurrentPrincipal>(info));
        host.SetSummaryLine(1, L"当前投入平台：", platforms);
        host.SetSummaryLine(2, L"本月持有利息：", WanItem<protocol::UserInfo::MonthHoldingInterest>(info));
        host.SetSummaryLine(3, L"本月回款利息：", WanItem<protocol::UserInfo::MonthRepaidInterest>(info));
    }
    host.ShowRegions(SummaryPanel | ChartFrame1 | ChartFrame2 | ListCaption | ListRegion);
    return PageEnd::Completed;
}

}  // namespace quill::workspace
