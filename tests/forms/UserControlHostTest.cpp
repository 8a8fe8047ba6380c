// The user-control host: notifications from real window messages in the
// platform's order, focus, access keys, ambient values, the extender, the
// retained drawing surface and the end of a control under re-entrancy.
#include "ProbeControl.h"

#include "forms/Gdi.h"
#include "forms/Pump.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace quill;

using forms::ControlArgs;
using quill::forms::probe::LayoutForm;
using quill::forms::probe::ProbeControl;
using quill::forms::probe::ShowsAndHides;
using Log = std::vector<std::wstring>;

namespace {

class HostTest : public ::testing::Test {
protected:
    forms::Loaded<ProbeControl> a, b;
    const forms::PropertyBag* layoutA = nullptr;
    LayoutForm form{[this](LayoutForm& f) {
        a.Load(f, ControlArgs{.name = L"a", .left = 150, .top = 150, .width = 1500, .height = 450}, layoutA);
        b.Load(f, ControlArgs{.name = L"b", .left = 150, .top = 900, .width = 1500, .height = 450});
    }};

    void TearDown() override { form.Unload(); }

    static void Send(HWND h, UINT msg, WPARAM wp, int x, int y)
    {
        SendMessageW(h, msg, wp, MAKELPARAM(x, y));
    }
};

TEST_F(HostTest, ANewInstanceGetsInitPropertiesAStoredOneReadProperties)
{
    forms::PropertyBag layout{{L"caption", L"Stored"}};
    layoutA = &layout;
    form.Load();
    EXPECT_EQ(a->log.Entries(), (Log{L"ReadProperties", L"Resize"}));
    EXPECT_EQ(a->caption, L"Stored");
    EXPECT_EQ(b->log.Entries(), (Log{L"InitProperties", L"Resize"}));
    EXPECT_EQ(b->caption, L"b");  // the extender's name is there already

    forms::PropertyBag saved;
    b->SaveProperties(saved);
    EXPECT_EQ(saved.ReadProperty(L"Caption", L""), L"b");
}

TEST_F(HostTest, MouseEventsComeInThePlatformsOrder)
{
    struct Case {
        const char* name;
        std::vector<std::pair<UINT, POINT>> messages;
        Log expected;
    };
    const Case cases[] = {
        {"left click",
         {{WM_LBUTTONDOWN, {5, 5}}, {WM_LBUTTONUP, {5, 5}}},
         {L"MouseDown 1", L"MouseUp 1", L"Click"}},
        {"double click",
         {{WM_LBUTTONDOWN, {5, 5}},
          {WM_LBUTTONUP, {5, 5}},
          {WM_LBUTTONDBLCLK, {5, 5}},
          {WM_LBUTTONUP, {5, 5}}},
         {L"MouseDown 1", L"MouseUp 1", L"Click", L"DblClick", L"MouseUp 1"}},
        {"right click",
         {{WM_RBUTTONDOWN, {5, 5}}, {WM_RBUTTONUP, {5, 5}}},
         {L"MouseDown 2", L"MouseUp 2", L"Click"}},
        {"released outside",
         {{WM_LBUTTONDOWN, {5, 5}}, {WM_LBUTTONUP, {500, 5}}},
         {L"MouseDown 1", L"MouseUp 1"}},
    };
    form.Show();
    a->SetFocus();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        a->log.Clear();
        for (auto [msg, pt] : c.messages)
            Send(a->hWnd(), msg, msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK ? MK_LBUTTON : 0, pt.x,
                 pt.y);
        EXPECT_EQ(a->log.Entries(), c.expected);
        EXPECT_NE(GetCapture(), a->hWnd());
    }
}

TEST_F(HostTest, KeysArriveWithTheirCodesAndDoubleByteCharactersAsAnsiCodes)
{
    form.Show();
    a->SetFocus();
    a->log.Clear();
    SendMessageW(a->hWnd(), WM_KEYDOWN, 'A', 0);
    SendMessageW(a->hWnd(), WM_CHAR, 'a', 0);
    SendMessageW(a->hWnd(), WM_CHAR, 0x8BB0, 0);  // 记: GB2312 BC C7
    SendMessageW(a->hWnd(), WM_KEYUP, 'A', 0);
    EXPECT_EQ(a->log.Entries(), (Log{L"KeyDown 65", L"KeyPress 97", L"KeyPress -17209", L"KeyUp 65"}));
}

