// cHyperLink under Wine: underline under the real mouse, its events, its
// height, its cursor and its stored colours.
#include "controls/small/cHyperLink.h"
#include "tests/support/HostForm.h"
#include "tests/support/Input.h"
#include "tests/support/Pump.h"
#include "tests/support/ScreenCapture.h"

#include "forms/Gdi.h"
#include "forms/Screen.h"

#include <gtest/gtest.h>

#include <vector>

namespace quill::small {
namespace {

using Log = std::vector<std::wstring>;
using HostForm = test::HostForm<>;

constexpr COLORREF Background = RGB(228, 244, 255);
constexpr COLORREF LinkColour = RGB(22, 112, 235);

class HyperLinkTest : public ::testing::Test {
protected:
    void TearDown() override { form.Unload(); }

    void RecordEvents()
    {
        log.Record(link->Click, L"Click");
        log.Record(link->DblClick, L"DblClick");
        log.Record(link->MouseOut, L"MouseOut");
        link->MouseDown = [this](forms::MouseArgs& e) { log.Add(L"MouseDown " + std::to_wstring(e.Button)); };
        link->MouseUp = [this](forms::MouseArgs& e) { log.Add(L"MouseUp " + std::to_wstring(e.Button)); };
    }
    // Rows of the surface that hold link-coloured pixels.
    std::vector<int> InkedRows() const
    {
        std::vector<int> rows;
        for (int y = 0; y < link->ScaleHeight(); ++y)
            for (int x = 0; x < link->ScaleWidth(); ++x)
                if (static_cast<COLORREF>(link->Point(x, y)) != Background) {
                    rows.push_back(y);
                    break;
                }
        return rows;
    }
    // Pixels of a row in the link colour: an underline fills most of a row.
    int LinkPixelsInRow(int y) const
    {
        int n = 0;
        for (int x = 0; x < link->ScaleWidth(); ++x)
            n += static_cast<COLORREF>(link->Point(x, y)) == LinkColour;
        return n;
    }
    int LongestLinkRow() const
    {
        int best = 0;
        for (int y = 0; y < link->ScaleHeight(); ++y)
            best = std::max(best, LinkPixelsInRow(y));
        return best;
    }

