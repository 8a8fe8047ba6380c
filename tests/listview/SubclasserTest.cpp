// The window subclasser on real windows: which messages reach the owner and
// when, answers, release of the per-window hook, and its error reports.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/listview/Subclasser.h"
#include "forms/App.h"
#include "forms/MessageBox.h"
#include "tests/support/TestWindow.h"
#include "tests/support/ImportPatch.h"

namespace quill::listview {
namespace {

using quill::test::ImportPatch;

using test::MessageName;
using test::TestWindow;
using Log = std::vector<std::wstring>;

constexpr UINT kApp1 = WM_APP + 1;
constexpr UINT kApp2 = WM_APP + 2;
constexpr UINT kApp3 = WM_APP + 3;
constexpr UINT kApp4 = WM_APP + 4;

// Records its calls into the window's log as "<name> before|after <message>"
// and lets a test act inside them.
class RecordingOwner : public ISubclass {
public:
    struct Call {
        bool bBefore;
        bool& bHandled;
        LRESULT& lReturn;
        HWND hwnd;
        UINT uMsg;
        LONG_PTR& lParamUser;
    };

    explicit RecordingOwner(std::wstring name = L"owner") : name_(std::move(name)) {}
    std::function<void(Call&)> onCall;
    std::vector<LRESULT> afterResults;  // lReturn as each after-call received it

    void WndProc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND lng_hWnd, UINT uMsg, WPARAM, LPARAM,
                 LONG_PTR& lParamUser) override
    {
        TestWindow::Log().push_back(name_ + (bBefore ? L" before " : L" after ") + MessageName(uMsg));
        if (!bBefore)
            afterResults.push_back(lReturn);
        Call call{bBefore, bHandled, lReturn, lng_hWnd, uMsg, lParamUser};
        if (onCall)
            onCall(call);
    }

private:
    std::wstring name_;
};

class SubclasserTest : public testing::Test {
protected:
    void SetUp() override
    {
        TestWindow::Log().clear();
        TestWindow::OnAppMessage() = nullptr;
    }
    void TearDown() override { TestWindow::OnAppMessage() = nullptr; }

    static LONG_PTR ProcOf(HWND hwnd) { return GetWindowLongPtrA(hwnd, GWLP_WNDPROC); }
    static Log Sent(HWND hwnd, std::initializer_list<UINT> messages)
    {
        TestWindow::Log().clear();
        for (UINT message : messages)
            SendMessageW(hwnd, message, 0, 0);
        return TestWindow::Log();
    }

    struct Report {
        std::wstring title;
        std::wstring prompt;
        bool operator==(const Report&) const = default;
        friend void PrintTo(const Report& r, std::ostream* os)
        {
            *os << testing::PrintToString(r.title) << ": " << testing::PrintToString(r.prompt);
        }
    };
    using Reports = std::vector<Report>;

    // The error reports since the last look, each checked to have written its
    // event-log entry and shown an OK box with the exclamation icon.
    Reports NewReports()
    {
        Reports reports;
        EXPECT_EQ(eventLog.Entries().size(), boxes.Boxes().size());
        for (; seen < boxes.Boxes().size() && seen < eventLog.Entries().size(); ++seen) {
            const auto& box = boxes.Boxes()[seen];
            EXPECT_EQ(box.buttons, forms::vbOKOnly | forms::vbExclamation);
            const auto& entry = eventLog.Entries()[seen];
            EXPECT_EQ(entry.eventType, forms::vbLogEventTypeError);
            // "Error in Subclasser.Subclass" / "Invalid window handle." is
            // logged as "Subclasser.Subclass: Invalid window handle".
            EXPECT_EQ(L"Error in " + entry.text,
                      box.title + L": " + box.prompt.substr(0, box.prompt.size() - 1));
            reports.push_back({box.title, box.prompt});
        }
        return reports;
    }

