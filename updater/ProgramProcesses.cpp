#include "updater/ProgramProcesses.h"

#include "forms/lang/Text.h"
#include "updater/FileMoves.h"
#include "updater/KernelHandle.h"

#include <windows.h>
#include <tlhelp32.h>

#include <vector>

namespace quill::updater {
namespace {

std::wstring ImagePath(HANDLE process)
{
    std::wstring path(32768, L'\0');
    DWORD size = static_cast<DWORD>(path.size());
    if (!QueryFullProcessImageNameW(process, 0, path.data(), &size))
        return L"";
    path.resize(size);
    return path;
}

}  // namespace

void KillProcessByName(const std::wstring& exeName, const std::wstring& programFolder, unsigned waitMs)
{
    const std::wstring image = FullPath(programFolder + L"\\" + exeName);
    // Without a path of its own, a process whose image cannot be read would pass for it.
    if (image.empty())
        return;
    KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return;
    std::vector<KernelHandle> ended;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
         more = Process32NextW(snapshot.Get(), &entry)) {
        if (forms::LCase(entry.szExeFile) != forms::LCase(exeName) ||
            entry.th32ProcessID == GetCurrentProcessId())
            continue;
        KernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION,
                                         FALSE, entry.th32ProcessID));
        if (!process || !forms::TextEquals(FullPath(ImagePath(process.Get())), image))
            continue;
        if (TerminateProcess(process.Get(), 0))
            ended.push_back(std::move(process));
    }
    // The file stays in use until the process has gone, so the move waits for that.
    const ULONGLONG deadline = GetTickCount64() + waitMs;
    for (const KernelHandle& process : ended) {
        const ULONGLONG now = GetTickCount64();
        WaitForSingleObject(process.Get(), now < deadline ? static_cast<DWORD>(deadline - now) : 0);
    }
}

}  // namespace quill::updater
