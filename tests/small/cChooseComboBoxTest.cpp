// cChooseComboBox under Wine: the placeholder through real focus changes and
// keystrokes, the hover glow and its 55 ms timer on the program's clock, the
// drop label's list window, and the stored text.
#include "controls/small/cChooseComboBox.h"
#include "tests/support/HostForm.h"
#include "tests/support/Input.h"
#include "tests/support/Pump.h"
#include "tests/support/ScreenCapture.h"
#include "forms/Screen.h"

#include "forms/Gdi.h"
#include "forms/lang/Clock.h"
#include "forms/Screen.h"
#include "forms/TextBox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace quill::small {
namespace {

using Log = std::vector<std::wstring>;
using HostForm = test::HostForm<>;

const std::wstring Placeholder = L"<请输入帐号>";
constexpr COLORREF Background = RGB(228, 244, 255);
constexpr COLORREF Glow = RGB(133, 228, 255);
constexpr COLORREF Frame = RGB(78, 160, 209);

class ComboBoxTest : public ::testing::Test {
protected:
    void SetUp() override {}
    void TearDown() override
    {
        test::MoveMouse(form.hWnd(), 300, 200);
        form.Unload();
    }

    void RecordEvents()
    {
        log.Record(acc->Change, L"Change");
        log.Record(acc->Click, L"Click");
        log.Record(acc->DblClick, L"DblClick");
        acc->MouseDown = [this](forms::MouseArgs& e) { log.Add(L"MouseDown " + std::to_wstring(e.Button)); };
        acc->MouseUp = [this](forms::MouseArgs& e) { log.Add(L"MouseUp " + std::to_wstring(e.Button)); };
        acc->KeyDown = [this](forms::KeyArgs& e) { log.Add(L"KeyDown " + std::to_wstring(e.KeyCode)); };
        acc->KeyPress = [this](forms::KeyPressArgs& e) {
            log.Add(L"KeyPress " + std::to_wstring(e.KeyAscii));
        };
        acc->KeyUp = [this](forms::KeyArgs& e) { log.Add(L"KeyUp " + std::to_wstring(e.KeyCode)); };
        acc->PropertyChangeReported = [this](const std::wstring& name) {
            log.Add(L"PropertyChanged " + name);
        };
    }
    Log Only(std::initializer_list<const wchar_t*> names) const
    {
        Log out;
        for (const auto& e : log.Entries())
            for (const wchar_t* n : names)
                if (e.rfind(n, 0) == 0)
                    out.push_back(e);
        return out;
    }
    HWND Field() const { return acc->TextField().hWnd(); }
    void FocusField()
    {
        acc->SetFocus();
        test::PumpPosted();
    }
    void FocusElsewhere()
    {
        cPass->SetFocus();
        test::PumpPosted();
    }
    void Type(const char* keys)
    {
        for (const char* k = keys; *k; ++k)
            test::PressKey(static_cast<WORD>(*k >= 'a' && *k <= 'z' ? *k - 'a' + 'A' : *k));
    }
    COLORREF Pixel(int x, int y) const { return static_cast<COLORREF>(acc->Point(x, y)); }
    // What the text field shows: how many pixels carry ink, and the darkest
    // grey among them (the text's own colour; smoothing only lightens it).
    struct Ink {
        int pixels = 0;
        int darkest = 255;
    };
    Ink FieldInk() const
    {
        HideCaret(Field());
        RECT r{};
        GetClientRect(Field(), &r);
        Ink ink;
        for (int y = 0; y < r.bottom; ++y)
            for (int x = 0; x < r.right; ++x) {
                const COLORREF c = test::WindowPixel(Field(), x, y);
                const int level = std::max({GetRValue(c), GetGValue(c), GetBValue(c)});
                if (level < 255) {
                    ++ink.pixels;
                    ink.darkest = std::min(ink.darkest, level);
                }
            }
        ShowCaret(Field());
        return ink;
    }

