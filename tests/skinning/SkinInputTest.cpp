// The skin as a user works it with the real mouse and keyboard: push buttons
// fade between their images on the fade timer, check boxes, option buttons,
// combo boxes and headers follow the pointer and the keys.
#include "SkinnedKinds.h"

#include "skinning/SkinColours.h"
#include "skinning/SkinFade.h"
#include "skinning/SkinGeometry.h"
#include "skinning/SkinPainters.h"
#include "skinning/SkinPrimitives.h"

#include <commctrl.h>

namespace quill::skinning {
namespace {

namespace gdi = forms::gdi;

using SkinInput = SkinnedKinds;

std::intptr_t Value(HWND h, const char* name)
{
    return GetSkinValue(h, name);
}

WindowBox Box(HWND h)
{
    WindowBox box;
    GetWindowBox(h, box);
    return box;
}

// Sits in front of the skin and counts the fade's ticks as they arrive; after
// each it notes what the window shows at one point.
class TickCounter {
public:
    TickCounter(HWND h, POINT sample = {1, 11}) : hwnd_(h), sample_(sample)
    {
        SetWindowSubclass(h, Proc, 0x71, reinterpret_cast<DWORD_PTR>(this));
    }
    ~TickCounter() { RemoveWindowSubclass(hwnd_, Proc, 0x71); }
    int ticks = 0;
    int ticksAtLeave = -1;
    std::vector<COLORREF> shown;
    std::vector<std::intptr_t> alphas;

private:
    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref)
    {
        auto* self = reinterpret_cast<TickCounter*>(ref);
        if (msg == WM_MOUSELEAVE)
            self->ticksAtLeave = self->ticks;
        if (msg != WM_TIMER)
            return DefSubclassProc(h, msg, wp, lp);
        ++self->ticks;
        self->alphas.push_back(GetSkinValue(h, prop::ALPHALEVEL));
        const LRESULT result = DefSubclassProc(h, msg, wp, lp);
        self->shown.push_back(Shown(h, self->sample_.x, self->sample_.y));
        return result;
    }
    HWND hwnd_;
    POINT sample_;
};

bool FadeOver(HWND h)
{
    return Value(h, prop::TIMERID) == 0;
}

// An empty spot of the form, away from every control.
void MoveToEmptySpot(const KindsWindow& kinds)
{
    POINT p{300, 20};
    ClientToScreen(kinds.form.hwnd(), &p);
    MoveMouseTo(p);
}

TEST_F(SkinInput, HoveringFadesTheHotImageInOverEightySixTicksAndLeavingFadesItOut)
{
    HWND button = kinds.button;
    const COLORREF normal = Shown(button, 1, 11);
    const COLORREF hot = GetPixel(reinterpret_cast<HDC>(Value(button, "HDC1")), 1, 11);
    ASSERT_NE(normal, hot);
    {
        TickCounter counter(button);
        MoveMouse(button, 30, 11);
        EXPECT_EQ(Value(button, prop::MOUSEFLAG), 1);
        EXPECT_EQ(Value(button, prop::OLDSTATE), StateHot);
        EXPECT_EQ(Value(button, prop::TIMERID), static_cast<std::intptr_t>(FadeTimerId));
        PumpUntil([&] { return FadeOver(button); }, "the hover fade's end");
        EXPECT_EQ(counter.ticks, FadeBlendCount(0));
        EXPECT_EQ(counter.ticks, 86);
        EXPECT_EQ(Value(button, prop::ALPHALEVEL), 0);
        EXPECT_EQ(ShowsStateImage(button, StateHot), "");
        // Tick by tick, each blend lands on the one before: the platform's
        // blend of the new image over what was shown, at alpha 0, 3, ... 255.
        ASSERT_EQ(counter.shown.size(), 86u);
        COLORREF model = normal;
        for (size_t i = 0; i < counter.shown.size(); ++i) {
            EXPECT_EQ(counter.alphas[i], static_cast<std::intptr_t>(3 * i));
            model = BlendColour(hot, model, static_cast<int>(3 * i));
            EXPECT_EQ(Hex(counter.shown[i]), Hex(model)) << "tick " << i;
        }
    }
    TickCounter counter(button);
    MoveToEmptySpot(kinds);
    PumpUntil([&] { return FadeOver(button) && Value(button, prop::MOUSEFLAG) == 0; },
              "the leave fade's end");
    EXPECT_EQ(counter.ticks, 86);
    EXPECT_EQ(Value(button, prop::OLDSTATE), StateNormal);
    EXPECT_EQ(ShowsStateImage(button, StateNormal), "");
}

TEST_F(SkinInput, LeavingBeforeTheHoverFadeEndsFadesTheNormalImageInOnTheSameTimer)
{
    HWND button = kinds.button;
    TickCounter counter(button);
    MoveMouse(button, 30, 11);
    PumpUntil([&] { return counter.ticks >= 10; }, "ten ticks");
    ASSERT_FALSE(FadeOver(button));
    MoveToEmptySpot(kinds);
    PumpUntil([&] { return counter.ticksAtLeave >= 0 && FadeOver(button); }, "the leave fade's end");
    EXPECT_EQ(counter.ticks - counter.ticksAtLeave, 86);
    EXPECT_EQ(ShowsStateImage(button, StateNormal), "");
}

TEST_F(SkinInput, PressingDraggingOffAndReleasingOutside)
{
    HWND button = kinds.button;
    MoveMouse(button, 30, 11);
    Settle();
    MouseButton(true);
    EXPECT_EQ(Value(button, prop::OLDSTATE), StatePressed);
    EXPECT_TRUE(FadeOver(button));
    EXPECT_EQ(ShowsStateImage(button, StatePressed), "");
    // Dragged off with the button held: the pressed image at full strength.
    MoveToEmptySpot(kinds);
    EXPECT_EQ(Value(button, prop::OLDSTATE), StatePressed);
    EXPECT_EQ(Value(button, prop::ALPHALEVEL), 255);
    EXPECT_TRUE(FadeOver(button));
    EXPECT_EQ(ShowsStateImage(button, StatePressed), "");
    // Released outside: back to normal from 60, in 66 ticks; the leave
    // notice may follow while it runs (Wine sends it once the capture ends),
    // and then the normal image fades in afresh from 0.
    TickCounter counter(button);
    MouseButton(false);
    EXPECT_EQ(Value(button, prop::OLDSTATE), StateNormal);
    PumpUntil([&] { return FadeOver(button) && Value(button, prop::MOUSEFLAG) == 0; },
              "the release fade's end");
    ASSERT_FALSE(counter.alphas.empty());
    EXPECT_EQ(counter.alphas.front(), ReleaseFadeAlpha);
    const int beforeLeave = counter.ticksAtLeave >= 0 ? counter.ticksAtLeave : counter.ticks;
    for (int i = 0; i < beforeLeave; ++i)
        EXPECT_EQ(counter.alphas[i], ReleaseFadeAlpha + 3 * i);
    if (counter.ticksAtLeave >= 0)
        EXPECT_EQ(counter.ticks - counter.ticksAtLeave, 86);
    else
        EXPECT_EQ(counter.ticks, 66);
    EXPECT_EQ(ShowsStateImage(button, StateNormal), "");
}

// Counts the push buttons' clicks the form is told of.
class ClickCounter {
public:
    explicit ClickCounter(HWND form) : form_(form)
    {
        SetWindowSubclass(form, Proc, 0x72, reinterpret_cast<DWORD_PTR>(this));
    }
    ~ClickCounter() { RemoveWindowSubclass(form_, Proc, 0x72); }
    int clicks = 0;

private:
    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref)
    {
        if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED)
            ++reinterpret_cast<ClickCounter*>(ref)->clicks;
        return DefSubclassProc(h, msg, wp, lp);
    }
    HWND form_;
};

