#include "workspace/CalendarGrid.h"

#include "forms/lang/Dates.h"

namespace quill::workspace {

namespace {

constexpr int kCellsPerRow = 7;
constexpr std::int32_t kRowTops[] = {540, 990, 1440, 1890, 2295};
constexpr std::int32_t kFirstCellLeft = 180;
constexpr std::int32_t kCellPitch = 420;
constexpr std::int32_t kCellWidth = 270, kCellHeight = 225;
constexpr int kYearsAround = 3;

}  // namespace

TwipRect DayCellRect(int index)
{
    return {kFirstCellLeft + kCellPitch * (index % kCellsPerRow), kRowTops[index / kCellsPerRow], kCellWidth,
            kCellHeight};
}

const std::vector<CalendarControl>& CalendarControls()
{
    static const std::vector<CalendarControl> controls{
        {L"Mdatedo", 0, L"<<", {90, 180, 180, 180}},
        {L"Mdatedo", 1, L"<", {450, 180, 90, 180}},
        {L"Combo3", -1, L"", {900, 135, 735, 0}},
        {L"Combo4", -1, L"", {1665, 135, 735, 0}},
        {L"Mdatedo", 2, L">", {2655, 180, 90, 180}},
        {L"Mdatedo", 3, L">>", {2925, 180, 180, 180}},
        {L"StyledButton5", -1, L"今天", {1440, 2205, 735, 345}},
        {L"StyledButton6", -1, L"关闭", {2295, 2205, 735, 345}},
    };
    return controls;
}

std::vector<std::wstring> CalendarYears(double today)
{
    const int year = forms::Year(today);
    std::vector<std::wstring> years;
    for (int y = year - kYearsAround; y <= year + kYearsAround; ++y)
        years.push_back(std::to_wstring(y));
    return years;
}

std::vector<std::wstring> CalendarMonths()
{
    std::vector<std::wstring> months;
    for (int m = 1; m <= 12; ++m)
        months.push_back(std::to_wstring(m));
    return months;
}

std::optional<int> MonthLength(std::wstring_view yearText, std::wstring_view monthText)
{
    if (yearText.empty() || monthText.empty())
        return std::nullopt;
    const double first = forms::ToDate(std::wstring(yearText) + L"-" + std::wstring(monthText) + L"-1");
    return forms::Day(forms::DateAdd(forms::DateInterval::Month, 1, first) - 1);
}

bool DayCellEnabled(int index, int monthLength)
{
    return index < kFirstVariableCell || index + 1 <= monthLength;
}

std::wstring ChosenDateText(std::wstring_view yearText, std::wstring_view monthText, int index)
{
    return std::wstring(yearText) + L"-" + std::wstring(monthText) + L"-" + std::to_wstring(index + 1);
}

ArrowStep StepArrow(CalendarArrow arrow, int yearIndex, int yearCount, int monthIndex, int monthCount)
{
    switch (arrow) {
    case CalendarArrow::PreviousMonth:
        return {false, monthIndex > 0 ? monthIndex - 1 : monthIndex};
    case CalendarArrow::PreviousYear:
        return {true, yearIndex > 0 ? yearIndex - 1 : yearIndex};
    case CalendarArrow::NextYear:
        return {true, yearIndex < yearCount - 1 ? yearIndex + 1 : yearIndex};
    case CalendarArrow::NextMonth:
        break;
    }
    return {false, monthIndex < monthCount - 1 ? monthIndex + 1 : monthIndex};
}

TwipPoint CalendarOrigin(TwipPoint container, const TwipRect& box)
{
    return {container.left + box.left, container.top + box.top + box.height};
}

}  // namespace quill::workspace