    forms::Loaded<cChooseComboBox> acc;
    forms::Loaded<forms::TextBox> cPass;
    forms::PropertyBag layout;
    HostForm form{
        [this](HostForm& f) {
            acc.Load(
                f,
                forms::ControlArgs{.name = L"cAcc", .left = 855, .top = 1170, .width = 2850, .height = 390},
                &layout);
            cPass.Load(f, forms::ControlArgs{
                              .name = L"cPass", .left = 1260, .top = 1800, .width = 2400, .height = 270});
        },
        {.caption = L"Account",
         .clientWidth = 5010,
         .clientHeight = 3210,
         .startUpPosition = forms::vbStartUpScreen,
         .backColor = 0xFFF4E4}};
    forms::EventLog log;
};

TEST_F(ComboBoxTest, KeepsItsHeightAtTwentySixPixelsAndLaysOutItsParts)
{
    form.Load();
    EXPECT_EQ(acc->ScaleHeight(), 26);
    acc->Move(855, 1170, 3300, 1200);
    EXPECT_EQ(acc->ScaleHeight(), 26);
    EXPECT_EQ(acc->ScaleWidth(), 220);
    RECT r{};
    GetWindowRect(Field(), &r);
    MapWindowPoints(nullptr, acc->hWnd(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 25);
    EXPECT_EQ(r.top, 6);
    EXPECT_EQ(r.right - r.left, 220 - 50);  // up to the drop label
    EXPECT_EQ(r.bottom - r.top, 15);
}

TEST_F(ComboBoxTest, DrawsTheFrameShadeIconAndDropLabel)
{
    form.Load();
    const int W = acc->ScaleWidth(), H = acc->ScaleHeight();
    EXPECT_EQ(Pixel(0, 0), Background);  // no glow while cold
    EXPECT_EQ(Pixel(1, 1), Frame);
    EXPECT_EQ(Pixel(W - 2, H - 2), Frame);
    EXPECT_EQ(Pixel(W - 30, 2), RGB(207, 222, 234));  // the top shade
    EXPECT_EQ(Pixel(2, 20 + 2), RGB(207, 222, 234));  // the left shade below the icon
    EXPECT_EQ(Pixel(3, 23), RGB(239, 244, 248));
    EXPECT_EQ(Pixel(22, 20), RGB(255, 255, 255));
    EXPECT_EQ(Pixel(2 + 10, 2 + 5), RGB(78, 160, 209));     // the icon's head
    EXPECT_EQ(Pixel(2, 2), RGB(195, 214, 229));             // the icon's corner is transparent
    EXPECT_EQ(Pixel(W - 25 + 11, 2 + 12), RGB(0, 28, 48));  // the drop arrow's point
}

TEST_F(ComboBoxTest, LeavingTheEmptyFieldShowsTheGreyPlaceholderWithoutChange)
{
    form.Show();
    FocusField();
    RecordEvents();
    FocusElsewhere();
    EXPECT_EQ(acc->Text(), Placeholder);
    EXPECT_EQ(acc->TextField().ForeColor(), 0x808080u);
    const Ink grey = FieldInk();
    EXPECT_GT(grey.pixels, 30);
    EXPECT_EQ(grey.darkest, 128);
    EXPECT_EQ(Only({L"Change"}), Log{});

    FocusField();
    EXPECT_EQ(acc->Text(), L"");
    EXPECT_EQ(acc->TextField().ForeColor(), 0u);
    EXPECT_EQ(FieldInk().pixels, 0);
    EXPECT_EQ(Only({L"Change"}), Log{});
    Type("w");
    EXPECT_LT(FieldInk().darkest, 60);  // typed text is black
}

TEST_F(ComboBoxTest, TypingRaisesChangeAndTheTypedTextStays)
{
    form.Show();
    FocusField();  // right after loading: the field is empty and shows no placeholder
    RecordEvents();
    Type("ab");
    EXPECT_EQ(acc->Text(), L"ab");
    EXPECT_EQ(Only({L"Change", L"Key"}), (Log{L"KeyDown 65", L"KeyPress 97", L"Change", L"KeyUp 65",
                                              L"KeyDown 66", L"KeyPress 98", L"Change", L"KeyUp 66"}));
    FocusElsewhere();
    EXPECT_EQ(acc->Text(), L"ab");
    EXPECT_EQ(acc->TextField().ForeColor(), 0u);
    FocusField();
    EXPECT_EQ(acc->TextField().SelStart(), 0);
    EXPECT_EQ(acc->TextField().SelLength(), 2);
}

TEST_F(ComboBoxTest, ClearingTheFieldAndTabbingAwayBringsThePlaceholderBack)
{
    form.Show();
    FocusField();
    Type("x");
    test::PressKey(VK_BACK);
    RecordEvents();
    test::PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), cPass->hWnd());
    EXPECT_EQ(acc->Text(), Placeholder);
    EXPECT_EQ(Only({L"Change"}), Log{});
}

