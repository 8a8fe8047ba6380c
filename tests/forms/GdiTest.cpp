// The owners of handles and the one maker of DIB sections: what they count,
// hand over and lay out.
#include "forms/Gdi.h"
#include "forms/Picture.h"

#include <gtest/gtest.h>

#include <array>

using namespace quill::forms;

namespace {

gdi::IconHandle SmallIcon()
{
    const std::array<BYTE, 32> andPlane{}, xorPlane{};
    return gdi::IconHandle(CreateIcon(nullptr, 16, 16, 1, 1, andPlane.data(), xorPlane.data()));
}

TEST(GdiOwners, IconsCountWhileTheyLive)
{
    const long before = gdi::LiveObjects();
    {
        gdi::IconHandle icon = SmallIcon();
        ASSERT_TRUE(icon);
        EXPECT_EQ(gdi::LiveObjects(), before + 1);
        gdi::IconHandle moved = std::move(icon);
        EXPECT_EQ(gdi::LiveObjects(), before + 1);
    }
    EXPECT_EQ(gdi::LiveObjects(), before);
}

TEST(GdiOwners, AHandedOverRegionBelongsToTheWindow)
{
    HWND window =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 40, 30, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    const long before = gdi::LiveObjects();
    gdi::RegionHandle region(CreateRectRgn(0, 0, 10, 10));
    ASSERT_TRUE(SetWindowRgn(window, region, FALSE));
    const HRGN given = region.Release();
    EXPECT_EQ(region.Get(), nullptr);
    EXPECT_EQ(gdi::LiveObjects(), before);
    gdi::RegionHandle copy(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetWindowRgn(window, copy), SIMPLEREGION);
    RECT box{};
    GetRgnBox(copy, &box);
    EXPECT_EQ(box.right, 10);
    (void)given;
    DestroyWindow(window);
}

TEST(GdiOwners, APictureTakesItsIconOverOnlyWhenItIsMade)
{
    const long before = gdi::LiveObjects();
    {
        Picture::Ref picture = Picture::FromIcon(SmallIcon());
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->Type(), vbPicTypeIcon);
        EXPECT_EQ(gdi::LiveObjects(), before);
    }
    EXPECT_EQ(Picture::FromIcon(gdi::IconHandle()), nullptr);
    EXPECT_EQ(gdi::LiveObjects(), before);
}

struct Layout {
    int bitsPerPixel;
    bool topDown;
};

TEST(DibSection, RowsRunAsAskedAndTablesAreKept)
{
    for (const Layout l :
         {Layout{1, false}, Layout{8, false}, Layout{24, false}, Layout{32, true}, Layout{32, false}}) {
        std::array<RGBQUAD, 2> table{RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
        void* bits = nullptr;
        gdi::MemoryDc dc(nullptr);
        const long before = gdi::LiveObjects();
        gdi::BitmapHandle dib = gdi::DibSection(
            dc,
            {.width = 9, .height = 3, .bitsPerPixel = l.bitsPerPixel, .topDown = l.topDown, .colours = table},
            bits);
        ASSERT_TRUE(dib) << l.bitsPerPixel;
        ASSERT_NE(bits, nullptr);
        DIBSECTION info{};
        ASSERT_EQ(GetObjectW(dib, sizeof info, &info), int(sizeof info));
        EXPECT_EQ(info.dsBmih.biBitCount, l.bitsPerPixel);
        EXPECT_EQ(info.dsBmih.biWidth, 9);
        {
            gdi::Selection use(dc, dib);
            // White at the top left: the first stored row holds it only top-down.
            SetPixelV(dc, 0, 0, RGB(255, 255, 255));
            GdiFlush();
            const int stride = ((9 * l.bitsPerPixel + 31) / 32) * 4;
            const uint8_t* firstRow = static_cast<const uint8_t*>(bits);
            const uint8_t* lastRow = firstRow + 2 * stride;
            EXPECT_NE((l.topDown ? firstRow : lastRow)[0], 0) << l.bitsPerPixel;
            EXPECT_EQ((l.topDown ? lastRow : firstRow)[0], 0) << l.bitsPerPixel;
            if (l.bitsPerPixel <= 8) {
                RGBQUAD got[2]{};
                ASSERT_EQ(GetDIBColorTable(dc, 0, 2, got), 2u);
                EXPECT_EQ(got[1].rgbRed, 255);
            }
        }
        dib.Reset();
        EXPECT_EQ(gdi::LiveObjects(), before);
    }
}

TEST(DibSection, ASizeOfNothingMakesNoBitmap)
{
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_FALSE(gdi::DibSection(nullptr, {.width = 0, .height = 4}, bits));
    EXPECT_EQ(bits, nullptr);
}

}  // namespace
