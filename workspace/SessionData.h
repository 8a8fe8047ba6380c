// The session's values that the main window's pages read and write: the
// sections of the account snapshot, the stored list replies, the project in
// hand and the two scratch arrays every reader of a reply fills. They live
// at module level for the whole process (the login reply, AuthQuery and the
// base URLs are the HTTP client's and the login window's).
#pragma once

#include "protocol/ServiceRecords.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quill::workspace {

struct SessionData {
    // Section 0 of the snapshot, items split at "|".
    static inline protocol::UserInfo UserInfo;
    static inline std::wstring MonthlySection;           // section 1: MonthRow list
    static inline std::wstring CurrentPlatformSection;   // section 2: PlatformRow list
    static inline std::wstring FinishedPlatformSection;  // section 3: PlatformRow list
    static inline std::wstring PlatformListSection;      // section 4: platform and account names
    static inline std::wstring DueSoonSection;           // section 5: ProjectRow list
    // The last replies of "do=list&" and "do=overlist&".
    static inline std::wstring CurrentListCache;
    static inline std::wstring FinishedListCache;
    // Scratch: the rows of the reply being read, the items of the row in hand.
    static inline std::vector<std::wstring> ReplyRows;
    static inline std::vector<std::wstring> RowFields;
    // The project in hand: 0 after every page change (a new project for the
    // entry form), the project's id on the detail and edit pages, -1 while
    // the detail page's back button returns.
    static inline std::int32_t CurrentProjectId = 0;
    static inline double CurrentProjectDueDate = 0;
};

}  // namespace quill::workspace