TEST_F(ComboBoxTest, AKeyPressHandlerCanSwallowOrChangeTheKey)
{
    form.Show();
    FocusField();
    acc->KeyPress = [](forms::KeyPressArgs& e) {
        if (e.KeyAscii == 'q')
            e.KeyAscii = 0;
        else if (e.KeyAscii == 'w')
            e.KeyAscii = 'W';
    };
    Type("qwe");
    EXPECT_EQ(acc->Text(), L"We");
}

TEST_F(ComboBoxTest, TheFieldTakesTwentyCharactersAtMost)
{
    form.Show();
    FocusField();
    Type("abcdefghijklmnopqrstu");
    EXPECT_EQ(acc->Text(), L"abcdefghijklmnopqrst");
}

TEST_F(ComboBoxTest, HostTextOverThePlaceholderKeepsItsGrey)
{
    form.Show();
    FocusField();
    FocusElsewhere();
    RecordEvents();
    acc->Text(L"alice");
    EXPECT_EQ(log.Entries(), (Log{L"Change", L"PropertyChanged Text"}));
    EXPECT_EQ(acc->Text(), L"alice");
    FocusField();
    FocusElsewhere();
    EXPECT_EQ(acc->Text(), L"alice");
    EXPECT_EQ(acc->TextField().ForeColor(), 0x808080u);
}

// Writing back the text the box already shows changes nothing: no Change,
// and the placeholder does not turn into an account name.
TEST_F(ComboBoxTest, WritingTheSameTextIsNoChange)
{
    form.Show();
    FocusField();
    FocusElsewhere();
    RecordEvents();
    acc->Text(acc->Text());
    EXPECT_EQ(log.Entries(), (Log{L"PropertyChanged Text"}));
    FocusField();
    EXPECT_EQ(acc->Text(), L"");
}

