// update.exe itself, run as the main program runs it: from the program
// folder, without arguments, one at a time, against the service named in
// its environment, clicked with the real mouse.
#include "TempFolder.h"
#include "UpdateProcess.h"
#include "tests/support/Input.h"
#include "tests/support/Pump.h"
#include "tests/support/ReferenceService.h"
#include "updater/KernelHandle.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quill::updater::testing {
namespace {

// Another program's window over `area` of the screen, in front once made.
class WindowInFront {
public:
    explicit WindowInFront(const RECT& area)
        : window_(CreateWindowExW(0, L"STATIC", L"elsewhere", WS_POPUP | WS_VISIBLE, area.left, area.top,
                                  area.right - area.left, area.bottom - area.top, nullptr, nullptr, nullptr,
                                  nullptr))
    {
        // An updater's window may take the front after it was found: ask
        // again until this one is in front.
        EXPECT_TRUE(test::PumpUntil([&] {
            if (GetForegroundWindow() != window_)
                SetForegroundWindow(window_);
            return GetForegroundWindow() == window_;
        }));
    }
    ~WindowInFront() { DestroyWindow(window_); }
    WindowInFront(const WindowInFront&) = delete;
    WindowInFront& operator=(const WindowInFront&) = delete;

private:
    HWND window_;
};

// The wizard's quit button ("退出", "完成" at 318, 255, 64 x 28).
constexpr POINT QuitButton{318 + 32, 255 + 14};
// Its wizard button ("下一步", "开始下载" at 249, 255, 64 x 28).
constexpr POINT WizardButton{249 + 32, 255 + 14};

// A second updater of the same installation, started and ended.
void StartASecond(const TempFolder& program)
{
    DWORD id = 0;
    Started second = Start(program / L"update.exe", id);
    EXPECT_TRUE(test::PumpUntil([&] { return Exited(second); }, "the second updater's end"));
}

TEST(UpdateProgram, WithoutTheMainProgramItSaysSoAndEnds)
{
    TempFolder program;
    ASSERT_TRUE(
        CopyFileW((ProgramDir() + L"\\update.exe").c_str(), (program / L"update.exe").c_str(), FALSE));
    DWORD id = 0;
    Started process = Start(program / L"update.exe", id);
    HWND box = nullptr;
    ASSERT_TRUE(test::PumpUntil([&] { return (box = WindowOf(id, L"#32770", L"在线更新")) != nullptr; }));
    EXPECT_EQ(StaticText(box), L"不能取得当前程序版本号，程序退出执行");
    EXPECT_FALSE(WindowOf(id, nullptr, L"Quillmoor - 在线升级程序\t"));  // never shown
    test::ClickAt(GetDlgItem(box, IDOK));
    ASSERT_TRUE(test::PumpUntil([&] { return Exited(process); }));
    DWORD code = 1;
    GetExitCodeProcess(process.Get(), &code);
    EXPECT_EQ(code, 0u);
}

TEST(UpdateProgram, OneAtATimeAndAWholeUpdate)
{
    test::ReferenceService service;
    std::string library(2048, 'L');
    WriteBytes(service.UpdateFolder() + L"\\tallivo.exe",
               ReadWholeFile(Fixture(L"fake_tallivo_14.exe")) + "padding");
    WriteBytes(service.UpdateFolder() + L"\\sub\\dir\\a.dll", library);
    service.Control(R"({"op":"set","update_newver":"1.4"})");
    SetEnvironmentVariableW(L"QUILL_SERVER_BASE_URL", service.Primary().c_str());

    TempFolder program;
    Install(program);
    DWORD id = 0;
    Started first = Start(program / L"update.exe", id);
    HWND window = WizardOf(id);
    ASSERT_TRUE(window);

    // A second updater started meanwhile ends at once; the first goes on.
    DWORD secondId = 0;
    Started second = Start(program / L"update.exe", secondId);
    ASSERT_TRUE(test::PumpUntil([&] { return Exited(second); }));
    EXPECT_FALSE(Exited(first));
    EXPECT_FALSE(WindowOf(secondId, nullptr, L"Quillmoor - 在线升级程序\t"));

    // "下一步" (the wizard button at 249, 255, 64 x 28), the list, "开始下载".
    ClickInWizard(window, WizardButton);
    std::vector<HWND> lists;
    ASSERT_TRUE(test::PumpUntil([&] {
        lists = ListBoxes(window);
        return lists.size() == 3 && SendMessageW(lists[0], LB_GETCOUNT, 0, 0) == 2;
    }));
    test::ClickAt(window, 249 + 20, 255 + 10);
    ASSERT_TRUE(test::PumpUntil([&] {
        return ReadWholeFile(program / L"sub\\dir\\a.dll") == library &&
               !Exists(program / L"update\\tallivo.exe");
    }));
    EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe"),
              ReadWholeFile(Fixture(L"fake_tallivo_14.exe")) + "padding");