    TestWindow window;
    forms::MessageBoxScript boxes;
    forms::EventLogRecorder eventLog;
    size_t seen = 0;
};

TEST_F(SubclasserTest, OwnerIsCalledBeforeOrAfterAsItsTablesSay)
{
    RecordingOwner owner;
    Subclasser subclasser;
    ASSERT_TRUE(subclasser.Subclass(window.hwnd(), &owner, 0, true));
    subclasser.AddMsg(window.hwnd(), kApp1, Subclasser::MSG_BEFORE);
    subclasser.AddMsg(window.hwnd(), kApp2, Subclasser::MSG_AFTER);
    subclasser.AddMsg(window.hwnd(), kApp3, Subclasser::MSG_BEFORE_AND_AFTER);

    EXPECT_EQ(Sent(window.hwnd(), {kApp1, kApp2, kApp3, kApp4}),
              (Log{L"owner before WM_APP+1", L"proc WM_APP+1", L"proc WM_APP+2", L"owner after WM_APP+2",
                   L"owner before WM_APP+3", L"proc WM_APP+3", L"owner after WM_APP+3", L"proc WM_APP+4"}));
    // An after-call receives the previous procedure's result, and it stands.
    EXPECT_EQ(owner.afterResults,
              (std::vector<LRESULT>{TestWindow::AnswerTo(kApp2), TestWindow::AnswerTo(kApp3)}));
    EXPECT_EQ(SendMessageW(window.hwnd(), kApp3, 0, 0), TestWindow::AnswerTo(kApp3));

    subclasser.DelMsg(window.hwnd(), kApp3, Subclasser::MSG_BEFORE);
    EXPECT_EQ(Sent(window.hwnd(), {kApp3}), (Log{L"proc WM_APP+3", L"owner after WM_APP+3"}));
    EXPECT_EQ(NewReports(), Reports{});
}

TEST_F(SubclasserTest, AllMessagesAndBackToNone)
{
    RecordingOwner owner;
    Subclasser subclasser;
    ASSERT_TRUE(subclasser.Subclass(window.hwnd(), &owner, 0, true));
    subclasser.AddMsg(window.hwnd(), Subclasser::ALL_MESSAGES, Subclasser::MSG_AFTER);
    EXPECT_EQ(Sent(window.hwnd(), {kApp1, WM_NULL}),
              (Log{L"proc WM_APP+1", L"owner after WM_APP+1", L"owner after 0"}));

    // A table of all messages given one message watches only that one.
    subclasser.AddMsg(window.hwnd(), kApp2, Subclasser::MSG_AFTER);
    EXPECT_EQ(Sent(window.hwnd(), {kApp1, kApp2}),
              (Log{L"proc WM_APP+1", L"proc WM_APP+2", L"owner after WM_APP+2"}));

    subclasser.AddMsg(window.hwnd(), Subclasser::ALL_MESSAGES, Subclasser::MSG_AFTER);
    subclasser.DelMsg(window.hwnd(), Subclasser::ALL_MESSAGES, Subclasser::MSG_AFTER);
    EXPECT_EQ(Sent(window.hwnd(), {kApp1}), Log{L"proc WM_APP+1"});
}

TEST_F(SubclasserTest, ADeletedEntryHoldsZeroSoWmNullReachesTheOwner)
{
    RecordingOwner owner;
    Subclasser subclasser;
    ASSERT_TRUE(subclasser.Subclass(window.hwnd(), &owner, 0, true));
    subclasser.AddMsg(window.hwnd(), kApp1, Subclasser::MSG_AFTER);
    EXPECT_EQ(Sent(window.hwnd(), {WM_NULL}), Log{});
    subclasser.DelMsg(window.hwnd(), kApp1, Subclasser::MSG_AFTER);
    EXPECT_EQ(Sent(window.hwnd(), {WM_NULL, kApp1}), (Log{L"owner after 0", L"proc WM_APP+1"}));
}

std::wstring OverflowText()
{
    return L"Message table overflow. Either increase the value of Const MSG_ENTRIES or use ALL_MESSAGES "
           L"instead "
           L"of specific message values.";
}

TEST_F(SubclasserTest, TheThirtyThirdMessageOverflowsTheTable)
{
    RecordingOwner owner;
    Subclasser subclasser;
    ASSERT_TRUE(subclasser.Subclass(window.hwnd(), &owner, 0, true));
    for (UINT n = 1; n <= 32; ++n) {
        subclasser.AddMsg(window.hwnd(), WM_APP + 1, Subclasser::MSG_AFTER);  // from n = 2 already there
        subclasser.AddMsg(window.hwnd(), WM_APP + n, Subclasser::MSG_AFTER);
    }
    EXPECT_EQ(NewReports(), Reports{});

    subclasser.AddMsg(window.hwnd(), WM_APP + 33, Subclasser::MSG_AFTER);
    EXPECT_EQ(NewReports(), (Reports{{L"Error in Subclasser.zAddMsg", OverflowText()}}));
    EXPECT_EQ(Sent(window.hwnd(), {WM_APP + 32, WM_APP + 33}),
              (Log{L"proc WM_APP+32", L"owner after WM_APP+32", L"proc WM_APP+33"}));

    // A full table refuses every addition, even into an entry freed by DelMsg
    // or of a message it holds.
    subclasser.DelMsg(window.hwnd(), WM_APP + 5, Subclasser::MSG_AFTER);
    subclasser.AddMsg(window.hwnd(), WM_APP + 33, Subclasser::MSG_AFTER);
    subclasser.AddMsg(window.hwnd(), WM_APP + 6, Subclasser::MSG_AFTER);
    EXPECT_EQ(NewReports(), (Reports{{L"Error in Subclasser.zAddMsg", OverflowText()},
                                     {L"Error in Subclasser.zAddMsg", OverflowText()}}));
    EXPECT_EQ(Sent(window.hwnd(), {WM_APP + 33}), Log{L"proc WM_APP+33"});
}

TEST_F(SubclasserTest, AnEntryFreedBeforeTheTableIsFullIsUsedAgain)
{
    RecordingOwner owner;
    Subclasser subclasser;
    ASSERT_TRUE(subclasser.Subclass(window.hwnd(), &owner, 0, true));
    for (UINT n = 1; n <= 3; ++n)
        subclasser.AddMsg(window.hwnd(), WM_APP + n, Subclasser::MSG_BEFORE);
    subclasser.DelMsg(window.hwnd(), WM_APP + 2, Subclasser::MSG_BEFORE);
    // Into the freed entry, then 29 more fill the 32 entries exactly.
    for (UINT n = 40; n < 70; ++n)
        subclasser.AddMsg(window.hwnd(), WM_APP + n, Subclasser::MSG_BEFORE);
    EXPECT_EQ(NewReports(), Reports{});
    subclasser.AddMsg(window.hwnd(), WM_APP + 70, Subclasser::MSG_BEFORE);
    EXPECT_EQ(NewReports(), (Reports{{L"Error in Subclasser.zAddMsg", OverflowText()}}));
    EXPECT_EQ(Sent(window.hwnd(), {WM_APP + 2, WM_APP + 40}),
              (Log{L"proc WM_APP+2", L"owner before WM_APP+40", L"proc WM_APP+40"}));
}

TEST_F(SubclasserTest, DeletingAMessageNotInTheTableIsReported)
{
    RecordingOwner owner;
    Subclasser subclasser;
    ASSERT_TRUE(subclasser.Subclass(window.hwnd(), &owner, 0, true));
    subclasser.AddMsg(window.hwnd(), kApp1, Subclasser::MSG_AFTER);
    subclasser.DelMsg(window.hwnd(), 0xBEEF, Subclasser::MSG_AFTER);
    EXPECT_EQ(NewReports(),
              (Reports{{L"Error in Subclasser.zDelMsg", L"Message &HBEEF not found in table."}}));
}

TEST_F(SubclasserTest, ABeforeCallThatHandlesTheMessageAnswersIt)
{
    RecordingOwner owner;
    owner.onCall = [](RecordingOwner::Call& call) {
        if (call.bBefore && call.uMsg == kApp1) {
            call.bHandled = true;
            call.lReturn = 55;
        }
    };
    Subclasser subclasser;
    ASSERT_TRUE(subclasser.Subclass(window.hwnd(), &owner, 0, true));
    subclasser.AddMsg(window.hwnd(), kApp1, Subclasser::MSG_BEFORE_AND_AFTER);
    subclasser.AddMsg(window.hwnd(), kApp2, Subclasser::MSG_BEFORE_AND_AFTER);
    TestWindow::Log().clear();
    EXPECT_EQ(SendMessageW(window.hwnd(), kApp1, 0, 0), 55);
    EXPECT_EQ(SendMessageW(window.hwnd(), kApp2, 0, 0), TestWindow::AnswerTo(kApp2));
    EXPECT_EQ(TestWindow::Log(), (Log{L"owner before WM_APP+1", L"owner before WM_APP+2", L"proc WM_APP+2",
                                      L"owner after WM_APP+2"}));
}

TEST_F(SubclasserTest, AnAfterCallThatChangesTheResultChangesTheAnswer)
{
    RecordingOwner owner;
    owner.onCall = [](RecordingOwner::Call& call) {
        if (!call.bBefore)
            call.lReturn = -call.lReturn;
    };
    Subclasser subclasser;
    ASSERT_TRUE(subclasser.Subclass(window.hwnd(), &owner, 0, true));
    subclasser.AddMsg(window.hwnd(), kApp4, Subclasser::MSG_AFTER);
    EXPECT_EQ(SendMessageW(window.hwnd(), kApp4, 0, 0), -TestWindow::AnswerTo(kApp4));
}

TEST_F(SubclasserTest, UserValueIsSharedWithTheOwner)
{
    std::vector<LONG_PTR> seen;
    RecordingOwner owner;
    owner.onCall = [&](RecordingOwner::Call& call) {
        seen.push_back(call.lParamUser);
        call.lParamUser += 1;
    };
    Subclasser subclasser;
    ASSERT_TRUE(subclasser.Subclass(window.hwnd(), &owner, 77, true));
    subclasser.AddMsg(window.hwnd(), kApp1, Subclasser::MSG_AFTER);
    EXPECT_EQ(subclasser.lParamUser(window.hwnd()), 77);
    SendMessageW(window.hwnd(), kApp1, 0, 0);
    EXPECT_EQ(subclasser.lParamUser(window.hwnd()), 78);
    subclasser.lParamUser(window.hwnd(), 500);
    SendMessageW(window.hwnd(), kApp1, 0, 0);
    EXPECT_EQ(seen, (std::vector<LONG_PTR>{77, 500}));
}

TEST_F(SubclasserTest, CallOrigWndProcAsksOnlyThePreviousProcedure)
{
    RecordingOwner owner;
    Subclasser subclasser;
    ASSERT_TRUE(subclasser.Subclass(window.hwnd(), &owner, 0, true));
    subclasser.AddMsg(window.hwnd(), Subclasser::ALL_MESSAGES, Subclasser::MSG_BEFORE_AND_AFTER);
    TestWindow::Log().clear();
    EXPECT_EQ(subclasser.CallOrigWndProc(window.hwnd(), kApp2, 0, 0), TestWindow::AnswerTo(kApp2));
    EXPECT_EQ(TestWindow::Log(), Log{L"proc WM_APP+2"});
}

TEST_F(SubclasserTest, SubclassingTwiceIsReportedAndTheFirstKeepsWorking)
{
    RecordingOwner first(L"first"), second(L"second");
    Subclasser subclasser;
    ASSERT_TRUE(subclasser.Subclass(window.hwnd(), &first, 0, true));
    subclasser.AddMsg(window.hwnd(), kApp1, Subclasser::MSG_AFTER);
    const LONG_PTR installed = ProcOf(window.hwnd());

    EXPECT_FALSE(subclasser.Subclass(window.hwnd(), &second, 0, true));
    EXPECT_EQ(NewReports(),
              (Reports{{L"Error in Subclasser.Subclass", L"Window handle is already subclassed."}}));
    EXPECT_EQ(ProcOf(window.hwnd()), installed);
    EXPECT_EQ(Sent(window.hwnd(), {kApp1}), (Log{L"proc WM_APP+1", L"first after WM_APP+1"}));
}

TEST_F(SubclasserTest, WindowsItCannotSubclassAreReported)
{
    RecordingOwner owner;
    Subclasser subclasser;
    EXPECT_FALSE(subclasser.Subclass(reinterpret_cast<HWND>(0x7FFF0001), &owner, 0, true));
    // The desktop window belongs to the system's process, not to ours.
    DWORD desktopProcess = 0;
    GetWindowThreadProcessId(GetDesktopWindow(), &desktopProcess);
    ASSERT_NE(desktopProcess, GetCurrentProcessId());
    EXPECT_FALSE(subclasser.Subclass(GetDesktopWindow(), &owner, 0, true));

    EXPECT_EQ(NewReports(),
              (Reports{{L"Error in Subclasser.Subclass", L"Invalid window handle."},
                       {L"Error in Subclasser.Subclass", L"Window handle belongs to another process."}}));
}

TEST_F(SubclasserTest, CallsForWindowsItDoesNotHoldAreReported)
{
    RecordingOwner owner;
    Subclasser subclasser;
    subclasser.AddMsg(window.hwnd(), kApp1, Subclasser::MSG_AFTER);
    subclasser.UnSubclass(window.hwnd());
    EXPECT_EQ(subclasser.lParamUser(window.hwnd()), 0);

    TestWindow other;
    ASSERT_TRUE(subclasser.Subclass(other.hwnd(), &owner, 5, true));
    EXPECT_EQ(subclasser.CallOrigWndProc(window.hwnd(), kApp1, 0, 0), 0);

    EXPECT_EQ(NewReports(),
              (Reports{{L"Error in Subclasser.zMap_hWnd", L"Subclassing hasn't been started."},
                       {L"Error in Subclasser.UnSubclass", L"Window handle isn't subclassed."},
                       {L"Error in Subclasser.zMap_hWnd", L"Subclassing hasn't been started."},
                       {L"Error in Subclasser.zMap_hWnd", L"Window handle isn't subclassed."}}));
}

TEST_F(SubclasserTest, UnSubclassPutsThePreviousProcedureBackAtOnce)
{
    const LONG_PTR original = ProcOf(window.hwnd());
    RecordingOwner owner;
    Subclasser subclasser;
    ASSERT_TRUE(subclasser.Subclass(window.hwnd(), &owner, 0, true));
    subclasser.AddMsg(window.hwnd(), Subclasser::ALL_MESSAGES, Subclasser::MSG_BEFORE_AND_AFTER);
    ASSERT_NE(ProcOf(window.hwnd()), original);

    subclasser.UnSubclass(window.hwnd());
    EXPECT_EQ(ProcOf(window.hwnd()), original);

    TestWindow::Log().clear();
    EXPECT_EQ(SendMessageW(window.hwnd(), kApp3, 0, 0), TestWindow::AnswerTo(kApp3));
    EXPECT_EQ(TestWindow::Log(), Log{L"proc WM_APP+3"});
    EXPECT_EQ(NewReports(), Reports{});
}

TEST_F(SubclasserTest, ReleaseWaitsUntilTheOutermostCallOfThePreviousProcedureReturns)
{
    const LONG_PTR original = ProcOf(window.hwnd());
    RecordingOwner owner;
    Subclasser subclasser;
    ASSERT_TRUE(subclasser.Subclass(window.hwnd(), &owner, 0, true));
    subclasser.AddMsg(window.hwnd(), Subclasser::ALL_MESSAGES, Subclasser::MSG_AFTER);
    const LONG_PTR block = ProcOf(window.hwnd());

    LRESULT nested = 0;
    LONG_PTR procAfterNested = 0;
    TestWindow::OnAppMessage() = [&](HWND hwnd, UINT message) {
        if (message != kApp1)
            return;
        subclasser.UnSubclass(hwnd);
        nested = SendMessageW(hwnd, kApp2, 0, 0);
        procAfterNested = ProcOf(hwnd);
    };
    TestWindow::Log().clear();
    EXPECT_EQ(SendMessageW(window.hwnd(), kApp1, 0, 0), TestWindow::AnswerTo(kApp1));
    EXPECT_EQ(nested, TestWindow::AnswerTo(kApp2));
    EXPECT_EQ(procAfterNested, block);
    EXPECT_EQ(TestWindow::Log(), (Log{L"proc WM_APP+1", L"proc WM_APP+2"}));
    EXPECT_EQ(ProcOf(window.hwnd()), original);
}

TEST_F(SubclasserTest, TheHookOutlivesAnOwnerCallThatReleasesIt)
{
    // The owner unsubclasses inside its own call and sends the window a
    // message, which only the previous procedure gets; the owner's answer
    // stands, and the previous procedure is back once the call has returned.
    const LONG_PTR original = ProcOf(window.hwnd());
    Subclasser subclasser;
    RecordingOwner owner;
    owner.onCall = [&](RecordingOwner::Call& call) {
        if (call.uMsg != kApp1)
            return;
        subclasser.UnSubclass(call.hwnd);
        SendMessageW(call.hwnd, kApp2, 0, 0);
        call.lReturn = 99;
    };
    ASSERT_TRUE(subclasser.Subclass(window.hwnd(), &owner, 0, true));
    subclasser.AddMsg(window.hwnd(), kApp1, Subclasser::MSG_AFTER);

    TestWindow::Log().clear();
    EXPECT_EQ(SendMessageW(window.hwnd(), kApp1, 0, 0), 99);
    EXPECT_EQ(TestWindow::Log(), (Log{L"proc WM_APP+1", L"owner after WM_APP+1", L"proc WM_APP+2"}));
    EXPECT_EQ(ProcOf(window.hwnd()), original);

    EXPECT_EQ(Sent(window.hwnd(), {kApp1, kApp3}), (Log{L"proc WM_APP+1", L"proc WM_APP+3"}));
    EXPECT_EQ(NewReports(), Reports{});
}

TEST_F(SubclasserTest, TwoSubclassersOnOneWindowReleaseInEitherOrder)
{
    for (const bool firstMadeFirst : {true, false}) {
        SCOPED_TRACE(firstMadeFirst ? "release the first made first" : "release the last made first");
        TestWindow chained;
        const HWND hwnd = chained.hwnd();
        const LONG_PTR original = ProcOf(hwnd);
        RecordingOwner ownerA(L"A"), ownerB(L"B");
        Subclasser a, b;
        ASSERT_TRUE(a.Subclass(hwnd, &ownerA, 0, true));
        a.AddMsg(hwnd, kApp1, Subclasser::MSG_BEFORE_AND_AFTER);
        ASSERT_TRUE(b.Subclass(hwnd, &ownerB, 0, true));
        b.AddMsg(hwnd, kApp1, Subclasser::MSG_BEFORE_AND_AFTER);
        EXPECT_EQ(Sent(hwnd, {kApp1}), (Log{L"B before WM_APP+1", L"A before WM_APP+1", L"proc WM_APP+1",
                                            L"A after WM_APP+1", L"B after WM_APP+1"}));

        Subclasser& releasedFirst = firstMadeFirst ? a : b;
        releasedFirst.UnSubclass(hwnd);
        const Log remaining = firstMadeFirst
                                  ? Log{L"B before WM_APP+1", L"proc WM_APP+1", L"B after WM_APP+1"}
                                  : Log{L"A before WM_APP+1", L"proc WM_APP+1", L"A after WM_APP+1"};
        Log twice = remaining;
        twice.insert(twice.end(), remaining.begin(), remaining.end());
        EXPECT_EQ(Sent(hwnd, {kApp1, kApp1}), twice);
        // The other hook keeps the window's chain in place.
        EXPECT_NE(ProcOf(hwnd), original);

        Subclasser& releasedLast = firstMadeFirst ? b : a;
        releasedLast.UnSubclass(hwnd);
        EXPECT_EQ(Sent(hwnd, {kApp1, kApp1}), (Log{L"proc WM_APP+1", L"proc WM_APP+1"}));
        EXPECT_EQ(ProcOf(hwnd), original);
    }
    EXPECT_EQ(NewReports(), Reports{});
}

// Regions of the process's memory that are writable and executable at once.
int WritableExecutableRegions()
{
    int regions = 0;
    MEMORY_BASIC_INFORMATION info{};
    for (auto* address = static_cast<BYTE*>(nullptr);
         VirtualQuery(address, &info, sizeof(info)) == sizeof(info);
         address = static_cast<BYTE*>(info.BaseAddress) + info.RegionSize) {
        if (info.State == MEM_COMMIT &&
            (info.Protect & (PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY)) != 0)
            ++regions;
        if (static_cast<BYTE*>(info.BaseAddress) + info.RegionSize < address)
            break;
    }
    return regions;
}

TEST_F(SubclasserTest, NoCodeIsWrittenForAHook)
{
    const int before = WritableExecutableRegions();
    TestWindow other;
    RecordingOwner owner;
    Subclasser subclasser;
    ASSERT_TRUE(subclasser.Subclass(window.hwnd(), &owner, 0, true));
    ASSERT_TRUE(subclasser.Subclass(other.hwnd(), &owner, 0, true));
    subclasser.AddMsg(window.hwnd(), kApp1, Subclasser::MSG_BEFORE_AND_AFTER);
    EXPECT_EQ(Sent(window.hwnd(), {kApp1}),
              (Log{L"owner before WM_APP+1", L"proc WM_APP+1", L"owner after WM_APP+1"}));

    // Each window's procedure is code of a loaded module (the system's
    // subclass chain), none made at run time.
    for (const HWND hwnd : {window.hwnd(), other.hwnd()}) {
        MEMORY_BASIC_INFORMATION code{};
        ASSERT_EQ(
            VirtualQuery(reinterpret_cast<void*>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)), &code, sizeof(code)),
            sizeof(code));
        EXPECT_EQ(code.Type, static_cast<DWORD>(MEM_IMAGE));
    }
    EXPECT_EQ(WritableExecutableRegions(), before);
}

