// cCheckBox under Wine: real windows, the real mouse and keyboard of the
// virtual display, pixels read back from its surface.
#include "controls/small/cCheckBox.h"
#include "tests/support/HostForm.h"
#include "tests/support/Input.h"
#include "tests/support/Pump.h"
#include "tests/support/ScreenCapture.h"
#include "forms/Screen.h"

#include "forms/Gdi.h"
#include "forms/Screen.h"

#include <gtest/gtest.h>

#include <vector>

namespace quill::small {
namespace {

using Log = std::vector<std::wstring>;
using HostForm = test::HostForm<>;

constexpr COLORREF Background = RGB(228, 244, 255);
constexpr COLORREF HoverFrame = RGB(133, 228, 255);
constexpr COLORREF BoxFrame = RGB(78, 160, 209);
constexpr COLORREF TickFoot = RGB(53, 145, 2);  // (5, 10) of the picture

class CheckBoxTest : public ::testing::Test {
protected:
    void SetUp() override {}
    void TearDown() override { form.Unload(); }

    // Every event of the box, in the order raised.
    void RecordEvents()
    {
        log.Record(box->Click, L"Click");
        log.Record(box->MouseOut, L"MouseOut");
        box->MouseDown = [this](forms::MouseArgs& e) { log.Add(L"MouseDown " + std::to_wstring(e.Button)); };
        box->MouseUp = [this](forms::MouseArgs& e) { log.Add(L"MouseUp " + std::to_wstring(e.Button)); };
        box->MouseMove = [this](forms::MouseArgs&) { log.Add(L"MouseMove"); };
        box->KeyDown = [this](forms::KeyArgs& e) { log.Add(L"KeyDown " + std::to_wstring(e.KeyCode)); };
        box->KeyPress = [this](forms::KeyPressArgs& e) {
            log.Add(L"KeyPress " + std::to_wstring(e.KeyAscii));
        };
        box->KeyUp = [this](forms::KeyArgs& e) { log.Add(L"KeyUp " + std::to_wstring(e.KeyCode)); };
        box->PropertyChangeReported = [this](const std::wstring& name) {
            log.Add(L"PropertyChanged " + name);
        };
    }
    // The log without the moves, which depend on how the pointer travels.
    Log WithoutMoves() const
    {
        Log out;
        for (const auto& e : log.Entries())
            if (e != L"MouseMove")
                out.push_back(e);
        return out;
    }
    COLORREF Pixel(int x, int y) const { return static_cast<COLORREF>(box->Point(x, y)); }

