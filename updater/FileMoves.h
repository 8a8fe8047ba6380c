// Putting downloaded files in place of the program's files: the folders they
// need, and moves that can be undone until all of them have succeeded.
#pragma once

#include <string>
#include <vector>

namespace quill::updater {

// True for an existing folder (not a file).
bool IsFolder(const std::wstring& path);
// The absolute form of a path, "." and ".." resolved; "" when the system
// cannot make one.
std::wstring FullPath(const std::wstring& path);

// Creates the missing folders of an absolute file path ("C:\a\b\file.dll"
// gives C:\a and C:\a\b; "/" counts as "\"). Only a path with ":\" is
// handled, and only one below a folder: false for anything else and when a
// folder cannot be made.
bool CreatePath(const std::wstring& Cpstr);

// The moves of one update. Each replaces its target in one step (the old
// file is never deleted first) and keeps a copy of what it replaced, so that
// all of them can be taken back until the last one has succeeded.
class MoveJournal {
public:
    // Copies of replaced files go into backupFolder, made when first needed.
    explicit MoveJournal(std::wstring backupFolder);
    ~MoveJournal();
    MoveJournal(const MoveJournal&) = delete;
    MoveJournal& operator=(const MoveJournal&) = delete;

    // Moves an existing normal file `source` to `target`, creating the
    // target's folders, after copying the file it replaces. False when the
    // source is missing or the copy or the move fails; the target is then as
    // it was.
    bool Replace(const std::wstring& source, const std::wstring& target);
    // Every move stays: the copies go.
    void Commit();
    // Every move is taken back, the last first: replaced files return, files
    // that were new are removed.
    void Rollback();

    const std::wstring& BackupFolder() const { return backupFolder_; }

private:
    struct Move {
        std::wstring target;
        std::wstring backup;  // empty: there was no file at the target
    };
    void RemoveBackupFolder();

    std::wstring backupFolder_;
    std::vector<Move> moves_;
    std::vector<std::pair<std::wstring, std::wstring>> backups_;  // target, copy (kept across retries)
    int nextBackup_ = 0;
};

}  // namespace quill::updater
