// The button under the real mouse: the system's own moves, leave
// notifications and clicks (this test moves the shared display's pointer).
#include "ButtonHost.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

using namespace quill;

using namespace quill::button;
using Log = std::vector<std::wstring>;

namespace {

class RealMouse : public ::testing::Test {
protected:
    forms::PropertyBag layout{{L"Style", 8}, {L"Caption", L"OK"}, {L"ToolTipText", L"tip"}};
    std::unique_ptr<HostForm> form;
    forms::EventLog events;

    void SetUp() override
    {
        Park();
        form = std::make_unique<HostForm>(
            [this](HostForm& f) {
                f.a.Load(f, Place(L"a", 20, 20, 100, 30), &layout);
                f.b.Load(f, Place(L"b", 20, 80, 100, 30), &layout);
            },
            forms::FormArgs{
                .caption = L"Mouse", .left = 3000, .top = 3000, .startUpPosition = forms::vbStartUpManual});
        form->Show();
        form->b->SetFocus();
        events.Record(a().Click, L"Click");
        events.Record(a().MouseEnter, L"MouseEnter");
        events.Record(a().MouseLeave, L"MouseLeave");
        Settle();
    }
    void TearDown() override
    {
        Park();
        Settle();
        form->Unload();
    }

    StyledButton& a() { return *form->a; }

    // Where nothing of ours lies.
    static void Park() { SetCursorPos(1200, 1000); }

    POINT Inside(int dx = 0) const
    {
        RECT r{};
        GetWindowRect(form->a->hWnd(), &r);
        return {(r.left + r.right) / 2 + dx, (r.top + r.bottom) / 2};
    }
    POINT Outside() const
    {
        RECT r{};
        GetWindowRect(form->a->hWnd(), &r);
        return {r.right + 40, r.bottom + 60};
    }

    static void MoveTo(POINT p)
    {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dx = MulDiv(p.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        in.mi.dy = MulDiv(p.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &in, sizeof in);
    }
    static void Button(bool down)
    {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
        SendInput(1, &in, sizeof in);
    }

    // Pumps until `done` or two seconds have passed.
    template <class F>
    static bool PumpUntil(F done)
    {
        for (int i = 0; i < 200; ++i) {
            Pump();
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    static void Settle()
    {
        for (int i = 0; i < 20; ++i) {
            Pump();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    bool Logged(const wchar_t* e) const
    {
        return std::find(events.Entries().begin(), events.Entries().end(), e) != events.Entries().end();
    }
};

TEST_F(RealMouse, EnteringAndLeavingRaiseOneEventEach)
{
    SetCursorPos(Inside().x, Inside().y);
    ASSERT_TRUE(PumpUntil([&] { return Logged(L"MouseEnter"); }));
    EXPECT_EQ(a().State(), 2);
    EXPECT_NE(a().ToolTipWindow(), nullptr);
    for (int dx = 1; dx <= 5; ++dx)
        MoveTo(Inside(dx));
    Settle();
    EXPECT_EQ(events.Entries(), (Log{L"MouseEnter"}));

    MoveTo(Outside());
    ASSERT_TRUE(PumpUntil([&] { return Logged(L"MouseLeave"); }));
    Settle();
    EXPECT_EQ(events.Entries(), (Log{L"MouseEnter", L"MouseLeave"}));
    EXPECT_EQ(a().State(), 1);
    EXPECT_EQ(a().ToolTipWindow(), nullptr);
    EXPECT_EQ(a().Extender().ToolTipText(), L"tip");
}

TEST_F(RealMouse, AClickRaisesClickAndDraggingOutBeforeTheReleaseDoesNot)
{
    MoveTo(Inside());
    ASSERT_TRUE(PumpUntil([&] { return Logged(L"MouseEnter"); }));
    Button(true);
    Button(false);
    ASSERT_TRUE(PumpUntil([&] { return Logged(L"Click"); }));
    events.Clear();

    Button(true);
    ASSERT_TRUE(PumpUntil([&] { return a().State() == 3; }));
    MoveTo(Outside());
    // Leaving with the button held still ends the hover and draws the normal look.
    ASSERT_TRUE(PumpUntil([&] { return Logged(L"MouseLeave"); }));
    EXPECT_EQ(a().State(), 1);
    Button(false);
    Settle();
    EXPECT_EQ(events.Entries(), (Log{L"MouseLeave"}));
}

TEST_F(RealMouse, ADisabledButtonRaisesNothing)
{
    a().Enabled(false);
    MoveTo(Inside());
    Settle();
    Button(true);
    Button(false);
    Settle();
    // Space goes to the control that has the focus, never to a disabled one.
    INPUT keys[2]{};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_SPACE;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
    Settle();
    EXPECT_TRUE(events.Entries().empty());
    EXPECT_EQ(a().State(), 4);
}

TEST_F(RealMouse, ClosingTheWindowUnderTheMouseFromItsClick)
{
    MoveTo(Inside());
    ASSERT_TRUE(PumpUntil([&] { return Logged(L"MouseEnter"); }));
    HWND tip = a().ToolTipWindow();
    a().Click = [&] { form->Unload(); };
    Button(true);
    Button(false);
    ASSERT_TRUE(PumpUntil([&] { return !form->IsLoaded(); }));
    Settle();
    EXPECT_FALSE(IsWindow(tip));
    form->Show();  // loads afresh for TearDown
}

}  // namespace