    forms::Loaded<cCheckBox> box;
    forms::PropertyBag layout{{L"Caption", L"记住密码"}};
    HostForm form{[this](HostForm& f) {
                      box.Load(
                          f,
                          forms::ControlArgs{
                              .name = L"cRemPwd", .left = 1080, .top = 2340, .width = 1050, .height = 270},
                          &layout);
                  },
                  {.caption = L"CheckBox",
                   .clientWidth = 5010,
                   .clientHeight = 3210,
                   .startUpPosition = forms::vbStartUpScreen}};
    forms::EventLog log;
};

TEST_F(CheckBoxTest, KeepsItsHeightAtFifteenPixelsWhateverTheHostSets)
{
    form.Load();
    EXPECT_EQ(box->Height(), 225);
    EXPECT_EQ(box->ScaleHeight(), 15);
    EXPECT_EQ(box->ScaleWidth(), 70);
    box->Move(300, 300, 2000, 900);
    EXPECT_EQ(box->Height(), 225);
    EXPECT_EQ(box->ScaleHeight(), 15);
    EXPECT_EQ(box->ScaleWidth(), 2000 / 15);
}

TEST_F(CheckBoxTest, DrawsTheBoxTheCaptionAndTheBackground)
{
    form.Load();
    EXPECT_EQ(Pixel(0, 0), Background);  // no frame while cold
    EXPECT_EQ(Pixel(1, 1), BoxFrame);
    EXPECT_EQ(Pixel(13, 13), BoxFrame);
    EXPECT_EQ(Pixel(1 + 5, 1 + 10), RGB(255, 255, 255));
    EXPECT_EQ(Pixel(15, 7), Background);
    int ink = 0;
    for (int y = 0; y < 15; ++y)
        for (int x = 18; x < 70; ++x)
            ink += Pixel(x, y) != Background;
    EXPECT_GT(ink, 40);  // the caption
}

TEST_F(CheckBoxTest, SettingCheckedRedrawsReportsAndRaisesNoClick)
{
    form.Load();
    RecordEvents();
    box->Checked(true);
    EXPECT_EQ(Pixel(1 + 5, 1 + 10), TickFoot);
    box->Checked(true);
    box->Checked(false);
    EXPECT_EQ(Pixel(1 + 5, 1 + 10), RGB(255, 255, 255));
    EXPECT_EQ(log.Entries(),
              (Log{L"PropertyChanged Checked", L"PropertyChanged Checked", L"PropertyChanged Checked"}));
}

TEST_F(CheckBoxTest, BackColorShowsTheBareBackgroundUntilTheNextRedraw)
{
    form.Load();
    RecordEvents();
    box->BackColor(0x00FF00);
    EXPECT_EQ(Pixel(1, 1), RGB(0, 255, 0));
    EXPECT_EQ(log.Entries(), (Log{L"PropertyChanged BackColor"}));
    box->Caption(L"自动登录");
    EXPECT_EQ(Pixel(1, 1), BoxFrame);
    EXPECT_EQ(Pixel(15, 7), RGB(0, 255, 0));
}

TEST_F(CheckBoxTest, AMouseClickTogglesAndClickSeesTheNewState)
{
    form.Show();
    RecordEvents();
    std::vector<bool> seen;
    box->Click = [&] {
        log.Add(L"Click");
        seen.push_back(box->Checked());
        // The box is redrawn before the host hears of the click.
        seen.push_back(Pixel(1 + 5, 1 + 10) == TickFoot);
    };
    test::ClickAt(box->hWnd(), 6, 7);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(seen, (std::vector<bool>{true, true}));
    EXPECT_EQ(WithoutMoves(), (Log{L"MouseDown 1", L"MouseUp 1", L"Click"}));
    test::ClickAt(box->hWnd(), 40, 7);  // on the caption
    EXPECT_FALSE(box->Checked());
    test::MoveMouse(form.hWnd(), 5, 5);
}

TEST_F(CheckBoxTest, ADoubleClickTogglesOnce)
{
    form.Show();
    RecordEvents();
    test::MoveMouse(box->hWnd(), 6, 7);
    test::DoubleClick();
    EXPECT_TRUE(box->Checked());
    Log clicks;
    for (const auto& e : log.Entries())
        if (e == L"Click")
            clicks.push_back(e);
    EXPECT_EQ(clicks.size(), 1u);
    test::MoveMouse(form.hWnd(), 5, 5);
}

TEST_F(CheckBoxTest, KeysArePassedOnAndNeverToggle)
{
    form.Show();
    box->SetFocus();
    RecordEvents();
    for (WORD vk : {WORD(VK_SPACE), WORD(VK_RETURN), WORD('A')})
        test::PressKey(vk);
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(log.Entries(), (Log{L"KeyDown 32", L"KeyPress 32", L"KeyUp 32", L"KeyDown 13", L"KeyPress 13",
                                  L"KeyUp 13", L"KeyDown 65", L"KeyPress 97", L"KeyUp 65"}));
}

TEST_F(CheckBoxTest, HoverFrameAndCaptureFollowTheMouse)
{
    form.Show();
    RecordEvents();
    test::MoveMouse(box->hWnd(), 30, 7);
    EXPECT_EQ(Pixel(0, 0), HoverFrame);
    EXPECT_EQ(Pixel(14, 14), HoverFrame);
    EXPECT_EQ(Pixel(15, 7), Background);
    EXPECT_EQ(GetCapture(), box->hWnd());
    test::MoveMouse(box->hWnd(), 69, 7);
    log.Clear();
    test::MoveMouse(box->hWnd(), 90, 7);  // out past the right edge
    EXPECT_EQ(log.Entries(), (Log{L"MouseOut"}));
    EXPECT_EQ(Pixel(0, 0), Background);
    EXPECT_NE(GetCapture(), box->hWnd());
    test::MoveMouse(form.hWnd(), 5, 5);
    EXPECT_EQ(log.Entries(), (Log{L"MouseOut"}));  // the capture is gone: nothing more arrives
}

TEST_F(CheckBoxTest, PressInsideReleaseOutsideIsNoClick)
{
    form.Show();
    RecordEvents();
    test::MoveMouse(box->hWnd(), 6, 7);
    test::MouseButton(true);
    test::MoveMouse(box->hWnd(), 6, 40);
    test::MouseButton(false);
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(WithoutMoves(), (Log{L"MouseDown 1", L"MouseOut"}));
    EXPECT_EQ(Pixel(0, 0), Background);
    test::MoveMouse(form.hWnd(), 5, 5);
}

TEST_F(CheckBoxTest, RedrawingKeepsNoGdiObjects)
{
    form.Load();
    box->Checked(true);
    const long before = forms::gdi::LiveObjects();
    for (int i = 0; i < 50; ++i) {
        box->Checked(i % 2 == 0);
        box->Caption(i % 2 ? L"记住密码" : L"自动登录");
        box->Move(1080, 2340, 1050 + 15 * (i % 3), 270);
    }
    EXPECT_EQ(forms::gdi::LiveObjects(), before);
}

TEST_F(CheckBoxTest, PropertyBagRoundTrip)
{
    struct Case {
        const char* name;
        forms::PropertyBag stored;
        forms::OleColor back;
        bool checked;
        std::wstring caption;
    } cases[] = {
        {"defaults", {}, 0xFFF4E4, false, L""},
        {"all set",
         {{L"BackColor", 0x123456}, {L"Checked", true}, {L"Caption", L"自动登录"}},
         0x123456,
         true,
         L"自动登录"},
        {"system colour", {{L"BackColor", 0x8000000F}}, 0x8000000F, false, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        layout = c.stored;
        form.Load();
        EXPECT_EQ(box->BackColor(), c.back);
        EXPECT_EQ(box->Checked(), c.checked);
        EXPECT_EQ(box->Caption(), c.caption);
        forms::PropertyBag saved;
        box->SaveProperties(saved);
        // Values equal to their defaults are not written.
        EXPECT_EQ(saved.Entries().size(), c.stored.Entries().size());
        EXPECT_EQ(saved.ReadProperty<forms::OleColor>(L"BackColor", 0xFFF4E4), c.back);
        EXPECT_EQ(saved.ReadProperty(L"Checked", false), c.checked);
        EXPECT_EQ(saved.ReadProperty(L"Caption", L""), c.caption);
        form.Unload();
    }
}

TEST_F(CheckBoxTest, ANewInstanceStartsUncheckedWithTheDesignBackground)
{
    forms::Loaded<cCheckBox> fresh;
    HostForm host{[&](HostForm& f) {
        fresh.Load(f, forms::ControlArgs{.name = L"fresh", .width = 1050, .height = 270});
    }};
    host.Load();
    EXPECT_FALSE(fresh->Checked());
    EXPECT_EQ(fresh->Caption(), L"");
    EXPECT_EQ(fresh->BackColor(), 0xFFF4E4u);
    EXPECT_EQ(static_cast<COLORREF>(fresh->Point(1, 1)), BoxFrame);  // drawn at the first resize
    forms::PropertyBag saved;
    fresh->SaveProperties(saved);
    EXPECT_TRUE(saved.Entries().empty());
    host.Unload();
}

}  // namespace
}  // namespace quill::small
