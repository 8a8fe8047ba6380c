#include "updater/FileMoves.h"

#include "forms/Files.h"
#include "forms/lang/Text.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace quill::updater {
namespace {

const wchar_t JournalName[] = L"journal";
constexpr int RunFolderLimit = 10000;

// The folders above an absolute file path, the outermost first (below the
// drive's root); nothing for a path without ":\" or directly in the root.
std::optional<std::vector<std::wstring>> FoldersAbove(const std::wstring& path)
{
    if (path.find(L":\\") == std::wstring::npos)
        return std::nullopt;
    std::wstring folder = path.substr(0, 3);
    std::wstring rest = forms::Replace(path.substr(std::min<std::size_t>(3, path.size())), L"/", L"\\");
    const std::size_t last = rest.rfind(L'\\');
    if (last == std::wstring::npos)
        return std::nullopt;
    rest.erase(last);
    std::vector<std::wstring> folders;
    for (const std::wstring& part : forms::Split(rest, L"\\")) {
        folder += part;
        folders.push_back(folder);
        folder += L"\\";
    }
    return folders;
}

bool MakeFolder(const std::wstring& folder)
{
    return IsFolder(folder) || CreateDirectoryW(folder.c_str(), nullptr) || IsFolder(folder);
}

// A read-only file is deleted or replaced like any other.
void ClearReadOnly(const std::wstring& path)
{
    const DWORD a = GetFileAttributesW(path.c_str());
    if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesW(path.c_str(), a & ~FILE_ATTRIBUTE_READONLY);
}

bool DeleteAnyFile(const std::wstring& path)
{
    ClearReadOnly(path);
    return DeleteFileW(path.c_str()) != 0;
}

void DeleteTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(folder + L"\\" + name);
            else
                DeleteAnyFile(folder + L"\\" + name);
        } while (FindNextFileW(h, &found));
        FindClose(h);
    }
    ClearReadOnly(folder);
    RemoveDirectoryW(folder.c_str());
}

// One step a journal records: a folder made, or a file moved into place.
struct Step {
    enum class Kind { Folder, Move } kind = Kind::Move;
    std::wstring path;                   // the folder, or the move's target
    std::wstring copy;                   // what the target held; "" when it was new
    std::optional<std::wstring> source;  // unknown in journals of the earlier form
    bool ended = false;                  // the move is recorded as made
};

struct Journal {
    bool committed = false;
    std::vector<Step> steps;
};

// Records: "D" folder; "M" target copy source, before a move (the earlier
// form has no source); "F" after it, for the "M" before; "K" at the commit.
// Only complete records count: one cut short by a crash was never acted on.
Journal Parse(const std::wstring& text)
{
    Journal journal;
    std::size_t start = 0;
    for (std::size_t end = text.find(L'\n'); end != std::wstring::npos; end = text.find(L'\n', start)) {
        const auto fields = forms::Split(text.substr(start, end - start), L"\t");
        start = end + 1;
        if (fields.size() == 1 && fields[0] == L"K") {
            journal.committed = true;
        } else if (fields.size() == 1 && fields[0] == L"F") {
            if (!journal.steps.empty() && journal.steps.back().kind == Step::Kind::Move)
                journal.steps.back().ended = true;
        } else if (fields.size() == 2 && fields[0] == L"D") {
            journal.steps.push_back(
                {.kind = Step::Kind::Folder, .path = fields[1], .copy = {}, .source = {}, .ended = false});
        } else if ((fields.size() == 3 || fields.size() == 4) && fields[0] == L"M") {
            // A move tried again (its record follows the failed try's at
            // once): the try before it failed, so never happened.
            if (!journal.steps.empty()) {
                const Step& last = journal.steps.back();
                if (last.kind == Step::Kind::Move && !last.ended && forms::TextEquals(last.path, fields[1]))
                    journal.steps.pop_back();
            }
            journal.steps.push_back({.kind = Step::Kind::Move,
                                     .path = fields[1],
                                     .copy = fields[2],
                                     .source = fields.size() == 4 ? std::optional(fields[3]) : std::nullopt,
                                     .ended = false});
        }
    }
    return journal;
}

