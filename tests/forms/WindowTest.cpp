// A window of the layer as the programs build theirs: a form with a text
// box, a frame with children, a timer, a control array and user controls.
#include "ProbeControl.h"
#include "tests/support/LabelText.h"
#include "tests/support/Pump.h"

#include "forms/Frame.h"
#include "forms/Gdi.h"
#include "forms/Label.h"
#include "forms/lang/Ansi.h"
#include "forms/lang/Clock.h"
#include "forms/MessageBox.h"
#include "forms/Pump.h"
#include "forms/Screen.h"
#include "forms/TextBox.h"
#include "forms/TimerControl.h"

#include <gtest/gtest.h>

#include <memory>

using namespace quill;

using forms::ControlArgs;
using Log = std::vector<std::wstring>;

namespace {

class TestWindow : public forms::Form {
public:
    TestWindow()
        : Form({.caption = L"窗口",
                .clientWidth = 6000,
                .clientHeight = 4500,
                .startUpPosition = forms::vbStartUpScreen})
    {
    }

    forms::Loaded<forms::TextBox> Text1;
    forms::Loaded<forms::Frame> Frame1;
    forms::Loaded<quill::forms::probe::ProbeControl> Probe1;  // inside the frame
    forms::Loaded<forms::Label> Label1;                       // inside the frame, windowless
    forms::Loaded<forms::TimerControl> Timer1;
    forms::ControlArray<forms::TextBox> Boxes;
    forms::Loaded<quill::forms::probe::ProbeControl> Probe2;

