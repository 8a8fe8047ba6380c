// The hook on a window's messages ends on its own: when it is destroyed and
// when its window is, in either order, and from inside its own call.
#include "forms/WindowHook.h"

#include "tests/support/TestWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

using namespace quill;

namespace {

using test::TestWindow;

// Writes each message it gets into the test's log, then may act inside the
// call (and destroy itself there) before the message goes on.
class RecordingHook : public forms::WindowHook {
public:
    explicit RecordingHook(std::vector<UINT>& log) : WindowHook("test::RecordingHook"), log_(log) {}
    ~RecordingHook() override = default;

    std::function<void(HWND, UINT)> during;

protected:
    LRESULT HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        log_.push_back(message);
        if (during) {
            const std::function<void(HWND, UINT)> act = during;
            act(window, message);
        }
        // A window destroyed inside the call has no procedures left to ask.
        return IsWindow(window) ? Next(window, message, wParam, lParam) : 0;
    }

private:
    std::vector<UINT>& log_;
};

LONG_PTR ProcedureOf(HWND window)
{
    return GetWindowLongPtrW(window, GWLP_WNDPROC);
}

// The window answers through its own procedure alone: the hook is out of
// its chain and logs nothing more.
void ExpectUnhooked(HWND window, LONG_PTR own, const std::vector<UINT>& log, const char* what)
{
    const size_t seen = log.size();
    EXPECT_EQ(SendMessageW(window, WM_APP + 2, 0, 0), TestWindow::AnswerTo(WM_APP + 2)) << what;
    EXPECT_EQ(log.size(), seen) << what;
    EXPECT_EQ(ProcedureOf(window), own) << what;
}

// One hook on two windows.
class TwoWindows : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(hook->Hook(first.hwnd()));
        ASSERT_TRUE(hook->Hook(second.hwnd()));
    }

    TestWindow first, second;
    const LONG_PTR own = ProcedureOf(first.hwnd());  // the class's own procedure
    std::vector<UINT> log;
    std::unique_ptr<RecordingHook> hook = std::make_unique<RecordingHook>(log);
};

TEST_F(TwoWindows, ADestroyedHookLeavesTheWindowsItWasOn)
{
    EXPECT_NE(ProcedureOf(first.hwnd()), own);
    EXPECT_EQ(SendMessageW(first.hwnd(), WM_APP + 1, 0, 0), TestWindow::AnswerTo(WM_APP + 1));
    EXPECT_EQ(log, std::vector<UINT>{WM_APP + 1});

    hook.reset();
    ExpectUnhooked(first.hwnd(), own, log, "first");
    ExpectUnhooked(second.hwnd(), own, log, "second");
}

TEST_F(TwoWindows, AWindowThatGoesLeavesTheHookOnItsOtherWindows)
{
    first.Destroy();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), static_cast<UINT>(WM_NCDESTROY));
    log.clear();
    EXPECT_EQ(SendMessageW(second.hwnd(), WM_APP + 1, 0, 0), TestWindow::AnswerTo(WM_APP + 1));
    EXPECT_EQ(log, std::vector<UINT>{WM_APP + 1});

    // The hook goes after one of its windows: it touches only the one left.
    hook.reset();
    ExpectUnhooked(second.hwnd(), own, log, "second");
}

// What ends inside the hook's own call: the hook itself, or its window; in a
// call of its own or nested in another call of the hook.
TEST(WindowHook, EndsFromInsideItsOwnCall)
{
    enum Act { DestroyHook, DestroyTheWindow };
    const struct {
        const char* what;
        UINT trigger;  // the message in whose call it ends
        Act act;
    } cases[] = {
        {"hook destroyed in its call", WM_APP + 1, DestroyHook},
        {"hook destroyed in a nested call", WM_APP + 3, DestroyHook},
        {"hook destroyed as its window goes", WM_NCDESTROY, DestroyHook},
        {"window destroyed in the hook's call", WM_APP + 1, DestroyTheWindow},
        {"window destroyed in a nested call", WM_APP + 3, DestroyTheWindow},
    };
    for (const auto& c : cases) {
        TestWindow window;
        const HWND hwnd = window.hwnd();
        const LONG_PTR own = ProcedureOf(hwnd);
        std::vector<UINT> log;
        auto hook = std::make_unique<RecordingHook>(log);
        ASSERT_TRUE(hook->Hook(hwnd)) << c.what;
        hook->during = [&](HWND w, UINT message) {
            if (message == WM_APP + 1 && c.trigger == WM_APP + 3)
                SendMessageW(w, WM_APP + 3, 0, 0);
            if (message != c.trigger)
                return;
            if (c.act == DestroyHook)
                hook.reset();
            else
                DestroyWindow(w);
        };
        if (c.trigger == WM_NCDESTROY)
            window.Destroy();
        else
            SendMessageW(hwnd, WM_APP + 1, 0, 0);

        EXPECT_EQ(std::count(log.begin(), log.end(), c.trigger), 1) << c.what;
        if (c.act == DestroyHook) {
            EXPECT_EQ(hook, nullptr) << c.what;
            EXPECT_EQ(log.back(), c.trigger) << c.what;
        } else {
            EXPECT_FALSE(IsWindow(hwnd)) << c.what;
            EXPECT_NE(std::find(log.begin(), log.end(), static_cast<UINT>(WM_NCDESTROY)), log.end())
                << c.what;
            hook.reset();  // after its window
        }
        if (IsWindow(hwnd))
            ExpectUnhooked(hwnd, own, log, c.what);
    }
}

}  // namespace