    // "完成" (the quit button at 318, 255), then "否" to the restart. Pressed
    // the moment the files are in place, the button may still say "退出":
    // then its question is answered "否" and it is pressed again.
    HWND box = nullptr;
    for (int attempt = 0; !box && attempt < 5; ++attempt) {
        test::ClickAt(window, 318 + 20 + 8 * attempt, 255 + 10);
        HWND quit = nullptr;
        ASSERT_TRUE(test::PumpUntil([&] {
            box = WindowOf(id, L"#32770", L"启动");
            quit = WindowOf(id, L"#32770", L"退出");
            return box || quit;
        }));
        if (quit) {
            test::ClickAt(GetDlgItem(quit, IDNO));
            ASSERT_TRUE(test::PumpUntil([&] { return !WindowOf(id, L"#32770", L"退出"); }));
        }
    }
    ASSERT_TRUE(box);
    EXPECT_EQ(StaticText(box), L"更新完成，是否现在启动程序?");
    test::ClickAt(GetDlgItem(box, IDNO));
    ASSERT_TRUE(test::PumpUntil([&] { return Exited(first); }));
    SetEnvironmentVariableW(L"QUILL_SERVER_BASE_URL", nullptr);
}

// One updater per installation: a second one of the same program folder
// brings the first to the front and ends; one of another folder runs.
TEST(UpdateProgram, ASecondUpdaterShowsTheFirstAndAnotherInstallationsRuns)
{
    TempFolder program, otherProgram;
    for (const TempFolder* folder : {&program, &otherProgram})
        Install(*folder);
    DWORD id = 0;
    Started first = Start(program / L"update.exe", id);
    HWND window = WizardOf(id);
    ASSERT_TRUE(window);

    {
        WindowInFront elsewhere({0, 0, 50, 50});
        StartASecond(program);
        EXPECT_FALSE(Exited(first));
        EXPECT_TRUE(
            test::PumpUntil([&] { return GetForegroundWindow() == window; }, "the first updater in front"));
    }

    DWORD otherId = 0;
    Started other = Start(otherProgram / L"update.exe", otherId);
    EXPECT_TRUE(WizardOf(otherId));
    for (const KernelHandle* process : {&first, &other}) {
        TerminateProcess(process->Get(), 0);
        WaitForSingleObject(process->Get(), INFINITE);
    }
}

