#include "workspace/PageSummary.h"

namespace quill::workspace {

void ShowSummary(PageHost& host, const std::vector<SummaryLine>& lines)
{
    host.LoadTlist(static_cast<std::int32_t>(lines.size()));
    const UserInfo& info = host.Info();
    for (size_t i = 0; i < lines.size(); ++i)
        host.SetSummaryLine(static_cast<int>(i), lines[i].caption, lines[i].value(info));
}

}  // namespace quill::workspace
