// The button under the real mouse: the system's own moves, leave
// notifications and clicks (this test moves the shared display's pointer).
#include "ButtonHost.h"
#include "tests/support/Input.h"

#include <gtest/gtest.h>

#include <memory>

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
    static void Park() { test::MoveMouseTo({1200, 1000}); }

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

    static void Settle() { test::PumpPosted(); }
    bool Logged(const wchar_t* e) const
    {
        return std::find(events.Entries().begin(), events.Entries().end(), e) != events.Entries().end();
    }
};

TEST_F(RealMouse, EnteringAndLeavingRaiseOneEventEach)
{
    test::MoveMouseTo(Inside());
    ASSERT_TRUE(test::PumpUntil([&] { return Logged(L"MouseEnter"); }));
    EXPECT_EQ(a().State(), 2);
    EXPECT_NE(a().ToolTipWindow(), nullptr);
    for (int dx = 1; dx <= 5; ++dx)
        test::MoveMouseTo(Inside(dx));
    Settle();
    EXPECT_EQ(events.Entries(), (Log{L"MouseEnter"}));

    test::MoveMouseTo(Outside());
    ASSERT_TRUE(test::PumpUntil([&] { return Logged(L"MouseLeave"); }));
    Settle();
    EXPECT_EQ(events.Entries(), (Log{L"MouseEnter", L"MouseLeave"}));
    EXPECT_EQ(a().State(), 1);
    EXPECT_EQ(a().ToolTipWindow(), nullptr);
    EXPECT_EQ(a().Extender().ToolTipText(), L"tip");
}

TEST_F(RealMouse, AClickRaisesClickAndDraggingOutBeforeTheReleaseDoesNot)
{
    test::MoveMouseTo(Inside());
    ASSERT_TRUE(test::PumpUntil([&] { return Logged(L"MouseEnter"); }));
    test::MouseButton(true);
    test::MouseButton(false);
    ASSERT_TRUE(test::PumpUntil([&] { return Logged(L"Click"); }));
    events.Clear();

    test::MouseButton(true);
    ASSERT_TRUE(test::PumpUntil([&] { return a().State() == 3; }));
    test::MoveMouseTo(Outside());
    // Leaving with the button held still ends the hover and draws the normal look.
    ASSERT_TRUE(test::PumpUntil([&] { return Logged(L"MouseLeave"); }));
    EXPECT_EQ(a().State(), 1);
    test::MouseButton(false);
    Settle();
    EXPECT_EQ(events.Entries(), (Log{L"MouseLeave"}));
}

TEST_F(RealMouse, ADisabledButtonRaisesNothing)
{
    bool spaceReachedB = false;
    form->b->Click = [&] { spaceReachedB = true; };
    a().Enabled(false);
    test::MoveMouseTo(Inside());
    test::MouseButton(true);
    test::MouseButton(false);
    // Space goes to the control that has the focus, never to a disabled one:
    // `b` clicks, and by then everything sent before has been handled.
    test::PressKey(VK_SPACE);
    ASSERT_TRUE(test::PumpUntil([&] { return spaceReachedB; }, "b's click"));
    EXPECT_TRUE(events.Entries().empty());
    EXPECT_EQ(a().State(), 4);
}

TEST_F(RealMouse, ClosingTheWindowUnderTheMouseFromItsClick)
{
    test::MoveMouseTo(Inside());
    ASSERT_TRUE(test::PumpUntil([&] { return Logged(L"MouseEnter"); }));
    HWND tip = a().ToolTipWindow();
    a().Click = [&] { form->Unload(); };
    test::MouseButton(true);
    test::MouseButton(false);
    ASSERT_TRUE(test::PumpUntil([&] { return !form->IsLoaded(); }));
    Settle();
    EXPECT_FALSE(IsWindow(tip));
    form->Show();  // loads afresh for TearDown
}

}  // namespace