// A second updater started while the first one asks a question brings that
// question to the front, not the window under it (which the question
// disables): the question takes the real mouse, and the window answers again.
TEST(UpdateProgram, ASecondUpdaterBringsTheFirstOnesOpenQuestionToTheFront)
{
    TempFolder program;
    Install(program);
    DWORD id = 0;
    Started first = Start(program / L"update.exe", id);
    HWND window = WizardOf(id);
    ASSERT_TRUE(window);
    // "退出": the quit question.
    ClickInWizard(window, QuitButton);
    HWND question = nullptr;
    ASSERT_TRUE(test::PumpUntil([&] { return (question = WindowOf(id, L"#32770", L"退出")) != nullptr; }));

    // Another program's window in front of both.
    RECT both{};
    GetWindowRect(window, &both);
    RECT box{};
    GetWindowRect(question, &box);
    UnionRect(&both, &both, &box);
    {
        WindowInFront elsewhere(both);
        StartASecond(program);
        EXPECT_TRUE(
            test::PumpUntil([&] { return GetForegroundWindow() == question; }, "the question in front"));
    }

    // Nothing covers the question: its "否" is what lies under its middle, and
    // a click there answers it.
    const HWND no = GetDlgItem(question, IDNO);
    RECT r{};
    GetWindowRect(no, &r);
    EXPECT_EQ(WindowFromPoint({(r.left + r.right) / 2, (r.top + r.bottom) / 2}), no);
    test::ClickAt(no);
    ASSERT_TRUE(test::PumpUntil([&] { return !IsWindow(question); }, "the question answered"));
    EXPECT_FALSE(Exited(first));
    // The answered question gives the window back its input once it has gone.
    ASSERT_TRUE(test::PumpUntil([&] { return IsWindowEnabled(window) != FALSE; }, "the window enabled"));
    ClickInWizard(window, QuitButton);
    EXPECT_TRUE(test::PumpUntil([&] { return WindowOf(id, L"#32770", L"退出") != nullptr; }, "asked again"));
}