TEST_F(SubclasserTest, AnOwnerThatHasEndedIsNeverCalled)
{
    const LONG_PTR original = ProcOf(window.hwnd());
    Subclasser subclasser;
    auto owner = std::make_unique<RecordingOwner>();
    ASSERT_TRUE(subclasser.Subclass(window.hwnd(), owner.get(), 0, true));
    subclasser.AddMsg(window.hwnd(), kApp1, Subclasser::MSG_BEFORE_AND_AFTER);
    EXPECT_EQ(Sent(window.hwnd(), {kApp1}),
              (Log{L"owner before WM_APP+1", L"proc WM_APP+1", L"owner after WM_APP+1"}));

    // The owner ends without unsubclassing: the window still answers, from
    // its previous procedure alone.
    owner.reset();
    EXPECT_EQ(Sent(window.hwnd(), {kApp1}), Log{L"proc WM_APP+1"});
    EXPECT_EQ(SendMessageW(window.hwnd(), kApp1, 0, 0), TestWindow::AnswerTo(kApp1));

    subclasser.UnSubclass(window.hwnd());
    EXPECT_EQ(Sent(window.hwnd(), {kApp2}), Log{L"proc WM_APP+2"});
    EXPECT_EQ(ProcOf(window.hwnd()), original);
    EXPECT_EQ(NewReports(), Reports{});
}

