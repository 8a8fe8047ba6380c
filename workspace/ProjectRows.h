// What the main window's list shows: the five column sets of its list kinds
// and the texts of a project row, which the overview, the project lists and
// the filter share.
//
// The list draws only as many bytes of a text as it has characters, so a
// caption or cell that may hold double-byte characters carries as many
// trailing blanks as it has characters (the captions below come with theirs).
#pragma once

#include "protocol/ServiceRecords.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quill::workspace {

enum ListKind : std::int32_t {
    ProjectList = 1,
    PlatformList = 2,
    MonthList = 3,
    YearList = 4,
    ScheduleList = 5,
};

struct ListColumn {
    std::wstring key;
    std::wstring caption;  // with its trailing blanks
    std::int32_t width;    // pixels; every column centred, fixed and visible
};

// The columns of a kind, in order; none for a kind outside 1 to 5.
const std::vector<ListColumn>& ListColumns(std::int32_t kind);

// The last column of a project row: the days to the due date, or "-" on the
// finished projects' page.
enum class DueColumn { DaysLeft, Dash };

inline constexpr int kProjectRowColumns = 11;

// The text of one column (0 to 10) of the project row at `position` (from
// 0); the numbers and the due date are read strictly, so a row that does not
// hold them raises the error the page reports. `today` is a date value.
std::wstring ProjectRowText(const protocol::ProjectRow& row, int column, int position, DueColumn due,
                            double today);

// The days from `today` to the row's due date (strict), as column 10 shows
// them before any rounding.
double DaysToDue(const protocol::ProjectRow& row, double today);

// A text followed by as many blanks as it has characters.
std::wstring PadForList(const std::wstring& text);

}  // namespace quill::workspace
