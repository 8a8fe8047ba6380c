#include "UpdateProcess.h"

#include "tests/support/Input.h"
#include "tests/support/Pump.h"
#include "tests/support/ReferenceService.h"
#include "tests/support/ScreenCapture.h"

#include <gtest/gtest.h>

namespace quill::updater::testing {
namespace {

const wchar_t WizardTitle[] = L"Quillmoor - 在线升级程序\t";

}  // namespace

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
        const std::wstring* title;  // null: any title
        HWND found = nullptr;
    } search{process, className, &title};
    EnumWindows(
        [](HWND h, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            DWORD owner = 0;
            GetWindowThreadProcessId(h, &owner);
            wchar_t text[256] = {}, cls[64] = {};
            GetWindowTextW(h, text, 256);
            GetClassNameW(h, cls, 64);
            if (owner == s->process && IsWindowVisible(h) && (!s->title || *s->title == text) &&
                (!s->className || lstrcmpiW(cls, s->className) == 0)) {
                s->found = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND MessageBoxOf(DWORD process)
{
    HWND found = nullptr;
    struct Search {
        DWORD process;
        HWND* found;
    } search{process, &found};
    EnumWindows(
        [](HWND h, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            DWORD owner = 0;
            GetWindowThreadProcessId(h, &owner);
            wchar_t cls[64] = {};
            GetClassNameW(h, cls, 64);
            if (owner == s->process && IsWindowVisible(h) && lstrcmpiW(cls, L"#32770") == 0) {
                *s->found = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return found;
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
            wchar_t text[4096] = {};
            GetWindowTextW(h, text, 4096);
            auto* best = reinterpret_cast<std::wstring*>(p);
            if (wcslen(text) > best->size())
                *best = text;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&longest));
    return longest;
}

void InstallUpdater(const std::wstring& folder)
{
    ASSERT_TRUE(CopyFileW((ProgramDir() + L"\\update.exe").c_str(), (folder + L"\\update.exe").c_str(), FALSE));
}

void Install(const TempFolder& program)
{
    InstallUpdater(program.Path());
    CopyFileW(Fixture(L"fake_tallivo_13.exe").c_str(), (program / L"tallivo.exe").c_str(), FALSE);
}

HWND WizardOf(DWORD process)
{
    HWND window = nullptr;
    test::PumpUntil([&] { return (window = WindowOf(process, nullptr, WizardTitle)); }, "the updater's window");
    return window;
}

bool Exited(const KernelHandle& process)
{
    return WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0;
}

bool RunToWelcome(const std::wstring& folder, std::vector<std::wstring>& shown)
{
    DWORD id = 0;
    Started process = Start(folder + L"\\update.exe", id);
    for (;;) {
        HWND box = nullptr, window = nullptr;
        const bool came = test::PumpUntil(
            [&] {
                box = MessageBoxOf(id);
                window = WindowOf(id, nullptr, WizardTitle);
                return box || (window && IsWindowEnabled(window)) || Exited(process);
            },
            "the updater's welcome page or a message");
        if (!came || Exited(process))
            return false;
        if (!box) {
            // The welcome page: taking input, nothing over it.
            if (MessageBoxOf(id))
                continue;
            TerminateProcess(process.Get(), 0);
            WaitForSingleObject(process.Get(), INFINITE);
            return true;
        }
        shown.push_back(StaticText(box));
        const HWND button = GetDlgItem(box, IDOK) ? GetDlgItem(box, IDOK) : GetDlgItem(box, IDNO);
        if (!button)
            return false;
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
        test::PumpUntil([&] { return !IsWindow(box) || Exited(process); }, "the message answered");
    }
}

void ClickInWizard(HWND window, POINT at)
{
    EXPECT_TRUE(test::PumpUntil(
        [&] {
            if (GetForegroundWindow() != window)
                SetForegroundWindow(window);
            POINT screen = at;
            ClientToScreen(window, &screen);
            const HWND under = WindowFromPoint(screen);
            return GetForegroundWindow() == window && IsWindowEnabled(window) &&
                   (under == window || IsChild(window, under));
        },
        "the wizard in front"));
    test::MoveMouse(window, 10, 10);
    test::ClickAt(window, at.x, at.y);
}

void Painted(HWND window)
{
    SendMessageW(window, WM_NULL, 0, 0);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ASSERT_TRUE(test::PumpUntil([&] { return GetUpdateRect(window, nullptr, FALSE) == FALSE; }, "painted"));
}

void Picture(std::initializer_list<HWND> windows, const wchar_t* name)
{
    RECT area{};
    for (const HWND window : windows) {
        Painted(window);
        const RECT own = test::WindowAreaOnScreen(window);
        UnionRect(&area, &area, &own);
    }
    EXPECT_TRUE(test::SaveScreenPng(area, test::ScreensPath(name))) << name;
}

}  // namespace quill::updater::testing