BOOL WINAPI RefusingSetWindowSubclass(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR)
{
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

TEST_F(SubclasserTest, AFailedHookLeavesNoKeyBehind)
{
    const LONG_PTR original = ProcOf(window.hwnd());
    RecordingOwner owner;
    Subclasser subclasser;
    {
        ImportPatch refuse("comctl32.dll", "SetWindowSubclass",
                           reinterpret_cast<void*>(&RefusingSetWindowSubclass));
        ASSERT_TRUE(refuse.Patched());
        EXPECT_FALSE(subclasser.Subclass(window.hwnd(), &owner, 0, true));
    }
    EXPECT_EQ(NewReports(), (Reports{{L"Error in Subclasser.Subclass", L"SetWindowLong failed, error #5."}}));
    EXPECT_EQ(ProcOf(window.hwnd()), original);

    subclasser.AddMsg(window.hwnd(), kApp1, Subclasser::MSG_AFTER);
    EXPECT_EQ(NewReports(),
              (Reports{{L"Error in Subclasser.zMap_hWnd", L"Window handle isn't subclassed."}}));

    ASSERT_TRUE(subclasser.Subclass(window.hwnd(), &owner, 0, true));
    subclasser.AddMsg(window.hwnd(), kApp1, Subclasser::MSG_AFTER);
    EXPECT_EQ(NewReports(), Reports{});
    EXPECT_EQ(Sent(window.hwnd(), {kApp1}), (Log{L"proc WM_APP+1", L"owner after WM_APP+1"}));
}

TEST_F(SubclasserTest, UnSubclassOfAWindowAlreadyGoneLetsItGoQuietly)
{
    RecordingOwner owner;
    Subclasser subclasser;
    ASSERT_TRUE(subclasser.Subclass(window.hwnd(), &owner, 0, true));
    subclasser.AddMsg(window.hwnd(), Subclasser::ALL_MESSAGES, Subclasser::MSG_BEFORE_AND_AFTER);
    const HWND hwnd = window.hwnd();
    window.Destroy();
    subclasser.UnSubclass(hwnd);
    EXPECT_EQ(NewReports(), Reports{});
    EXPECT_EQ(subclasser.lParamUser(hwnd), 0);
    EXPECT_EQ(NewReports(),
              (Reports{{L"Error in Subclasser.zMap_hWnd", L"Window handle isn't subclassed."}}));
}

TEST_F(SubclasserTest, TerminateAndTheEndOfTheObjectReleaseEveryWindow)
{
    TestWindow other;
    const LONG_PTR originals[] = {ProcOf(window.hwnd()), ProcOf(other.hwnd())};
    RecordingOwner owner;
    {
        Subclasser subclasser;
        ASSERT_TRUE(subclasser.Subclass(window.hwnd(), &owner, 0, true));
        ASSERT_TRUE(subclasser.Subclass(other.hwnd(), &owner, 0, true));
        subclasser.AddMsg(window.hwnd(), kApp1, Subclasser::MSG_AFTER);
        subclasser.AddMsg(other.hwnd(), kApp1, Subclasser::MSG_AFTER);
        subclasser.Terminate();
        EXPECT_EQ(Sent(window.hwnd(), {kApp1}), Log{L"proc WM_APP+1"});

        // A new start after Terminate.
        ASSERT_TRUE(subclasser.Subclass(window.hwnd(), &owner, 0, true));
        subclasser.AddMsg(window.hwnd(), kApp2, Subclasser::MSG_AFTER);
        EXPECT_EQ(Sent(window.hwnd(), {kApp2}), (Log{L"proc WM_APP+2", L"owner after WM_APP+2"}));
    }
    EXPECT_EQ(Sent(window.hwnd(), {kApp2}), Log{L"proc WM_APP+2"});
    EXPECT_EQ(Sent(other.hwnd(), {kApp1}), Log{L"proc WM_APP+1"});
    EXPECT_EQ(ProcOf(window.hwnd()), originals[0]);
    EXPECT_EQ(ProcOf(other.hwnd()), originals[1]);
    EXPECT_EQ(NewReports(), Reports{});
}

}  // namespace
}  // namespace quill::listview
