#pragma once
// A fresh folder for one test, removed with everything in it at the end, and
// the fixtures the updater's tests copy into it.
#include "tests/support/WholeFile.h"
#include "updater/KernelHandle.h"

#include <windows.h>

#include <string>

namespace quill::updater::testing {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }

private:
    std::wstring path_;
};

// A fixture file (QUILL_UPDATER_FIXTURES): "unrar.dll", "fake_tallivo_13.exe"...
std::wstring Fixture(const std::wstring& name);

using test::ReadWholeFile;
// Writes the bytes, creating the file's folders.
void WriteBytes(const std::wstring& path, const std::string& bytes);
bool Exists(const std::wstring& path);
// Sets a file's last-write time to a fixed moment `days` after 2020-01-01.
void SetWritten(const std::wstring& path, int days);

// A started process. One still running when its test ends (an assertion
// failed on the way) is ended with it, so that no process outlives the test
// and holds the test run open.
class Started : public KernelHandle {
public:
    explicit Started(HANDLE process) : KernelHandle(process) {}
    Started(Started&&) = default;
    ~Started()
    {
        if (*this && WaitForSingleObject(Get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(Get(), 1);
            WaitForSingleObject(Get(), INFINITE);
        }
    }
};

// Starts a copy of the 1.3 main program at `path` that keeps its own file
// open (so that it cannot be replaced) and returns once it does; the
// process handle comes back.
HANDLE StartHoldingMainProgram(const std::wstring& path);
// The same for the stand-in of the main program already at `path`.
HANDLE StartHolding(const std::wstring& path);
void RemoveTree(const std::wstring& path);

// What the earlier version's updater left when it ended in the middle of
// moving `moves` files into place: each ProgramFile(i) holds "new" (written
// before the journal), its copy in update\~backup\1 holds "old", and the
// journal (UTF-16, absolute paths) names every move as made.
void WriteEarlierRun(const std::wstring& program, int moves);
std::wstring ProgramFile(int i);  // "lib\\f<i>.dat"

}  // namespace quill::updater::testing
