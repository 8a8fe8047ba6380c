#include "updater/FileMoves.h"

#include "forms/Files.h"
#include "forms/lang/Text.h"

#include <windows.h>

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

// The journal's complete records (a record cut short by a crash was never
// acted on), each split at its tabs; nothing when it cannot be read.
std::optional<std::vector<std::vector<std::wstring>>> ReadJournal(const std::wstring& path)
{
    forms::Bytes bytes;
    try {
        bytes = forms::ReadFileBytes(path);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
    std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(text.size() * sizeof(wchar_t)),
              reinterpret_cast<unsigned char*>(text.data()));
    std::vector<std::vector<std::wstring>> records;
    std::size_t start = 0;
    for (std::size_t end = text.find(L'\n'); end != std::wstring::npos; end = text.find(L'\n', start)) {
        records.push_back(forms::Split(text.substr(start, end - start), L"\t"));
        start = end + 1;
    }
    return records;
}

// Takes back what a journal records, the last step first. True when nothing
// is left to take back: every copy is in place again, or the run committed.
bool Undo(const std::wstring& journal)
{
    const auto read = ReadJournal(journal);
    if (!read)
        return false;
    const auto& records = *read;
    for (const auto& record : records)
        if (record.size() == 1 && record[0] == L"K")
            return true;
    bool complete = true;
    for (auto record = records.rbegin(); record != records.rend(); ++record) {
        const auto& fields = *record;
        if (fields.size() == 2 && fields[0] == L"D") {
            RemoveDirectoryW(fields[1].c_str());  // only while empty
        } else if (fields.size() == 3 && fields[0] == L"M") {
            const std::wstring& target = fields[1];
            const std::wstring& copy = fields[2];
            if (copy.empty()) {
                if (forms::FileExists(target))
                    DeleteAnyFile(target);
            } else if (forms::FileExists(copy)) {
                ClearReadOnly(target);
                if (!MoveFileExW(copy.c_str(), target.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
                    complete = false;
            }
        }
    }
    return complete;
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
    return WriteFile(journal_.Get(), line.data(), size, &written, nullptr) && written == size &&
           FlushFileBuffers(journal_.Get());
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
    if (!Record(L"M\t" + target + L"\t" + copy))
        return false;
    ClearReadOnly(target);
    return MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
           0;
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

void MoveJournal::Rollback()
{
    if (runFolder_.empty())
        return;
    journal_.Reset();
    if (Undo(runFolder_ + L"\\" + JournalName)) {
        DeleteTree(runFolder_);
        RemoveDirectoryW(backupFolder_.c_str());
    }
    runFolder_.clear();
    copies_.clear();
}

void MoveJournal::Recover(const std::wstring& backupFolder)
{
    if (!IsFolder(backupFolder))
        return;
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
            if (!forms::FileExists(journal) || Undo(journal))
                DeleteTree(path);
        } while (FindNextFileW(h, &found));
        FindClose(h);
    }
    RemoveDirectoryW(backupFolder.c_str());
}

}  // namespace quill::updater
