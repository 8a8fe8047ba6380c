// The road of a login to the service: the request at the current base URL,
// and once more at the backup when the primary gave no usable reply. The
// login window and the main window's re-login both take it.
#pragma once

#include "protocol/ServiceRequests.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quill::session {

// Posts a request to a base URL through HttpRequest: the reply, "" on any failure.
std::wstring PostRequest(const protocol::ServiceRequest& request, const std::wstring& baseUrl);

// When the backup becomes the current base URL: the login window keeps the
// primary until it has accepted the backup's reply; the re-login moves to
// the backup before it asks there, for the rest of the run.
enum class BackupSwitch {
    LeftToCaller,
    BeforeBackupRequest,
};

struct LoginExchange {
    std::wstring reply;
    bool backupUsed = false;
    // Some reply came, from either base URL, whatever it held: the service
    // was reached.
    bool answered = false;
};

// Sends first at ServerBaseUrl and, when needsBackup finds its reply unusable,
// the login request once at BackupBaseUrl. Requests wait with the windows
// alive: stillWanted is asked after each wait, and when it says no (the
// attempt was cancelled, the window closed) nothing is returned.
std::optional<LoginExchange> LoginWithBackup(const protocol::ServiceRequest& first,
                                             bool (*needsBackup)(std::wstring_view reply),
                                             BackupSwitch backupSwitch,
                                             const std::function<bool()>& stillWanted);

}  // namespace quill::session
