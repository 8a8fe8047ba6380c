// The pop-up calendar's figures: where its controls and 31 day cells stand,
// the years it offers, how many days the month shown has, what the arrows
// select, the date text of a chosen day, and where the panel opens under the
// box that opened it. Positions are twips inside the panel.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quill::workspace {

struct TwipRect {
    std::int32_t left, top, width, height;
    bool operator==(const TwipRect&) const = default;
};

inline constexpr std::int32_t kCalendarWidth = 3255;
inline constexpr std::int32_t kCalendarHeight = 2760;
inline constexpr int kDayCells = 31;
// Days 1 to 27 are in every month; only the cells of 28 to 31 change.
inline constexpr int kFirstVariableCell = 27;

// Day cell i (0 to 30, day i + 1): five rows of seven, left to right.
TwipRect DayCellRect(int index);

enum class CalendarArrow : int { PreviousMonth = 0, PreviousYear = 1, NextYear = 2, NextMonth = 3 };

struct CalendarControl {
    const wchar_t* name;
    int index;  // in its control array, -1 for none
    const wchar_t* caption;
    TwipRect rect;  // a list's height is its own
};
// The arrows (Mdatedo 0 to 3), the year and month lists (Combo3, Combo4)
// and the buttons "今天" and "关闭" (StyledButton5, StyledButton6).
const std::vector<CalendarControl>& CalendarControls();

// The year list: this year - 3 to this year + 3, ascending; this year is
// at kThisYearIndex. The month list: "1" to "12".
std::vector<std::wstring> CalendarYears(double today);
std::vector<std::wstring> CalendarMonths();
inline constexpr int kThisYearIndex = 3;

// The days of the month the lists show; nothing when either text is empty.
// Texts that make no date raise 13.
std::optional<int> MonthLength(std::wstring_view yearText, std::wstring_view monthText);
bool DayCellEnabled(int index, int monthLength);

// The date written for day cell `index`: year "-" month "-" day, no padding.
std::wstring ChosenDateText(std::wstring_view yearText, std::wstring_view monthText, int index);

// The list an arrow moves and the position it selects; an arrow at the end
// of its list stays (none wraps into the neighbouring year).
struct ArrowStep {
    bool yearList;
    int index;
};
ArrowStep StepArrow(CalendarArrow arrow, int yearIndex, int yearCount, int monthIndex, int monthCount);

// The panel's top-left corner: the opening box's bottom-left corner, in the
// main window's coordinates (the box's container at containerLeft/Top).
struct TwipPoint {
    std::int32_t left, top;
    bool operator==(const TwipPoint&) const = default;
};
TwipPoint CalendarOrigin(TwipPoint container, const TwipRect& box);

// The boxes a chosen day is written into (DatePickTarget).
enum DatePickTarget : std::int32_t {
    NoDateTarget = 0,
    FilterStartDate = 1,  // SXdateb
    FilterEndDate = 2,    // SXdatee
    EntryValueDate = 3,   // AddDateB
    EntryDueDate = 4,     // AddDateE
};

}  // namespace quill::workspace
