// The moves of one update and their journal, on any file system: what makes
// them final, takes them back, and recovers a run that ended before either.
//
// A run keeps its copies in a folder of its own below the backup folder
// ("1", "2", ...), with its journal (see JournalRecords.h). Before each move
// the copy of what the target holds is on the disk, then the move's record,
// with the source on the disk too; after the move, the identity of the file
// it put in place. Taking a step back appends a record; the journal is never
// rewritten.
//
// Only what the run can show is its own is taken back: a file still the one
// the run put there (its identity as the move left it, or, when the run
// ended before recording that, the source's identity with the source gone).
// A file changed since stays, and the copy it would have been replaced with
// is kept beside it ("<file>.更新前"). A run folder whose journal cannot be
// read whole is kept as it is, renamed "<n>.kept" so that no later start acts
// on it or names it again.
#pragma once

#include "updater/FileSystem.h"
#include "updater/JournalRecords.h"

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quill::updater {

// A step of an update that cannot be taken back now: the file it would put
// back or remove, and the system's error (a file in use, most often).
struct BlockedStep {
    std::wstring file;
    unsigned long error = 0;
};

// What a rollback or a recovery could not take back, and what it kept.
struct TakenBack {
    std::optional<BlockedStep> blocked;      // the first step that cannot be taken back now (file in use...)
    std::vector<std::wstring> keptBeside;    // full paths of copies kept beside files that changed since the run
    std::vector<std::wstring> keptFolders;   // run folders kept whole because their journal cannot be read whole
};

// Called on the caller's thread after each step taken back.
using RollbackProgress = std::function<void(std::size_t done, std::size_t total)>;

// The journal's name in a run folder, and the earlier version's.
inline constexpr wchar_t JournalFileName[] = L"journal.txt";
inline constexpr wchar_t EarlierJournalFileName[] = L"journal";
// What a kept copy's name adds to its file's.
inline constexpr wchar_t KeptCopySuffix[] = L".更新前";
inline constexpr wchar_t KeptFolderSuffix[] = L".kept";

class JournalRun {
public:
    // Both folders absolute, without a trailing "\".
    JournalRun(FileSystem& fs, std::wstring backupFolder, std::wstring programFolder);
    ~JournalRun();
    JournalRun(const JournalRun&) = delete;
    JournalRun& operator=(const JournalRun&) = delete;

    // Moves an existing file `source` to `target`, both below the program
    // folder, creating the target's folders, after keeping a copy of the
    // file it replaces. False when the source is missing, or the copy, the
    // journal or the move fails: the target is then as it was, its
    // read-only mark too.
    bool Replace(const std::wstring& source, const std::wstring& target);
    // Every move stays; the copies go once the journal says so on the disk,
    // or is gone. False when that could not be made sure of: the copies then
    // stay, and the next start takes the moves back.
    bool Commit();
    // Every move made is taken back, the last first (see Recover).
    TakenBack Rollback(const RollbackProgress& progress = {});

    // At start, before anything else: every run left unfinished below the
    // backup folder is rolled back; a committed one's copies go. A step that
    // cannot be taken back now stays, with its journal, for the next start.
    static TakenBack Recover(FileSystem& fs, const std::wstring& backupFolder, const std::wstring& programFolder,
                             const RollbackProgress& progress = {});

private:
    bool StartRun();
    bool Record(const std::string& record);

    FileSystem& fs_;
    std::wstring backupFolder_;
    std::wstring programFolder_;
    std::wstring runFolder_;  // empty until the first move
    std::unique_ptr<AppendFile> journal_;
    std::size_t steps_ = 0;
    std::map<std::wstring, std::wstring> copies_;  // by relative target in upper case: its copy's name
    int nextCopy_ = 0;
};

}  // namespace quill::updater
