// The monthly (page 6) and yearly (page 7) income reports, built from the
// snapshot's month rows without a request.
#pragma once

#include "workspace/PageHost.h"

#include <string>
#include <vector>

namespace quill::workspace {

// The months the monthly chart shows: from day 1 of the month twelve months
// before today's to day 1 of the month twelve months after it, both included.
struct MonthWindow {
    double first = 0, last = 0;
    bool Holds(double monthStart) const { return monthStart >= first && monthStart <= last; }
};
MonthWindow ChartMonthWindow(double today);

// A month is left out of the report only when all four of its figures (the
// projects held, the interest held, the principal and the interest repaid)
// are 0: a month with repayments stays listed and can be opened even when it
// held no interest.
bool MonthRowSkipped(const protocol::MonthRow& row);

// The text of column 0 to 6 of the monthly row at `position` (from 0).
std::wstring MonthRowText(const protocol::MonthRow& row, int column, int position);
inline constexpr int kMonthRowColumns = 7;
// The monthly chart's set of a row: "yyyy-m" and the interest held, cut to
// a whole number towards zero.
ChartSet MonthSet(const protocol::MonthRow& row, std::wstring color);

// The YearRow text of the month rows: one "year,months,average,total|" per
// run of consecutive rows of one year. The interest of every month is read
// leniently and summed as a double; the total and the average are rounded
// once, to two decimals, when they are written.
std::wstring YearRows(const std::vector<std::wstring>& monthRows);

// One YearRow, items separated by ",".
class YearRow : public protocol::ReplyItems {
public:
    enum Item : int { Year, Months, Average, Total };
    explicit YearRow(std::wstring_view row) : protocol::ReplyItems(row, L",") {}
};

// The text of column 0 to 4 of the yearly row at `position` (from 0).
std::wstring YearRowText(const YearRow& row, int column, int position);
inline constexpr int kYearRowColumns = 5;

inline constexpr wchar_t kYearlyChartCaption[] = L"综合年度收益报表";

// A monthly chart with this many rows or more gets slanted labels and the
// whole window.
inline constexpr int kWideMonthlyChart = 20;

PageEnd BuildMonthlyPage(PageHost& host);
PageEnd BuildYearlyPage(PageHost& host);

}  // namespace quill::workspace
