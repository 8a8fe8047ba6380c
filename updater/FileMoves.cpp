#include "updater/FileMoves.h"

#include "forms/Files.h"
#include "forms/lang/Text.h"

#include <windows.h>

namespace quill::updater {

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

bool CreatePath(const std::wstring& Cpstr)
{
    if (Cpstr.find(L":\\") == std::wstring::npos)
        return false;
    std::wstring root = Cpstr.substr(0, 3);
    std::wstring rest = forms::Replace(Cpstr.substr(std::min<std::size_t>(3, Cpstr.size())), L"/", L"\\");
    const std::size_t last = rest.rfind(L'\\');
    if (last == std::wstring::npos)
        return false;
    rest.erase(last);
    for (const std::wstring& part : forms::Split(rest, L"\\")) {
        root += part;
        if (!IsFolder(root) && !CreateDirectoryW(root.c_str(), nullptr) && !IsFolder(root))
            return false;
        root += L"\\";
    }
    return true;
}

MoveJournal::MoveJournal(std::wstring backupFolder) : backupFolder_(std::move(backupFolder)) {}

MoveJournal::~MoveJournal() = default;

bool MoveJournal::Replace(const std::wstring& source, const std::wstring& target)
{
    if (!forms::FileExists(source) || IsFolder(target))
        return false;
    if (!CreatePath(target))
        return false;
    std::wstring backup;
    if (forms::FileExists(target)) {
        for (const auto& [kept, copy] : backups_)
            if (forms::TextEquals(kept, target))
                backup = copy;
        if (backup.empty()) {
            if (!IsFolder(backupFolder_) && !CreateDirectoryW(backupFolder_.c_str(), nullptr))
                return false;
            backup = backupFolder_ + L"\\" + std::to_wstring(++nextBackup_);
            if (!CopyFileW(target.c_str(), backup.c_str(), TRUE))
                return false;
            backups_.emplace_back(target, backup);
        }
    }
    if (!MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return false;
    moves_.push_back({target, backup});
    return true;
}

void MoveJournal::Commit()
{
    moves_.clear();
    for (const auto& [target, copy] : backups_)
        DeleteFileW(copy.c_str());
    backups_.clear();
    RemoveBackupFolder();
}

void MoveJournal::Rollback()
{
    for (auto move = moves_.rbegin(); move != moves_.rend(); ++move) {
        if (move->backup.empty())
            DeleteFileW(move->target.c_str());
        else
            MoveFileExW(move->backup.c_str(), move->target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    }
    // Copies of files that were never replaced go; a copy that could not be
    // put back stays in the backup folder.
    for (const auto& [target, copy] : backups_) {
        bool moved = false;
        for (const Move& move : moves_)
            moved = moved || move.backup == copy;
        if (!moved)
            DeleteFileW(copy.c_str());
    }
    moves_.clear();
    backups_.clear();
    RemoveBackupFolder();
}

void MoveJournal::RemoveBackupFolder()
{
    RemoveDirectoryW(backupFolder_.c_str());
}

}  // namespace quill::updater
