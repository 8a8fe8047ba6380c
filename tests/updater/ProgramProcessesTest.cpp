// Only the program folder's own main program is ended, and only then is its
// file free.
#include "updater/ProgramProcesses.h"

#include "TempFolder.h"
#include "updater/KernelHandle.h"

#include <gtest/gtest.h>

namespace quill::updater {
namespace {

using testing::TempFolder;

KernelHandle StartHolding(const std::wstring& path)
{
    return KernelHandle(testing::StartHoldingMainProgram(path));
}

bool Running(const KernelHandle& process)
{
    return WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT;
}

TEST(KillProcessByName, EndsOnlyTheProgramFoldersCopy)
{
    TempFolder program, elsewhere;
    KernelHandle ours = StartHolding(program / L"tallivo.exe");
    KernelHandle theirs = StartHolding(elsewhere / L"TALLIVO.EXE");
    ASSERT_TRUE(Running(ours));
    // Held: its file cannot be replaced.
    testing::WriteBytes(program / L"new.exe", "new");
    EXPECT_FALSE(MoveFileExW((program / L"new.exe").c_str(), (program / L"tallivo.exe").c_str(),
                             MOVEFILE_REPLACE_EXISTING));

    KillProcessByName(L"TalliVo.exe", program.Path());
    EXPECT_FALSE(Running(ours));  // it has exited when the call returns
    DWORD code = 1;
    GetExitCodeProcess(ours.Get(), &code);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(Running(theirs));
    EXPECT_TRUE(MoveFileExW((program / L"new.exe").c_str(), (program / L"tallivo.exe").c_str(),
                            MOVEFILE_REPLACE_EXISTING));

    TerminateProcess(theirs.Get(), 0);
    WaitForSingleObject(theirs.Get(), INFINITE);
}

TEST(KillProcessByName, NothingToEnd)
{
    // The folder runs a program of another name only: it is not the main program.
    TempFolder program;
    KernelHandle other = StartHolding(program / L"other.exe");
    KillProcessByName(L"tallivo.exe", program.Path());  // returns at once
    EXPECT_TRUE(Running(other));

    TerminateProcess(other.Get(), 0);
    WaitForSingleObject(other.Get(), INFINITE);
}

}  // namespace
}  // namespace quill::updater
