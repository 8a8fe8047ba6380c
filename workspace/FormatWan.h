// Money as every page shows it: amounts of 10000 or more with one comma
// before their last four integer digits (counted in units of 10000, "wan"),
// smaller and negative amounts as they are.
#pragma once

#include <string>

namespace quill::workspace {

// 9999.99 -> "9999.99", 12345.57 -> "1,2345.57", 123456789 -> "12345,6789",
// 20000 -> "2,0000", -20000 -> "-20000". An amount of 10000 or more is
// rounded to two decimals before it is split, so 12345.996 -> "1,2346.00";
// two decimals follow whenever the amount has a fraction at all. An amount
// of either sign beyond the 64-bit integer range (or no number at all)
// raises 6.
std::wstring FormatWan(double amount);

}  // namespace quill::workspace
