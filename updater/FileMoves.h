// Putting downloaded files in place of the program's files: the folders they
// need, and moves that can be undone until all of them have succeeded, even
// by a later run when this one never got to finish them.
#pragma once

#include "updater/FileSystem.h"
#include "updater/JournalCore.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

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

// The system's files as the journal of an update's moves sees them. A move
// or a deletion refused for a file that another program holds fails with
// ERROR_SHARING_VIOLATION; moves and records are written through, copies
// flushed.
class WindowsFileSystem final : public FileSystem {
public:
    Kind KindOf(const std::wstring& path) override;
    std::optional<std::string> Read(const std::wstring& path) override;
    std::unique_ptr<AppendFile> OpenAppend(const std::wstring& path, std::optional<std::uint64_t> keep,
                                           unsigned long& error) override;
    unsigned long MakeFolder(const std::wstring& path) override;
    unsigned long RemoveFolder(const std::wstring& path) override;
    unsigned long CopyToNew(const std::wstring& from, const std::wstring& to) override;
    unsigned long Flush(const std::wstring& path) override;
    unsigned long Move(const std::wstring& from, const std::wstring& to) override;
    unsigned long Delete(const std::wstring& path) override;
    std::optional<FileIdentity> Identity(const std::wstring& path) override;
    std::optional<bool> ReadOnly(const std::wstring& path) override;
    unsigned long SetReadOnly(const std::wstring& path, bool readOnly) override;
    std::vector<Entry> List(const std::wstring& folder) override;
};

// The moves of one update in the program folder, on the system's files.
// Each replaces its target in one step (the old file is never deleted
// first) after keeping a copy of what it replaced, so that all of them can
// be taken back until the commit; a run that ends before its commit or
// rollback (a crash, a power loss, the process ended from outside) is rolled
// back by Recover at the next start. JournalCore.h says what is taken back
// and what is kept.
class MoveJournal {
public:
    // The folders as given, made absolute; the backup folder is
    // <program>\update\~backup.
    MoveJournal(std::wstring backupFolder, std::wstring programFolder);
    ~MoveJournal();
    MoveJournal(const MoveJournal&) = delete;
    MoveJournal& operator=(const MoveJournal&) = delete;

    // Moves an existing normal file `source` to `target`, both below the
    // program folder, creating the target's folders, after copying the file
    // it replaces. False when the source is missing or the copy, the journal
    // or the move fails; the target is then as it was, its read-only mark
    // too.
    bool Replace(const std::wstring& source, const std::wstring& target);
    // Every move stays: the copies go. False when the moves could not be
    // made final safely (the copies then stay, and the next start takes the
    // moves back).
    bool Commit();
    // Every move made is taken back, the last first: replaced files return
    // with their read-only mark, files that were new are removed and so are
    // the folders made for them; a move that never happened is nothing to
    // take back, a file changed since stays (its copy is kept beside it). A
    // step that cannot be taken back now stays, with its copy, for the next
    // start, and is returned.
    TakenBack Rollback(const RollbackProgress& progress = {});

    // At start, before anything else: every journal left unfinished below
    // the backup folder is rolled back, then its copies go (read-only ones
    // too). Returns the first step that cannot be taken back now (its
    // journal stays, and no update may start over it), the copies kept
    // beside changed files, and the run folders kept whole.
    static TakenBack Recover(const std::wstring& backupFolder, const std::wstring& programFolder,
                             const RollbackProgress& progress = {});

private:
    WindowsFileSystem fs_;
    JournalRun run_;
};

}  // namespace quill::updater
