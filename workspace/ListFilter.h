// The list filter of the project list pages: which rows of the page's last
// list reply pass the panel's boxes, and the run that lists and charts them.
#pragma once

#include "workspace/PageHost.h"

namespace quill::workspace {

// Whether a project row passes the boxes: every filled one of the platform,
// account and start-date boxes must match (the account only together with
// the platform box's text, the dates by the kind the date-kind box chose,
// both ends included), and the key must occur in the platform name joined to
// the project name. With none of the three filled every row passes while the
// end-date box is empty too, and none when it alone holds a date. A row that
// cannot be tested (too few items, a date the strict reader refuses) does not
// pass.
bool FilterMatches(const FilterBoxes& boxes, const protocol::ProjectRow& row);

// The filtered chart shows at most this many matches.
inline constexpr int kFilterChartSets = 29;

inline constexpr wchar_t kEndBeforeStartMessage[] = L"结束日期不能早于开始日期，请重新选择日期。";

enum class FilterEnd {
    Refused,         // a page build or another run is under way
    EndBeforeStart,  // the user was told; nothing changed
    Completed,
    Abandoned,  // the window went away while messages ran
};

// The run of the filter button ("筛选"). It holds the busy flag and keeps its
// button disabled while it runs, and reads the rows from a copy of its own,
// so neither a tab click nor a second run can change them under it.
FilterEnd RunFilter(PageHost& host);

}  // namespace quill::workspace