TEST_F(HostTest, FocusEntersAndLeavesInThePlatformsOrderAndTabMovesIt)
{
    form.Show();
    EXPECT_EQ(GetFocus(), a->hWnd());  // showing focuses the first control in tab order
    forms::EventLog host;
    host.Record(a->GotFocus, L"host a GotFocus");
    host.Record(a->LostFocus, L"host a LostFocus");
    b->SetFocus();
    a->log.Clear();
    host.Clear();
    a->SetFocus();
    EXPECT_EQ(a->log.Entries(), (Log{L"EnterFocus", L"GotFocus"}));
    EXPECT_EQ(host.Entries(), (Log{L"host a GotFocus"}));
    EXPECT_EQ(form.ActiveControl(), a.get());

    a->log.Clear();
    b->log.Clear();
    // A real Tab key through the pump.
    PostMessageW(a->hWnd(), WM_KEYDOWN, VK_TAB, 0);
    forms::DoEvents();
    EXPECT_EQ(GetFocus(), b->hWnd());
    EXPECT_EQ(a->log.Entries(), (Log{L"LostFocus", L"ExitFocus"}));
    EXPECT_EQ(b->log.Entries(), (Log{L"EnterFocus", L"GotFocus"}));
    EXPECT_EQ(host.Entries(), (Log{L"host a GotFocus", L"host a LostFocus"}));

    form.MoveFocus(true);  // wraps round
    EXPECT_EQ(GetFocus(), a->hWnd());
    form.MoveFocus(false);
    EXPECT_EQ(GetFocus(), b->hWnd());

    // Keystrokes sent by a control act after its handler, through the pump.
    forms::SendKeys(L"{+TAB}");
    EXPECT_EQ(GetFocus(), b->hWnd());
    forms::DoEvents();
    EXPECT_EQ(GetFocus(), a->hWnd());
    forms::SendKeys(L"{TAB}");
    forms::DoEvents();
    EXPECT_EQ(GetFocus(), b->hWnd());

    // Tab order follows TabIndex, not creation.
    b->TabIndex(0);
    EXPECT_EQ(a->TabIndex(), 1);
    a->Enabled(false);  // a disabled control is skipped
    form.MoveFocus(true);
    EXPECT_EQ(GetFocus(), b->hWnd());
}

TEST_F(HostTest, AccessKeysAndTheDefaultButtonReachTheControl)
{
    form.Show();
    a->AccessKeys(L"Q");
    b->SetFocus();
    a->log.Clear();
    PostMessageW(b->hWnd(), WM_SYSCHAR, 'q', 0);
    forms::DoEvents();
    EXPECT_EQ(a->log.Entries(), (Log{L"EnterFocus", L"GotFocus", L"AccessKeyPress 113"}));

    b->log.Clear();
    b->Default(true);
    EXPECT_TRUE(b->Ambient().DisplayAsDefault());
    PostMessageW(a->hWnd(), WM_KEYDOWN, VK_RETURN, 0);
    forms::DoEvents();
    EXPECT_EQ(b->log.Entries(),
              (Log{L"AmbientChanged DisplayAsDefault", L"EnterFocus", L"GotFocus", L"AccessKeyPress 13"}));
}

TEST_F(HostTest, AmbientValuesAndTheTestOnlyDesignMode)
{
    form.Load();
    EXPECT_TRUE(a->Ambient().UserMode());
    EXPECT_EQ(a->Ambient().DisplayName(), L"a");
    EXPECT_EQ(a->Ambient().Font()->Name(), form.Font()->Name());
    form.Unload();

    form.DesignMode = true;
    form.Load();
    EXPECT_FALSE(a->Ambient().UserMode());
}

