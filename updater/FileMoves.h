// Putting downloaded files in place of the program's files: the folders they
// need, and moves that can be undone until all of them have succeeded, even
// by a later run when this one never got to finish them.
#pragma once

#include "updater/KernelHandle.h"

#include <map>
#include <optional>
#include <string>

namespace quill::updater {

// True for an existing folder (not a file).
bool IsFolder(const std::wstring& path);
// The absolute form of a path, "." and ".." resolved; "" when the system
// cannot make one.
std::wstring FullPath(const std::wstring& path);
// Whether `path` is `folder` or lies below it, letter case aside, once both
// are absolute.
bool IsWithinFolder(const std::wstring& path, const std::wstring& folder);

// Creates the missing folders of an absolute file path ("C:\a\b\file.dll"
// gives C:\a and C:\a\b; "/" counts as "\"). Only a path with ":\" is
// handled, and only one below a folder: false for anything else and when a
// folder cannot be made.
bool CreatePath(const std::wstring& Cpstr);

// A step of an update that cannot be taken back now: the file it would put
// back or remove, and the system's error (a file in use, most often).
struct BlockedStep {
    std::wstring file;
    unsigned long error = 0;
};

// The moves of one update. Each replaces its target in one step (the old
// file is never deleted first) after keeping a copy of what it replaced, so
// that all of them can be taken back until the last one has succeeded. A run
// keeps its copies in a folder of its own below the backup folder, with a
// journal that says, before each move, which file it replaces by which and
// where the copy is, and after it that it happened; folders are recorded
// before they are made. A run that ends before its commit or rollback (a
// crash, a power loss, the process ended from outside) is rolled back by
// Recover at the next start. A move whose end is not recorded happened
// exactly when its source is gone: a move is one step on one volume.
class MoveJournal {
public:
    explicit MoveJournal(std::wstring backupFolder);
    ~MoveJournal();
    MoveJournal(const MoveJournal&) = delete;
    MoveJournal& operator=(const MoveJournal&) = delete;

    // Moves an existing normal file `source` to `target`, creating the
    // target's folders, after copying the file it replaces. False when the
    // source is missing or the copy, the journal or the move fails; the
    // target is then as it was.
    bool Replace(const std::wstring& source, const std::wstring& target);
    // Every move stays: the copies go.
    void Commit();
    // Every move made is taken back, the last first: replaced files return,
    // files that were new are removed and so are the folders made for them;
    // a move that never happened is nothing to take back. Each step leaves
    // the journal as it is taken back. A step that cannot be taken back now
    // stays, alone with its copy, for the next start, and is returned.
    std::optional<BlockedStep> Rollback();

    // At start, before anything else: every journal left unfinished below
    // the backup folder is rolled back, then every backup goes (read-only
    // ones too). Returns the first step that cannot be taken back now; its
    // journal stays, and no update may start over it.
    static std::optional<BlockedStep> Recover(const std::wstring& backupFolder);

private:
    bool StartRun();
    bool Record(const std::wstring& record);

    std::wstring backupFolder_;
    std::wstring runFolder_;  // empty until the first move
    KernelHandle journal_;
    std::map<std::wstring, std::wstring> copies_;  // by target in upper case: its copy (kept across retries)
    int nextCopy_ = 0;
};

}  // namespace quill::updater
