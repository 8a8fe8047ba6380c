#include "updater/FileMoves.h"

#include "forms/lang/Text.h"
#include "updater/KernelHandle.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace quill::updater {
namespace {

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

unsigned long Result(BOOL ok)
{
    if (ok)
        return 0;
    const DWORD error = GetLastError();
    return error != 0 ? error : ERROR_GEN_FAILURE;
}

std::uint64_t Ticks(const FILETIME& t)
{
    return (std::uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

bool WriteAll(HANDLE file, const char* bytes, std::size_t size, DWORD& written)
{
    written = 0;
    while (written < size) {
        DWORD n = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - written, 1u << 20));
        if (!WriteFile(file, bytes + written, chunk, &n, nullptr) || n == 0)
            return false;
        written += n;
    }
    return true;
}

class WindowsAppendFile final : public AppendFile {
public:
    explicit WindowsAppendFile(KernelHandle file) : file_(std::move(file)) {}

    unsigned long Append(std::string_view bytes) override
    {
        if (!file_)
            return ERROR_INVALID_HANDLE;
        DWORD written = 0;
        if (WriteAll(file_.Get(), bytes.data(), bytes.size(), written) && FlushFileBuffers(file_.Get()))
            return 0;
        const unsigned long error = Result(FALSE);
        // A record written in part would join the next one into a line that
        // means something else: it is cut off, or the journal takes no more.
        LARGE_INTEGER back{};
        back.QuadPart = -static_cast<LONGLONG>(written);
        if (written == 0 ||
            !(SetFilePointerEx(file_.Get(), back, nullptr, FILE_CURRENT) && SetEndOfFile(file_.Get()) &&
              FlushFileBuffers(file_.Get())))
            file_.Reset();
        return error;
    }

private:
    KernelHandle file_;
};

}  // namespace

FileSystem::Kind WindowsFileSystem::KindOf(const std::wstring& path)
{
    const DWORD a = GetFileAttributesW(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES)
        return Kind::None;
    return (a & FILE_ATTRIBUTE_DIRECTORY) ? Kind::Folder : Kind::File;
}

std::optional<std::string> WindowsFileSystem::Read(const std::wstring& path)
{
    KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return std::nullopt;
    std::string bytes;
    char buffer[65536];
    for (DWORD got = 0;; bytes.append(buffer, got)) {
        if (!ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr))
            return std::nullopt;
        if (got == 0)
            return bytes;
    }
}

std::unique_ptr<AppendFile> WindowsFileSystem::OpenAppend(const std::wstring& path,
                                                          std::optional<std::uint64_t> keep, unsigned long& error)
{
    KernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  keep ? OPEN_EXISTING : CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr));
    if (!file) {
        error = Result(FALSE);
        return nullptr;
    }
    if (keep) {
        LARGE_INTEGER at{};
        at.QuadPart = static_cast<LONGLONG>(*keep);
        if (!SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN) || !SetEndOfFile(file.Get()) ||
            !FlushFileBuffers(file.Get())) {
            error = Result(FALSE);
            return nullptr;
        }
    }
    return std::make_unique<WindowsAppendFile>(std::move(file));
}

unsigned long WindowsFileSystem::MakeFolder(const std::wstring& path)
{
    return Result(CreateDirectoryW(path.c_str(), nullptr));
}

unsigned long WindowsFileSystem::RemoveFolder(const std::wstring& path)
{
    return Result(RemoveDirectoryW(path.c_str()));
}

