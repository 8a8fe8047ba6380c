// The test window unskinned beside the same window skinned, as the screen
// shows them, written to the build's pictures for review by eye.
#include "SkinTestWindow.h"

#include "skinning/SkinColours.h"
#include "skinning/SkinProperties.h"
#include "skinning/cSkinner.h"
#include "tests/support/ScreenCapture.h"

#include <gtest/gtest.h>

namespace quill::skinning {
namespace {

TEST(SkinScreens, TheTestWindowBeforeAndAfterTheSkin)
{
    KindsWindow plain(20, 40), skinned(440, 40);
    ParkMouse();
    cSkinner skinner;
    ASSERT_EQ(skinner.AttachSkin(skinned.form.hwnd()), 1);
    SendMessageW(skinned.dataList, LB_SETCURSEL, 1, 0);
    SendMessageW(plain.dataList, LB_SETCURSEL, 1, 0);
    RedrawWindow(skinned.form.hwnd(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages();

    RECT left{}, right{};
    GetWindowRect(plain.form.hwnd(), &left);
    GetWindowRect(skinned.form.hwnd(), &right);
    const RECT both{left.left - 10, left.top - 10, right.right + 10, right.bottom + 10};
    const int width = both.right - both.left;
    const std::vector<uint32_t> screen = test::ScreenPixels(both);
    ASSERT_EQ(screen.size(), static_cast<size_t>(width * (both.bottom - both.top)));
    // A point of a control, as the picture holds it.
    auto at = [&](HWND control, int x, int y) {
        RECT r{};
        GetWindowRect(control, &r);
        return screen[(r.top + y - both.top) * width + (r.left + x - both.left)] & 0xFFFFFF;
    };
    const struct {
        HWND plainControl, skinnedControl;
        int x, y;
        COLORREF skinColour;
        const char* what;
    } checks[] = {
        {plain.button, skinned.button, 0, 11, 0xD58F1B, "the push button's blue side"},
        {plain.progress, skinned.progress, 0, 0, FrameColour, "the progress bar's frame"},
        {plain.progress, skinned.progress, 50, 8, ProgressColour, "the progress fill"},
        {plain.listCombo, skinned.listCombo, 0, 0, FrameColour, "the combo box's frame"},
        {plain.check, skinned.check, 0, 2, FrameColour, "the check square's frame"},
        {plain.list, skinned.list, 0, 0, FrameColour, "the list's flattened edge"},
        {plain.header, skinned.header, 0, 0, 0xFEF5EA, "the header's light top"},
    };
    for (const auto& c : checks) {
        EXPECT_EQ(Hex(at(c.skinnedControl, c.x, c.y)), Hex(c.skinColour)) << c.what;
        EXPECT_NE(Hex(at(c.plainControl, c.x, c.y)), Hex(c.skinColour)) << c.what;
    }
    EXPECT_TRUE(test::SaveScreenPng(both, test::ScreensPath(L"skinning-before-after.png")));
    EXPECT_EQ(skinner.DetachSkin(skinned.form.hwnd()), 1);
}

}  // namespace
}  // namespace quill::skinning
