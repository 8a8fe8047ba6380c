// What the skin paints on each kind of control, read back from the window:
// the state images of push buttons, the check and option glyphs, the drop
// button, the progress fill, header items and the flat frames.
#include "SkinnedKinds.h"

#include "skinning/SkinColours.h"
#include "skinning/SkinGeometry.h"
#include "skinning/SkinPainters.h"
#include "skinning/SkinPrimitives.h"

#include <commctrl.h>

namespace quill::skinning {
namespace {

using SkinPaint = SkinnedKinds;

WindowBox Box(HWND h)
{
    WindowBox box;
    GetWindowBox(h, box);
    return box;
}

HDC StateImage(HWND button, int state)
{
    return reinterpret_cast<HDC>(GetSkinValue(button, StateImageDcName(state).c_str()));
}

bool ImageHolds(HDC image, int w, int h, COLORREF colour)
{
    return Picture(image, w, h).Holds(colour);
}

TEST_F(SkinPaint, APushButtonShowsItsNormalImageFramedInBlue)
{
    const WindowBox box = Box(kinds.button);
    EXPECT_EQ(GetSkinValue(kinds.button, prop::OLDSTATE), StateNormal);
    EXPECT_EQ(ShowsStateImage(kinds.button, StateNormal), "");
    for (int state = 0; state < 4; ++state) {
        HDC image = StateImage(kinds.button, state);
        const COLORREF border = state == StateDisabled ? 0xE8C387 : 0xD58F1B;
        SCOPED_TRACE(state);
        // Corners kept at size, edges stretched.
        EXPECT_EQ(Hex(GetPixel(image, 0, box.height / 2)), Hex(border));
        EXPECT_EQ(Hex(GetPixel(image, box.width - 1, box.height / 2)), Hex(border));
        EXPECT_EQ(Hex(GetPixel(image, box.width / 2, 0)), Hex(state == StateDisabled ? 0xE8C387 : 0xD58F1B));
        EXPECT_EQ(Hex(GetPixel(image, 1, 0)), Hex(Art(SkinBitmap::ButtonFace, 1, 21 * state)));
        EXPECT_EQ(Hex(GetPixel(image, 2, 1)), Hex(Art(SkinBitmap::ButtonFace, 2, 21 * state + 1)));
        // The caption: black, pale in the disabled image.
        EXPECT_EQ(ImageHolds(image, box.width, box.height, CaptionColour), state != StateDisabled);
        EXPECT_EQ(ImageHolds(image, box.width, box.height, DisabledCaptionColour), state == StateDisabled);
    }
    // The hot image's sides are bright blue, the pressed one's deeper.
    EXPECT_EQ(Hex(GetPixel(StateImage(kinds.button, StateHot), 1, 11)),
              Hex(Art(SkinBitmap::ButtonFace, 1, 21 + 10)));
    EXPECT_EQ(Hex(GetPixel(StateImage(kinds.button, StatePressed), 1, 11)),
              Hex(Art(SkinBitmap::ButtonFace, 1, 42 + 10)));
}

TEST_F(SkinPaint, ADisabledPushButtonShowsItsDisabledImage)
{
    EnableWindow(kinds.button, FALSE);
    PumpMessages();
    EXPECT_EQ(GetSkinValue(kinds.button, prop::OLDSTATE), StateDisabled);
    EXPECT_EQ(ShowsStateImage(kinds.button, StateDisabled), "");
    EXPECT_EQ(Hex(Shown(kinds.button, 0, 11)), Hex(0xE8C387));
    EnableWindow(kinds.button, TRUE);
    PumpMessages();
    EXPECT_EQ(GetSkinValue(kinds.button, prop::OLDSTATE), StateNormal);
    EXPECT_EQ(ShowsStateImage(kinds.button, StateNormal), "");
}

TEST_F(SkinPaint, TheFocusRectangleFollowsTheFocus)
{
    const WindowBox box = Box(kinds.button);
    std::vector<COLORREF> before;
    const Picture unfocused(StateImage(kinds.button, StateNormal), box.width, box.height);
    for (int x = 2; x < box.width - 2; ++x)
        before.push_back(unfocused.At(x, 2));
    SetFocus(kinds.button);
    Settle();
    // The dotted rectangle inset by 2: every other pixel of row 2 changed.
    int changed = 0;
    const Picture focused(StateImage(kinds.button, StateNormal), box.width, box.height);
    for (int x = 2; x < box.width - 2; ++x)
        changed += focused.At(x, 2) != before[x - 2];
    EXPECT_GE(changed, (box.width - 4) / 2 - 1);
    EXPECT_EQ(ShowsStateImage(kinds.button, StateNormal), "");
    SetFocus(kinds.defaultButton);
    Settle();
    const Picture again(StateImage(kinds.button, StateNormal), box.width, box.height);
    for (int x = 2; x < box.width - 2; ++x)
        EXPECT_EQ(again.At(x, 2), before[x - 2]) << x;
    EXPECT_EQ(ShowsStateImage(kinds.button, StateNormal), "");
}

struct CheckMetrics {
    int cw = GetSystemMetrics(SM_CXMENUCHECK), ch = GetSystemMetrics(SM_CYMENUCHECK);
};

TEST_F(SkinPaint, CheckBoxesShowTheCheckMarkAndTheIndeterminateSquare)
{
    const CheckMetrics m;
    const int top = CheckSquareAt(Box(kinds.check).height, m.ch).y;
    // The square's frame and white inside.
    EXPECT_EQ(Hex(Shown(kinds.check, 0, top)), Hex(FrameColour));
    EXPECT_EQ(Hex(Shown(kinds.check, m.cw - 1, top + m.ch - 1)), Hex(FrameColour));
    EXPECT_EQ(Hex(Shown(kinds.check, 1, top + 1)), Hex(WhiteColour));
    // The check mark where its mask draws, white where it does not.
    const SkinPoint mark = CheckMarkAt(m.cw, m.ch);
    const Picture check = Picture::OfWindow(kinds.check);
    for (int gy = 0; gy < 8; ++gy)
        for (int gx = 0; gx < 9; ++gx) {
            const COLORREF art = Art(SkinBitmap::Glyph, gx, gy);
            const COLORREF want = art == KeyColour ? WhiteColour : art;
            EXPECT_EQ(Hex(check.At(mark.x + gx, top + mark.y + gy)), Hex(want)) << gx << "," << gy;
        }
    const int top2 = CheckSquareAt(Box(kinds.indeterminate).height, m.ch).y;
    const SkinPoint square = IndeterminateAt(m.cw, m.ch);
    const Picture indeterminate = Picture::OfWindow(kinds.indeterminate);
    for (int gy = 0; gy < 7; ++gy)
        for (int gx = 0; gx < 7; ++gx)
            EXPECT_EQ(Hex(indeterminate.At(square.x + gx, top2 + square.y + gy)),
                      Hex(Art(SkinBitmap::Glyph, 1 + gx, 9 + gy)));
    EXPECT_EQ(Hex(Shown(kinds.indeterminate, square.x - 1, top2 + square.y)), Hex(WhiteColour));
}

TEST_F(SkinPaint, ADisabledCheckBoxShowsThePaleGlyphsAndFrame)
{
    const CheckMetrics m;
    EnableWindow(kinds.check, FALSE);
    EnableWindow(kinds.indeterminate, FALSE);
    // The control greys itself at once; the skin comes back with its next paint.
    for (HWND h : {kinds.check, kinds.indeterminate})
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const int top = CheckSquareAt(Box(kinds.check).height, m.ch).y;
    EXPECT_EQ(Hex(Shown(kinds.check, 0, top)), Hex(DisabledFrameColour));
    const SkinPoint mark = CheckMarkAt(m.cw, m.ch);
    EXPECT_EQ(Hex(Shown(kinds.check, mark.x + 8, top + mark.y)), Hex(Art(SkinBitmap::Glyph, 9 + 8, 0)));
    const SkinPoint square = IndeterminateAt(m.cw, m.ch);
    EXPECT_EQ(Hex(Shown(kinds.indeterminate, square.x + 3, top + square.y + 3)),
              Hex(Art(SkinBitmap::Glyph, 10 + 3, 9 + 3)));
    // Whatever state is asked for, no hot fill.
    EXPECT_EQ(DrawCheckSkin(kinds.check, StateHot, false), 1);
    EXPECT_EQ(Hex(Shown(kinds.check, 1, top + 1)), Hex(WhiteColour));
    EnableWindow(kinds.check, TRUE);
    EnableWindow(kinds.indeterminate, TRUE);
}

TEST_F(SkinPaint, PaintersAskedForTheStateAlreadyDrawnDoNothing)
{
    EXPECT_EQ(DrawCheckSkin(kinds.check, StateNormal, false), 0);
    EXPECT_EQ(DrawCheckSkin(kinds.check, StateNormal, true), 1);
    EXPECT_EQ(DrawOptionSkin(kinds.option1, StateNormal, false), 0);
    EXPECT_EQ(DrawOptionSkin(kinds.option1, StateHot, false), 1);
    EXPECT_EQ(GetSkinValue(kinds.option1, prop::OLDSTATE), StateHot);
    EXPECT_EQ(DrawOptionSkin(kinds.option1, StateHot, false), 0);
}

TEST_F(SkinPaint, OptionButtonsShowTheCircleAndTheDot)
{
    const CheckMetrics m;
    const int h = Box(kinds.option1).height;
    const int top = OptionCircleTop(h, m.ch);
    // The circle's top row; its key-coloured corners leave the control's own
    // background.
    EXPECT_EQ(Hex(Shown(kinds.option2, 6, top)), Hex(Art(SkinBitmap::OptionCircle, 6, 0)));
    EXPECT_NE(Shown(kinds.option2, 0, top), KeyColour);
    EXPECT_EQ(Hex(Shown(kinds.option2, 0, top + 6)), Hex(0xD2A683));
    EXPECT_EQ(Hex(Shown(kinds.option2, 6, top + 6)), Hex(WhiteColour));  // unchecked: no dot
    const SkinPoint dot = OptionDotAt(m.cw, m.ch, h);
    for (int gy = 0; gy < 5; ++gy)
        for (int gx = 0; gx < 5; ++gx) {
            const COLORREF art = Art(SkinBitmap::Glyph, 2 + gx, 18 + gy);
            const COLORREF want =
                art == KeyColour ? Art(SkinBitmap::OptionCircle, dot.x + gx, dot.y - top + gy) : art;
            EXPECT_EQ(Hex(Shown(kinds.option1, dot.x + gx, dot.y + gy)), Hex(want)) << gx << "," << gy;
        }
    if (m.cw == 13 && m.ch == 13) {
        EXPECT_EQ(dot.x, 4);
    }
}

TEST_F(SkinPaint, ComboBoxesAreFramedWithAWhiteDropButtonAndItsArrow)
{
    const int scroll = GetSystemMetrics(SM_CXVSCROLL);
    for (HWND combo : {kinds.listCombo, kinds.editCombo, kinds.driveList}) {
        const WindowBox box = Box(combo);
        SCOPED_TRACE(GetWindowClass(combo));
        EXPECT_EQ(Hex(Shown(combo, 0, 0)), Hex(FrameColour));
        EXPECT_EQ(Hex(Shown(combo, box.width - 1, box.height - 1)), Hex(FrameColour));
        const DropButtonLayout at = DropButtonPlace(box.width, box.height, scroll);
        EXPECT_EQ(Hex(Shown(combo, at.button.x, at.button.y)), Hex(WhiteColour));
        // The enabled arrow, row by row.
        const Picture shown = Picture::OfWindow(combo);
        for (int ay = 0; ay < 4; ++ay)
            for (int ax = 0; ax < 7; ++ax) {
                const COLORREF art = Art(SkinBitmap::DropButton, 8 + ax, ay);
                EXPECT_EQ(Hex(shown.At(at.button.x + at.arrow.x + ax, at.button.y + at.arrow.y + ay)),
                          Hex(art == KeyColour ? WhiteColour : art))
                    << ax << "," << ay;
            }
    }
}

TEST_F(SkinPaint, ADroppedListDrawsThePressedDropButton)
{
    SendMessageW(kinds.listCombo, CB_SHOWDROPDOWN, TRUE, 0);
    PumpMessages();
    int state = StateNormal;
    DrawComboButton(kinds.listCombo, nullptr, state, false);
    EXPECT_EQ(state, StatePressed);
    EXPECT_EQ(GetSkinValue(kinds.listCombo, prop::OLDSTATE), StatePressed);
    const WindowBox box = Box(kinds.listCombo);
    const DropButtonLayout at = DropButtonPlace(box.width, box.height, GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(Hex(Shown(kinds.listCombo, at.button.x, at.button.y + 3)), Hex(0xD1A04E));
    EXPECT_EQ(Hex(Shown(kinds.listCombo, at.button.x + 1, at.button.y)),
              Hex(Art(SkinBitmap::DropButton, 5, 0)));
    SendMessageW(kinds.listCombo, CB_SHOWDROPDOWN, FALSE, 0);
    PumpMessages();
}

TEST_F(SkinPaint, ASimpleComboBoxNeverGetsADropButton)
{
    HWND simple = kinds.form.Add(L"ComboBox", L"", CBS_SIMPLE, 280, 200, 100, 60);
    ASSERT_EQ(skinner.AttachSkin(simple), 1);
    PumpMessages();
    int state = StateHot;
    DrawComboButton(simple, nullptr, state, true);
    EXPECT_EQ(GetSkinValue(simple, prop::OLDSTATE), StateNormal);
    EXPECT_EQ(skinner.DetachSkin(simple), 1);
    DestroyWindow(simple);
}

TEST_F(SkinPaint, TheProgressBarIsHalfFilledAtHalfTheFixedDivisor)
{
    const WindowBox box = Box(kinds.progress);
    RECT client{};
    GetClientRect(kinds.progress, &client);
    ASSERT_EQ(client.right, box.width - 2);  // a one-pixel border
    EXPECT_EQ(Hex(Shown(kinds.progress, 0, 0)), Hex(FrameColour));
    EXPECT_EQ(Hex(Shown(kinds.progress, box.width - 1, 5)), Hex(FrameColour));
    const int filled = client.right / 2;
    const Picture shown = Picture::OfWindow(kinds.progress);
    for (int y = 1; y < box.height - 1; ++y) {
        EXPECT_EQ(Hex(shown.At(1, y)), Hex(ProgressColour)) << y;
        EXPECT_EQ(Hex(shown.At(filled, y)), Hex(ProgressColour)) << y;
        EXPECT_EQ(Hex(shown.At(filled + 1, y)), Hex(WhiteColour)) << y;
        EXPECT_EQ(Hex(shown.At(box.width - 2, y)), Hex(WhiteColour)) << y;
    }
    // Position 0: white inside the frame. Beyond the divisor: full, no further.
    SendMessageW(kinds.progress, PBM_SETPOS, 0, 0);
    RedrawWindow(kinds.progress, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    EXPECT_EQ(Hex(Shown(kinds.progress, 1, 5)), Hex(WhiteColour));
    EXPECT_EQ(Hex(Shown(kinds.progress, 0, 5)), Hex(FrameColour));
    SendMessageW(kinds.progress, PBM_SETRANGE32, 0, 60000);
    SendMessageW(kinds.progress, PBM_SETPOS, 45000, 0);
    RedrawWindow(kinds.progress, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    EXPECT_EQ(Hex(Shown(kinds.progress, box.width - 2, 5)), Hex(ProgressColour));
    EXPECT_EQ(Hex(Shown(kinds.progress, box.width - 1, 5)), Hex(FrameColour));
}

TEST_F(SkinPaint, HeaderItemsAndTheBarBehindThem)
{
    const WindowBox box = Box(kinds.header);
    // Item 0 at 0..100, item 1 at 100..220, item 2 at 220..370.
    for (int left : {0, 100, 220}) {
        EXPECT_EQ(Hex(Shown(kinds.header, left, 0)), Hex(0xFEF5EA)) << left;
        EXPECT_EQ(Hex(Shown(kinds.header, left + 30, box.height - 1)), Hex(0xF2DAC0)) << left;
    }
    // The separator at the right edge of each item.
    EXPECT_EQ(Hex(Shown(kinds.header, 99, box.height / 2)), Hex(0xD9B07A));
    // Hot and pressed items, as the painters draw them.
    DrawHeaderItem(kinds.header, nullptr, 1, StateHot);
    EXPECT_EQ(Hex(Shown(kinds.header, 100, 0)), Hex(0xFDE6BD));
    EXPECT_EQ(Hex(Shown(kinds.header, 101, 0)), Hex(0xFEEED3));
    DrawHeaderItem(kinds.header, nullptr, 1, StatePressed);
    EXPECT_EQ(Hex(Shown(kinds.header, 100, 0)), Hex(0xFBD797));
    // A pressed item that is also the hot one is drawn pressed by the bar.
    SetSkinValue(kinds.header, prop::HDINDEX, 2);
    SetSkinValue(kinds.header, prop::HMINDEX, 2);
    RedrawWindow(kinds.header, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(Hex(Shown(kinds.header, 220, 0)), Hex(0xFBD797));
    EXPECT_EQ(Hex(Shown(kinds.header, 100, 0)), Hex(0xFEF5EA));
    SetSkinValue(kinds.header, prop::HDINDEX, -1);
    SetSkinValue(kinds.header, prop::HMINDEX, -1);
}

TEST_F(SkinPaint, ADisabledOptionButtonAndComboBoxArePale)
{
    const int cw = GetSystemMetrics(SM_CXMENUCHECK), ch = GetSystemMetrics(SM_CYMENUCHECK);
    for (HWND h : {kinds.option1, kinds.listCombo}) {
        EnableWindow(h, FALSE);
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    }
    const int h = Box(kinds.option1).height;
    const int top = OptionCircleTop(h, ch);
    // The disabled circle, whatever the state asked for, and the pale dot.
    EXPECT_EQ(DrawOptionSkin(kinds.option1, StateHot, true), 1);
    EXPECT_EQ(Hex(Shown(kinds.option1, 6, top + 1)), Hex(Art(SkinBitmap::OptionCircle, 6, 39 + 1)));
    const SkinPoint dot = OptionDotAt(cw, ch, h);
    EXPECT_EQ(Hex(Shown(kinds.option1, dot.x + 2, dot.y)), Hex(Art(SkinBitmap::Glyph, 11 + 2, 18)));
    // The combo box: the pale frame and the grey arrow.
    const WindowBox box = Box(kinds.listCombo);
    EXPECT_EQ(Hex(Shown(kinds.listCombo, 0, 0)), Hex(DisabledFrameColour));
    const DropButtonLayout at = DropButtonPlace(box.width, box.height, GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(Hex(Shown(kinds.listCombo, at.button.x + at.arrow.x, at.button.y + at.arrow.y)), Hex(0xACA584));
    for (HWND hw : {kinds.option1, kinds.listCombo})
        EnableWindow(hw, TRUE);
}

TEST_F(SkinPaint, HeaderTextIsReadIntoABufferWithRoomForItsEnd)
{
    // An item text longer than the buffer: the header writes 255 characters
    // and the terminating NUL, and the painter reads exactly those.
    const std::wstring longText(300, L'a');
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = const_cast<wchar_t*>(longText.c_str());
    SendMessageW(kinds.header, HDM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(HeaderItemText(kinds.header, 0), std::string(255, 'a'));
    EXPECT_EQ(HeaderItemText(kinds.header, 1), "\xBD\xF0\xB6\xEE");  // 金额 in code page 936
    RedrawWindow(kinds.header, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(Hex(Shown(kinds.header, 0, 0)), Hex(0xFEF5EA));
}

TEST_F(SkinPaint, ClientEdgesAndBordersAreFlattenedToOneBlueLine)
{
    for (HWND h : {kinds.list, kinds.dataList, kinds.grid}) {
        const WindowBox box = Box(h);
        SCOPED_TRACE(GetWindowClass(h));
        EXPECT_EQ(Hex(Shown(h, 0, 0)), Hex(FrameColour));
        EXPECT_EQ(Hex(Shown(h, box.width - 1, box.height / 2)), Hex(FrameColour));
    }
    // Inside the line, the client's background colour (white) replaces the
    // sunken edge; the list and the data list frame white within.
    EXPECT_EQ(Hex(Shown(kinds.list, 1, 1)), Hex(WhiteColour));
    EXPECT_EQ(Hex(Shown(kinds.dataList, 1, 1)), Hex(WhiteColour));
    int bx = 0, by = 0;
    GetBorderSize(kinds.list, bx, by);
    EXPECT_EQ(bx, GetSystemMetrics(SM_CXEDGE));
}

}  // namespace
}  // namespace quill::skinning