std::wstring Format(const std::vector<Step>& steps)
{
    std::wstring text;
    for (const Step& s : steps) {
        if (s.kind == Step::Kind::Folder) {
            text += L"D\t" + s.path + L"\n";
            continue;
        }
        text += L"M\t" + s.path + L"\t" + s.copy + (s.source ? L"\t" + *s.source : L"") + L"\n";
        if (s.ended)
            text += L"F\n";
    }
    return text;
}

// A whole file, or the system's error.
std::optional<std::string> ReadAll(const std::wstring& path, DWORD& error)
{
    KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        error = GetLastError();
        return std::nullopt;
    }
    std::string bytes;
    char buffer[65536];
    for (DWORD got = 0;; bytes.append(buffer, got)) {
        if (!ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr)) {
            error = GetLastError();
            return std::nullopt;
        }
        if (got == 0)
            return bytes;
    }
}

bool SameBytes(const std::wstring& a, const std::wstring& b)
{
    DWORD error = 0;
    const auto first = ReadAll(a, error);
    const auto second = first ? ReadAll(b, error) : std::nullopt;
    return first && second && *first == *second;
}

// Replaces a file by the text in one step: a reader finds the old text or the
// new, never a part of it.
bool WriteWhole(const std::wstring& path, const std::wstring& text)
{
    const std::wstring next = path + L".new";
    {
        KernelHandle file(CreateFileW(next.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr));
        const DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        DWORD written = 0;
        if (!file || !WriteFile(file.Get(), text.data(), size, &written, nullptr) || written != size ||
            !FlushFileBuffers(file.Get()))
            return false;
    }
    return MoveFileExW(next.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

// Whether a move the journal records took place: its end is recorded, or its
// source is gone. In the earlier form a move with a copy that still holds the
// bytes in place has nothing to take back either way.
bool Happened(const Step& move)
{
    if (move.ended)
        return true;
    if (move.source)
        return !forms::FileExists(*move.source);
    return move.copy.empty() || !forms::FileExists(move.copy) || !SameBytes(move.copy, move.path);
}

// Why a file could not be replaced or deleted. The system says "access
// denied" for a file that is open elsewhere as for one it may not write: one
// that cannot be opened alone is in use.
DWORD WhyNotWritten(const std::wstring& path, DWORD error)
{
    if (error == ERROR_ACCESS_DENIED) {
        KernelHandle alone(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!alone && GetLastError() == ERROR_SHARING_VIOLATION)
            return ERROR_SHARING_VIOLATION;
    }
    return error;
}

// Takes one move back: 0, or the system's error.
DWORD TakeBack(const Step& move)
{
    if (!move.copy.empty()) {
        if (!forms::FileExists(move.copy))
            return 0;  // put back already, before the journal said so
        ClearReadOnly(move.path);
        if (!MoveFileExW(move.copy.c_str(), move.path.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return WhyNotWritten(move.path, GetLastError());
        return 0;
    }
    if (forms::FileExists(move.path) && !DeleteAnyFile(move.path))
        return WhyNotWritten(move.path, GetLastError());
    return 0;
}

// Takes back what the journal of a run folder records, the last step first,
// each leaving the journal as it is taken back. What cannot be taken back
// now stays in the journal, with its copy and the folders made for it, and
// the first such step is returned; with nothing left the run folder goes.
std::optional<BlockedStep> RollBackRun(const std::wstring& runFolder)
{
    const std::wstring journalPath = runFolder + L"\\" + JournalName;
    DWORD error = 0;
    const auto bytes = ReadAll(journalPath, error);
    if (!bytes)
        return BlockedStep{journalPath, error};
    std::wstring text(bytes->size() / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), bytes->data(), text.size() * sizeof(wchar_t));
    Journal journal = Parse(text);

    std::vector<Step> staying;  // the last first
    std::optional<BlockedStep> blocked;
    for (std::size_t i = journal.committed ? 0 : journal.steps.size(); i-- > 0;) {
        const Step& step = journal.steps[i];
        if (step.kind == Step::Kind::Folder) {
            const bool needed = std::ranges::any_of(staying, [&](const Step& s) {
                return s.kind == Step::Kind::Move && IsWithinFolder(s.path, step.path);
            });
            if (needed)
                staying.push_back(step);
            else
                RemoveDirectoryW(step.path.c_str());  // only while empty
            continue;
        }
        if (!Happened(step))
            continue;
        if (const DWORD failed = TakeBack(step)) {
            Step kept = step;
            kept.ended = true;
            staying.push_back(std::move(kept));
            if (!blocked)
                blocked = BlockedStep{step.path, failed};
            continue;
        }
        std::vector<Step> left(journal.steps.begin(), journal.steps.begin() + static_cast<std::ptrdiff_t>(i));
        left.insert(left.end(), staying.rbegin(), staying.rend());
        WriteWhole(journalPath, Format(left));
    }
    if (!blocked) {
        DeleteTree(runFolder);
        return std::nullopt;
    }
    std::vector<Step> left(staying.rbegin(), staying.rend());
    WriteWhole(journalPath, Format(left));
    // Only the copies still needed stay beside the journal.
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((runFolder + L"\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring path = runFolder + L"\\" + found.cFileName;
            // By name alone: the journal may spell the run's folder otherwise
            // (a short name, another mapping) than the folder looked in here.
            const bool kept = std::ranges::any_of(left, [&](const Step& s) {
                return !s.copy.empty() &&
                       forms::TextEquals(s.copy.substr(s.copy.find_last_of(L"\\/") + 1), found.cFileName);
            });
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !kept &&
                !forms::TextEquals(found.cFileName, JournalName))
                DeleteAnyFile(path);
        } while (FindNextFileW(h, &found));
        FindClose(h);
    }
    return blocked;
}

}  // namespace

bool IsFolder(const std::wstring& path)
{
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring FullPath(const std::wstring& path)
{
    const DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0)
        return L"";
    std::wstring full(n, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    full.resize(written < n ? written : 0);
    return full;
}

bool IsWithinFolder(const std::wstring& path, const std::wstring& folder)
{
    std::wstring outer = FullPath(folder);
    std::wstring inner = FullPath(path);
    if (outer.empty() || inner.empty())
        return false;
    if (outer.back() != L'\\')
        outer += L'\\';
    if (inner.back() != L'\\')
        inner += L'\\';
    return inner.size() >= outer.size() && forms::TextEquals(inner.substr(0, outer.size()), outer);
}

bool CreatePath(const std::wstring& Cpstr)
{
    const auto folders = FoldersAbove(Cpstr);
    if (!folders)
        return false;
    for (const std::wstring& folder : *folders)
        if (!MakeFolder(folder))
            return false;
    return true;
}

MoveJournal::MoveJournal(std::wstring backupFolder) : backupFolder_(std::move(backupFolder)) {}

MoveJournal::~MoveJournal() = default;

bool MoveJournal::StartRun()
{
    if (!MakeFolder(backupFolder_))
        return false;
    // A folder no earlier run has used, whatever it left behind.
    for (int n = 1; n <= RunFolderLimit; ++n) {
        const std::wstring folder = backupFolder_ + L"\\" + std::to_wstring(n);
        if (!CreateDirectoryW(folder.c_str(), nullptr)) {
            if (GetLastError() == ERROR_ALREADY_EXISTS)
                continue;
            return false;
        }
        journal_.Reset(CreateFileW((folder + L"\\" + JournalName).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                   nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH,
                                   nullptr));
        if (!journal_) {
            RemoveDirectoryW(folder.c_str());
            return false;
        }
        runFolder_ = folder;
        return true;
    }
    return false;
}

bool MoveJournal::Record(const std::wstring& record)
{
    const std::wstring line = record + L"\n";
    const DWORD size = static_cast<DWORD>(line.size() * sizeof(wchar_t));
    DWORD written = 0;
    if (WriteFile(journal_.Get(), line.data(), size, &written, nullptr) && written == size &&
        FlushFileBuffers(journal_.Get()))
        return true;
    // A record written in part would join the next one into a line that
    // means something else: it is cut off, or the journal takes no more.
    if (written != 0) {
        LARGE_INTEGER back{};
        back.QuadPart = -static_cast<LONGLONG>(written);
        if (!SetFilePointerEx(journal_.Get(), back, nullptr, FILE_CURRENT) || !SetEndOfFile(journal_.Get()))
            journal_.Reset();
    }
    return false;
}

bool MoveJournal::Replace(const std::wstring& source, const std::wstring& target)
{
    if (!forms::FileExists(source) || IsFolder(target))
        return false;
    const auto folders = FoldersAbove(target);
    if (!folders)
        return false;
    if (runFolder_.empty() && !StartRun())
        return false;
    if (!journal_)
        return false;
    for (const std::wstring& folder : *folders) {
        if (IsFolder(folder))
            continue;
        if (!Record(L"D\t" + folder) || !MakeFolder(folder))
            return false;
    }
    std::wstring copy;
    if (forms::FileExists(target)) {
        std::wstring& kept = copies_[forms::UCase(target)];
        if (kept.empty()) {
            const std::wstring made = runFolder_ + L"\\" + std::to_wstring(++nextCopy_);
            if (!CopyFileW(target.c_str(), made.c_str(), TRUE))
                return false;
            kept = made;
        }
        copy = kept;
    }
    if (!Record(L"M\t" + target + L"\t" + copy + L"\t" + source))
        return false;
    ClearReadOnly(target);
    if (!MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return false;
    // Without this record the move is still told by its source being gone.
    Record(L"F");
    return true;
}

void MoveJournal::Commit()
{
    if (runFolder_.empty())
        return;
    Record(L"K");
    journal_.Reset();
    DeleteAnyFile(runFolder_ + L"\\" + JournalName);
    DeleteTree(runFolder_);
    RemoveDirectoryW(backupFolder_.c_str());
    runFolder_.clear();
    copies_.clear();
}

std::optional<BlockedStep> MoveJournal::Rollback()
{
    if (runFolder_.empty())
        return std::nullopt;
    journal_.Reset();
    auto blocked = RollBackRun(runFolder_);
    if (!blocked)
        RemoveDirectoryW(backupFolder_.c_str());
    runFolder_.clear();
    copies_.clear();
    return blocked;
}

std::optional<BlockedStep> MoveJournal::Recover(const std::wstring& backupFolder)
{
    if (!IsFolder(backupFolder))
        return std::nullopt;
    std::optional<BlockedStep> blocked;
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((backupFolder + L"\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            const std::wstring path = backupFolder + L"\\" + name;
            if (name == L"." || name == L"..")
                continue;
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                DeleteAnyFile(path);
                continue;
            }
            const std::wstring journal = path + L"\\" + JournalName;
            // A rewrite cut short: the journal itself is whole.
            DeleteAnyFile(journal + L".new");
            if (!forms::FileExists(journal)) {
                DeleteTree(path);
                continue;
            }
            auto left = RollBackRun(path);
            if (left && !blocked)
                blocked = std::move(left);
        } while (FindNextFileW(h, &found));
        FindClose(h);
    }
    RemoveDirectoryW(backupFolder.c_str());
    return blocked;
}

}  // namespace quill::updater
