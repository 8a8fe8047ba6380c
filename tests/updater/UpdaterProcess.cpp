#include "UpdaterProcess.h"

#include "tests/support/Pump.h"
#include "tests/support/ReferenceService.h"

#include <gtest/gtest.h>

namespace quill::updater::testing {

std::wstring ProgramDir()
{
    return test::UnixToWine(QUILL_PROGRAM_DIR);
}

Started Start(const std::wstring& exe, DWORD& id)
{
    std::wstring command = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const std::wstring folder = exe.substr(0, exe.rfind(L'\\'));
    EXPECT_TRUE(CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               folder.c_str(), &si, &pi));
    CloseHandle(pi.hThread);
    id = pi.dwProcessId;
    return Started(pi.hProcess);
}

HWND WindowOf(DWORD process, const wchar_t* className, const std::wstring& title)
{
    struct Search {
        DWORD process;
        const wchar_t* className;
        std::wstring title;
        HWND found = nullptr;
    } search{process, className, title};
    EnumWindows(
        [](HWND h, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            DWORD owner = 0;
            GetWindowThreadProcessId(h, &owner);
            wchar_t text[256] = {}, cls[64] = {};
            GetWindowTextW(h, text, 256);
            GetClassNameW(h, cls, 64);
            if (owner == s->process && IsWindowVisible(h) && s->title == text &&
                (!s->className || lstrcmpiW(cls, s->className) == 0)) {
                s->found = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> ListBoxes(HWND window)
{
    std::vector<HWND> found;
    EnumChildWindows(
        window,
        [](HWND h, LPARAM p) -> BOOL {
            wchar_t cls[64] = {};
            GetClassNameW(h, cls, 64);
            if (lstrcmpiW(cls, L"ListBox") == 0)
                reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::wstring StaticText(HWND box)
{
    std::wstring longest;
    EnumChildWindows(
        box,
        [](HWND h, LPARAM p) -> BOOL {
            wchar_t text[512] = {};
            GetWindowTextW(h, text, 512);
            auto* best = reinterpret_cast<std::wstring*>(p);
            if (wcslen(text) > best->size())
                *best = text;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&longest));
    return longest;
}

void Install(const TempFolder& program)
{
    ASSERT_TRUE(
        CopyFileW((ProgramDir() + L"\\update.exe").c_str(), (program / L"update.exe").c_str(), FALSE));
    CopyFileW(Fixture(L"fake_tallivo_13.exe").c_str(), (program / L"tallivo.exe").c_str(), FALSE);
}

HWND WizardOf(DWORD process)
{
    HWND window = nullptr;
    test::PumpUntil([&] { return (window = WindowOf(process, nullptr, L"Quillmoor - 在线升级程序\t")); },
                    "the updater's window");
    return window;
}

bool Exited(const KernelHandle& process)
{
    return WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0;
}

}  // namespace quill::updater::testing
