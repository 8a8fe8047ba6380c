#include "workspace/PageSummary.h"

namespace quill::workspace {

const std::vector<SummaryLine>& FinishedSummary()
{
    static const std::vector<SummaryLine> lines{
        {L"已完结已收本金：", WanItem<UserInfo::FinishedPrincipal>},
        {L"已完结已收利息：", WanItem<UserInfo::FinishedInterest>},
        {L"已经完结项目：", ItemAsReceived<UserInfo::FinishedProjectCount>},
        {L"已完结加权利率：", RateItem<UserInfo::FinishedWeightedRate>},
    };
    return lines;
}

void ShowSummary(PageHost& host, const std::vector<SummaryLine>& lines)
{
    host.LoadTlist(static_cast<std::int32_t>(lines.size()));
    const UserInfo& info = host.Info();
    for (size_t i = 0; i < lines.size(); ++i)
        host.SetSummaryLine(static_cast<int>(i), lines[i].caption, lines[i].value(info));
}

}  // namespace quill::workspace
