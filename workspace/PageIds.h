// The ids of the main window's pages (NowId); tab indexes 0 to 7 are the
// page ids 0 to 7.
#pragma once

#include <cstdint>

namespace quill::workspace {

enum PageId : std::int32_t {
    NoPage = -1,
    OverviewPage = 0,
    EntryPage = 1,
    CurrentProjectsPage = 2,
    CurrentPlatformsPage = 3,
    FinishedProjectsPage = 4,
    FinishedPlatformsPage = 5,
    MonthlyReportPage = 6,
    YearlyReportPage = 7,
    DetailPage = 20,
    EditPage = 21,
};

}  // namespace quill::workspace
