#include "updater/SingleInstance.h"

#include "forms/lang/Text.h"
#include "updater/FileMoves.h"

#include <cstdint>
#include <cstdio>

namespace quill::updater {
namespace {

// A mutex name may hold no "\": the folder enters it as a hash of its full
// path in upper case.
std::wstring MutexName(const std::wstring& programFolder)
{
    std::wstring folder = forms::UCase(FullPath(programFolder));
    while (!folder.empty() && folder.back() == L'\\')
        folder.pop_back();
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (wchar_t c : folder) {
        hash ^= static_cast<std::uint16_t>(c);
        hash *= 1099511628211ull;
    }
    wchar_t name[64];
    std::swprintf(name, 64, L"Local\\Quillmoor.Update.%016llx", static_cast<unsigned long long>(hash));
    return name;
}

std::wstring ProcessImage(DWORD id)
{
    KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    if (!process)
        return L"";
    std::wstring path(32768, L'\0');
    DWORD size = static_cast<DWORD>(path.size());
    if (!QueryFullProcessImageNameW(process.Get(), 0, path.data(), &size))
        return L"";
    path.resize(size);
    return FullPath(path);
}

// The window of `main`'s that takes the input: main itself, or, while an
// open question disables it, that question (a window main owns, enabled and
// shown; the one last active first). Brought forward in main's place, the
// question stays in sight.
HWND InputWindowOf(HWND main)
{
    if (IsWindowEnabled(main))
        return main;
    const HWND last = GetLastActivePopup(main);
    if (last && last != main && IsWindowVisible(last) && IsWindowEnabled(last))
        return last;
    struct Search {
        HWND owner;
        HWND found = nullptr;
    } search{main};
    EnumThreadWindows(
        GetWindowThreadProcessId(main, nullptr),
        [](HWND h, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            if (GetWindow(h, GW_OWNER) != s->owner || !IsWindowVisible(h) || !IsWindowEnabled(h))
                return TRUE;
            s->found = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found ? search.found : main;
}

}  // namespace

SingleInstance::SingleInstance(const std::wstring& programFolder)
    : mutex_(CreateMutexW(nullptr, TRUE, MutexName(programFolder).c_str()))
{
    acquired_ = mutex_ && GetLastError() != ERROR_ALREADY_EXISTS;
}

bool BringOtherInstanceToFront()
{
    std::wstring own(32768, L'\0');
    own.resize(GetModuleFileNameW(nullptr, own.data(), static_cast<DWORD>(own.size())));
    struct Search {
        std::wstring image;
        HWND found = nullptr;
    } search{FullPath(own)};
    EnumWindows(
        [](HWND h, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            DWORD owner = 0;
            GetWindowThreadProcessId(h, &owner);
            if (owner == GetCurrentProcessId() || !IsWindowVisible(h) || GetWindow(h, GW_OWNER) ||
                !forms::TextEquals(ProcessImage(owner), s->image))
                return TRUE;
            s->found = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        return false;
    if (IsIconic(search.found))
        ShowWindow(search.found, SW_RESTORE);
    SetForegroundWindow(InputWindowOf(search.found));
    return true;
}

}  // namespace quill::updater
