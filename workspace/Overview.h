// The overview page's figures: its chart of eight sets, its twelve summary
// lines and the reminder line of the nearest due date, all from UserInfo.
#pragma once

#include "protocol/ServiceRecords.h"

#include <cstdint>
#include <functional>
#include <string>

namespace quill::workspace {

// The overview's chart text; `nextColor` is drawn once per set in order
// (six hex digits), except for "总待收利息", which is always red.
std::wstring OverviewChartXml(const protocol::UserInfo& info, const std::function<std::wstring()>& nextColor);

inline constexpr int kOverviewLines = 12;
// The caption of summary line 0 to 11.
const std::wstring& OverviewCaption(int line);
// The value of summary line 0 to 11; an item read strictly that is not a
// number (or missing) raises, as the page reports it.
std::wstring OverviewValue(const protocol::UserInfo& info, int line);

// NearestDueDays of an empty due-soon list.
inline constexpr std::int32_t kNoDueProject = -9999;

struct Reminder {
    std::wstring caption;
    std::uint32_t color = 0;  // red in the low byte
};
// The status line after the overview: days to the nearest due date, none
// due, or how long the nearest one is overdue.
Reminder ReminderLine(std::int32_t nearestDueDays);

}  // namespace quill::workspace
