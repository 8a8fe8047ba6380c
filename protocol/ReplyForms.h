// How each caller tells a good reply from a failed one. A reply has no status
// of its own: its form alone says what it is, and the tests are as coarse as
// the callers make them (length, and the marker of the expected kind: "[]"
// for snapshots, "|" for records).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quill::protocol {

// Login (the login window): first at the primary base URL, then once at the
// backup when the reply is empty or holds neither "|" nor "[]".
bool LoginNeedsBackup(std::wstring_view reply);

enum class LoginOutcome {
    Unreachable,  // empty, or anything else that is no readable snapshot: no login
    Refused,      // three characters with a refusal code "-1" to "-5"
    Accepted,     // a readable snapshot (SnapshotReadable)
};
struct LoginVerdict {
    LoginOutcome outcome = LoginOutcome::Unreachable;
    std::wstring refusalCode;     // the first two characters of a refusal
    std::wstring refusalMessage;  // what the login window tells the user
};
LoginVerdict ClassifyLoginReply(std::wstring_view reply);

// Re-login (snapshot loading): AuthQuery alone first; an empty reply or one
// without "[]" is repeated as a login at the backup base URL.
bool ReloginNeedsBackup(std::wstring_view reply);
// A re-login reply of exactly three characters is a refusal.
bool ReloginRefused(std::wstring_view reply);

// Project lists: an empty reply fails, and so does one without "|" while the
// account's summary counts projects of that list (a lasting stale-token
// answer, an error page); a reply without "|" is the empty list only when
// the summary counts none. A reply with rows fails unless it ends with "|",
// as every whole row list does: its last row was cut. (A reply cut exactly
// between two rows reads as a shorter whole list: nothing tells it apart.)
bool ListReplyFailed(std::wstring_view reply, double projectCount);

// Project record: cached and shown only when it holds "|". The detail page
// and the edit form take a record only when it also holds every item and its
// strict readings succeed (DetailReplyUsable, ReadProjectDetail).
bool RecordReplyUsable(std::wstring_view reply);

// Delete, bad debt and finish: rejected when it holds "|" and is exactly
// three characters long, or when it holds no "[]".
bool ActionReplyRejected(std::wstring_view reply);

// Whether a text holds what the snapshot loader and the pages read: six
// sections, and a UserInfo with every item up to FinishedWeightedRate.
bool SnapshotReadable(std::wstring_view text);

// Saved project, tested in this order.
enum class SaveOutcome {
    Unknown,    // no answer (time-out, reset, nothing): the save may have arrived
    Refused,    // exactly three characters ("-F|" included)
    Message,    // begins "-F|": the rest is a message for the user
    NotSaved,   // lacks "[]" or "|"
    WithoutId,  // no id and snapshot to take: the session is given up
    Saved,      // id, ",", snapshot
};
struct SaveVerdict {
    SaveOutcome outcome = SaveOutcome::NotSaved;
    // Message: the reply with every "-F|" removed.
    std::wstring message;
    // Saved: the project's id, the positive whole number before the first ",".
    std::optional<std::int32_t> id;
    // Saved: everything after the first ",".
    std::wstring snapshot;
};
// A reply is taken as saved only when the text before its first "," is a
// positive whole number in the 32-bit range (digits only) and the rest is a
// readable snapshot; a reply that passes the earlier tests but not these is
// WithoutId, whose handling gives the session up rather than open a project
// that may not be the one saved, or load a snapshot that is not one.
SaveVerdict ClassifySaveReply(std::wstring_view reply);

}  // namespace quill::protocol
