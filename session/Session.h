// The session: every value the client keeps between its windows, for the run
// and for the account logged in, in one object. A logout and a test's fresh
// start empty it through the same reset, so what they forget cannot drift
// apart.
#pragma once

#include "protocol/ServiceRecords.h"
#include "session/RecordCache.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quill::session {

// What a reset empties.
enum class SessionReset {
    // The account's values: another account may log in next in this run, and
    // nothing of this one stays. The run's values stay.
    Logout,
    // Everything, as a run starts (the tests' fresh runs), but the screen's
    // factors, which the start measures once.
    NewRun,
};

// The run's values: a logout keeps them.
struct RunValues {
    // Base URL of every request ("http://.../do/"): the primary, or the backup
    // once a login succeeded only there. Set by the login window on every load.
    std::wstring ServerBaseUrl;
    std::wstring BackupBaseUrl;

    // The screen's twips-per-pixel factors as the program saw them at start:
    // StartUp stores them once, before the login window is loaded, and nothing
    // changes them afterwards.
    float TwipsPerPixelX = 0;
    float TwipsPerPixelY = 0;

    // Set by the main window's first load in this run and kept to its end: the
    // login window then arms no automatic login, and the main window's later
    // loads skip the first opening's checks.
    bool MainWindowOpened = false;
    // Layout values of the main window that outlive its unloading.
    std::int32_t LayoutMargin = 0;  // vertical gap of the header's regions
    std::int32_t ChartHeight = 0;   // height of the chart frames, twips

    bool operator==(const RunValues&) const = default;
};

// The account's values: a logout empties them all in one assignment, so a
// value added here cannot be forgotten by it.
struct AccountValues {
    // "username=" + account + "&password=" + digest + "&v=" + major + "." + minor.
    std::wstring AuthQuery;
    // The whole reply of the last successful login (an account snapshot),
    // which the main window's load parses.
    std::wstring LoginReply;
    // The sections of the snapshot. Section 0, items split at "|":
    protocol::UserInfo UserInfo;
    std::wstring MonthlySection;           // section 1: MonthRow list
    std::wstring CurrentPlatformSection;   // section 2: PlatformRow list
    std::wstring FinishedPlatformSection;  // section 3: PlatformRow list
    std::wstring PlatformListSection;      // section 4: platform and account names
    std::wstring DueSoonSection;           // section 5: ProjectRow list
    // The last replies of "do=list&" and "do=overlist&".
    std::wstring CurrentListCache;
    std::wstring FinishedListCache;
    // The per-project reply cache, shared by the detail page and the entry form.
    session::RecordCache RecordCache;
    // The entry form's platform and account of the account's last successful
    // save, which its keep ticks 0 and 1 bring back on a blank form.
    std::wstring KeptPlatform;
    std::wstring KeptAccount;

    // Scratch: the rows of the reply being read, the items of the row in hand.
    std::vector<std::wstring> ReplyRows;
    std::vector<std::wstring> RowFields;
    // The project in hand: 0 after every page change (a new project for the
    // entry form), the project's id on the detail and edit pages, -1 while
    // the detail page's back button returns.
    std::int32_t CurrentProjectId = 0;
    double CurrentProjectDueDate = 0;

    bool operator==(const AccountValues&) const = default;
};

class Session : public RunValues, public AccountValues {
public:
    // Empties the values of scope.
    void Reset(SessionReset scope);
};

// The program's one session.
Session& CurrentSession();

}  // namespace quill::session
