#pragma once
// Standard error, where the trace writes (forms/lang/TraceSwitch.h), goes to a
// file while it lives.
#include "tests/support/WholeFile.h"

#include <windows.h>

#include <string>

namespace quill::test {

class CapturedStandardError {
public:
    CapturedStandardError()
    {
        wchar_t dir[MAX_PATH];
        GetTempPathW(MAX_PATH, dir);
        GetTempFileNameW(dir, L"qtr", 0, path_);
        file_ = CreateFileW(path_, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
        saved_ = GetStdHandle(STD_ERROR_HANDLE);
        SetStdHandle(STD_ERROR_HANDLE, file_);
    }
    ~CapturedStandardError()
    {
        SetStdHandle(STD_ERROR_HANDLE, saved_);
        CloseHandle(file_);
        DeleteFileW(path_);
    }
    CapturedStandardError(const CapturedStandardError&) = delete;
    CapturedStandardError& operator=(const CapturedStandardError&) = delete;
    std::string Text() const { return ReadWholeFile(path_); }

private:
    wchar_t path_[MAX_PATH]{};
    HANDLE file_ = INVALID_HANDLE_VALUE;
    HANDLE saved_ = nullptr;
};

}  // namespace quill::test