    // The window's own values: they outlive unloading.
    int loads = 0;
    int ticks = 0;
    forms::EventLog events;
    std::function<void()> onTick;

protected:
    void CreateControls() override
    {
        Text1.Load(*this, {.name = L"Text1", .left = 150, .top = 150, .width = 2400, .height = 300},
                   forms::TextBoxArgs{.text = L"记账", .maxLength = 10});
        Frame1.Load(*this, {.name = L"Frame1", .left = 150, .top = 600, .width = 3000, .height = 1800},
                    forms::FrameArgs{.caption = L"面板"});
        Probe1.Load(*Frame1, {.name = L"Probe1", .left = 150, .top = 300, .width = 1500, .height = 450});
        Label1.Load(*Frame1, {.name = L"Label1", .left = 150, .top = 900, .width = 1500, .height = 300},
                    forms::LabelArgs{
                        .caption = L"标签", .backColor = 0x00FFFF, .mousePointer = forms::vbHandPointer});
        Timer1.Load(*this, {.name = L"Timer1"}, forms::TimerArgs{.interval = 1000, .enabled = false});
        Timer1->Timer = [this] { Timer1_Timer(); };
        Boxes.Wire = [this](forms::TextBox& box) {
            box.Change = [this, i = box.Index()] { Boxes_Change(i); };
        };
        Boxes.Load(0, *this, {.name = L"Boxes", .left = 3300, .top = 150, .width = 1200, .height = 300});
        Probe2.Load(*this, {.name = L"Probe2", .left = 3300, .top = 900, .width = 1500, .height = 450});
    }
    void Form_Load() override { ++loads; }

private:
    void Timer1_Timer()
    {
        ++ticks;
        events.Add(forms::HandlerRunning() ? L"tick" : L"tick outside a handler");
        if (onTick)
            onTick();
    }
    void Boxes_Change(int index) { events.Add(L"Boxes(" + std::to_wstring(index) + L") Change"); }
};

class WindowTest : public ::testing::Test {
protected:
    TestWindow w;
    void TearDown() override { w.Unload(); }
};

TEST_F(WindowTest, HidingTheFrameHidesItsChildrenAndTellsThem)
{
    w.Show();
    w.Frame1->Visible(false);
    EXPECT_FALSE(IsWindowVisible(w.Probe1->hWnd()));
    EXPECT_FALSE(w.Label1->EffectivelyVisible());
    w.Frame1->Visible(true);
    EXPECT_TRUE(IsWindowVisible(w.Probe1->hWnd()));
    EXPECT_EQ(quill::forms::probe::ShowsAndHides(w.Probe1->log), (Log{L"Show", L"Hide", L"Show"}));
    EXPECT_EQ(quill::forms::probe::ShowsAndHides(w.Probe2->log),
              (Log{L"Show"}));  // outside the frame: untouched
}

TEST_F(WindowTest, ATimerFiresInsideANestedPump)
{
    forms::ClockOverride clock(42000.0);
    w.Show();
    w.Timer1->Enabled(true);
    // A handler that waits the way a request does: pumping, with time passing.
    w.Probe2->onClick = [&] {
        for (int i = 0; i < 5 && w.ticks == 0; ++i) {
            clock.Advance(300);
            forms::DoEvents();
        }
        w.events.Add(L"wait ends");
    };
    SendMessageW(w.Probe2->hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageW(w.Probe2->hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(w.events.Entries(), (Log{L"tick", L"wait ends"}));
}

TEST_F(WindowTest, ATimerOnTheRealClockFiresInsideAModalWait)
{
    w.Show();
    w.Timer1->Interval(30);
    w.Timer1->Enabled(true);
    EXPECT_TRUE(test::PumpUntil([&] { return w.ticks > 0; }, "a tick"));
}

TEST_F(WindowTest, AHandlerThatUnloadsItsOwnFormWhileANestedPumpRunsDoesNotCrash)
{
    forms::ClockOverride clock(42000.0);
    w.Show();
    w.Timer1->Enabled(true);
    auto outside = std::make_shared<forms::EventLog>();
    w.Probe2->onTerminate = [outside] { outside->Add(L"Probe2 Terminate"); };
    w.Probe1->onTerminate = [outside] { outside->Add(L"Probe1 Terminate"); };
    // The timer's handler unloads the window whose control is still waiting.
    w.onTick = [&] {
        w.Unload();
        outside->Add(L"unloaded in the tick");
    };
    w.Probe2->onClick = [&, outside] {
        for (int i = 0; i < 5; ++i) {
            clock.Advance(400);
            forms::DoEvents();
        }
        outside->Add(L"wait ends");
    };
    HWND probe = w.Probe2->hWnd();
    SendMessageW(probe, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageW(probe, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(outside->Entries(),
              (Log{L"unloaded in the tick", L"wait ends", L"Probe2 Terminate", L"Probe1 Terminate"}));
    EXPECT_FALSE(w.IsLoaded());
    EXPECT_FALSE(IsWindow(probe));
    EXPECT_EQ(w.ticks, 1);
}

TEST_F(WindowTest, LoadShowHideAndUnloadAreSeparateAndOwnValuesSurvive)
{
    w.Load();
    EXPECT_TRUE(w.IsLoaded());
    EXPECT_FALSE(w.Visible());
    EXPECT_EQ(forms::Forms().size(), 1u);
    w.Text1->Text(L"changed");
    w.Show();
    EXPECT_TRUE(w.Visible());
    w.Hide();
    EXPECT_FALSE(w.Visible());
    EXPECT_TRUE(w.IsLoaded());
    EXPECT_TRUE(w.Unload());
    EXPECT_FALSE(w.IsLoaded());
    EXPECT_FALSE(w.Text1);
    EXPECT_TRUE(forms::Forms().empty());

    w.Load();
    EXPECT_EQ(w.loads, 2);                // the form's own value
    EXPECT_EQ(w.Text1->Text(), L"记账");  // the control, afresh from the design
}

TEST_F(WindowTest, AControlArrayLoadsAndUnloadsElementsAtRunTime)
{
    w.Show();
    forms::TextBox& one = w.Boxes.Load(1);
    EXPECT_FALSE(one.Visible());  // loaded elements start hidden
    EXPECT_EQ(one.Index(), 1);
    EXPECT_EQ(one.Width(), w.Boxes[0].Width());
    w.Boxes.Load(2).Text(L"x");
    w.Boxes[0].Text(L"y");
    EXPECT_EQ(w.events.Entries(), (Log{L"Boxes(2) Change", L"Boxes(0) Change"}));
    w.Boxes.Unload(1);
    EXPECT_FALSE(w.Boxes.Contains(1));
    EXPECT_EQ(w.Boxes.Count(), 2);
    EXPECT_EQ(w.Boxes.UBound(), 2);
}

TEST_F(WindowTest, FormSizesAreTwipsAndPlacesFollowTheDesign)
{
    w.Show();
    EXPECT_EQ(forms::Screen::TwipsPerPixelX(), 15.0f);
    EXPECT_EQ(forms::Screen::Width(), GetSystemMetrics(SM_CXSCREEN) * 15);
    EXPECT_EQ(w.ScaleWidth(), 6000);
    EXPECT_EQ(w.ScaleHeight(), 4500);
    EXPECT_GT(w.Width(), w.ScaleWidth());
    // Centred on the screen's work area.
    RECT area;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_NEAR(w.Left() + w.Width() / 2, (area.left + area.right) / 2 * 15, 15);
    w.Move(300, 600, 9000, 7500);
    EXPECT_EQ(w.Left(), 300);
    EXPECT_EQ(w.Top(), 600);
    EXPECT_EQ(w.Width(), 9000);
    EXPECT_EQ(w.Caption(), L"窗口");
    w.Caption(L"Quillmoor - V1.3");
    EXPECT_EQ(w.Caption(), L"Quillmoor - V1.3");
    w.WindowState(forms::vbMaximized);
    EXPECT_EQ(w.WindowState(), forms::vbMaximized);
    w.WindowState(forms::vbNormal);
    EXPECT_EQ(w.WindowState(), forms::vbNormal);
}

TEST_F(WindowTest, TheWindowlessLabelClicksAndPaintsOnItsContainer)
{
    w.Show();
    forms::EventLog log;
    log.Record(w.Label1->Click, L"Click");
    log.Record(w.Label1->DblClick, L"DblClick");
    RECT r = w.Label1->PixelRect();
    HWND frame = w.Frame1->hWnd();
    LPARAM at = MAKELPARAM(r.left + 3, r.top + 3);
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        SendMessageW(frame, m, m == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
    EXPECT_EQ(log.Entries(), (Log{L"Click", L"DblClick"}));

    UpdateWindow(frame);
    HDC dc = GetDC(frame);
    EXPECT_EQ(GetPixel(dc, r.right - 2, r.bottom - 2), RGB(255, 255, 0));  // its back colour
    ReleaseDC(frame, dc);
}

TEST_F(WindowTest, ALabelShowsItsCaptionAsItIsUnlessItTakesAnAccessKey)
{
    w.Show();
    w.Label1->Width(3000);
    const struct {
        const wchar_t* caption;
        bool mnemonic;
        const wchar_t* accessKey;
    } cases[] = {
        {L"a&b=c", false, L""},     {L"acc&1=2", false, L""}, {L"&&x&", false, L""},
        {L"平台&账号", false, L""}, {L"a&b=c", true, L"b"},
    };
    for (const auto& c : cases) {
        w.Label1->UseMnemonic(c.mnemonic);
        w.Label1->Caption(c.caption);
        EXPECT_EQ(w.Label1->AccessKeyChars(), c.accessKey) << c.caption;
        const std::string literal = test::LiteralCaptionMismatch(*w.Label1);
        // One that takes an access key draws "a" and an underlined "b".
        EXPECT_EQ(literal.empty(), !c.mnemonic) << c.caption << ": " << literal;
    }
}

// A caption wider than its label wraps onto a second line, or, in a label
// kept to one line, stays on the first, cut after the characters that leave
// room for an ellipsis; one that fits shows whole either way.
TEST_F(WindowTest, ALabelKeptToOneLineCutsACaptionTooWideWithAnEllipsis)
{
    w.Show();
    w.Label1->Width(1500);
    w.Label1->Height(600);  // room for two lines
    forms::gdi::MemoryDc dc;
    forms::gdi::FontHandle font = w.Label1->Font()->CreateHandle();
    forms::gdi::Selection selected(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const struct {
        const wchar_t* caption;
        bool oneLine;
        bool secondLine;
    } cases[] = {
        {L"平台名称二十个字平台名称二十个字平台名称", false, true},
        {L"平台名称二十个字平台名称二十个字平台名称", true, false},
        {L"Platform 12345678901234567890", true, false},
        {L"平台名称", true, false},
        {L"平台名称", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.oneLine << " " << forms::TextToAnsi(c.caption));
        w.Label1->OneLine(c.oneLine);
        w.Label1->Caption(c.caption);
        EXPECT_EQ(w.Label1->OneLine(), c.oneLine);
        const std::vector<int> rows = test::InkRows(*w.Label1);
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows.back() >= metrics.tmHeight, c.secondLine);
        EXPECT_EQ(test::LiteralCaptionMismatch(*w.Label1), "");
        if (c.oneLine) {
            EXPECT_EQ(test::CutCaptionMismatch(*w.Label1), "");
        }
    }
    w.Label1->OneLine(false);
}

// A label that sizes itself takes its caption's extent in its font, a line
// for each line break and no wrapping, wherever it stands; one that does
// not keeps its size.
TEST_F(WindowTest, ALabelThatSizesItselfFollowsItsCaptionAndFont)
{
    w.Show();
    const RECT designed = w.Label1->PixelRect();
    w.Label1->AutoSize(true);
    EXPECT_TRUE(w.Label1->AutoSize());
    const auto extent = [&](const std::wstring& text) {
        HDC dc = GetDC(nullptr);
        forms::gdi::FontHandle font = w.Label1->Font()->CreateHandle();
        forms::gdi::Selection selected(dc, font);
        RECT r{};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
                  DT_CALCRECT | DT_EXPANDTABS | DT_NOPREFIX);
        ReleaseDC(nullptr, dc);
        return SIZE{r.right, r.bottom};
    };
    for (const std::wstring caption : {L"标签", L"欢迎使用 Quillmoor!", L"两行\r\n文字 Two lines", L""}) {
        w.Label1->Caption(caption);
        const RECT r = w.Label1->PixelRect();
        EXPECT_EQ(r.left, designed.left);
        EXPECT_EQ(r.top, designed.top);
        EXPECT_EQ(r.right - r.left, extent(caption).cx) << caption.size();
        EXPECT_EQ(r.bottom - r.top, extent(caption).cy) << caption.size();
    }
    w.Label1->Caption(L"欢迎使用 Quillmoor!");
    const LONG normal = w.Label1->PixelRect().right;
    w.Label1->Font()->Size(w.Label1->Font()->Size() * 2);
    EXPECT_GT(w.Label1->PixelRect().right, normal);

    w.Label1->AutoSize(false);
    const RECT kept = w.Label1->PixelRect();
    w.Label1->Caption(L"标签");
    const RECT after = w.Label1->PixelRect();
    EXPECT_TRUE(EqualRect(&kept, &after));
}

TEST(Run, ShowsTheFirstWindowAndEndsWithTheLastOne)
{
    static quill::forms::probe::LayoutForm* first = nullptr;
    static forms::Loaded<forms::TimerControl> closer;
    quill::forms::probe::LayoutForm form([](quill::forms::probe::LayoutForm& f) {
        closer.Load(f, {.name = L"closer"}, forms::TimerArgs{.interval = 20, .enabled = true});
        closer->Timer = [] { first->Unload(); };
    });
    first = &form;
    forms::Run([] { first->Show(); });
    EXPECT_TRUE(forms::Forms().empty());
    EXPECT_EQ(form.log.Entries(), (Log{L"Load", L"Unload"}));
}

TEST(End, ClosesEveryWindowAtOnceWithoutTheirUnloadHandlers)
{
    forms::EndRecorder rec;
    quill::forms::probe::LayoutForm a([](quill::forms::probe::LayoutForm&) {}),
        b([](quill::forms::probe::LayoutForm&) {});
    a.Show();
    b.Load();
    forms::End();
    EXPECT_EQ(rec.Ends(), 1);
    EXPECT_TRUE(forms::Forms().empty());
    EXPECT_FALSE(IsWindow(a.hWnd()));
    EXPECT_EQ(a.log.Entries(), (Log{L"Load"}));
    EXPECT_EQ(b.log.Entries(), (Log{L"Load"}));
}

}  // namespace

// A control array whose later elements sit in a frame loaded after the first
// element: that frame leaves the form before those elements do.
class ArrayAcrossContainers : public forms::Form {
public:
    ArrayAcrossContainers() : Form({.caption = L"窗口", .clientWidth = 3000, .clientHeight = 3000}) {}

    forms::Loaded<forms::Frame> Frame1;
    forms::Loaded<forms::Frame> Frame2;
    forms::ControlArray<forms::TextBox> Boxes;
    forms::Loaded<forms::Frame> Frame3;

protected:
    void CreateControls() override
    {
        Frame1.Load(*this, {.name = L"Frame1", .left = 0, .top = 0, .width = 3000, .height = 3000});
        Frame2.Load(*Frame1, {.name = L"Frame2", .left = 150, .top = 150, .width = 2400, .height = 900});
        Boxes.Load(0, *Frame2, {.name = L"Boxes", .left = 150, .top = 150, .width = 1200, .height = 300});
        Frame3.Load(*Frame1, {.name = L"Frame3", .left = 150, .top = 1200, .width = 2400, .height = 900});
        Boxes.Load(1, *Frame3, {.name = L"Boxes", .left = 150, .top = 150, .width = 1200, .height = 300});
    }
};

TEST(ControlArrays, ElementsInsideALaterFrameUnloadWithTheirForm)
{
    for (int round = 0; round < 2; ++round) {
        ArrayAcrossContainers w;
        w.Show();
        ASSERT_EQ(w.Boxes.Count(), 2);
        EXPECT_EQ(GetParent(w.Boxes[1].hWnd()), w.Frame3->hWnd());
        w.Unload();
        EXPECT_EQ(w.Boxes.Count(), 0);
    }
}
