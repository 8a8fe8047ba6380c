// Date values as the platform keeps them: a double counting days since
// 1899-12-30 00:00, the time of day as its fraction. Before that day the
// whole part counts down while the fraction still counts the time forwards
// (-1.25 is 1899-12-29 06:00). Years run from 100 to 9999.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quill::forms {

struct DateParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
};

// The parts of a date value, the time to the nearest second.
DateParts SplitDate(double date);
int Year(double date);
int Month(double date);
int Day(double date);
int Hour(double date);
int Minute(double date);
int Second(double date);
// 1 for Sunday to 7 for Saturday.
int Weekday(double date);

// The date of year, month and day; a month or day outside its range carries
// into the next or previous one (month 13 of 2015 is January 2016, day 0 the
// last day of the month before). A result outside years 100 to 9999 raises 5.
double DateSerial(int year, int month, int day);
// An exact date and time; false when a part is out of its range.
std::optional<double> MakeDate(const DateParts& parts);

// Reading a text as a date as a zh-CN system does (blanks at either end
// allowed): year-month-day with "-" or "/" ("2015-12-1", "2015/12/31"),
// year-month ("2015-12", day 1), the Chinese forms "2015年12月1日" and
// "2015年12月" (day 1), each optionally followed by a time h:m or h:m:s
// ("2015-1-1 0:0:0", "2026-12-10 13:05:09"), or a time alone (on day 0).
// Two-digit years are 1930 to 2029.
std::optional<double> ReadDate(std::wstring_view text);
bool IsDate(std::wstring_view text);
// Strict date reading: text that is no date raises 13 (type mismatch).
double ToDate(std::wstring_view text);

// The text of a date value as the system shows it: the short date
// "yyyy/m/d", then " h:mm:ss" when there is a time; a time alone on day 0.
std::wstring DateText(double date);

enum class DateInterval { Year, Month, Day, Second };

// Boundaries of the interval crossed from `from` to `to` (negative when
// `to` is earlier); outside the 32-bit range raises 6.
std::int32_t DateDiff(DateInterval interval, double from, double to);
// `date` moved by `count` intervals; months and years keep the day where the
// month has it, else take its last day; a result outside years 100 to 9999
// raises 5.
double DateAdd(DateInterval interval, std::int32_t count, double date);

}  // namespace quill::forms
