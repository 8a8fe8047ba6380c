#include "forms/lang/Dates.h"

#include "forms/lang/Error.h"

#include <cmath>
#include <limits>

namespace quill::forms {
namespace {

constexpr long long kSecondsPerDay = 86400;
// Day numbers (days since 1899-12-30) of the first and last date there is.
constexpr long long kFirstDay = -657434;  // 100-01-01
constexpr long long kLastDay = 2958465;   // 9999-12-31

long long FloorDiv(long long a, long long b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}
long long FloorMod(long long a, long long b)
{
    return a - FloorDiv(a, b) * b;
}

// Days since 1899-12-30 of a proleptic Gregorian date.
long long DayNumber(long long year, int month, int day)
{
    year -= month <= 2;
    const long long era = FloorDiv(year, 400);
    const long long yearOfEra = year - era * 400;
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 693899;
}

void CalendarDate(long long dayNumber, int& year, int& month, int& day)
{
    const long long z = dayNumber + 693899;
    const long long era = FloorDiv(z, 146097);
    const long long dayOfEra = z - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long mp = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yearOfEra + era * 400 + (month <= 2));
}

bool IsLeapYear(long long year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(long long year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// A date value as a day number and the seconds of its day.
struct DayAndSecond {
    long long day;
    long long second;
};

DayAndSecond Decompose(double date)
{
    if (!std::isfinite(date) || date < kFirstDay - 1 || date > kLastDay + 1)
        throw RuntimeError(kOverflow);
    const double whole = std::trunc(date);
    DayAndSecond t{static_cast<long long>(whole), std::llround(std::fabs(date - whole) * kSecondsPerDay)};
    if (t.second >= kSecondsPerDay) {
        t.second -= kSecondsPerDay;
        ++t.day;
    }
    return t;
}

double Compose(long long day, long long second)
{
    if (day < kFirstDay || day > kLastDay)
        throw RuntimeError(kInvalidCall);
    const double time = static_cast<double>(second) / kSecondsPerDay;
    return day >= 0 ? static_cast<double>(day) + time : static_cast<double>(day) - time;
}

int WindowedYear(int year, int digits)
{
    if (digits > 2)
        return year;
    return year < 30 ? 2000 + year : 1900 + year;
}

// A small cursor over the text being read as a date.
class DateReader {
public:
    explicit DateReader(std::wstring_view text) : text_(text) {}

    bool AtEnd() const { return i_ == text_.size(); }
    bool Take(wchar_t c)
    {
        if (i_ < text_.size() && text_[i_] == c) {
            ++i_;
            return true;
        }
        return false;
    }
    bool TakeAny(std::wstring_view chars, wchar_t& taken)
    {
        if (i_ < text_.size() && chars.find(text_[i_]) != std::wstring_view::npos) {
            taken = text_[i_++];
            return true;
        }
        return false;
    }
    // Reads 1 to maxDigits digits; false (cursor unmoved) when there are none
    // or more follow.
    bool Number(int maxDigits, int& value, int& digits)
    {
        size_t j = i_;
        value = 0;
        while (j < text_.size() && text_[j] >= L'0' && text_[j] <= L'9') {
            if (static_cast<int>(j - i_) == maxDigits)
                return false;
            value = value * 10 + (text_[j] - L'0');
            ++j;
        }
        digits = static_cast<int>(j - i_);
        if (digits == 0)
            return false;
        i_ = j;
        return true;
    }
    bool Blanks()
    {
        const size_t start = i_;
        while (i_ < text_.size() &&
               (text_[i_] == L' ' || text_[i_] == L'\t' || text_[i_] == L'\r' || text_[i_] == L'\n'))
            ++i_;
        return i_ > start;
    }
    size_t Position() const { return i_; }
    void Rewind(size_t position) { i_ = position; }

private:
    std::wstring_view text_;
    size_t i_ = 0;
};

bool ReadTime(DateReader& r, DateParts& parts)
{
    int digits = 0;
    if (!r.Number(2, parts.hour, digits) || !r.Take(L':') || !r.Number(2, parts.minute, digits))
        return false;
    if (r.Take(L':') && !r.Number(2, parts.second, digits))
        return false;
    return true;
}

bool ReadCalendarDate(DateReader& r, DateParts& parts)
{
    int first = 0, firstDigits = 0, digits = 0;
    if (!r.Number(4, first, firstDigits))
        return false;
    parts.year = WindowedYear(first, firstDigits);
    wchar_t separator = 0;
    if (r.TakeAny(L"-/", separator)) {
        if (!r.Number(2, parts.month, digits))
            return false;
        wchar_t second = 0;
        if (r.TakeAny(L"-/", second))
            return r.Number(2, parts.day, digits);
        // Year and month alone only where the year is written out.
        parts.day = 1;
        return firstDigits == 4;
    }
    if (r.Take(L'年')) {
        if (!r.Number(2, parts.month, digits) || !r.Take(L'月'))
            return false;
        const size_t afterMonth = r.Position();
        if (r.Number(2, parts.day, digits) && r.Take(L'日'))
            return true;
        r.Rewind(afterMonth);
        parts.day = 1;
        return true;
    }
    return false;
}

std::wstring TwoDigits(int value)
{
    return std::wstring(1, static_cast<wchar_t>(L'0' + value / 10)) + static_cast<wchar_t>(L'0' + value % 10);
}

}  // namespace

DateParts SplitDate(double date)
{
    const DayAndSecond t = Decompose(date);
    DateParts parts;
    CalendarDate(t.day, parts.year, parts.month, parts.day);
    parts.hour = static_cast<int>(t.second / 3600);
    parts.minute = static_cast<int>(t.second / 60 % 60);
    parts.second = static_cast<int>(t.second % 60);
    return parts;
}

int Year(double date)
{
    return SplitDate(date).year;
}
int Month(double date)
{
    return SplitDate(date).month;
}
int Day(double date)
{
    return SplitDate(date).day;
}
int Hour(double date)
{
    return SplitDate(date).hour;
}
int Minute(double date)
{
    return SplitDate(date).minute;
}
int Second(double date)
{
    return SplitDate(date).second;
}

int Weekday(double date)
{
    // Day 0, 1899-12-30, was a Saturday.
    return static_cast<int>(FloorMod(Decompose(date).day + 6, 7)) + 1;
}

double DateSerial(int year, int month, int day)
{
    const long long fullYear = year >= 0 && year < 100 ? WindowedYear(year, 2) : year;
    const long long months = fullYear * 12 + (static_cast<long long>(month) - 1);
    const long long y = FloorDiv(months, 12);
    if (y < 0 || y > 10000)
        throw RuntimeError(kInvalidCall);
    const long long dayNumber = DayNumber(y, static_cast<int>(FloorMod(months, 12)) + 1, 1) + day - 1;
    return Compose(dayNumber, 0);
}

std::optional<double> MakeDate(const DateParts& p)
{
    if (p.year < 100 || p.year > 9999 || p.month < 1 || p.month > 12 || p.day < 1 ||
        p.day > DaysInMonth(p.year, p.month) || p.hour < 0 || p.hour > 23 || p.minute < 0 || p.minute > 59 ||
        p.second < 0 || p.second > 59)
        return std::nullopt;
    return Compose(DayNumber(p.year, p.month, p.day), p.hour * 3600LL + p.minute * 60LL + p.second);
}

std::optional<double> ReadDate(std::wstring_view text)
{
    DateReader r(text);
    r.Blanks();
    DateParts parts;
    const size_t start = r.Position();
    bool timeOnly = false;
    if (ReadTime(r, parts)) {
        timeOnly = true;
    } else {
        r.Rewind(start);
        parts = DateParts{};
        if (!ReadCalendarDate(r, parts))
            return std::nullopt;
        const size_t beforeTime = r.Position();
        if (r.Blanks() && !r.AtEnd()) {
            if (!ReadTime(r, parts))
                return std::nullopt;
        } else {
            r.Rewind(beforeTime);
        }
    }
    r.Blanks();
    if (!r.AtEnd())
        return std::nullopt;
    if (timeOnly) {
        if (parts.hour > 23 || parts.minute > 59 || parts.second > 59)
            return std::nullopt;
        return Compose(0, parts.hour * 3600LL + parts.minute * 60LL + parts.second);
    }
    return MakeDate(parts);
}

bool IsDate(std::wstring_view text)
{
    return ReadDate(text).has_value();
}

double ToDate(std::wstring_view text)
{
    const std::optional<double> date = ReadDate(text);
    if (!date)
        throw RuntimeError(kTypeMismatch);
    return *date;
}

std::wstring DateText(double date)
{
    const DayAndSecond t = Decompose(date);
    const DateParts p = SplitDate(date);
    const std::wstring time =
        std::to_wstring(p.hour) + L":" + TwoDigits(p.minute) + L":" + TwoDigits(p.second);
    if (t.day == 0)
        return time;
    std::wstring text =
        std::to_wstring(p.year) + L"/" + std::to_wstring(p.month) + L"/" + std::to_wstring(p.day);
    if (t.second != 0)
        text += L" " + time;
    return text;
}

std::int32_t DateDiff(DateInterval interval, double from, double to)
{
    const DayAndSecond a = Decompose(from);
    const DayAndSecond b = Decompose(to);
    long long difference = 0;
    switch (interval) {
    case DateInterval::Year:
        difference = SplitDate(to).year - SplitDate(from).year;
        break;
    case DateInterval::Month: {
        const DateParts pa = SplitDate(from), pb = SplitDate(to);
        difference = (pb.year * 12LL + pb.month) - (pa.year * 12LL + pa.month);
        break;
    }
    case DateInterval::Day:
        difference = b.day - a.day;
        break;
    case DateInterval::Second:
        difference = (b.day * kSecondsPerDay + b.second) - (a.day * kSecondsPerDay + a.second);
        break;
    }
    if (difference < std::numeric_limits<std::int32_t>::min() ||
        difference > std::numeric_limits<std::int32_t>::max())
        throw RuntimeError(kOverflow);
    return static_cast<std::int32_t>(difference);
}

double DateAdd(DateInterval interval, std::int32_t count, double date)
{
    const DayAndSecond t = Decompose(date);
    switch (interval) {
    case DateInterval::Year:
    case DateInterval::Month: {
        const DateParts p = SplitDate(date);
        const long long months =
            p.year * 12LL + (p.month - 1) +
            (interval == DateInterval::Year ? count * 12LL : static_cast<long long>(count));
        const long long year = FloorDiv(months, 12);
        const int month = static_cast<int>(FloorMod(months, 12)) + 1;
        if (year < 100 || year > 9999)
            throw RuntimeError(kInvalidCall);
        const int day = p.day < DaysInMonth(year, month) ? p.day : DaysInMonth(year, month);
        return Compose(DayNumber(year, month, day), t.second);
    }
    case DateInterval::Day:
        return Compose(t.day + count, t.second);
    case DateInterval::Second: {
        const long long total = t.day * kSecondsPerDay + t.second + count;
        return Compose(FloorDiv(total, kSecondsPerDay), FloorMod(total, kSecondsPerDay));
    }
    }
    return date;
}

}  // namespace quill::forms
