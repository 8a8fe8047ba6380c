// Putting downloaded files in place of the program's files: the folders they
// need, and moves that can be undone until all of them have succeeded, even
// by a later run when this one never got to finish them.
#pragma once

#include "updater/KernelHandle.h"

#include <map>
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

// The moves of one update. Each replaces its target in one step (the old
// file is never deleted first) after keeping a copy of what it replaced, so
// that all of them can be taken back until the last one has succeeded. A run
// keeps its copies in a folder of its own below the backup folder, with a
// journal that says, before each step is taken, which copy belongs to which
// file and which folders were made: a run that ends before its commit or
// rollback (a crash, a power loss, the process ended from outside) is rolled
// back by Recover at the next start.
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
    // Every move is taken back, the last first: replaced files return, files
    // that were new are removed and so are the folders made for them. A copy
    // that cannot be put back stays, with the journal, for the next start.
    void Rollback();

    // At start, before anything else: every journal left unfinished below
    // the backup folder is rolled back, then every backup goes (read-only
    // ones too).
    static void Recover(const std::wstring& backupFolder);

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