unsigned long WindowsFileSystem::CopyToNew(const std::wstring& from, const std::wstring& to)
{
    unsigned long error = 0;
    {
        KernelHandle in(CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!in)
            return Result(FALSE);
        KernelHandle out(CreateFileW(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                     nullptr));
        if (!out)
            return Result(FALSE);
        std::vector<char> buffer(1 << 20);
        for (;;) {
            DWORD got = 0, written = 0;
            if (!ReadFile(in.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
                error = Result(FALSE);
                break;
            }
            if (got == 0) {
                error = Result(FlushFileBuffers(out.Get()));
                break;
            }
            if (!WriteAll(out.Get(), buffer.data(), got, written)) {
                error = Result(FALSE);
                break;
            }
        }
    }
    if (error != 0)
        DeleteFileW(to.c_str());
    return error;
}

unsigned long WindowsFileSystem::Flush(const std::wstring& path)
{
    KernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return Result(FALSE);
    return Result(FlushFileBuffers(file.Get()));
}

unsigned long WindowsFileSystem::Move(const std::wstring& from, const std::wstring& to)
{
    const DWORD flags = KindOf(from) == Kind::Folder ? MOVEFILE_WRITE_THROUGH
                                                     : MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (MoveFileExW(from.c_str(), to.c_str(), flags))
        return 0;
    return WhyNotWritten(to, Result(FALSE));
}

unsigned long WindowsFileSystem::Delete(const std::wstring& path)
{
    if (DeleteFileW(path.c_str()))
        return 0;
    return WhyNotWritten(path, Result(FALSE));
}

std::optional<FileIdentity> WindowsFileSystem::Identity(const std::wstring& path)
{
    KernelHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file || !GetFileInformationByHandle(file.Get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    FileIdentity id;
    id.size = (std::uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    id.lastWrite = Ticks(info.ftLastWriteTime);
    id.volume = info.dwVolumeSerialNumber;
    id.idLow = (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    FILE_BASIC_INFO basic{};
    if (GetFileInformationByHandleEx(file.Get(), FileBasicInfo, &basic, sizeof basic))
        id.changeTime = static_cast<std::uint64_t>(basic.ChangeTime.QuadPart);
    return id;
}

std::optional<bool> WindowsFileSystem::ReadOnly(const std::wstring& path)
{
    const DWORD a = GetFileAttributesW(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES)
        return std::nullopt;
    return (a & FILE_ATTRIBUTE_READONLY) != 0;
}

unsigned long WindowsFileSystem::SetReadOnly(const std::wstring& path, bool readOnly)
{
    const DWORD a = GetFileAttributesW(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES)
        return Result(FALSE);
    const DWORD next = readOnly ? a | FILE_ATTRIBUTE_READONLY : a & ~DWORD(FILE_ATTRIBUTE_READONLY);
    return next == a ? 0 : Result(SetFileAttributesW(path.c_str(), next));
}

std::vector<FileSystem::Entry> WindowsFileSystem::List(const std::wstring& folder)
{
    std::vector<Entry> entries;
    WIN32_FIND_DATAW found;
    FindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (!search)
        return entries;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            entries.push_back({name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileW(search.Get(), &found));
    return entries;
}

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

namespace {

// A path with every part that exists in its long form: one file, however
// it is spelled ("TALLIV~1.EXE"), is one target.
std::wstring LongName(const std::wstring& path)
{
    const DWORD n = GetLongPathNameW(path.c_str(), nullptr, 0);
    if (n != 0) {
        std::wstring full(n, L'\0');
        const DWORD written = GetLongPathNameW(path.c_str(), full.data(), n);
        if (written != 0 && written < n) {
            full.resize(written);
            return full;
        }
    }
    const std::size_t sep = path.rfind(L'\\');
    if (sep == std::wstring::npos || sep < 3)
        return path;
    return LongName(path.substr(0, sep)) + path.substr(sep);
}

}  // namespace

MoveJournal::MoveJournal(std::wstring backupFolder, std::wstring programFolder)
    : run_(fs_, LongName(FullPath(backupFolder)), LongName(FullPath(programFolder)))
{
}

MoveJournal::~MoveJournal() = default;

bool MoveJournal::Replace(const std::wstring& source, const std::wstring& target)
{
    return run_.Replace(LongName(FullPath(source)), LongName(FullPath(target)));
}

bool MoveJournal::Commit()
{
    return run_.Commit();
}

TakenBack MoveJournal::Rollback(const RollbackProgress& progress)
{
    return run_.Rollback(progress);
}

TakenBack MoveJournal::Recover(const std::wstring& backupFolder, const std::wstring& programFolder,
                               const RollbackProgress& progress)
{
    WindowsFileSystem fs;
    return JournalRun::Recover(fs, LongName(FullPath(backupFolder)), LongName(FullPath(programFolder)), progress);
}

}  // namespace quill::updater
