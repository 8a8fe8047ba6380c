// The button's surface under real window messages: persistence, the state
// machine and its events, the hook, the tool tip, the about box and the link.
#include "ButtonHost.h"

#include "forms/Gdi.h"
#include "forms/Shell.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

using namespace quill;

using namespace quill::button;
using Log = std::vector<std::wstring>;

namespace {

class ButtonTest : public ::testing::Test {
protected:
    forms::PropertyBag layout{{L"Style", 8}, {L"Caption", L"OK"}};
    bool designMode = false;
    std::unique_ptr<HostForm> form;
    forms::EventLog events;

    void Open()
    {
        form = std::make_unique<HostForm>([this](HostForm& f) {
            f.a.Load(f, Place(L"a", 10, 10, 80, 24), &layout);
            f.b.Load(f, Place(L"b", 10, 50, 80, 24), &layout);
        });
        form->DesignMode = designMode;
        form->Show();
        events.Record(a().Click, L"Click");
        events.Record(a().MouseEnter, L"MouseEnter");
        events.Record(a().MouseLeave, L"MouseLeave");
    }
    void TearDown() override
    {
        if (form)
            form->Unload();
    }
    StyledButton& a() { return *form->a; }
    StyledButton& b() { return *form->b; }
    void Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { SendMessageW(a().hWnd(), msg, wp, lp); }
    void Mouse(UINT msg, int x, int y, WPARAM keys = 0) { Send(msg, keys, MAKELPARAM(x, y)); }
};

// ---- persistence ------------------------------------------------------------

struct Stored {
    const wchar_t* key;
    forms::PropertyValue value;
};

TEST(ButtonProperties, EveryPropertyRoundTripsUnderItsKey)
{
    auto font = forms::Font::New(L"Verdana", 8.25);
    auto icon = forms::Picture::FromIcon(LoadIconW(nullptr, IDI_APPLICATION));
    forms::PropertyBag stored{{L"icon", icon},
                              {L"style", 10},
                              {L"caption", L"\u767B\u5F55"},
                              {L"iconsize", 32},
                              {L"iconsizeh", 24},
                              {L"captionalign", 4},
                              {L"iconalign", 3},
                              {L"inonthemestyle", 2},
                              {L"enabled", false},
                              {L"showfocus", true},
                              {L"usecustomcolors", true},
                              {L"backcolor", 0x112233},
                              {L"highlightcolor", 0x445566},
                              {L"fontcolor", 0x778899},
                              {L"fonthighlightcolor", 0xAABBCC},
                              {L"tooltiptext", L"tip"},
                              {L"tooltiptitle", L"title"},
                              {L"tooltipicon", 2},
                              {L"tooltiptype", 0},
                              {L"ttbackcolor", 0x010203},
                              {L"ttforecolor", 0x040506},
                              {L"font", font},
                              {L"buttontype", 1},
                              {L"value", true},
                              {L"maskcolor", 0xFF00FF},
                              {L"usemaskcolor", true},
                              {L"mousepointer", 11}};
    HostForm form([&](HostForm& f) { f.a.Load(f, Place(L"a", 0, 0, 100, 40), &stored); });
    form.Load();
    StyledButton& b = *form.a;
    EXPECT_EQ(b.Style(), 10);
    EXPECT_EQ(b.Caption(), L"\u767B\u5F55");
    EXPECT_EQ(b.Icon(), icon);
    EXPECT_EQ(b.IconSize(), 32);
    EXPECT_EQ(b.IconSizeH(), 24);
    EXPECT_EQ(b.CaptionAlign(), 4);
    EXPECT_EQ(b.IconAlign(), 3);
    EXPECT_EQ(b.NonThemeStyle(), 2);
    EXPECT_FALSE(b.Enabled());
    EXPECT_FALSE(IsWindowEnabled(b.hWnd()));
    EXPECT_TRUE(b.ShowFocus());
    EXPECT_TRUE(b.UseCustomColors());
    EXPECT_EQ(b.BackColor(), 0x112233u);
    EXPECT_EQ(b.HighlightColor(), 0x445566u);
    EXPECT_EQ(b.FontColor(), 0x778899u);
    EXPECT_EQ(b.FontHighlightColor(), 0xAABBCCu);
    EXPECT_EQ(b.ToolTipText(), L"tip");
    EXPECT_EQ(b.Extender().ToolTipText(), L"tip");
    EXPECT_EQ(b.ToolTipTitle(), L"title");
    EXPECT_EQ(b.ToolTipIcon(), 2);
    EXPECT_EQ(b.ToolTipType(), 0);
    EXPECT_EQ(b.ToolTipBackColor(), 0x010203u);
    EXPECT_EQ(b.ToolTipForeColor(), 0x040506u);
    EXPECT_EQ(b.Font()->Name(), L"Verdana");
    EXPECT_DOUBLE_EQ(b.Font()->Size(), 8.25);
    EXPECT_EQ(b.ButtonType(), 1);
    EXPECT_TRUE(b.Value());
    EXPECT_EQ(b.MaskColor(), 0xFF00FFu);
    EXPECT_TRUE(b.UseMaskColor());
    EXPECT_EQ(b.MousePointer(), 11);

    forms::PropertyBag saved;
    b.SaveProperties(saved);
    std::vector<std::wstring> keys;
    for (const auto& e : saved.Entries())
        keys.push_back(e.key);
    EXPECT_EQ(keys, (std::vector<std::wstring>{L"Icon",           L"Style",           L"Caption",
                                               L"IconSize",       L"IconSizeH",       L"IconAlign",
                                               L"CaptionAlign",   L"iNonThemeStyle",  L"Enabled",
                                               L"ShowFocus",      L"USeCustomColors", L"BackColor",
                                               L"HighlightColor", L"FontColor",       L"FontHighlightColor",
                                               L"Tooltiptitle",   L"ToolTipIcon",     L"ToolTipType",
                                               L"ttBackColor",    L"ttForeColor",     L"Font",
                                               L"ButtonType",     L"Value",           L"MaskColor",
                                               L"UseMaskColor",   L"MousePointer"}));

    HostForm again([&](HostForm& f) { f.a.Load(f, Place(L"a", 0, 0, 100, 40), &saved); });
    again.Load();
    forms::PropertyBag resaved;
    again.a->SaveProperties(resaved);
    ASSERT_EQ(resaved.Entries().size(), saved.Entries().size());
    for (size_t i = 0; i < saved.Entries().size(); ++i) {
        const auto& x = saved.Entries()[i].value;
        const auto& y = resaved.Entries()[i].value;
        SCOPED_TRACE(saved.Entries()[i].key);
        EXPECT_EQ(x.index(), y.index());
        if (std::holds_alternative<int32_t>(x)) {
            EXPECT_EQ(std::get<int32_t>(x), std::get<int32_t>(y));
        }
        if (std::holds_alternative<std::wstring>(x)) {
            EXPECT_EQ(std::get<std::wstring>(x), std::get<std::wstring>(y));
        }
    }
    again.Unload();
    form.Unload();
}

TEST(ButtonProperties, MissingKeysReadTheirDefaults)
{
    forms::PropertyBag empty;
    HostForm form([&](HostForm& f) { f.a.Load(f, Place(L"a", 0, 0, 80, 24), &empty); });
    form.Load();
    StyledButton& b = *form.a;
    EXPECT_EQ(b.Style(), 3);
    EXPECT_EQ(b.Caption(), L"StyledButton");
    EXPECT_EQ(b.Icon(), nullptr);
    EXPECT_EQ(b.IconAlign(), 1);
    EXPECT_EQ(b.IconSize(), 16);
    EXPECT_EQ(b.IconSizeH(), 16);
    EXPECT_EQ(b.CaptionAlign(), 0);
    EXPECT_EQ(b.NonThemeStyle(), 5);
    EXPECT_TRUE(b.Enabled());
    EXPECT_FALSE(b.ShowFocus());
    EXPECT_FALSE(b.UseCustomColors());
    EXPECT_EQ(b.BackColor(), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(b.HighlightColor(), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(b.FontColor(), GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(b.FontHighlightColor(), GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(b.ToolTipText(), L"");
    EXPECT_EQ(b.ToolTipTitle(), L"");
    EXPECT_EQ(b.ToolTipIcon(), 0);
    EXPECT_EQ(b.ToolTipType(), 1);
    // The swapped indexes of the stored layouts.
    EXPECT_EQ(b.ToolTipBackColor(), GetSysColor(COLOR_INFOTEXT));
    EXPECT_EQ(b.ToolTipForeColor(), GetSysColor(COLOR_INFOBK));
    EXPECT_EQ(b.ButtonType(), 0);
    EXPECT_FALSE(b.Value());
    EXPECT_EQ(b.MaskColor(), 0xC0C0C0u);
    EXPECT_FALSE(b.UseMaskColor());
    EXPECT_EQ(b.MousePointer(), 0);
    // Until a CaptionAlign 0..4 is laid out a loaded control draws top left.
    EXPECT_EQ(b.CaptionFormat(), 37u);

    // Defaults are not written back, except the keys always written.
    forms::PropertyBag saved;
    b.SaveProperties(saved);
    std::vector<std::wstring> keys;
    for (const auto& e : saved.Entries())
        keys.push_back(e.key);
    EXPECT_EQ(keys, (std::vector<std::wstring>{L"Icon", L"Caption", L"Tooltiptitle", L"ToolTipIcon",
                                               L"ToolTipType", L"Font"}));
    form.Unload();
}

TEST(ButtonProperties, ANewInstanceSavesWhatDiffersFromTheReadDefaults)
{
    HostForm form([&](HostForm& f) { f.a.Load(f, Place(L"Command1", 0, 0, 80, 24)); });
    form.Load();
    StyledButton& b = *form.a;
    EXPECT_EQ(b.Caption(), L"Command1");
    EXPECT_EQ(b.Style(), 0);
    EXPECT_EQ(b.IconAlign(), 0);
    EXPECT_EQ(b.ToolTipType(), 1);
    EXPECT_EQ(b.BackColor(), GetSysColor(COLOR_BTNFACE));
    forms::PropertyBag saved;
    b.SaveProperties(saved);
    std::vector<std::wstring> keys;
    for (const auto& e : saved.Entries())
        keys.push_back(e.key);
    std::vector<std::wstring> want{L"Icon",           L"Style",        L"Caption",     L"IconAlign",
                                   L"iNonThemeStyle", L"Tooltiptitle", L"ToolTipIcon", L"ToolTipType"};
    if (GetSysColor(COLOR_INFOTEXT) != 0)
        want.push_back(L"ttBackColor");
    want.insert(want.end(), {L"ttForeColor", L"Font", L"MaskColor"});
    EXPECT_EQ(keys, want);
    form.Unload();

    // Loaded back: Style 0 and NonThemeStyle 0, so Style 6 would fall back to 0.
    HostForm again([&](HostForm& f) { f.a.Load(f, Place(L"a", 0, 0, 80, 24), &saved); });
    again.Load();
    EXPECT_EQ(again.a->Style(), 0);
    EXPECT_EQ(again.a->IconAlign(), 0);
    EXPECT_EQ(again.a->NonThemeStyle(), 0);
    again.Unload();
}

// The control's own design font, whatever the container's is: for a new
// instance and for a stored layout without "Font"; a stored font wins.
TEST(ButtonProperties, TheDesignFontIsVerdanaNotTheContainers)
{
    const auto stored = forms::Font::New(L"Tahoma", 12, true);
    const struct Case {
        const char* what;
        std::optional<forms::PropertyBag> layout;
        std::wstring name;
        double size;
    } cases[] = {
        {"new instance", std::nullopt, L"Verdana", 9},
        {"layout without Font", forms::PropertyBag{{L"Style", 8}}, L"Verdana", 9},
        {"layout with Font", forms::PropertyBag{{L"Font", stored}}, L"Tahoma", 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HostForm form(
            [&](HostForm& f) {
                if (c.layout)
                    f.a.Load(f, Place(L"a", 0, 0, 80, 24), &*c.layout);
                else
                    f.a.Load(f, Place(L"a", 0, 0, 80, 24));
            },
            {.caption = L"Fonts", .font = forms::Font::New(L"\u5B8B\u4F53", 15)});
        form.Load();
        ASSERT_TRUE(form.a->Font());
        EXPECT_EQ(form.a->Font()->Name(), c.name);
        EXPECT_DOUBLE_EQ(form.a->Font()->Size(), c.size);
        form.Unload();
    }
}

TEST(ButtonProperties, AnEmptyCaptionComesBackAsTheDefault)
{
    forms::PropertyBag stored{{L"Caption", L""}};
    HostForm form([&](HostForm& f) { f.a.Load(f, Place(L"a", 0, 0, 80, 24), &stored); });
    form.Load();
    EXPECT_EQ(form.a->Caption(), L"");
    forms::PropertyBag saved;
    form.a->SaveProperties(saved);
    EXPECT_FALSE(saved.Contains(L"Caption"));
    EXPECT_EQ(saved.ReadProperty(L"Caption", L"StyledButton"), L"StyledButton");
    form.Unload();
}

TEST_F(ButtonTest, SettersReportUnderTheirNames)
{
    Open();
    Log reported;
    a().PropertyChangeReported = [&](const std::wstring& n) { reported.push_back(n); };
    a().Style(3);
    a().Caption(L"x");
    a().ToolTipTitle(L"t");
    a().ToolTipIcon(1);
    a().Enabled(true);
    a().Value(false);
    a().MousePointer(1);
    a().NonThemeStyle(5);
    EXPECT_EQ(reported, (Log{L"Style", L"Caption", L"TooltipTitle", L"TooltipIcon", L"Enabled", L"Value",
                             L"MousePointer", L"NonThemeStyle"}));
}

TEST_F(ButtonTest, SmallerThan300TwipsIsEnlarged)
{
    Open();
    a().Move(a().Left(), a().Top(), 150, 90);
    EXPECT_EQ(a().Width(), 300);
    EXPECT_EQ(a().Height(), 300);
    EXPECT_EQ(a().ScaleWidth(), 20);
    EXPECT_EQ(a().ScaleHeight(), 20);
}

TEST_F(ButtonTest, CaptionAlignChoosesTheFormatAndKeepsItForOtherValues)
{
    Open();
    const uint32_t want[] = {37, 36, 38, 33, 41};
    for (int align = 0; align <= 4; ++align) {
        a().CaptionAlign(align);
        EXPECT_EQ(a().CaptionFormat(), want[align]);
    }
    a().CaptionAlign(9);
    EXPECT_EQ(a().CaptionFormat(), 41u);
}

// ---- the state machine --------------------------------------------------------

TEST_F(ButtonTest, ClickSequences)
{
    struct Step {
        UINT msg;
        int x, y;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        Log events;
        int state;
    };
    const Case cases[] = {
        {"press and release inside", {{WM_LBUTTONDOWN, 5, 5}, {WM_LBUTTONUP, 5, 5}}, {L"Click"}, 2},
        {"press, drag out, release outside",
         {{WM_LBUTTONDOWN, 5, 5}, {WM_MOUSEMOVE, 300, 5}, {WM_LBUTTONUP, 300, 5}},
         {},
         2},
        {"double click raises one Click",
         {{WM_LBUTTONDOWN, 5, 5}, {WM_LBUTTONUP, 5, 5}, {WM_LBUTTONDBLCLK, 5, 5}, {WM_LBUTTONUP, 5, 5}},
         {L"Click"},
         2},
        {"right click raises none and keeps the state",
         {{WM_RBUTTONDOWN, 5, 5}, {WM_RBUTTONUP, 5, 5}},
         {},
         2},
    };
    Open();
    a().SetFocus();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        events.Clear();
        for (const Step& s : c.steps) {
            const WPARAM keys = s.msg == WM_LBUTTONDOWN || s.msg == WM_LBUTTONDBLCLK || s.msg == WM_MOUSEMOVE
                                    ? MK_LBUTTON
                                    : 0;
            Mouse(s.msg, s.x, s.y, keys);
        }
        Log clicks;
        for (const auto& e : events.Entries())
            if (e == L"Click")
                clicks.push_back(e);
        EXPECT_EQ(clicks, c.events);
        EXPECT_EQ(a().State(), c.state);
    }
}

TEST_F(ButtonTest, PressingDrawsPressedAndReleasingDrawsHot)
{
    Open();
    Mouse(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    EXPECT_EQ(a().State(), 3);
    Mouse(WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(a().State(), 2);
}

TEST_F(ButtonTest, SpaceRaisesClickExactlyOnce)
{
    Open();
    a().SetFocus();
    // Before any mouse click the key press raises it itself...
    Send(WM_KEYDOWN, VK_SPACE);
    EXPECT_EQ(a().State(), 3);
    Send(WM_CHAR, ' ');
    Send(WM_KEYUP, VK_SPACE);
    EXPECT_EQ(a().State(), 2);
    EXPECT_EQ(events.Entries(), (Log{L"Click"}));
    // ... and after a left release through the click action, once as well.
    events.Clear();
    Send(WM_KEYDOWN, VK_SPACE);
    Send(WM_CHAR, ' ');
    Send(WM_KEYUP, VK_SPACE);
    EXPECT_EQ(events.Entries(), (Log{L"Click"}));
}

TEST_F(ButtonTest, EnterDoesNothingAndTheAccessKeyClicks)
{
    Open();
    a().SetFocus();
    Send(WM_CHAR, '\r');
    EXPECT_TRUE(events.Entries().empty());
    // Access key after a left release: the click action, then the normal look.
    Mouse(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, 5, 5);
    events.Clear();
    a().AccessKeys(L"L");
    PostMessageW(b().hWnd(), WM_SYSCHAR, 'l', 0);
    Pump();
    EXPECT_EQ(events.Entries(), (Log{L"Click"}));
    EXPECT_EQ(a().State(), 1);
}

TEST_F(ButtonTest, ToggleFlipsValueBeforeClickAndStaysDrawnPressed)
{
    layout = {{L"Style", 8}, {L"ButtonType", 1}};
    Open();
    std::vector<bool> valueAtClick;
    a().Click = [&] { valueAtClick.push_back(a().Value()); };
    Mouse(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(valueAtClick, (std::vector<bool>{true}));
    EXPECT_EQ(a().State(), 3);
    Mouse(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(valueAtClick, (std::vector<bool>{true, false}));
    EXPECT_EQ(a().State(), 2);

    // A right click leaves the next Space press without the toggle.
    Mouse(WM_RBUTTONDOWN, 5, 5);
    Mouse(WM_RBUTTONUP, 5, 5);
    Send(WM_CHAR, ' ');
    EXPECT_EQ(valueAtClick, (std::vector<bool>{true, false, false}));
}

TEST_F(ButtonTest, ClearingValueFromCodeEndsThePressedLook)
{
    layout = {{L"Style", 10}, {L"ButtonType", 1}};
    Open();
    a().Value(true);
    EXPECT_EQ(a().State(), 3);
    a().Value(false);
    EXPECT_EQ(a().State(), 1);
}

TEST_F(ButtonTest, DisabledButtonDrawsDisabledAndRefusesFocus)
{
    Open();
    a().Enabled(false);
    EXPECT_EQ(a().State(), 4);
    EXPECT_FALSE(IsWindowEnabled(a().hWnd()));
    b().SetFocus();
    form->MoveFocus(true);
    EXPECT_NE(GetFocus(), a().hWnd());
    a().Enabled(true);
    EXPECT_EQ(a().State(), 1);
    EXPECT_TRUE(IsWindowEnabled(a().hWnd()));
    // Reading Enabled repaints as well.
    int drawn = 0;
    auto previous = a().Graphics().onDrawn;
    a().Graphics().onDrawn = [&] {
        ++drawn;
        previous();
    };
    EXPECT_TRUE(a().Enabled());
    a().Graphics().onDrawn = previous;
    EXPECT_GT(drawn, 0);
}

TEST_F(ButtonTest, ArrowKeysMoveTheFocusAndQuoteAndPercentDoNothing)
{
    Open();
    a().SetFocus();
    Send(WM_CHAR, '\'');
    Send(WM_CHAR, '%');
    EXPECT_EQ(GetFocus(), a().hWnd());
    Send(WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(GetFocus(), b().hWnd());
    SendMessageW(b().hWnd(), WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(GetFocus(), a().hWnd());
    EXPECT_TRUE(events.Entries().empty());
}

TEST_F(ButtonTest, FocusIsTrackedAndRepainted)
{
    layout = {{L"Style", 10}, {L"Caption", L""}};
    Open();
    b().SetFocus();
    EXPECT_FALSE(a().HasFocus());
    const int64_t before = a().Point(40, 12);
    EXPECT_EQ(before, 0xEAE7E8);  // the Normal picture's centre
    a().SetFocus();
    EXPECT_TRUE(a().HasFocus());
    EXPECT_NE(a().Point(40, 12), before);  // the Hot picture
    b().SetFocus();
    EXPECT_FALSE(a().HasFocus());
    EXPECT_EQ(a().Point(40, 12), before);
}

TEST_F(ButtonTest, TheFocusLeavingOnlyClearsTheFlag)
{
    layout = {{L"Style", 10}};  // a face without a fill: two drawing notifications a repaint
    Open();
    a().SetFocus();
    int drawn = 0;
    auto previous = a().Graphics().onDrawn;
    a().Graphics().onDrawn = [&] {
        ++drawn;
        previous();
    };
    b().SetFocus();
    a().Graphics().onDrawn = previous;
    // One repaint (two drawing notifications), from the lost focus alone.
    EXPECT_EQ(drawn, 2);
    EXPECT_FALSE(a().HasFocus());
}

// ---- the hook and hover ------------------------------------------------------------

TEST_F(ButtonTest, HookedInARunningProgramWithTheFourMessagesAfterTheProcedure)
{
    Open();
    ASSERT_TRUE(a().Hooked());
    const auto* e = a().Thunks().Find(reinterpret_cast<uintptr_t>(a().hWnd()));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->after.count, 4);
    EXPECT_EQ(e->before.count, 0);
    EXPECT_EQ(std::vector<uint32_t>(e->after.entries.begin(), e->after.entries.end()),
              (std::vector<uint32_t>{WM_MOUSEMOVE, WM_MOUSELEAVE, WM_THEMECHANGED, WM_SYSCOLORCHANGE}));
}

TEST_F(ButtonTest, NotHookedOnADesignSurfaceWhereEveryStyleButFiveIsHot)
{
    designMode = true;
    Open();
    EXPECT_FALSE(a().Hooked());
    EXPECT_EQ(a().State(), 2);
    Mouse(WM_MOUSEMOVE, 5, 5);
    EXPECT_TRUE(events.Entries().empty());
}

TEST_F(ButtonTest, MovesEnterOnceAndTheLeaveEndsTheHover)
{
    Open();
    Mouse(WM_MOUSEMOVE, 5, 5);
    Mouse(WM_MOUSEMOVE, 6, 5);
    Mouse(WM_MOUSEMOVE, 7, 5);
    EXPECT_EQ(events.Entries(), (Log{L"MouseEnter"}));
    EXPECT_EQ(a().State(), 2);
    Send(WM_MOUSELEAVE);
    EXPECT_EQ(events.Entries(), (Log{L"MouseEnter", L"MouseLeave"}));
    EXPECT_EQ(a().State(), 1);
}

TEST_F(ButtonTest, ThemeAndColourChangesRepaint)
{
    Open();
    int paints = 0;
    for (UINT msg : {WM_THEMECHANGED, WM_SYSCOLORCHANGE}) {
        // Mark the whole face with a colour the button never draws; a repaint covers it.
        const COLORREF mark = RGB(1, 2, 3);
        RECT all{0, 0, 80, 24};
        HBRUSH brush = CreateSolidBrush(mark);
        FillRect(a().hDC(), &all, brush);
        DeleteObject(brush);
        Send(msg);
        paints += a().Point(40, 12) != mark && a().Point(2, 12) != mark;
    }
    EXPECT_EQ(paints, 2);
}

// A button whose hook also takes callbacks before the window's procedure.
class HookProbe : public StyledButton {
public:
    struct Call {
        bool before;
        UINT message;
        LRESULT returnValue;
    };
    std::vector<Call> calls;
    UINT suppress = 0;  // answered before the procedure, which then never runs
    using StyledButton::AddThunkMessage;
    using StyledButton::DetachThunk;

    void HookProc(bool before, bool& handled, LRESULT& returnValue, HWND window, UINT message, WPARAM wParam,
                  LPARAM lParam) override
    {
        if (message == WM_GETDLGCODE || message == WM_USER)
            calls.push_back({before, message, returnValue});
        if (before && message == suppress) {
            handled = true;
            returnValue = 42;
            return;
        }
        StyledButton::HookProc(before, handled, returnValue, window, message, wParam, lParam);
    }
};

TEST(ButtonHook, BeforeCallbacksMaySuppressTheProcedureAfterCallbacksSeeItsResult)
{
    forms::PropertyBag layout{{L"Style", 8}};
    forms::Loaded<HookProbe> probe;
    HostForm form([&](HostForm& f) { probe.Load(f, Place(L"a", 10, 10, 80, 24), &layout); });
    form.Show();
    HWND h = probe->hWnd();
    const LRESULT own = DLGC_WANTALLKEYS | DLGC_WANTCHARS;  // the control's own answer
    probe->AddThunkMessage(h, WM_GETDLGCODE, 3);            // both tables
    EXPECT_EQ(SendMessageW(h, WM_GETDLGCODE, 0, 0), own);
    ASSERT_EQ(probe->calls.size(), 2u);
    EXPECT_TRUE(probe->calls[0].before);
    EXPECT_EQ(probe->calls[0].returnValue, 0);
    EXPECT_FALSE(probe->calls[1].before);
    EXPECT_EQ(probe->calls[1].returnValue, own);

    probe->calls.clear();
    probe->suppress = WM_GETDLGCODE;
    EXPECT_EQ(SendMessageW(h, WM_GETDLGCODE, 0, 0), 42);
    ASSERT_EQ(probe->calls.size(), 1u);  // no after-callback either
    EXPECT_TRUE(probe->calls[0].before);

    // -1: every message, in the before-table.
    probe->calls.clear();
    probe->AddThunkMessage(h, -1, 2);
    SendMessageW(h, WM_USER, 0, 0);
    EXPECT_EQ(probe->calls.size(), 1u);

    // Detached, the window has its own procedure again and the hover is gone.
    probe->calls.clear();
    probe->DetachThunk(h);
    EXPECT_FALSE(probe->Hooked());
    EXPECT_EQ(SendMessageW(h, WM_GETDLGCODE, 0, 0), own);
    SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(probe->calls.empty());
    EXPECT_EQ(probe->State(), 1);
    form.Unload();
}

class RefusedTracking : public StyledButton {
protected:
    bool TrackMouseLeave(HWND) override { return false; }
};

TEST(ButtonMends, AFailedLeaveRequestLeavesTheButtonNormal)
{
    forms::PropertyBag layout{{L"Style", 8}};
    forms::Loaded<RefusedTracking> button;
    HostForm form([&](HostForm& f) { button.Load(f, Place(L"a", 10, 10, 80, 24), &layout); });
    form.Show();
    forms::EventLog events;
    events.Record(button->MouseEnter, L"MouseEnter");
    SendMessageW(button->hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageW(button->hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(6, 5));
    EXPECT_EQ(button->State(), 1);
    EXPECT_EQ(button->ToolTipWindow(), nullptr);
    EXPECT_TRUE(events.Entries().empty());
    form.Unload();
}

TEST(ButtonMends, ClosingTheWindowFromTheClickWhileHoveredEndsCleanly)
{
    for (bool fromClick : {true, false}) {
        forms::PropertyBag layout{{L"Style", 8}, {L"ToolTipText", L"tip"}};
        HostForm form([&](HostForm& f) { f.a.Load(f, Place(L"a", 10, 10, 80, 24), &layout); });
        form.Show();
        StyledButton* button = form.a.operator->();
        HWND hwnd = button->hWnd();
        SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        HWND tip = button->ToolTipWindow();
        ASSERT_TRUE(IsWindow(tip));
        bool handlerReturned = false;
        button->Click = [&] {
            form.Unload();  // as log-out, quit and a successful login do
            handlerReturned = true;
        };
        if (fromClick) {
            SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
            EXPECT_TRUE(handlerReturned);
        } else {
            form.Unload();
        }
        Pump();
        EXPECT_FALSE(form.IsLoaded());
        EXPECT_FALSE(IsWindow(hwnd));
        EXPECT_FALSE(IsWindow(tip));
    }
}

// ---- tool tip -----------------------------------------------------------------------

TEST_F(ButtonTest, TheToolTipBorrowsTheContainersTextWhileTheMouseIsOver)
{
    layout = {{L"Style", 8},       {L"ToolTipText", L"\u63D0\u793A"}, {L"Tooltiptitle", L"T"},
              {L"ToolTipIcon", 1}, {L"ttBackColor", 0x00FFFF},        {L"ttForeColor", 0x800000}};
    Open();
    EXPECT_EQ(a().Extender().ToolTipText(), L"\u63D0\u793A");
    Mouse(WM_MOUSEMOVE, 5, 5);
    HWND tip = a().ToolTipWindow();
    ASSERT_NE(tip, nullptr);
    char cls[64]{};
    GetClassNameA(tip, cls, sizeof cls);
    EXPECT_STREQ(cls, "tooltips_class32");
    EXPECT_TRUE(GetWindowLongW(tip, GWL_STYLE) & TTS_BALLOON);
    EXPECT_TRUE(GetWindowLongW(tip, GWL_STYLE) & TTS_NOPREFIX);
    EXPECT_TRUE(GetWindowLongW(tip, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(a().Extender().ToolTipText(), L"");
    EXPECT_EQ(a().ToolTipText(), L"\u63D0\u793A");

    // The record the system gets has the platform's size, not a 32-bit count.
    EXPECT_EQ(a().ToolRecord().cbSize, sizeof(TOOLINFOA));
    EXPECT_EQ(a().ToolRecord().uFlags, static_cast<UINT>(TTF_SUBCLASS));
    char text[64]{};
    TOOLINFOA info{};
    info.cbSize = sizeof info;
    info.hwnd = a().hWnd();
    info.uId = 0;
    info.lpszText = text;
    ASSERT_TRUE(SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&info)));
    EXPECT_STREQ(text, "\xCC\xE1\xCA\xBE");  // the text in code page 936
    EXPECT_EQ(SendMessageA(tip, TTM_GETTIPBKCOLOR, 0, 0), 0x00FFFF);
    EXPECT_EQ(SendMessageA(tip, TTM_GETTIPTEXTCOLOR, 0, 0), 0x800000);

    Send(WM_MOUSELEAVE);
    EXPECT_EQ(a().ToolTipWindow(), nullptr);
    EXPECT_FALSE(IsWindow(tip));
    EXPECT_EQ(a().Extender().ToolTipText(), L"\u63D0\u793A");
}

TEST_F(ButtonTest, RectangularTipAndSystemColoursWhenAsked)
{
    layout = {{L"Style", 8}, {L"ToolTipType", 0}, {L"ttBackColor", 0}, {L"ttForeColor", 0}};
    Open();
    Mouse(WM_MOUSEMOVE, 5, 5);
    HWND tip = a().ToolTipWindow();
    ASSERT_NE(tip, nullptr);
    EXPECT_FALSE(GetWindowLongW(tip, GWL_STYLE) & TTS_BALLOON);
    // Black means "keep the system's": nothing was set.
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(tip, TTM_GETTIPBKCOLOR, 0, 0)), GetSysColor(COLOR_INFOBK));
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(tip, TTM_GETTIPTEXTCOLOR, 0, 0)),
              GetSysColor(COLOR_INFOTEXT));
}

TEST_F(ButtonTest, ToolTipTextIsWrittenOnlyWhileTheButtonHoldsIt)
{
    // While no tip shows, the container keeps the text and saves it itself.
    layout = {{L"Style", 8}, {L"ToolTipText", L"tip"}};
    Open();
    forms::PropertyBag saved;
    a().SaveProperties(saved);
    EXPECT_FALSE(saved.Contains(L"ToolTipText"));
    Mouse(WM_MOUSEMOVE, 5, 5);
    forms::PropertyBag hovered;
    a().SaveProperties(hovered);
    EXPECT_EQ(hovered.ReadProperty(L"ToolTipText", L""), L"tip");
}

TEST_F(ButtonTest, HidingGivesTheTextBack)
{
    layout = {{L"Style", 8}, {L"ToolTipText", L"tip"}};
    Open();
    Mouse(WM_MOUSEMOVE, 5, 5);
    EXPECT_EQ(a().Extender().ToolTipText(), L"");
    a().Visible(false);
    EXPECT_EQ(a().Extender().ToolTipText(), L"tip");
}

// ---- about box and link ---------------------------------------------------------------

TEST(ButtonAbout, ShowsATopMostCaptionedBoxThatAClickCloses)
{
    HostForm form([&](HostForm& f) { f.a.Load(f, Place(L"a", 10, 10, 80, 24)); });
    form.Show();
    StyledButton& b = *form.a;
    HWND box = b.AboutWindow();
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(IsWindowVisible(box));
    b.About();
    EXPECT_TRUE(IsWindowVisible(box));
    EXPECT_EQ(GetAncestor(box, GA_PARENT), GetDesktopWindow());
    EXPECT_TRUE(GetWindowLongW(box, GWL_STYLE) & WS_CAPTION);
    wchar_t title[64]{};
    GetWindowTextW(box, title, 64);
    EXPECT_STREQ(title, L"About StyledButton 3.4.0");
    // Its drawing: the Close button's gradient, outline and cut corners.
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    auto px = Reference(380, 120, [&](HDC dc) {
        SendMessageW(box, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    });
    auto at = [&](int x, int y) { return px[size_t(y) * 380 + x]; };
    EXPECT_EQ(at(300, 81), quill::button::GradientColour(quill::button::ShiftColor(face, 15),
                                                         quill::button::ShiftColor(face, -15), 26, 1));
    EXPECT_EQ(at(300, 80), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(at(290, 90), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(at(290, 80), face);
    int blue = 0;
    for (int y = 80; y < 107; ++y)
        for (int x = 290; x < 361; ++x)
            blue += at(x, y) == RGB(0, 0, 255);
    EXPECT_GT(blue, 5);  // "Close"
    SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 90));
    SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(300, 90));
    EXPECT_FALSE(IsWindowVisible(box));
    form.Unload();
}

TEST(ButtonLink, OpenLinkGoesThroughTheShellWithOneAsParametersAndDirectory)
{
    HostForm form([&](HostForm& f) { f.a.Load(f, Place(L"a", 10, 10, 80, 24)); });
    form.Load();
    forms::ShellExecuteRecorder shell;
    EXPECT_GT(form.a->OpenLink(L"http://127.0.0.1:18080/"), 32);
    ASSERT_EQ(shell.Calls().size(), 1u);
    const auto& c = shell.Calls()[0];
    EXPECT_EQ(c.hwnd, form.a->hWnd());
    EXPECT_EQ(c.operation, L"open");
    EXPECT_EQ(c.file, L"http://127.0.0.1:18080/");
    EXPECT_EQ(c.parameters, L"1");
    EXPECT_EQ(c.directory, L"1");
    EXPECT_EQ(c.showCmd, SW_SHOWNORMAL);
    form.Unload();
}

TEST(ButtonLink, ExportLookupLoadsWhatIsNotLoaded)
{
    EXPECT_TRUE(StyledButton::IsFunctionExported("TrackMouseEvent", L"User32"));
    EXPECT_TRUE(StyledButton::IsFunctionExported("_TrackMouseEvent", L"Comctl32"));
    EXPECT_FALSE(StyledButton::IsFunctionExported("NoSuchFunction", L"User32"));
    EXPECT_FALSE(StyledButton::IsFunctionExported("TrackMouseEvent", L"no-such-library"));
}

}  // namespace
