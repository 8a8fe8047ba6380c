// The project list pages (2, current projects; 4, finished projects), the
// column sets every page puts into the list, and what a double-click on a
// row of the list opens.
#pragma once

#include "workspace/PageHost.h"
#include "workspace/HomeLayout.h"

#include <cstdint>
#include <string>

namespace quill::workspace {

// Empties the list and, when `kind` is not the kind it holds, replaces its
// columns with those of `kind` (a kind outside 1 to 5 only removes them and
// is recorded all the same). Steps that fail are skipped one by one.
void ShowListView(PageList& list, std::int32_t& shownKind, std::int32_t kind);

// The list kind a page shows.
std::int32_t PageListKind(std::int32_t pageId);

// The argument a double-click on a row hands to the detail page: the row's
// second column (a platform, a month or a year, blanks and all) on the
// platform and report pages, the decimal text of its tag (a project id) on
// every other page.
std::wstring ShowinfoArgument(std::int32_t pageId, std::int32_t tag, const std::wstring& column1);

// The chart's label angle and whether the chart spans the window, from a
// project count: -25 from 6 projects on, the whole window from 20 on.
std::int32_t ProjectChartAngle(double projectCount);
bool ProjectChartSpansWindow(double projectCount);

// At most this many projects are charted on a project list page.
inline constexpr int kProjectChartSets = 20;

// Appends one project row: its tag, the project id read strictly, then its
// eleven texts in column order.
void AddProjectListRow(PageList& list, const protocol::ProjectRow& row, int position, DueColumn due,
                       double today);

// The body of page 2 or page 4, run by the tab handler with the busy flag
// set and the previous page hidden. Errors of the strict readings pass to the
// tab handler, with the rows added so far left in the list.
PageEnd BuildProjectListPage(PageHost& host, bool finished);

}  // namespace quill::workspace
