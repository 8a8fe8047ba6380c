// The detail page of one project: what its reply must hold to be shown, the
// sixteen summary lines, the schedule list and chart, and which of the action
// buttons it offers; and where a double-click on a platform, month or year
// row leads instead (Showinfo).
//
// The page is read whole before anything of it is shown or cached: a reply
// that does not hold a project (a refusal, an error page) or whose strict
// readings fail leaves the page empty and the cache without it.
#pragma once

#include "forms/lang/Error.h"
#include "protocol/ServiceRecords.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quill::workspace {

inline constexpr int kDetailLines = 16;
inline constexpr int kScheduleColumns = 8;

// Colours of the status line (Windows colour values, red in the low byte).
inline constexpr std::int32_t kDueColour = 0x004000;      // dark green: due today or past
inline constexpr std::int32_t kPendingColour = 0x0000FF;  // red: still days to go

struct DetailLine {
    std::wstring caption, value;
    bool operator==(const DetailLine&) const = default;
};

struct ScheduleListRow {
    std::array<std::wstring, kScheduleColumns> texts;
    // The chart's set: YearMonth and HoldingInterest as received.
    std::wstring month, holdingInterest;
};

struct ProjectDetail {
    std::wstring pageCaption;   // CaptionL: platform, project, "分月详情"
    std::wstring chartCaption;  // platform, project, "详情"
    std::array<DetailLine, kDetailLines> lines;
    std::int32_t statusColour = kDueColour;  // line 3's value
    double dueDate = 0;                      // CurrentProjectDueDate
    // A finished project offers only delete and back.
    bool finished = false;
    std::vector<ScheduleListRow> schedule;
    // The highest index of the schedule split at "|" (-1 for none), and the
    // chart's label angle, -25 from 13 rows on.
    std::int32_t chartItemCount = -1;
    std::int32_t chartLabelAngle = 0;
};

// Whether a "do=showinfo&id=" reply may hold a project at all: it holds "|"
// and splits into the 22 items of a ProjectRecord. A refusal ("-9|") or an
// error page that happens to hold "|" does not.
bool DetailReplyUsable(std::wstring_view reply);

// Reads the whole page from a record's text; `today` is a date value. A
// missing item raises 9, an item the strict readers refuse 13, an amount
// beyond FormatWan's range 6.
ProjectDetail ReadProjectDetail(std::wstring_view reply, double today);

enum class DetailReading {
    Unusable,  // no project in the reply: the failure picture, nothing cached
    Broken,    // a project that does not read: the error message, nothing cached
    Read,
};
struct DetailVerdict {
    DetailReading reading = DetailReading::Unusable;
    ProjectDetail detail;
    forms::RuntimeError error{0, {}};  // Broken: what stopped the reading
};
DetailVerdict ClassifyDetailReply(std::wstring_view reply, double today);

// The message of a page that could not be built: the description, CR LF,
// "Err:" and the number.
std::wstring DetailErrorMessage(const forms::RuntimeError& error);

// What Showinfo does on the page shown (NowId).
enum class ShowinfoWork {
    OpenDetail,    // pages 0, 1, 2 and 4: the project of the id
    PlatformList,  // pages 3 and 5: the project list filtered by the platform
    MonthList,     // page 6: projects due within the month
    YearList,      // page 7: projects due within the year
    Nothing,       // any other page (the detail and edit pages included)
};
ShowinfoWork ShowinfoWorkOn(std::int32_t nowId);

// What a platform, month or year row fills into the filter panel before the
// filter runs on the project list of `tab` (2 current, 4 finished).
struct ShowinfoFilter {
    std::int16_t tab = 2;
    std::wstring platform;  // PlatformList: the trimmed name to select
    // MonthList and YearList: the range of due dates, as date text the filter
    // reads back, and the date-kind box's entry (1, due date).
    std::wstring start, end;
    int dateKind = 0;
};
// The filter of a platform, month or year row's second column (blanks and
// all). A month or year that reads as no date raises 13.
ShowinfoFilter ShowinfoFilterFor(ShowinfoWork work, std::int32_t nowId, std::wstring_view showid,
                                 double today);

}  // namespace quill::workspace
