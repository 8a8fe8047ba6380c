// A skinned window with one control of each kind, painted and with the
// pointer out of the way, for the painting and input tests.
#pragma once

#include "SkinTestWindow.h"

#include "skinning/SkinArtwork.h"
#include "skinning/SkinProperties.h"
#include "skinning/cSkinner.h"
#include "skinning/mSkinner.h"

#include <gtest/gtest.h>

#include <string>

namespace quill::skinning {

class SkinnedKinds : public ::testing::Test {
protected:
    void SetUp() override
    {
        ParkMouse();
        ASSERT_EQ(skinner.AttachSkin(kinds.form.hwnd()), 1);
        Settle();
    }
    void TearDown() override
    {
        EXPECT_EQ(skinner.DetachSkin(kinds.form.hwnd()), 1);
        PumpMessages();
    }
    // Lets every paint and fade that is under way finish.
    void Settle()
    {
        PumpMessages();
        for (HWND h : kinds.Descendants())
            if (GetSkinValue(h, prop::TIMERID) != 0)
                PumpUntil([h] { return GetSkinValue(h, prop::TIMERID) == 0; }, "the fade's end");
        PumpMessages();
    }
    // The first pixel of the button's face (inside its region) that the
    // window does not show as state image `state` has it; empty when all do.
    std::string ShowsStateImage(HWND button, int state)
    {
        HDC imageDc = reinterpret_cast<HDC>(GetSkinValue(button, StateImageDcName(state).c_str()));
        const Picture shown = Picture::OfWindow(button);
        const Picture image(imageDc, shown.Width(), shown.Height());
        for (int y = 1; y < shown.Height() - 1; ++y)
            for (int x = 1; x < shown.Width() - 1; ++x)
                if (shown.At(x, y) != image.At(x, y))
                    return std::to_string(x) + "," + std::to_string(y) + ": " + Hex(shown.At(x, y)) +
                           " for " + Hex(image.At(x, y));
        return "";
    }
    static COLORREF Art(SkinBitmap which, int x, int y) { return SkinArtwork(which).At(x, y); }

    KindsWindow kinds;
    cSkinner skinner;
};

}  // namespace quill::skinning