TEST_F(HostTest, ExtenderPlacesInTwipsAndResizeNestsWhenTheControlSizesItself)
{
    form.Load();
    a->Move(300, 450, 3000, 600);
    RECT r;
    GetWindowRect(a->hWnd(), &r);
    MapWindowPoints(nullptr, form.hWnd(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(a->ScaleWidth(), 200);
    EXPECT_EQ(a->ScaleHeight(), 40);

    a->fixedHeightPixels = 15;
    a->deepestResize = 0;
    a->Extender().Height(900);
    EXPECT_EQ(a->Height(), 225);
    EXPECT_EQ(a->ScaleHeight(), 15);
    EXPECT_EQ(a->deepestResize, 2);
}

TEST_F(HostTest, ShowAndHideFollowEffectiveVisibility)
{
    form.Load();
    EXPECT_EQ(a->log.Entries(), (Log{L"InitProperties", L"Resize"}));  // a loaded form is not shown yet
    form.Show();
    EXPECT_EQ(a->log.Entries(), (Log{L"InitProperties", L"Resize", L"Show", L"EnterFocus", L"GotFocus"}));
    a->log.Clear();
    b->log.Clear();
    b->SetFocus();
    a->Visible(false);
    form.Hide();
    a->Visible(true);  // the form is hidden: still not shown
    form.Show();
    EXPECT_EQ(ShowsAndHides(a->log), (Log{L"Hide", L"Show"}));
    EXPECT_EQ(ShowsAndHides(b->log), (Log{L"Hide", L"Show"}));
}

TEST_F(HostTest, PropertyChangedReportsReachTheHost)
{
    form.Load();
    forms::EventLog host;
    a->PropertyChangeReported = [&](const std::wstring& name) { host.Add(name); };
    a->PropertyChanged(L"Caption");
    a->PropertyChanged(L"Enabled");
    EXPECT_EQ(host.Entries(), (Log{L"Caption", L"Enabled"}));
}

TEST_F(HostTest, TheSurfaceKeepsWhatWasDrawnAndIsBlittedOnPaint)
{
    form.Show();
    a->BackColor(0x00FF00);  // clears to green
    a->Graphics().Line(0, 0, 9, 9, 0x0000FF, forms::Surface::Box::Filled);
    EXPECT_EQ(a->Point(0, 0), 0x0000FF);
    EXPECT_EQ(a->Point(9, 9), 0x0000FF);
    EXPECT_EQ(a->Point(10, 10), 0x00FF00);
    EXPECT_EQ(a->Point(-1, 0), -1);
    a->Graphics().Line(20, 2, 29, 2, 0xFF0000, forms::Surface::Box::Border);
    EXPECT_EQ(a->Point(29, 2), 0xFF0000);

    a->Refresh();
    HDC dc = GetDC(a->hWnd());
    EXPECT_EQ(GetPixel(dc, 3, 3), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 15, 15), RGB(0, 255, 0));
    ReleaseDC(a->hWnd(), dc);

    // Growing keeps the drawing and fills the new part with the back colour.
    a->Move(a->Left(), a->Top(), 3000, 900);
    EXPECT_EQ(a->Point(5, 5), 0x0000FF);
    EXPECT_EQ(a->Point(150, 50), 0x00FF00);
}

TEST_F(HostTest, RepeatedPaintingLeaksNoGdiObjects)
{
    form.Show();
    auto draw = [&] {
        a->Cls();
        a->Graphics().Print(L"记账 Quillmoor");
        a->Graphics().Line(0, 0, 50, 20, -1, forms::Surface::Box::Border);
        a->Font()->Bold(!a->Font()->Bold());
        a->Refresh();
    };
    draw();
    long before = forms::gdi::LiveObjects();
    for (int i = 0; i < 50; ++i)
        draw();
    EXPECT_EQ(forms::gdi::LiveObjects(), before);
}

TEST_F(HostTest, AHandlerThatUnloadsItsOwnFormEndsTheControlOnlyAfterItReturns)
{
    form.Show();
    auto outside = std::make_shared<forms::EventLog>();
    a->onTerminate = [outside] { outside->Add(L"Terminate"); };
    a->onClick = [&, outside] {
        form.Unload();
        forms::DoEvents();  // a nested pump while the control's handler still runs
        outside->Add(std::wstring(L"handler ends, form loaded: ") + (form.IsLoaded() ? L"yes" : L"no"));
    };
    a->SetFocus();
    Send(a->hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
    HWND h = a->hWnd();
    Send(h, WM_LBUTTONUP, 0, 5, 5);
    EXPECT_EQ(outside->Entries(), (Log{L"handler ends, form loaded: no", L"Terminate"}));
    EXPECT_FALSE(a);
    EXPECT_FALSE(IsWindow(h));

    // Loading again creates the controls afresh.
    form.Show();
    ASSERT_TRUE(a);
    EXPECT_EQ(a->log.Entries(), (Log{L"InitProperties", L"Resize", L"Show", L"EnterFocus", L"GotFocus"}));
}

}  // namespace
