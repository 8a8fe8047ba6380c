#include "updater/JournalCore.h"

#include "forms/lang/Text.h"

#include <algorithm>
#include <set>

namespace quill::updater {
namespace {

constexpr int RunFolderLimit = 10000;
constexpr int KeptNameLimit = 1000;

std::wstring Join(const std::wstring& folder, const std::wstring& name)
{
    return folder + L"\\" + name;
}

std::wstring WithoutTrailingSeparator(std::wstring path)
{
    while (path.size() > 1 && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    return path;
}

// A run's folder: a number, as StartRun names it.
std::optional<int> RunNumber(const std::wstring& name)
{
    if (name.empty() || name.size() > 5 || name[0] == L'0')
        return std::nullopt;
    int n = 0;
    for (wchar_t c : name) {
        if (c < L'0' || c > L'9')
            return std::nullopt;
        n = n * 10 + (c - L'0');
    }
    return n;
}

// A copy's name in a run's folder: a number as well.
std::optional<int> CopyNumber(const std::wstring& name)
{
    return RunNumber(name);
}

bool IsJournalName(const std::wstring& name)
{
    return forms::TextEquals(name, JournalFileName) || forms::TextEquals(name, EarlierJournalFileName) ||
           forms::TextEquals(name, std::wstring(EarlierJournalFileName) + L".new");
}

void ClearReadOnly(FileSystem& fs, const std::wstring& path)
{
    if (fs.ReadOnly(path).value_or(false))
        fs.SetReadOnly(path, false);
}

unsigned long DeleteAnyFile(FileSystem& fs, const std::wstring& path)
{
    ClearReadOnly(fs, path);
    return fs.Delete(path);
}

// The same file, left as it was, but for the time of its last change, which
// a rename may set.
bool SameFileMoved(const FileIdentity& a, const FileIdentity& b)
{
    FileIdentity x = a, y = b;
    x.changeTime = y.changeTime = 0;
    return x == y;
}

bool SameBytes(FileSystem& fs, const std::wstring& a, const std::wstring& b)
{
    const auto first = fs.Read(a);
    const auto second = first ? fs.Read(b) : std::nullopt;
    return first && second && *first == *second;
}

bool IsWithin(const std::wstring& path, const std::wstring& folder)
{
    return path.size() > folder.size() && path[folder.size()] == L'\\' &&
           forms::TextEquals(std::wstring_view(path).substr(0, folder.size()), folder);
}

// Deletes a run folder: its copies first, the journal last, so that a run
// ended in the middle still has its journal to say what the copies were.
void DeleteRunFolder(FileSystem& fs, const std::wstring& run)
{
    const auto entries = fs.List(run);
    for (const auto& e : entries)
        if (!e.folder && !IsJournalName(e.name))
            DeleteAnyFile(fs, Join(run, e.name));
    for (const auto& e : entries)
        if (!e.folder && IsJournalName(e.name))
            DeleteAnyFile(fs, Join(run, e.name));
    fs.RemoveFolder(run);
}

// A run folder that is no longer acted on: renamed so that no later start
// reads it again, and said once.
void KeepFolder(FileSystem& fs, const std::wstring& run, TakenBack& out)
{
    for (int n = 1; n <= KeptNameLimit; ++n) {
        const std::wstring kept = run + KeptFolderSuffix + (n > 1 ? std::to_wstring(n) : L"");
        if (fs.KindOf(kept) != FileSystem::Kind::None)
            continue;
        if (fs.Move(run, kept) == 0) {
            out.keptFolders.push_back(kept);
            return;
        }
        break;
    }
    out.keptFolders.push_back(run);
}

// Moves a copy beside the file it was taken of, under a name of its own.
std::optional<std::wstring> KeepBeside(FileSystem& fs, const std::wstring& copy, const std::wstring& file)
{
    for (int n = 1; n <= KeptNameLimit; ++n) {
        const std::wstring kept = file + KeptCopySuffix + (n > 1 ? std::to_wstring(n) : L"");
        if (fs.KindOf(kept) != FileSystem::Kind::None)
            continue;
        if (fs.Move(copy, kept) != 0)
            return std::nullopt;
        return kept;
    }
    return std::nullopt;
}

class RunRecovery {
public:
    RunRecovery(FileSystem& fs, std::wstring run, std::wstring program, TakenBack& out)
        : fs_(fs), run_(std::move(run)), program_(std::move(program)), out_(out)
    {
    }

    void Recover(const RollbackProgress& progress)
    {
        if (!Read())
            return;
        if (!journal_.whole) {
            // A journal cut short before it began, beside nothing: the run
            // ended before it made anything.
            if (journal_.end == 0 && !othersBeside_ && copies_.empty())
                DeleteRunFolder(fs_, run_);
            else
                KeepFolder(fs_, run_, out_);
            return;
        }
        if (journal_.committed) {
            DeleteRunFolder(fs_, run_);
            return;
        }
        if (!journal_.earlierForm) {
            unsigned long error = 0;
            // Records are appended after the last whole one; taking a step
            // back again is harmless, so the steps are taken back even when
            // no record can be written.
            log_ = fs_.OpenAppend(Join(run_, JournalFileName), journal_.end, error);
        } else {
            ChangedSinceEarlierJournal();
        }
        const std::size_t total = journal_.steps.size();
        for (std::size_t i = total; i-- > 0;) {
            TakeBack(i);
            if (progress)
                progress(total - i, total);
        }
        log_.reset();
        if (blocked_)
            return;
        if (keepFolder_)
            KeepFolder(fs_, run_, out_);
        else
            DeleteRunFolder(fs_, run_);
    }

    bool Blocked() const { return blocked_; }

private:
    // Reads the journal and what lies beside it: false when it cannot be
    // read now (the step is then blocked).
    bool Read()
    {
        const std::wstring path = Join(run_, JournalFileName);
        const std::wstring earlier = Join(run_, EarlierJournalFileName);
        const auto kind = fs_.KindOf(path);
        if (kind == FileSystem::Kind::File) {
            const auto bytes = fs_.Read(path);
            if (!bytes)
                return Block(path, 5);
            journal_ = ReadRecords(*bytes);
        } else if (kind == FileSystem::Kind::None && fs_.KindOf(earlier) == FileSystem::Kind::File) {
            // An earlier rewrite cut short: the journal itself is whole.
            if (fs_.KindOf(earlier + L".new") == FileSystem::Kind::File)
                DeleteAnyFile(fs_, earlier + L".new");
            const auto bytes = fs_.Read(earlier);
            if (!bytes)
                return Block(earlier, 5);
            journal_ = ReadEarlierRecords(*bytes, program_);
            earlierTime_ = fs_.Identity(earlier);
            if (!earlierTime_)
                journal_.whole = false;
        } else {
            journal_.whole = false;
        }

        // Beside the journal lie the copies, numbered in the order they were
        // made. Only the last may be missing from the journal (the run ended
        // between the copy and its record); anything else means the journal
        // lost records.
        std::set<std::wstring> named;
        for (const JournalStep& s : journal_.steps)
            if (!s.copy.empty())
                named.insert(s.copy);
        int highest = 0;
        std::vector<int> unnamed;
        for (const auto& e : fs_.List(run_)) {
            if (!e.folder && IsJournalName(e.name))
                continue;
            const auto n = e.folder ? std::nullopt : CopyNumber(e.name);
            if (!n) {
                othersBeside_ = true;
                continue;
            }
            copies_.insert(e.name);
            highest = std::max(highest, *n);
            if (!named.contains(e.name))
                unnamed.push_back(*n);
        }
        if (othersBeside_ || unnamed.size() > 1 || (unnamed.size() == 1 && unnamed[0] != highest))
            journal_.whole = false;
        return true;
    }

    bool Block(const std::wstring& file, unsigned long error)
    {
        blocked_ = true;
        if (!out_.blocked)
            out_.blocked = BlockedStep{file, error};
        return false;
    }

    // A folder the earlier version's run moved files into that was worked
    // on since (a later update, a reinstall): none of it is taken back.
    void ChangedSinceEarlierJournal()
    {
        for (const JournalStep& s : journal_.steps) {
            if (s.kind != JournalStep::Kind::Move || s.target.empty())
                continue;
            const auto now = fs_.Identity(Join(program_, s.target));
            if (now && now->lastWrite > earlierTime_->lastWrite)
                changedSince_ = true;
        }
    }

    void Mark(std::size_t step)
    {
        if (log_ && log_->Append(TakenBackRecord(step)) != 0)
            log_.reset();
    }

    // Whether the earlier version's move took place: its end is recorded,
    // or its source is gone; without a source, a copy that holds the bytes
    // in place has nothing to take back either way.
    bool EarlierMoveHappened(const JournalStep& move, const std::wstring& target, const std::wstring& copy)
    {
        if (move.ended)
            return true;
        if (move.source)
            return fs_.KindOf(Join(program_, *move.source)) == FileSystem::Kind::None;
        return move.copy.empty() || fs_.KindOf(copy) != FileSystem::Kind::File || !SameBytes(fs_, copy, target);
    }

    void TakeBack(std::size_t i)
    {
        const JournalStep& step = journal_.steps[i];
        if (step.takenBack)
            return;
        const std::wstring copy = step.copy.empty() ? L"" : Join(run_, step.copy);
        const bool copyThere = !copy.empty() && copies_.contains(step.copy) &&
                               fs_.KindOf(copy) == FileSystem::Kind::File;
        if (step.target.empty()) {
            // Outside the program folder: never touched, its copy kept.
            if (copyThere)
                keepFolder_ = true;
            return;
        }
        const std::wstring target = Join(program_, step.target);
        if (step.kind == JournalStep::Kind::Folder) {
            const bool needed = std::ranges::any_of(
                blockedFiles_, [&](const std::wstring& file) { return IsWithin(file, target); });
            if (needed)
                return;
            // Only while empty: what was put there since stays, and so does
            // the folder. An empty one that cannot be removed now waits.
            if (fs_.KindOf(target) == FileSystem::Kind::Folder) {
                const unsigned long error = fs_.RemoveFolder(target);
                if (error != 0 && fs_.List(target).empty()) {
                    Blocked(target, error);
                    return;
                }
            }
            Mark(i);
            return;
        }

        // Whether the move took place, and whether the file in place is
        // still the one it put there.
        bool happened = true;
        bool ours = false;
        const auto now = fs_.Identity(target);
        if (!now && fs_.KindOf(target) == FileSystem::Kind::File) {
            Blocked(target, 5);  // a file in place that cannot be told now
            return;
        }
        if (journal_.earlierForm) {
            happened = changedSince_ || EarlierMoveHappened(step, target, copy);
            ours = !changedSince_ && now.has_value();
        } else if (step.placed) {
            ours = now && *now == *step.placed;
        } else if (step.source && fs_.KindOf(Join(program_, *step.source)) == FileSystem::Kind::None) {
            ours = now && step.sourceIdentity && SameFileMoved(*now, *step.sourceIdentity);
        } else {
            happened = false;
        }
        if (!happened) {
            // Nothing to take back, and its copy is not needed; the run may
            // have ended between clearing the target's read-only mark and
            // the move.
            if (step.readOnly && now)
                fs_.SetReadOnly(target, true);
            Mark(i);
            return;
        }
        if (!ours) {
            // Changed since: it stays, and so does what it replaced.
            if (copyThere && !(now && SameBytes(fs_, copy, target))) {
                if (const auto kept = KeepBeside(fs_, copy, target))
                    out_.keptBeside.push_back(*kept);
                else
                    keepFolder_ = true;
            }
            Mark(i);
            return;
        }
        if (!step.copy.empty()) {
            if (!copyThere) {
                Mark(i);  // put back already, before the journal said so
                return;
            }
            // The copy goes back with the mark the file had, in one step.
            if (step.readOnly)
                fs_.SetReadOnly(copy, true);
            ClearReadOnly(fs_, target);
            if (const unsigned long error = fs_.Move(copy, target)) {
                Blocked(target, error);
                return;
            }
        } else if (const unsigned long error = DeleteAnyFile(fs_, target)) {
            Blocked(target, error);
            return;
        }
        Mark(i);
    }

    void Blocked(const std::wstring& target, unsigned long error)
    {
        blockedFiles_.push_back(target);
        Block(target, error);
    }

    FileSystem& fs_;
    const std::wstring run_;
    const std::wstring program_;
    TakenBack& out_;
    ReadJournal journal_;
    std::optional<FileIdentity> earlierTime_;
    std::set<std::wstring> copies_;
    bool othersBeside_ = false;
    bool changedSince_ = false;
    bool keepFolder_ = false;
    bool blocked_ = false;
    std::vector<std::wstring> blockedFiles_;
    std::unique_ptr<AppendFile> log_;
};

}  // namespace

JournalRun::JournalRun(FileSystem& fs, std::wstring backupFolder, std::wstring programFolder)
    : fs_(fs), backupFolder_(WithoutTrailingSeparator(std::move(backupFolder))),
      programFolder_(WithoutTrailingSeparator(std::move(programFolder)))
{
}

JournalRun::~JournalRun() = default;

bool JournalRun::StartRun()
{
    if (fs_.KindOf(backupFolder_) != FileSystem::Kind::Folder && fs_.MakeFolder(backupFolder_) != 0)
        return false;
    // A folder no earlier run has used, whatever it left behind.
    for (int n = 1; n <= RunFolderLimit; ++n) {
        const std::wstring folder = Join(backupFolder_, std::to_wstring(n));
        if (fs_.KindOf(folder) != FileSystem::Kind::None)
            continue;
        if (fs_.MakeFolder(folder) != 0)
            return false;
        unsigned long error = 0;
        journal_ = fs_.OpenAppend(Join(folder, JournalFileName), std::nullopt, error);
        if (!journal_) {
            fs_.RemoveFolder(folder);
            return false;
        }
        runFolder_ = folder;
        return Record(JournalBegins());
    }
    return false;
}

bool JournalRun::Record(const std::string& record)
{
    if (!journal_)
        return false;
    if (journal_->Append(record) == 0)
        return true;
    // A record that failed may be on the disk in part: nothing may follow it.
    journal_.reset();
    return false;
}

bool JournalRun::Replace(const std::wstring& source, const std::wstring& target)
{
    if (fs_.KindOf(source) != FileSystem::Kind::File || fs_.KindOf(target) == FileSystem::Kind::Folder)
        return false;
    const auto relativeTarget = RelativeTo(target, programFolder_);
    const auto relativeSource = RelativeTo(source, programFolder_);
    if (!relativeTarget || !relativeSource)
        return false;
    if (runFolder_.empty() && !StartRun())
        return false;
    if (!journal_)
        return false;
    const auto parts = forms::Split(*relativeTarget, L"\\");
    std::wstring relative;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        relative += (relative.empty() ? L"" : L"\\") + parts[i];
        const std::wstring folder = Join(programFolder_, relative);
        const auto kind = fs_.KindOf(folder);
        if (kind == FileSystem::Kind::Folder)
            continue;
        if (kind != FileSystem::Kind::None || !Record(FolderRecord(relative)))
            return false;
        ++steps_;
        if (fs_.MakeFolder(folder) != 0)
            return false;
    }
    JournalStep move;
    move.target = *relativeTarget;
    move.source = *relativeSource;
    if (fs_.KindOf(target) == FileSystem::Kind::File) {
        std::wstring& kept = copies_[forms::UCase(*relativeTarget)];
        if (kept.empty()) {
            const std::wstring name = std::to_wstring(++nextCopy_);
            if (fs_.CopyToNew(target, Join(runFolder_, name)) != 0)
                return false;
            kept = name;
        }
        move.copy = kept;
        move.readOnly = fs_.ReadOnly(target).value_or(false);
    }
    // The downloaded file is on the disk before anything says it was moved.
    if (fs_.Flush(source) != 0)
        return false;
    move.sourceIdentity = fs_.Identity(source);
    if (!move.sourceIdentity || !Record(MoveRecord(move)))
        return false;
    const std::size_t step = steps_++;
    if (move.readOnly && fs_.SetReadOnly(target, false) != 0) {
        Record(TakenBackRecord(step));
        return false;
    }
    if (fs_.Move(source, target) != 0) {
        if (move.readOnly)
            fs_.SetReadOnly(target, true);
        Record(TakenBackRecord(step));
        return false;
    }
    // Without this record the move is still told by its source being gone
    // and the file in place being the source.
    if (const auto placed = fs_.Identity(target))
        Record(MadeRecord(step, *placed));
    return true;
}

bool JournalRun::Commit()
{
    if (runFolder_.empty())
        return true;
    const std::wstring path = Join(runFolder_, JournalFileName);
    const bool committed = Record(CommitRecord());
    journal_.reset();
    // Without the commit on the disk the copies may go only with the
    // journal: a journal left without it is taken back at the next start.
    if (!committed && (DeleteAnyFile(fs_, path) != 0 || fs_.KindOf(path) != FileSystem::Kind::None))
        return false;
    DeleteRunFolder(fs_, runFolder_);
    fs_.RemoveFolder(backupFolder_);
    runFolder_.clear();
    copies_.clear();
    return true;
}

TakenBack JournalRun::Rollback(const RollbackProgress& progress)
{
    TakenBack out;
    if (runFolder_.empty())
        return out;
    journal_.reset();
    RunRecovery run(fs_, runFolder_, programFolder_, out);
    run.Recover(progress);
    if (!out.blocked)
        fs_.RemoveFolder(backupFolder_);
    runFolder_.clear();
    copies_.clear();
    steps_ = 0;
    return out;
}

TakenBack JournalRun::Recover(FileSystem& fs, const std::wstring& backupFolder, const std::wstring& programFolder,
                              const RollbackProgress& progress)
{
    TakenBack out;
    const std::wstring backup = WithoutTrailingSeparator(backupFolder);
    const std::wstring program = WithoutTrailingSeparator(programFolder);
    if (fs.KindOf(backup) != FileSystem::Kind::Folder)
        return out;
    std::vector<std::pair<int, std::wstring>> runs;
    for (const auto& e : fs.List(backup)) {
        if (!e.folder) {
            DeleteAnyFile(fs, Join(backup, e.name));  // no run's: runs keep their files in their folders
            continue;
        }
        if (const auto n = RunNumber(e.name))
            runs.emplace_back(*n, e.name);
    }
    std::ranges::sort(runs);
    for (const auto& [n, name] : runs) {
        RunRecovery run(fs, Join(backup, name), program, out);
        run.Recover(progress);
    }
    fs.RemoveFolder(backup);
    return out;
}

}  // namespace quill::updater