TEST_F(ComboBoxTest, StoredTextRoundTrip)
{
    struct Case {
        const char* name;
        forms::PropertyBag stored;
        std::wstring text;
        int changesWhileLoading;
    } cases[] = {
        {"nothing stored", {}, L"", 0},
        {"an account", {{L"Text", L"bob"}}, L"bob", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        layout = c.stored;
        int changes = 0;
        form.Load();
        // Handlers can only be attached after the load; Change during loading shows in the empty flag.
        acc->Change = [&] { ++changes; };
        EXPECT_EQ(acc->Text(), c.text);
        forms::PropertyBag saved;
        acc->SaveProperties(saved);
        EXPECT_EQ(saved.Contains(L"Text"), !c.text.empty());
        EXPECT_EQ(saved.ReadProperty(L"Text", L""), c.text);
        form.Show();
        FocusField();
        FocusElsewhere();
        // A stored account counts as typed: leaving keeps it.
        EXPECT_EQ(acc->Text(), c.text.empty() ? Placeholder : c.text);
        EXPECT_EQ(changes, 0);
        form.Unload();
    }
}

TEST_F(ComboBoxTest, TextFieldEventsReachTheHost)
{
    form.Show();
    acc->Text(L"carol");
    RecordEvents();
    test::ClickAt(Field(), 10, 7);
    EXPECT_EQ(Only({L"Mouse", L"Click"}), (Log{L"MouseDown 1", L"MouseUp 1", L"Click"}));
}

TEST_F(ComboBoxTest, TheGlowComesWithTheMouseAndGoesAtTheNextTimerTick)
{
    forms::ClockOverride clock(45000.5);
    form.Show();
    test::MoveMouse(acc->hWnd(), 5, 24);  // the frame, below the icon
    EXPECT_TRUE(acc->Hot());
    EXPECT_EQ(Pixel(0, 0), Glow);
    test::MoveMouse(acc->hWnd(), 60, 12);  // the text field keeps it
    EXPECT_EQ(Pixel(0, 0), Glow);
    test::MoveMouse(form.hWnd(), 10, 10);  // off the control: no move reaches it
    EXPECT_TRUE(acc->Hot());
    clock.Advance(54);
    test::PumpPosted();
    EXPECT_TRUE(acc->Hot());
    clock.Advance(1);
    test::PumpPosted();
    EXPECT_FALSE(acc->Hot());
    EXPECT_EQ(Pixel(0, 0), Background);
}

TEST_F(ComboBoxTest, TheTimerCountsTheEdgeJustPastTheWindowAsInside)
{
    forms::ClockOverride clock(45000.5);
    form.Show();
    test::MoveMouse(acc->hWnd(), 100, 24);
    RECT r{};
    GetWindowRect(acc->hWnd(), &r);
    SetCursorPos(r.left + 100, r.bottom);  // one pixel below the window
    clock.Advance(55);
    test::PumpPosted();
    EXPECT_TRUE(acc->Hot());
    SetCursorPos(r.left + 100, r.bottom + 1);
    clock.Advance(55);
    test::PumpPosted();
    EXPECT_FALSE(acc->Hot());
}

TEST_F(ComboBoxTest, TheDropLabelLooksFollowTheMouse)
{
    form.Show();
    const int W = acc->ScaleWidth();
    test::MoveMouse(acc->hWnd(), W - 14, 13);
    EXPECT_EQ(acc->DropLabelLook(), DropLook::Over);
    EXPECT_EQ(Pixel(W - 25, 10), Frame);  // the lit label's left edge
    const COLORREF over = Pixel(W - 20, 3);
    EXPECT_NE(over, RGB(255, 255, 255));
    test::MouseButton(true);
    EXPECT_EQ(acc->DropLabelLook(), DropLook::Down);
    EXPECT_NE(Pixel(W - 20, 3), over);
    test::MouseButton(false);
    // Released: normal, and lit again by the move the system sends after the button.
    EXPECT_NE(acc->DropLabelLook(), DropLook::Down);
    test::MoveMouse(acc->hWnd(), 60, 12);
    EXPECT_EQ(acc->DropLabelLook(), DropLook::Normal);
    EXPECT_EQ(Pixel(W - 20, 10), RGB(255, 255, 255));
}

TEST_F(ComboBoxTest, WithoutEntriesTheDropLabelOpensNothing)
{
    form.Show();
    test::ClickAt(acc->hWnd(), acc->ScaleWidth() - 14, 13);
    EXPECT_FALSE(acc->DropWindow().Visible());
}

TEST_F(ComboBoxTest, TheDropWindowListsAndPicksAnEntry)
{
    form.Show();
    FocusElsewhere();  // the placeholder shows
    for (const wchar_t* name : {L"alice", L"bob", L"carol"})
        acc->AddEntry(name);
    acc->AddEntry(L"bob");
    EXPECT_EQ(acc->EntryCount(), 3u);
    RecordEvents();
    test::ClickAt(acc->hWnd(), acc->ScaleWidth() - 14, 13);
    ASSERT_TRUE(acc->DropWindow().Visible());
    HWND drop = acc->DropWindow().hWnd();
    RECT box{}, list{};
    GetWindowRect(acc->hWnd(), &box);
    GetWindowRect(drop, &list);
    EXPECT_EQ(list.left, box.left);
    EXPECT_EQ(list.top, box.bottom);
    EXPECT_EQ(list.right - list.left, box.right - box.left);
    EXPECT_EQ(list.bottom - list.top, 200);
    EXPECT_EQ(GetFocus(), cPass->hWnd());  // opening takes no focus

    // The second row lights up under the mouse; a click picks it.
    test::MoveMouse(drop, 40, 1 + 18 + 9);
    EXPECT_EQ(test::WindowPixel(drop, 3, 1 + 18 + 2), Background);
    EXPECT_EQ(test::WindowPixel(drop, 3, 1 + 2), RGB(255, 255, 255));
    test::MouseButton(true);
    test::MouseButton(false);
    EXPECT_FALSE(acc->DropWindow().Visible());
    EXPECT_EQ(acc->Text(), L"bob");
    EXPECT_EQ(GetFocus(), Field());
    EXPECT_EQ(acc->TextField().ForeColor(), 0u);
    EXPECT_EQ(Only({L"Change"}), Log{L"Change"});
    FocusElsewhere();
    EXPECT_EQ(acc->Text(), L"bob");
}

TEST_F(ComboBoxTest, AClickOutsideClosesTheDropWindow)
{
    form.Show();
    acc->AddEntry(L"alice");
    acc->Text(L"zed");
    test::ClickAt(acc->hWnd(), acc->ScaleWidth() - 14, 13);
    ASSERT_TRUE(acc->DropWindow().Visible());
    test::ClickAt(form.hWnd(), 300, 200);
    EXPECT_FALSE(acc->DropWindow().Visible());
    EXPECT_EQ(acc->Text(), L"zed");
}

TEST_F(ComboBoxTest, HoverAndTheListKeepNoGdiObjects)
{
    forms::ClockOverride clock(45000.5);
    form.Show();
    acc->AddEntry(L"alice");
    acc->AddEntry(L"bob");
    test::ClickAt(acc->hWnd(), acc->ScaleWidth() - 14, 13);
    test::ClickAt(form.hWnd(), 300, 200);
    const long before = forms::gdi::LiveObjects();
    for (int i = 0; i < 5; ++i) {
        test::MoveMouse(acc->hWnd(), 5, 24);
        test::MoveMouse(form.hWnd(), 300, 200);
        clock.Advance(55);
        test::PumpPosted();
        test::ClickAt(acc->hWnd(), acc->ScaleWidth() - 14, 13);
        test::MoveMouse(acc->DropWindow().hWnd(), 40, 10);
        test::MoveMouse(acc->DropWindow().hWnd(), 40, 30);
        test::ClickAt(form.hWnd(), 300, 200);
    }
    EXPECT_EQ(forms::gdi::LiveObjects(), before);
}

// The drop window is placed in twips with the factors stored at start-up.
TEST_F(ComboBoxTest, TheDropWindowIsPlacedUnderTheBoxWithTheScreensTwipsFactors)
{
    form.Show();
    acc->AddEntry(L"alice");
    RECT box{};
    GetWindowRect(acc->hWnd(), &box);
    test::ClickAt(acc->hWnd(), acc->ScaleWidth() - 14, 13);
    RECT list{};
    GetWindowRect(acc->DropWindow().hWnd(), &list);
    EXPECT_EQ(list.left, box.left);
    EXPECT_EQ(list.top, box.bottom);
    EXPECT_EQ(list.right - list.left, box.right - box.left);
    EXPECT_EQ(list.bottom - list.top, 200);
    test::ClickAt(form.hWnd(), 300, 200);
}

}  // namespace
}  // namespace quill::small
