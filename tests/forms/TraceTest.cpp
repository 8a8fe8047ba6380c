// The trace switch: with QUILL_TRACE=1 our windows write their messages and
// the events their controls raise to standard error. Its own executable, so
// that the switch is read with the variable set.
#include "forms/CommandButton.h"
#include "forms/Files.h"
#include "forms/Pump.h"
#include "forms/Trace.h"
#include "forms/WindowHook.h"
#include "forms/lang/Error.h"
#include "tests/support/CapturedStandardError.h"
#include "tests/support/HostForm.h"
#include "tests/support/TestWindow.h"
#include "tests/support/WholeFile.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <stdexcept>
#include <string>

using namespace quill;

namespace {

using test::CapturedStandardError;

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

// A hook that only passes its messages on.
class PassingHook : public forms::WindowHook {
public:
    PassingHook() : WindowHook("test::PassingHook") {}

protected:
    LRESULT HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        return Next(window, message, wParam, lParam);
    }
};

TEST(Trace, LogsTheMessagesOfHooksAndTheErrorsHandlersRunPast)
{
    SetEnvironmentVariableW(L"QUILL_TRACE", L"1");
    ASSERT_TRUE(forms::trace::On());
    CapturedStandardError captured;
    test::TestWindow window;
    PassingHook hook;
    ASSERT_TRUE(hook.Hook(window.hwnd()));
    EXPECT_EQ(SendMessageW(window.hwnd(), WM_APP + 2, 0x12, 0x34), test::TestWindow::AnswerTo(WM_APP + 2));
    hook.Unhook(window.hwnd());
    SendMessageW(window.hwnd(), WM_APP + 3, 0, 0);

    const int line = __LINE__ + 1;
    EXPECT_FALSE(forms::ResumeNext([] { throw forms::RuntimeError(forms::kObjectNotSet); }));
    const int testLine = __LINE__ + 1;
    EXPECT_TRUE(forms::ResumeTest([]() -> bool { throw std::out_of_range("past the end"); }));

    const std::string text = captured.Text();
    char hooked[128];
    std::snprintf(hooked, sizeof hooked, "[quill] msg 0x8002 to hook test::PassingHook %p wp=0x12 lp=0x34",
                  static_cast<void*>(window.hwnd()));
    EXPECT_NE(text.find(hooked), std::string::npos) << text;
    // Once the hook is gone, its window's messages are not its own.
    EXPECT_EQ(text.find("0x8003"), std::string::npos) << text;
    EXPECT_NE(
        text.find("[quill] error 91 resumed (TraceTest.cpp:" + std::to_string(line) + "): run-time error"),
        std::string::npos)
        << text;
    EXPECT_NE(
        text.find("[quill] error resumed (TraceTest.cpp:" + std::to_string(testLine) + "): past the end"),
        std::string::npos)
        << text;
}

}  // namespace
