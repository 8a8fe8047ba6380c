#include "forms/Files.h"

#include "forms/lang/Ansi.h"
#include "forms/lang/Error.h"

#include <windows.h>

#include <memory>

namespace quill::forms {

namespace {

// Reads of whole files are bounded: nothing the program reads comes near.
constexpr int64_t kMaxRead = 512ll * 1024 * 1024;

[[noreturn]] void Fail(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
        throw RuntimeError(kFileNotFound);
    case ERROR_PATH_NOT_FOUND:
        throw RuntimeError(kPathNotFound);
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        throw RuntimeError(kFileAlreadyExists);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        throw RuntimeError(kPermissionDenied);
    default:
        throw RuntimeError(kPathFileAccessError);
    }
}

struct HandleCloser {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
using FileHandle = std::unique_ptr<void, HandleCloser>;

FileHandle Open(const std::wstring& path, DWORD access, DWORD disposition)
{
    HANDLE h = CreateFileW(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE)
        Fail(GetLastError());
    return FileHandle(h);
}

}  // namespace

bool FileExists(const std::wstring& path)
{
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

void Kill(const std::wstring& path)
{
    if (!DeleteFileW(path.c_str()))
        Fail(GetLastError());
}

void Name(const std::wstring& from, const std::wstring& to)
{
    if (!FileExists(from) && GetFileAttributesW(from.c_str()) == INVALID_FILE_ATTRIBUTES)
        throw RuntimeError(kFileNotFound);
    if (GetFileAttributesW(to.c_str()) != INVALID_FILE_ATTRIBUTES)
        throw RuntimeError(kFileAlreadyExists);
    if (!MoveFileW(from.c_str(), to.c_str()))
        Fail(GetLastError());
}

int64_t FileLen(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA d{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &d))
        Fail(GetLastError());
    return (static_cast<int64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
}

Bytes ReadFileBytes(const std::wstring& path)
{
    FileHandle f = Open(path, GENERIC_READ, OPEN_EXISTING);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(f.get(), &size))
        Fail(GetLastError());
    if (size.QuadPart > kMaxRead)
        throw RuntimeError(kOutOfMemory);
    Bytes bytes(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    if (!bytes.empty() &&
        (!ReadFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) ||
         got != bytes.size()))
        throw RuntimeError(kInputPastEndOfFile);
    return bytes;
}

void WriteFileBytes(const std::wstring& path, const Bytes& bytes)
{
    FileHandle f = Open(path, GENERIC_WRITE, CREATE_ALWAYS);
    DWORD put = 0;
    if (!bytes.empty() &&
        (!WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) ||
         put != bytes.size()))
        throw RuntimeError(kDeviceIoError);
}

std::wstring GetPrivateProfileStringA(const std::wstring& section, const std::wstring& key,
                                      const std::wstring& defaultValue, const std::wstring& buffer,
                                      const std::wstring& file)
{
    std::string bytes = TextToAnsi(buffer);
    if (bytes.empty())
        return {};
    std::string s = TextToAnsi(section), k = TextToAnsi(key), d = TextToAnsi(defaultValue),
                f = TextToAnsi(file);
    ::GetPrivateProfileStringA(s.c_str(), k.c_str(), d.c_str(), bytes.data(),
                               static_cast<DWORD>(bytes.size()), f.c_str());
    return AnsiToText(bytes);
}

bool WritePrivateProfileStringA(const std::wstring& section, const std::wstring& key,
                                const std::wstring& value, const std::wstring& file)
{
    std::string s = TextToAnsi(section), k = TextToAnsi(key), v = TextToAnsi(value), f = TextToAnsi(file);
    return ::WritePrivateProfileStringA(s.c_str(), k.c_str(), v.c_str(), f.c_str()) != 0;
}

}  // namespace quill::forms