TEST_F(SkinInput, TheSpaceKeyPressesAndReleasesAndTheButtonStillClicks)
{
    HWND button = kinds.button;
    ClickCounter clicks(kinds.form.hwnd());
    SetFocus(button);
    Settle();
    KeyDown(VK_SPACE);
    EXPECT_EQ(Value(button, prop::OLDSTATE), StatePressed);
    EXPECT_EQ(ShowsStateImage(button, StatePressed), "");
    TickCounter counter(button);
    KeyUp(VK_SPACE);
    PumpUntil([&] { return FadeOver(button); }, "the key-up fade's end");
    EXPECT_EQ(counter.ticks, 86);
    EXPECT_EQ(ShowsStateImage(button, StateNormal), "");
    EXPECT_EQ(clicks.clicks, 1);
    // A mouse click clicks too.
    MoveMouse(button, 30, 11);
    MouseButton(true);
    MouseButton(false);
    EXPECT_EQ(clicks.clicks, 2);
}

TEST_F(SkinInput, AnyTimerOfTheButtonMovesTheFadeOn)
{
    HWND button = kinds.button;
    MoveMouse(button, 30, 11);
    ASSERT_FALSE(FadeOver(button));
    const std::intptr_t alpha = Value(button, prop::ALPHALEVEL);
    SendMessageW(button, WM_TIMER, 77, 0);
    EXPECT_EQ(Value(button, prop::ALPHALEVEL), alpha + 3);
    Settle();
}

