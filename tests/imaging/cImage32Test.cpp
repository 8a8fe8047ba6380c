// The image object itself: creation, the blank bitmap, its DC, the probes.
#include <gtest/gtest.h>

#include <algorithm>

#include "GdiplusStates.h"
#include "imaging/ImageCapabilities.h"
#include "imaging/cImage32.h"

namespace quill::imaging {
namespace {

using cImage32States = GdiplusStates;

TEST_P(cImage32States, NewObjectHoldsNoBitmap)
{
    cImage32 image;
    EXPECT_EQ(image.ImageType(), 0);
    EXPECT_EQ(image.Handle(), nullptr);
    EXPECT_EQ(image.BitsPointer(), nullptr);
    EXPECT_EQ(image.Width(), 0);
    EXPECT_EQ(image.Height(), 0);
    EXPECT_FALSE(image.Alpha());
    EXPECT_FALSE(image.ManageOwnDC());
    EXPECT_EQ(image.isGDIplusEnabled(), GdiplusOn());
    EXPECT_EQ(image.HighQualityInterpolation(), GdiplusOn());
    // Wine reports an NT system of version 5 or later.
    EXPECT_TRUE(image.isAlphaBlendFriendly());
    image.DestroyDIB();
    EXPECT_EQ(image.ImageType(), -1);
}

TEST_P(cImage32States, WritingGdiplusEnabledProbesAgain)
{
    cImage32 image;
    image.isGDIplusEnabled(false);
    EXPECT_FALSE(image.isGDIplusEnabled());
    image.isGDIplusEnabled(true);
    EXPECT_EQ(image.isGDIplusEnabled(), GdiplusOn());
    // The high-quality flag keeps what it was set to.
    image.HighQualityInterpolation(false);
    image.isGDIplusEnabled(true);
    EXPECT_FALSE(image.HighQualityInterpolation());
}

TEST_P(cImage32States, InitializeDibMakesABlankBottomUpImage)
{
    cImage32 image;
    ASSERT_TRUE(image.InitializeDIB(10, -5));
    EXPECT_EQ(image.Width(), 10);
    EXPECT_EQ(image.Height(), 5);
    EXPECT_EQ(image.scanWidth(), 40);
    EXPECT_TRUE(image.Alpha());
    EXPECT_EQ(image.ImageType(), 0);
    ASSERT_NE(image.BitsPointer(), nullptr);
    EXPECT_TRUE(
        std::all_of(image.BitsPointer(), image.BitsPointer() + 50, [](uint32_t p) { return p == 0; }));
    DIBSECTION ds{};
    ASSERT_EQ(GetObjectW(image.Handle(), sizeof(ds), &ds), static_cast<int>(sizeof(ds)));
    EXPECT_EQ(ds.dsBmih.biHeight, 5);  // positive: bottom-up
    EXPECT_EQ(ds.dsBmih.biBitCount, 32);
    EXPECT_EQ(ds.dsBmih.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(ds.dsBm.bmBits, image.BitsPointer());
}

TEST_P(cImage32States, InitializeDibRefusals)
{
    struct Case {
        int width, height;
    } cases[] = {{-1, 5}, {5, 0}, {70000, 70000}, {0x7FFFFFFF, 1}};
    for (const Case& c : cases) {
        cImage32 image;
        ASSERT_TRUE(image.InitializeDIB(3, 3));
        EXPECT_FALSE(image.InitializeDIB(c.width, c.height)) << c.width << "x" << c.height;
        EXPECT_EQ(image.ImageType(), -1);
        EXPECT_EQ(image.Handle(), nullptr);
        EXPECT_EQ(image.Width(), 0);
    }
}

TEST_P(cImage32States, OwnDcIsMadeOnceAndDeletedUnlessManaged)
{
    const long before = forms::gdi::LiveObjects();
    {
        cImage32 image;
        EXPECT_EQ(image.LoadDIBinDC(true), nullptr);  // no image: nothing
        EXPECT_EQ(forms::gdi::LiveObjects(), before);
        ASSERT_TRUE(image.InitializeDIB(4, 4));
        const long withBitmap = forms::gdi::LiveObjects();
        HDC dc = image.LoadDIBinDC(true);
        ASSERT_NE(dc, nullptr);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), image.Handle());
        EXPECT_EQ(image.LoadDIBinDC(true), dc);
        EXPECT_EQ(forms::gdi::LiveObjects(), withBitmap + 1);
        EXPECT_EQ(image.LoadDIBinDC(false), nullptr);
        EXPECT_EQ(forms::gdi::LiveObjects(), withBitmap);  // DC deleted
        ASSERT_NE(image.LoadDIBinDC(true), nullptr);
        EXPECT_EQ(forms::gdi::LiveObjects(), withBitmap + 1);

        // Managed: deselecting keeps the DC.
        image.ManageOwnDC(true);
        image.LoadDIBinDC(false);
        EXPECT_EQ(forms::gdi::LiveObjects(), withBitmap + 1);
        image.ManageOwnDC(false);
        EXPECT_EQ(forms::gdi::LiveObjects(), withBitmap);
        // With the flag set, InitializeDIB makes the DC at once.
        image.ManageOwnDC(true);
        ASSERT_TRUE(image.InitializeDIB(2, 2));
        EXPECT_EQ(forms::gdi::LiveObjects(), withBitmap + 1);
        image.DestroyDIB();
        EXPECT_EQ(forms::gdi::LiveObjects(), before);
        EXPECT_TRUE(image.ManageOwnDC());
        image.ManageOwnDC(true);  // no image: no DC
        EXPECT_EQ(forms::gdi::LiveObjects(), before);
    }
    EXPECT_EQ(forms::gdi::LiveObjects(), before);
}

TEST_P(cImage32States, ReleasingTheObjectReleasesBitmapAndDc)
{
    const long before = forms::gdi::LiveObjects();
    for (int i = 0; i < 200; ++i) {
        cImage32 image;
        ASSERT_TRUE(image.InitializeDIB(16, 16));
        ASSERT_NE(image.LoadDIBinDC(true), nullptr);
    }
    EXPECT_EQ(forms::gdi::LiveObjects(), before);
}

TEST_P(cImage32States, LibraryInternalSetters)
{
    cImage32 image;
    ASSERT_TRUE(image.InitializeDIB(1, 1));
    image.SetAlpha(false);
    image.SetImageType(9);
    image.SetOriginalBytes({1, 2, 3});
    EXPECT_FALSE(image.Alpha());
    EXPECT_EQ(image.ImageType(), 9);
    std::vector<uint8_t> kept;
    EXPECT_TRUE(image.GetOrginalFormat(kept));
    EXPECT_EQ(kept, (std::vector<uint8_t>{1, 2, 3}));
    image.DestroyDIB();  // the kept bytes go with the bitmap
    EXPECT_FALSE(image.GetOrginalFormat(kept));
    EXPECT_TRUE(kept.empty());
}

QUILL_GDIPLUS_STATES(cImage32States);

TEST(AlphaBlendUsable, OnlyOutsideWindows9xFromVersionFive)
{
    EXPECT_TRUE(AlphaBlendUsable(2, 5));
    EXPECT_TRUE(AlphaBlendUsable(2, 10));
    EXPECT_FALSE(AlphaBlendUsable(1, 5));
    EXPECT_FALSE(AlphaBlendUsable(2, 4));
    EXPECT_FALSE(AlphaBlendUsable(1, 4));
}

}  // namespace
}  // namespace quill::imaging