// An earlier run's thousands of moves taken back at start show the window
// while they come back: a second updater started then brings it (or the
// question over it) to the front instead of ending unseen. The first move
// (taken back last) is held by another program, so the recovery ends at its
// question with the window shown; once the file is free, 是 finishes it.
TEST(UpdateProgram, ASecondUpdaterBringsARecoveringOnesWindowToTheFront)
{
    TempFolder program;
    Install(program);
    WriteEarlierRun(program.Path(), 2000);
    KernelHandle held(CreateFileW((program / ProgramFile(0)).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    DWORD id = 0;
    Started first = Start(program / L"update.exe", id);
    HWND window = WizardOf(id);
    ASSERT_TRUE(window);
    {
        WindowInFront elsewhere({0, 0, 50, 50});
        StartASecond(program);
        EXPECT_FALSE(Exited(first));
        EXPECT_TRUE(test::PumpUntil(
            [&] {
                const HWND front = GetForegroundWindow();
                return front == window || (front && GetWindow(front, GW_OWNER) == window);
            },
            "the first updater in front"));
    }
    HWND question = nullptr;
    ASSERT_TRUE(test::PumpUntil([&] {
        question = WindowOf(id, L"#32770", L"在线更新");
        return question && StaticText(question).starts_with(L"上次更新未能恢复原来的文件");
    }));
    EXPECT_TRUE(IsWindowVisible(window));
    Picture({window, question}, L"updater-recovery.png");
    held.Reset();
    test::ClickAt(GetDlgItem(question, IDYES));
    // The pointer leaves the place where the next test's buttons will show:
    // a button under a pointer that never came in takes no click.
    test::MoveMouse(window, 10, 10);
    ASSERT_TRUE(test::PumpUntil(
        [&] { return !Exists(program / L"update\\~backup") && IsWindowEnabled(window) && !MessageBoxOf(id); },
        "the recovery's end"));
    int notBack = 0;
    for (int i = 0; i < 2000; ++i)
        notBack += ReadWholeFile(program / ProgramFile(i)) != "old";
    EXPECT_EQ(notBack, 0);
    TerminateProcess(first.Get(), 0);
    WaitForSingleObject(first.Get(), INFINITE);
}

// Ended from outside at the move question, the updater leaves the program
// folder half updated; started again, it puts back every old file before
// anything else: the file in use was released meanwhile (a library), or is
// the main program, still running, whose move never happened.
TEST(UpdateProgram, ARunEndedBetweenItsMovesIsTakenBackAtTheNextStart)
{
    test::ReferenceService service;
    const std::string newMain = ReadWholeFile(Fixture(L"fake_tallivo_14.exe")) + "padding";
    const std::string newLibrary(300, 'n');
    WriteBytes(service.UpdateFolder() + L"\\tallivo.exe", newMain);
    WriteBytes(service.UpdateFolder() + L"\\zz.dll", newLibrary);
    SetEnvironmentVariableW(L"QUILL_SERVER_BASE_URL", service.Primary().c_str());
    const std::string mainEntry = "tallivo.exe|" + std::to_string(newMain.size()) + "\r\n";
    const std::string libraryEntry = "zz.dll|300\r\n";
    for (const bool mainProgramRuns : {false, true}) {
        // The file in use comes second: the first one's move has happened.
        WriteBytes(
            service.UpdateFolder() + L"\\update.txt",
            "[Update]\r\nnewver=1.4\r\ncheckfile=2\r\nfile1=" + (mainProgramRuns ? libraryEntry : mainEntry) +
                "file2=" + (mainProgramRuns ? mainEntry : libraryEntry) + "[/Update]\r\n");
        TempFolder program;
        ASSERT_TRUE(
            CopyFileW((ProgramDir() + L"\\update.exe").c_str(), (program / L"update.exe").c_str(), FALSE));
        const std::string oldMain = ReadWholeFile(Fixture(L"fake_tallivo_13.exe"));
        WriteBytes(program / L"tallivo.exe", oldMain);
        WriteBytes(program / L"zz.dll", "old library");
        Started running(mainProgramRuns ? StartHoldingMainProgram(program / L"tallivo.exe") : nullptr);
        KernelHandle inUse;
        if (!mainProgramRuns)
            inUse.Reset(CreateFileW((program / L"zz.dll").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
        DWORD id = 0;
        Started first = Start(program / L"update.exe", id);
        HWND window = WizardOf(id);
        ASSERT_TRUE(window);
        ClickInWizard(window, WizardButton);
        ASSERT_TRUE(test::PumpUntil([&] {
            const auto lists = ListBoxes(window);
            return lists.size() == 3 && SendMessageW(lists[0], LB_GETCOUNT, 0, 0) == 2;
        })) << mainProgramRuns << (MessageBoxOf(id) ? " asked: " + test::ToUtf8(StaticText(MessageBoxOf(id))) : "");
        test::ClickAt(window, 249 + 20, 255 + 10);
        const std::wstring inUseName = mainProgramRuns ? L"tallivo.exe" : L"zz.dll";
        HWND question = nullptr;
        ASSERT_TRUE(test::PumpUntil([&] {
            question = WindowOf(id, L"#32770", L"在线更新");
            return question && StaticText(question).starts_with(L"移动文件[" + inUseName + L"]");
        }));
        // Half updated.
        if (mainProgramRuns)
            EXPECT_EQ(ReadWholeFile(program / L"zz.dll"), newLibrary);
        else
            EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe"), newMain);
        TerminateProcess(first.Get(), 1);
        WaitForSingleObject(first.Get(), INFINITE);
        inUse.Reset();

        DWORD againId = 0;
        Started again = Start(program / L"update.exe", againId);
        ASSERT_TRUE(WizardOf(againId)) << mainProgramRuns;
        EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe"), oldMain) << mainProgramRuns;
        EXPECT_EQ(ReadWholeFile(program / L"zz.dll"), "old library") << mainProgramRuns;
        EXPECT_FALSE(Exists(program / L"update\\~backup")) << mainProgramRuns;
        TerminateProcess(again.Get(), 0);
        WaitForSingleObject(again.Get(), INFINITE);
        if (running) {
            EXPECT_EQ(WaitForSingleObject(running.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
        }
    }
    SetEnvironmentVariableW(L"QUILL_SERVER_BASE_URL", nullptr);
}

}  // namespace
}  // namespace quill::updater::testing
