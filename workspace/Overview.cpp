#include "workspace/Overview.h"

#include "workspace/ChartXml.h"

#include "forms/lang/Error.h"
#include "forms/lang/Numbers.h"
#include "workspace/FormatWan.h"

#include <array>
#include <cstdlib>

namespace quill::workspace {

namespace {

constexpr std::uint32_t kDarkGreen = 0x004000;  // red 0, green 64, blue 0
constexpr std::uint32_t kRed = 0x0000FF;

double Sum(const protocol::UserInfo& info, int a, int b)
{
    return info.Lenient(a) + info.Lenient(b);
}

}  // namespace

std::wstring OverviewChartXml(const protocol::UserInfo& info, const std::function<std::wstring()>& nextColor)
{
    ChartXml chart(ChartStyle::Overview, L"账号概览");
    chart.Set(L"总投入本金", info.Text(protocol::UserInfo::CurrentPrincipal), nextColor());
    chart.Set(L"总待收利息", info.Text(protocol::UserInfo::PendingInterest), L"FF0000");
    chart.Set(L"总待收本息",
              Sum(info, protocol::UserInfo::CurrentPrincipal, protocol::UserInfo::PendingInterest),
              nextColor());
    chart.Set(L"本月持有利息", info.Text(protocol::UserInfo::MonthHoldingInterest), nextColor());
    chart.Set(L"本月回款利息", info.Text(protocol::UserInfo::MonthRepaidInterest), nextColor());
    chart.Set(L"本月回款本金", info.Text(protocol::UserInfo::MonthRepaidPrincipal), nextColor());
    chart.Set(L"本月回款本息",
              Sum(info, protocol::UserInfo::MonthRepaidPrincipal, protocol::UserInfo::MonthRepaidInterest),
              nextColor());
    chart.Set(L"已完结已收利息", info.Text(protocol::UserInfo::FinishedInterest), nextColor());
    return chart.Text();
}

const std::wstring& OverviewCaption(int line)
{
    static const std::array<std::wstring, kOverviewLines> captions{
        L"当前投入本金：", L"总待收利息：",   L"总待收本息：",   L"已完结已收利息：",
        L"本月持有利息：", L"本月回款利息：", L"本月回款本金：", L"本月回款本息：",
        L"当前持有项目：", L"持有加权利率：", L"已经完结项目：", L"已完结已收利息：",
    };
    if (line < 0 || line >= kOverviewLines)
        throw forms::RuntimeError(forms::kSubscriptOutOfRange);
    return captions[static_cast<size_t>(line)];
}

std::wstring OverviewValue(const protocol::UserInfo& info, int line)
{
    auto money = [&](int item) { return FormatWan(info.Strict(item)); };
    switch (line) {
    case 0:
        return money(protocol::UserInfo::CurrentPrincipal);
    case 1:
        return money(protocol::UserInfo::PendingInterest);
    case 2:
        return FormatWan(
            Sum(info, protocol::UserInfo::CurrentPrincipal, protocol::UserInfo::PendingInterest));
    case 3:
    case 11:
        return money(protocol::UserInfo::FinishedInterest);
    case 4:
        return money(protocol::UserInfo::MonthHoldingInterest);
    case 5:
        return money(protocol::UserInfo::MonthRepaidInterest);
    case 6:
        return money(protocol::UserInfo::MonthRepaidPrincipal);
    case 7:
        return FormatWan(
            Sum(info, protocol::UserInfo::MonthRepaidPrincipal, protocol::UserInfo::MonthRepaidInterest));
    case 8:
        return info.Text(protocol::UserInfo::CurrentProjectCount);
    case 9:
        return forms::Format(std::wstring_view(info.Text(protocol::UserInfo::CurrentWeightedRate)), L"0.00") +
               L"%";
    case 10:
        return info.Text(protocol::UserInfo::FinishedProjectCount);
    default:
        throw forms::RuntimeError(forms::kSubscriptOutOfRange);
    }
}

Reminder ReminderLine(std::int32_t nearestDueDays)
{
    if (nearestDueDays == kNoDueProject)
        return {L"最近30天没有待收项目，您可安心做甩手掌柜^_^!", kDarkGreen};
    if (nearestDueDays >= 1)
        return {L"距离最近一笔项目到期还有" + std::to_wstring(nearestDueDays) + L"天.", kDarkGreen};
    return {L"提醒：最近一笔项目到期已经超过" +
                std::to_wstring(std::abs(static_cast<long long>(nearestDueDays))) + L"天！",
            kRed};
}

}  // namespace quill::workspace
