#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace quill::updater::testing {

TempFolder::TempFolder()
{
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static int serial = 0;
    path_ = std::wstring(base) + L"quill-updater-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(++serial);
    if (!path_.empty() && path_.back() == L'\\')
        path_.pop_back();
    if (!CreateDirectoryW(path_.c_str(), nullptr))
        throw std::runtime_error("cannot create a test folder");
}

TempFolder::~TempFolder()
{
    RemoveTree(path_);
}

void RemoveTree(const std::wstring& path)
{
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring child = path + L"\\" + name;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileW(child.c_str());
        } while (FindNextFileW(h, &found));
        FindClose(h);
    }
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_DIRECTORY);
    RemoveDirectoryW(path.c_str());
}

std::wstring ProgramFile(int i)
{
    return L"lib\\f" + std::to_wstring(i) + L".dat";
}

void WriteEarlierRun(const std::wstring& program, int moves)
{
    const std::wstring run = program + L"\\update\\~backup\\1";
    std::wstring journal;
    for (int i = 0; i < moves; ++i) {
        const std::wstring copy = run + L"\\" + std::to_wstring(i + 1);
        WriteBytes(program + L"\\" + ProgramFile(i), "new");
        WriteBytes(copy, "old");
        journal += L"M\t" + program + L"\\" + ProgramFile(i) + L"\t" + copy + L"\t" + program + L"\\update\\" +
                   ProgramFile(i) + L"\nF\n";
    }
    WriteBytes(run + L"\\journal",
               std::string(reinterpret_cast<const char*>(journal.data()), journal.size() * sizeof(wchar_t)));
}

std::wstring Fixture(const std::wstring& name)
{
    std::wstring folder =
        L"Z:" + std::wstring(QUILL_UPDATER_FIXTURES, QUILL_UPDATER_FIXTURES + strlen(QUILL_UPDATER_FIXTURES));
    for (auto& c : folder)
        if (c == L'/')
            c = L'\\';
    return folder + L"\\" + name;
}

void SetWritten(const std::wstring& path, int days)
{
    KernelHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file) << "no file to set the time of";
    const std::uint64_t ticks = 132223104000000000ull + std::uint64_t(days) * 864000000000ull;
    FILETIME t{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    ASSERT_TRUE(SetFileTime(file.Get(), nullptr, nullptr, &t));
}

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    for (std::size_t i = path.find(L'\\', 3); i != std::wstring::npos; i = path.find(L'\\', i + 1))
        CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot write a test file");
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

HANDLE StartHoldingMainProgram(const std::wstring& path)
{
    if (!CopyFileW(Fixture(L"fake_tallivo_13.exe").c_str(), path.c_str(), FALSE))
        throw std::runtime_error("cannot copy the main program");
    return StartHolding(path);
}

HANDLE StartHolding(const std::wstring& path)
{
    static int serial = 0;
    const std::wstring eventName =
        L"quill-hold-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++serial);
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, eventName.c_str());
    std::wstring command = L"\"" + path + L"\" hold " + eventName;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        throw std::runtime_error("cannot start the main program");
    CloseHandle(pi.hThread);
    HANDLE both[] = {ready, pi.hProcess};
    const DWORD woke = WaitForMultipleObjects(2, both, FALSE, INFINITE);
    CloseHandle(ready);
    if (woke != WAIT_OBJECT_0)
        throw std::runtime_error("the main program ended before it held its file");
    return pi.hProcess;
}

}  // namespace quill::updater::testing
