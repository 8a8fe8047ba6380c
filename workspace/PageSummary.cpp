#include "workspace/PageSummary.h"

namespace quill::workspace {

const std::vector<SummaryLine>& FinishedSummary()
{
    static const std::vector<SummaryLine> lines{
        {L"已完结已收本金：", WanItem<protocol::UserInfo::FinishedPrincipal>},
        {L"已完结已收利息：", WanItem<protocol::UserInfo::FinishedInterest>},
        {L"已经完结项目：", ItemAsReceived<protocol::UserInfo::FinishedProjectCount>},
        {L"已完结加权利率：", RateItem<protocol::UserInfo::FinishedWeightedRate>},
    };
    return lines;
}

void ShowSummary(PageHost& host, const std::vector<SummaryLine>& lines)
{
    host.LoadTlist(static_cast<std::int32_t>(lines.size()));
    const protocol::UserInfo& info = host.Info();
    for (size_t i = 0; i < lines.size(); ++i)
        host.SetSummaryLine(static_cast<int>(i), lines[i].caption, lines[i].value(info));
}

}  // namespace quill::workspace