TEST_F(SkinInput, CheckBoxesFollowThePointerAndTheirValue)
{
    const int cw = GetSystemMetrics(SM_CXMENUCHECK), ch = GetSystemMetrics(SM_CYMENUCHECK);
    HWND check = kinds.check;
    const int top = CheckSquareAt(Box(check).height, ch).y;
    const SkinPoint mark = CheckMarkAt(cw, ch);
    MoveMouse(check, 40, 8);
    EXPECT_EQ(Value(check, prop::MOUSEFLAG), 1);
    EXPECT_EQ(Value(check, prop::OLDSTATE), StateHot);
    EXPECT_EQ(Hex(Shown(check, 0, top)), Hex(FrameColour));
    EXPECT_EQ(Hex(Shown(check, 1, top + 1)), Hex(Art(SkinBitmap::OptionCircle, 1, 17)));
    EXPECT_EQ(Hex(Shown(check, mark.x + 8, top + mark.y)), Hex(Art(SkinBitmap::Glyph, 8, 0)));
    MouseButton(true);
    EXPECT_EQ(Value(check, prop::OLDSTATE), StatePressed);
    EXPECT_EQ(Hex(Shown(check, 0, top)), Hex(PressedCheckFrameColour));
    EXPECT_EQ(Hex(Shown(check, 1, top + 1)), Hex(Art(SkinBitmap::OptionCircle, 1, 30)));
    MouseButton(false);
    PumpMessages();
    EXPECT_EQ(SendMessageW(check, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    // Released: normal, or hot again once the pointer moves over it.
    EXPECT_NE(Value(check, prop::OLDSTATE), StatePressed);
    EXPECT_NE(Hex(Shown(check, mark.x + 8, top + mark.y)), Hex(Art(SkinBitmap::Glyph, 8, 0)));
    EXPECT_EQ(Hex(Shown(check, 0, top)), Hex(FrameColour));
    MoveToEmptySpot(kinds);
    PumpUntil([&] { return Value(check, prop::MOUSEFLAG) == 0; }, "the check box's leave");
    EXPECT_EQ(Hex(Shown(check, 1, top + 1)), Hex(WhiteColour));
}

TEST_F(SkinInput, ClickingAnOptionButtonShowsTheNewChoiceOnBoth)
{
    const int cw = GetSystemMetrics(SM_CXMENUCHECK), ch = GetSystemMetrics(SM_CYMENUCHECK);
    const int h = Box(kinds.option1).height;
    const SkinPoint dot = OptionDotAt(cw, ch, h);
    const COLORREF dotMiddle = Art(SkinBitmap::Glyph, 4, 20);
    EXPECT_EQ(Hex(Shown(kinds.option1, dot.x + 2, dot.y + 2)), Hex(dotMiddle));
    EXPECT_NE(Shown(kinds.option2, dot.x + 2, dot.y + 2), dotMiddle);
    MoveMouse(kinds.option2, 30, 8);
    EXPECT_EQ(Value(kinds.option2, prop::OLDSTATE), StateHot);
    const int top = OptionCircleTop(h, ch);
    EXPECT_EQ(Hex(Shown(kinds.option2, 6, top + 6)), Hex(Art(SkinBitmap::OptionCircle, 6, 13 + 6)));
    MouseButton(true);
    EXPECT_EQ(Hex(Shown(kinds.option2, 1, top + 6)), Hex(Art(SkinBitmap::OptionCircle, 1, 26 + 6)));
    MouseButton(false);
    PumpMessages();
    EXPECT_EQ(SendMessageW(kinds.option2, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(Hex(Shown(kinds.option2, dot.x + 2, dot.y + 2)), Hex(dotMiddle));
    EXPECT_EQ(Hex(Shown(kinds.option1, dot.x + 2, dot.y + 2)), Hex(WhiteColour));
}

TEST_F(SkinInput, HeaderItemsGoHotPressedAndBack)
{
    HWND header = kinds.header;
    MoveMouse(header, 150, 10);
    EXPECT_EQ(Value(header, prop::HMINDEX), 1);
    EXPECT_EQ(Hex(Shown(header, 100, 0)), Hex(0xFDE6BD));
    EXPECT_EQ(Hex(Shown(header, 0, 0)), Hex(0xFEF5EA));
    MouseButton(true);
    EXPECT_EQ(Value(header, prop::HDINDEX), 1);
    EXPECT_EQ(Hex(Shown(header, 100, 0)), Hex(0xFBD797));
    MouseButton(false);
    PumpMessages();
    EXPECT_EQ(Value(header, prop::HDINDEX), -1);
    EXPECT_EQ(Hex(Shown(header, 100, 0)), Hex(0xFDE6BD));
    // Pressed, then released with the pointer off the header: normal.
    MouseButton(true);
    MoveToEmptySpot(kinds);
    MouseButton(false);
    PumpUntil([&] { return Value(header, prop::MOUSEFLAG) == 0; }, "the header's leave");
    EXPECT_EQ(Value(header, prop::HMINDEX), -1);
    EXPECT_EQ(Hex(Shown(header, 100, 0)), Hex(0xFEF5EA));
}

TEST_F(SkinInput, ComboBoxesShowHotAndDroppedDropButtons)
{
    HWND combo = kinds.listCombo;
    const WindowBox box = Box(combo);
    const DropButtonLayout at = DropButtonPlace(box.width, box.height, GetSystemMetrics(SM_CXVSCROLL));
    MoveMouse(combo, 30, box.height / 2);
    EXPECT_EQ(Value(combo, prop::OLDSTATE), StateHot);
    EXPECT_EQ(Hex(Shown(combo, at.button.x, at.button.y + 3)), Hex(0xD1A04E));
    EXPECT_EQ(Hex(Shown(combo, at.button.x + 1, at.button.y)), Hex(Art(SkinBitmap::DropButton, 1, 0)));
    // A click drops the list: pressed, whatever the pointer does.
    MouseButton(true);
    MouseButton(false);
    PumpUntil([&] { return SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }, "the dropped list");
    EXPECT_EQ(Value(combo, prop::OLDSTATE), StatePressed);
    EXPECT_EQ(Hex(Shown(combo, at.button.x + 1, at.button.y)), Hex(Art(SkinBitmap::DropButton, 5, 0)));
    KeyDown(VK_ESCAPE);
    KeyUp(VK_ESCAPE);
    PumpUntil([&] { return SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) == 0; }, "the closed list");
    MoveToEmptySpot(kinds);
    PumpUntil([&] { return Value(combo, prop::MOUSEFLAG) == 0; }, "the combo box's leave");
    EXPECT_EQ(Value(combo, prop::OLDSTATE), StateNormal);
    EXPECT_EQ(Hex(Shown(combo, at.button.x + 1, at.button.y)), Hex(WhiteColour));
}

TEST_F(SkinInput, AnEditableComboShowsThePressedButtonOnlyForPressesInItsZone)
{
    HWND combo = kinds.editCombo;
    const WindowBox box = Box(combo);
    const int scroll = GetSystemMetrics(SM_CXVSCROLL);
    const DropButtonLayout at = DropButtonPlace(box.width, box.height, scroll);
    // A press on its own window outside the zone: the button stays.
    SendMessageW(combo, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(box.width - scroll - 3, 5));
    EXPECT_EQ(Value(combo, prop::OLDSTATE), StateNormal);
    SendMessageW(combo, WM_LBUTTONUP, 0, MAKELPARAM(box.width - scroll - 3, 5));
    // The text area, as the user clicks it.
    MoveMouse(combo, 20, box.height / 2);
    MouseButton(true);
    MouseButton(false);
    EXPECT_NE(Value(combo, prop::OLDSTATE), StatePressed);
    EXPECT_EQ(Hex(Shown(combo, at.button.x + 1, at.button.y)), Hex(WhiteColour));
    // The drop button itself.
    MoveMouse(combo, at.button.x + at.button.width / 2, box.height / 2);
    EXPECT_EQ(Value(combo, prop::OLDSTATE), StateHot);
    MouseButton(true);
    EXPECT_EQ(Value(combo, prop::OLDSTATE), StatePressed);
    EXPECT_EQ(Hex(Shown(combo, at.button.x + 1, at.button.y)), Hex(Art(SkinBitmap::DropButton, 5, 0)));
    MouseButton(false);
    KeyDown(VK_ESCAPE);
    KeyUp(VK_ESCAPE);
    PumpUntil([&] { return SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) == 0; }, "the closed list");
    MoveToEmptySpot(kinds);
    Settle();
}

TEST_F(SkinInput, TenThousandFadesLeaveGdiObjectsAndPropertiesAsTheyWere)
{
    HWND button = kinds.button;
    const long objects = gdi::LiveObjects();
    auto names = PropertyNames(button);
    std::sort(names.begin(), names.end());
    int blends = 0, completed = 0;
    // Enter, leave, release and Space fades in turn, each moved on by its
    // timer's ticks; every hundredth runs to its end, the others are cut
    // short by a paint, as a repaint of the window does.
    for (int fade = 0; fade < 10000; ++fade) {
        switch (fade % 4) {
        case 0:
            SetSkinValue(button, prop::MOUSEFLAG, 0);
            SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(30, 11));
            break;
        case 1:
            SendMessageW(button, WM_MOUSELEAVE, 0, 0);
            break;
        case 2:
            SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(30, 11));
            break;
        case 3:
            SendMessageW(button, WM_KEYUP, VK_SPACE, 0);
            break;
        }
        ASSERT_FALSE(FadeOver(button)) << fade;
        for (int tick = 0; !FadeOver(button); ++tick) {
            if (tick == 2 && fade % 100 != 99) {
                SendMessageW(button, WM_PAINT, 0, 0);
                break;
            }
            SendMessageW(button, WM_TIMER, FadeTimerId, 0);
            ++blends;
        }
        ASSERT_TRUE(FadeOver(button)) << fade;
        completed += Value(button, prop::ALPHALEVEL) == 0;
    }
    PumpMessages();
    EXPECT_GE(blends, 10000 * 2);
    EXPECT_EQ(completed, 100);
    EXPECT_EQ(gdi::LiveObjects(), objects);
    auto after = PropertyNames(button);
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, names);
}

}  // namespace
}  // namespace quill::skinning