    forms::Loaded<cHyperLink> link;
    forms::PropertyBag layout{
        {L"BackColor", 0xFFF4E4}, {L"ForeColor", 0xEB7016}, {L"Caption", L"注册新账号"}};
    HostForm form{[this](HostForm& f) {
                      link.Load(
                          f,
                          forms::ControlArgs{
                              .name = L"lNewAccount", .left = 3780, .top = 1260, .width = 960, .height = 210},
                          &layout);
                  },
                  {.caption = L"Link",
                   .clientWidth = 5010,
                   .clientHeight = 3210,
                   .startUpPosition = forms::vbStartUpScreen}};
    forms::EventLog log;
};

TEST_F(HyperLinkTest, HeightFollowsTheCaptionsTextHeightUntilTheNextResize)
{
    form.Load();
    const int textHeight = link->Graphics().TextHeight(L"注册新账号");
    EXPECT_EQ(link->ScaleHeight(), textHeight);
    EXPECT_EQ(link->Height(), forms::Screen::TwipsY(textHeight));
    link->Caption(L"一\n二");
    EXPECT_EQ(link->ScaleHeight(), textHeight);
    link->Width(1200);
    EXPECT_EQ(link->ScaleHeight(), 2 * textHeight);
}

TEST_F(HyperLinkTest, UnderlinedOnlyUnderTheMouse)
{
    form.Show();
    RecordEvents();
    const int coldRow = LongestLinkRow();
    const std::vector<int> coldRows = InkedRows();
    test::MoveMouse(link->hWnd(), 10, 5);
    EXPECT_EQ(GetCapture(), link->hWnd());
    const int hotRow = LongestLinkRow();
    EXPECT_GT(hotRow, coldRow);
    EXPECT_GT(hotRow, 40);  // a line under most of the caption's 64 pixels
    test::MoveMouse(link->hWnd(), 10, 60);
    EXPECT_EQ(log.Entries(), (Log{L"MouseOut"}));
    EXPECT_EQ(InkedRows(), coldRows);
    EXPECT_NE(GetCapture(), link->hWnd());
}

TEST_F(HyperLinkTest, ClickAndDoubleClickFromTheRealMouse)
{
    form.Show();
    RecordEvents();
    test::ClickAt(link->hWnd(), 10, 5);
    EXPECT_EQ(log.Entries(), (Log{L"MouseDown 1", L"MouseUp 1", L"Click"}));
    // Far enough along for the system not to pair the next click with that one.
    const int apart = 10 + 2 * GetSystemMetrics(SM_CXDOUBLECLK);
    log.Clear();
    test::MoveMouse(link->hWnd(), apart, 5);
    test::DoubleClick();
    EXPECT_EQ(log.Entries(), (Log{L"MouseDown 1", L"MouseUp 1", L"Click", L"DblClick", L"MouseUp 1"}));
    test::MoveMouse(form.hWnd(), 5, 5);
}

TEST_F(HyperLinkTest, ThePointingHandShowsOverTheLink)
{
    form.Show();
    test::MoveMouse(link->hWnd(), 10, 5);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(GetCursor(), &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 5u);
    EXPECT_EQ(info.yHotspot, 0u);
    const forms::gdi::BitmapHandle mask(info.hbmMask), colour(info.hbmColor);
    test::MoveMouse(form.hWnd(), 5, 5);
}

TEST_F(HyperLinkTest, UnderliningOnAndOffKeepsNoGdiObjects)
{
    form.Show();
    test::MoveMouse(link->hWnd(), 10, 5);
    test::MoveMouse(link->hWnd(), 10, 60);
    const long before = forms::gdi::LiveObjects();
    for (int i = 0; i < 10; ++i) {
        test::MoveMouse(link->hWnd(), 10, 5);
        test::MoveMouse(link->hWnd(), 10, 60);
        link->Caption(i % 2 ? L"找回密码" : L"注册新账号");
    }
    EXPECT_EQ(forms::gdi::LiveObjects(), before);
}

TEST_F(HyperLinkTest, ForeColorRedrawsBackColorWaitsForTheNextRedraw)
{
    form.Load();
    link->PropertyChangeReported = [this](const std::wstring& name) { log.Add(name); };
    link->ForeColor(0x0000FF);
    EXPECT_GT(InkedRows().size(), 0u);
    link->BackColor(0x00FF00);
    for (int x = 0; x < link->ScaleWidth(); x += 7)
        EXPECT_EQ(static_cast<COLORREF>(link->Point(x, 6)), RGB(0, 255, 0));
    EXPECT_EQ(log.Entries(), (Log{L"ForeColor", L"BackColor"}));
}

TEST_F(HyperLinkTest, StoredColoursUseTheirOwnDefaultsForReadingAndWriting)
{
    struct Case {
        const char* name;
        forms::PropertyBag stored;
        forms::OleColor back, fore;  // as loaded
        bool backSaved, foreSaved;
    } cases[] = {
        {"missing keys read as the link colours", {}, 0xFFF4E4, 0xEB7016, true, true},
        {"link colours are written",
         {{L"BackColor", 0xFFF4E4}, {L"ForeColor", 0xEB7016}},
         0xFFF4E4,
         0xEB7016,
         true,
         true},
        {"system colours are not",
         {{L"BackColor", 0x8000000F}, {L"ForeColor", 0x80000012}},
         0x8000000F,
         0x80000012,
         false,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        layout = c.stored;
        form.Load();
        EXPECT_EQ(link->BackColor(), c.back);
        EXPECT_EQ(link->ForeColor(), c.fore);
        forms::PropertyBag saved;
        link->SaveProperties(saved);
        EXPECT_EQ(saved.Contains(L"BackColor"), c.backSaved);
        EXPECT_EQ(saved.Contains(L"ForeColor"), c.foreSaved);
        EXPECT_FALSE(saved.Contains(L"Caption"));
        form.Unload();
        // Saved and loaded again: button face and text come back as the link colours.
        layout = saved;
        form.Load();
        EXPECT_EQ(link->BackColor(), c.backSaved ? c.back : 0xFFF4E4u);
        EXPECT_EQ(link->ForeColor(), c.foreSaved ? c.fore : 0xEB7016u);
        form.Unload();
    }
    layout = {{L"Caption", L"找回密码"}};
    form.Load();
    forms::PropertyBag saved;
    link->SaveProperties(saved);
    EXPECT_EQ(saved.ReadProperty(L"Caption", L""), L"找回密码");
}

}  // namespace
}  // namespace quill::small
