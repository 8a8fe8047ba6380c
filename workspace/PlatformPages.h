// The platform summary pages: current platforms (page 3) and finished
// platforms (page 5), built from the snapshot's platform sections without
// a request.
#pragma once

#include "workspace/PageHost.h"

#include <string>

namespace quill::workspace {

// A platform's share of a total, in percent with two decimals and "%"
// (25.00%). A total of 0 gives "0.00%": a platform page must not stop because
// the service reports nothing to share yet.
std::wstring PlatformShare(double amount, double total);

// The text of column 0 to 11 of the platform row at `position` (from 0); the
// amounts are read strictly, so a row that does not hold them raises.
std::wstring PlatformRowText(const protocol::PlatformRow& row, int column, int position,
                             double principalTotal, double interestTotal);

inline constexpr int kPlatformRowColumns = 12;
// The finished platforms' pies show the first 30 platforms.
inline constexpr int kFinishedPlatformChartSets = 30;

// The body of page 3 or page 5, run by the tab handler.
PageEnd BuildPlatformPage(PageHost& host, bool finished);

}  // namespace quill::workspace
