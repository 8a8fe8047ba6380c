// The trace switch: with QUILL_TRACE=1 our windows write their messages and
// the events their controls raise to standard error. Its own executable, so
// that the switch is read with the variable set.
#include "forms/CommandButton.h"
#include "forms/Files.h"
#include "forms/Pump.h"
#include "forms/Trace.h"
#include "tests/support/HostForm.h"
#include "tests/support/WholeFile.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

using namespace quill;

namespace {

// Standard error goes to a file while it lives.
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
    std::string Text() const { return test::ReadWholeFile(path_); }

private:
    wchar_t path_[MAX_PATH]{};
    HANDLE file_ = INVALID_HANDLE_VALUE;
    HANDLE saved_ = nullptr;
};

TEST(Trace, LogsTheMessagesAndEventsOfOurWindows)
{
    SetEnvironmentVariableW(L"QUILL_TRACE", L"1");
    ASSERT_TRUE(forms::trace::On());
    CapturedStandardError captured;
    struct Controls {
        forms::Loaded<forms::CommandButton> ok;
    };
    test::HostForm<Controls> form(
        [&](test::HostForm<Controls>& f) {
            f.ok.Load(f, {.name = L"cmdOk", .left = 150, .top = 150, .width = 1200, .height = 375},
                      forms::CommandButtonArgs{.caption = L"OK"});
        },
        {.caption = L"Traced", .clientWidth = 3000, .clientHeight = 1500});
    auto& ok = form.ok;
    form.Show();
    bool clicked = false;
    ok->Click = [&] { clicked = true; };
    SendMessageW(ok->hWnd(), BM_CLICK, 0, 0);
    forms::DoEvents();
    form.Unload();
    ASSERT_TRUE(clicked);

    const std::string text = captured.Text();
    EXPECT_NE(text.find("[quill] msg WM_LBUTTONDOWN to quill::forms::CommandButton 'cmdOk'"),
              std::string::npos)
        << text.substr(0, 2000);
    EXPECT_NE(text.find("[quill] msg WM_CREATE to quill::test::HostForm<"), std::string::npos);
    EXPECT_NE(text.find("[quill] event raised in "), std::string::npos);
    EXPECT_NE(text.find("CommandButton.cpp:"), std::string::npos);
}

}  // namespace
