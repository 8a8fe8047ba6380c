// The window while a rollback takes thousands of files back: at start, an
// earlier run's 5,000 moves come back on a page of their own, the window
// shown, its bar moving and its thread answering messages between the
// steps; the welcome page follows.
#include "OnlineFixture.h"

#include <windows.h>

#include <set>
#include <string>
#include <vector>

namespace quill::updater::testing {
namespace {

constexpr int Moves = 5000;

// What the test's own window saw each time its thread handled one of its
// messages.
struct Sample {
    bool shown = false;     // the updater's window visible
    bool enabled = false;   // and taking input
    int bar = 0;            // Down1's value
    bool running = false;   // the first move (taken back last) not yet back
};

class OnlineRollback : public OnlineFixture {
protected:
    // A window of the test's own on this thread: a message posted to it
    // (or its timer) is answered only when the thread runs its messages.
    void SetUp() override
    {
        OnlineFixture::SetUp();
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QuillRollbackTracer";
        RegisterClassW(&wc);
        tracer_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                                  nullptr);
        ASSERT_TRUE(tracer_);
        SetWindowLongPtrW(tracer_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    void TearDown() override
    {
        DestroyWindow(tracer_);
        OnlineFixture::TearDown();
    }

    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp)
    {
        auto* self = reinterpret_cast<OnlineRollback*>(GetWindowLongPtrW(h, GWLP_USERDATA));
        if (self && (msg == WM_APP || msg == WM_TIMER)) {
            self->Take(msg == WM_APP ? self->answered : self->sampled);
            return 0;
        }
        return DefWindowProcW(h, msg, wp, lp);
    }

    void Take(std::vector<Sample>& into)
    {
        Sample s;
        if (window && window->hWnd()) {
            s.shown = IsWindowVisible(window->hWnd()) != FALSE;
            s.enabled = IsWindowEnabled(window->hWnd()) != FALSE;
            s.bar = window->Down1->Value();
        }
        s.running = ReadWholeFile(program / ProgramFile(0)) == "new";
        into.push_back(s);
    }

    HWND tracer_ = nullptr;
    std::vector<Sample> answered;  // the posted message
    std::vector<Sample> sampled;   // the timer's ticks
};

// The earlier version's journal of a run that moved 5,000 files into place
// and ended there: each file in place is the run's (written before the
// journal's last record), each copy holds the file before.
TEST_F(OnlineRollback, ALongRecoveryAtStartShowsTheWindowAndKeepsItAnswering)
{
    WriteEarlierRun(program.Path(), Moves);
    const std::wstring run = program / L"update\\~backup\\1";

    ASSERT_TRUE(PostMessageW(tracer_, WM_APP, 0, 0));
    SetTimer(tracer_, 1, 1, nullptr);
    Open();
    KillTimer(tracer_, 1);

    // Answered in the middle of the recovery, the window shown and taking
    // no input.
    ASSERT_EQ(answered.size(), 1u);
    EXPECT_TRUE(answered[0].running);
    EXPECT_TRUE(answered[0].shown);
    EXPECT_FALSE(answered[0].enabled);
    // The bar moved while it ran.
    std::set<int> bars;
    for (const Sample& s : sampled)
        if (s.running && s.shown)
            bars.insert(s.bar);
    EXPECT_GE(bars.size(), 2u) << sampled.size() << " ticks";

    // Wholly old, and the welcome page taking input.
    int notBack = 0;
    for (int i = 0; i < Moves; ++i)
        notBack += ReadWholeFile(program / ProgramFile(i)) != "old";
    EXPECT_EQ(notBack, 0);
    EXPECT_FALSE(Exists(run));
    EXPECT_TRUE(IsWindowEnabled(window->hWnd()));
    EXPECT_TRUE(window->Frame2->Visible());
    EXPECT_FALSE(window->Frame4->Visible());
    EXPECT_EQ(window->Down1->Value(), 0);
    EXPECT_EQ(window->CurrentVersion, L"1.3");
}

}  // namespace
}  // namespace quill::updater::testing
