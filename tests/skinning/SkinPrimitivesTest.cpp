// The skin's drawing routines against the platform's own: memory DCs that own
// their bitmap, nine-grid copies, colour-key copies (against TransparentBlt),
// the constant-alpha blend (against AlphaBlend), fills, frames and measures.
#include "SkinTestWindow.h"

#include "skinning/SkinArtwork.h"
#include "skinning/SkinFade.h"
#include "skinning/SkinPrimitives.h"
#include "tests/support/DibCanvas.h"

#include <gtest/gtest.h>

#include <vector>

namespace quill::skinning {
namespace {

namespace gdi = forms::gdi;

// A picture of `art` in a DIB of its own.
class ArtCanvas {
public:
    explicit ArtCanvas(const Artwork& art) : canvas_(art.width, art.height)
    {
        for (int y = 0; y < art.height; ++y)
            for (int x = 0; x < art.width; ++x)
                SetPixel(canvas_.Dc(), x, y, art.At(x, y));
    }
    HDC Dc() const { return canvas_.Dc(); }

private:
    test::DibCanvas canvas_;
};

TEST(SkinPrimitives, AMemoryDcOwnsItsBitmapAndReleasesItWithItself)
{
    const long before = gdi::LiveObjects();
    HBITMAP bitmap = nullptr;
    {
        auto surface = CreateMemoryDC(20, 10);
        ASSERT_TRUE(surface);
        bitmap = surface->Bitmap();
        EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
        EXPECT_EQ(GetCurrentObject(surface->Dc(), OBJ_BITMAP), bitmap);
        BITMAP info{};
        GetObjectW(bitmap, sizeof info, &info);
        EXPECT_EQ(info.bmWidth, 20);
        EXPECT_EQ(info.bmHeight, 10);
        EXPECT_EQ(gdi::LiveObjects(), before + 2);
        ASSERT_TRUE(surface->Resize(30, 12));
        EXPECT_EQ(GetObjectType(bitmap), 0u);  // the replaced bitmap is gone
        bitmap = surface->Bitmap();
        EXPECT_EQ(gdi::LiveObjects(), before + 2);
    }
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    EXPECT_EQ(gdi::LiveObjects(), before);
}

TEST(SkinPrimitives, NineGridKeepsTheCornersAndStretchesTheRest)
{
    const Artwork art = SkinArtwork(SkinBitmap::ButtonFace);
    ArtCanvas source(art);
    test::DibCanvas dest(75, 23);
    EXPECT_NE(NineGridBlt(dest.Dc(), 0, 0, 75, 23, source.Dc(), 0, 21, 7, 21, 3, 3, 3, 3), 0);
    const std::vector<uint32_t> px = dest.Pixels();
    auto at = [&](int x, int y) { return px[y * 75 + x] & 0xFFFFFF; };
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(at(x, y), art.At(x, 21 + y));
            EXPECT_EQ(at(72 + x, y), art.At(4 + x, 21 + y));
            EXPECT_EQ(at(x, 20 + y), art.At(x, 39 + y));
            EXPECT_EQ(at(72 + x, 20 + y), art.At(4 + x, 39 + y));
        }
    // The middle is one source column stretched wide: every row is even.
    for (int y = 3; y < 20; ++y)
        for (int x = 3; x < 72; ++x)
            EXPECT_EQ(at(x, y), at(3, y)) << x << "," << y;
    for (int x = 3; x < 72; ++x) {
        EXPECT_EQ(at(x, 0), art.At(3, 21));
        EXPECT_EQ(at(x, 22), art.At(3, 41));
    }
    EXPECT_EQ(at(0, 11), 0xD58F1Bu);
}

TEST(SkinPrimitives, NineGridWithoutMarginsStretchesAndWithoutSizeDrawsNothing)
{
    const Artwork art = SkinArtwork(SkinBitmap::Header);
    ArtCanvas source(art);
    test::DibCanvas dest(40, 20);
    NineGridBlt(dest.Dc(), 0, 0, 40, 20, source.Dc(), 1, 0, 1, 20, 0, 0, 0, 0);
    const std::vector<uint32_t> px = dest.Pixels();
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            EXPECT_EQ(px[y * 40 + x] & 0xFFFFFF, art.At(1, y));
    const long before = gdi::LiveObjects();
    EXPECT_EQ(NineGridBlt(dest.Dc(), 0, 0, 0, 20, source.Dc(), 0, 0, 3, 20, 1, 1, 1, 1), 0);
    EXPECT_EQ(NineGridBlt(dest.Dc(), 0, 0, 40, 20, source.Dc(), 0, 0, 3, 0, 1, 1, 1, 1), 0);
    EXPECT_EQ(gdi::LiveObjects(), before);
}

TEST(SkinPrimitives, TheColourKeyCopyMatchesThePlatformsTransparentBlt)
{
    const Artwork art = SkinArtwork(SkinBitmap::Glyph);
    ArtCanvas source(art);
    // A busy background, so that whatever shows through is seen.
    test::DibCanvas ours(18, 24), theirs(18, 24);
    for (HDC dc : {ours.Dc(), theirs.Dc()})
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 18; ++x)
                SetPixel(dc, x, y, RGB(x * 13, y * 10, (x ^ y) * 7));
    const std::vector<uint32_t> background = ours.Pixels();
    const long before = gdi::LiveObjects();
    TransparentBlit(ours.Dc(), 0, 0, 18, 24, source.Dc(), 0, 0, KeyColour);
    EXPECT_EQ(gdi::LiveObjects(), before);
    TransparentBlt(theirs.Dc(), 0, 0, 18, 24, source.Dc(), 0, 0, 18, 24, KeyColour);
    const std::vector<uint32_t> a = ours.Pixels(), b = theirs.Pixels();
    for (int i = 0; i < 18 * 24; ++i) {
        EXPECT_EQ(a[i] & 0xFFFFFF, b[i] & 0xFFFFFF) << i;
        const uint32_t want = art.pixels[i] == KeyColour ? background[i] & 0xFFFFFF : art.pixels[i];
        EXPECT_EQ(a[i] & 0xFFFFFF, want) << i;
    }
    // Into a part of the destination, from a part of the source.
    TransparentBlit(ours.Dc(), 5, 6, 5, 5, source.Dc(), 2, 18, KeyColour);
    EXPECT_EQ(ours.Pixels()[6 * 18 + 5] & 0xFFFFFF, a[6 * 18 + 5] & 0xFFFFFF);  // the dot's key corner
    EXPECT_EQ(ours.Pixels()[6 * 18 + 6] & 0xFFFFFF, art.At(3, 18));
}

TEST(SkinPrimitives, TheBlendModelIsThePlatformsConstantAlphaBlend)
{
    test::DibCanvas source(256, 3), dest(256, 3);
    const COLORREF pairs[3][2] = {{0xFBC24A, 0xF9EAD7}, {0x000000, 0xFFFFFF}, {0x12F080, 0x9A0577}};
    for (int alpha : {0, 1, 3, 60, 127, 128, 140, 200, 254, 255}) {
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 256; ++x) {
                SetPixel(source.Dc(), x, y, pairs[y][0]);
                SetPixel(dest.Dc(), x, y, pairs[y][1]);
            }
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(alpha), 0};
        AlphaBlend(dest.Dc(), 0, 0, 256, 3, source.Dc(), 0, 0, 256, 3, blend);
        const std::vector<uint32_t> px = dest.Pixels();
        for (int y = 0; y < 3; ++y)
            EXPECT_EQ(Hex(px[y * 256] & 0xFFFFFF), Hex(BlendColour(pairs[y][0], pairs[y][1], alpha)))
                << "alpha " << alpha;
    }
}

TEST(SkinPrimitives, FillsFramesAndText)
{
    test::DibCanvas canvas(20, 10);
    FillSolidRect(canvas.Dc(), 0, 0, 20, 10, 0xFFFFFF);
    FrameSolidRect(canvas.Dc(), 2, 1, 10, 6, 0xD5A554);
    const std::vector<uint32_t> px = canvas.Pixels();
    auto at = [&](int x, int y) { return px[y * 20 + x] & 0xFFFFFF; };
    EXPECT_EQ(at(2, 1), 0xD5A554u);
    EXPECT_EQ(at(11, 6), 0xD5A554u);
    EXPECT_EQ(at(12, 6), 0xFFFFFFu);
    EXPECT_EQ(at(3, 2), 0xFFFFFFu);
    EXPECT_EQ(at(1, 1), 0xFFFFFFu);
}

TEST(SkinPrimitives, CaptionsAndWindowMeasures)
{
    TestForm form(40, 40, 300, 200);
    HWND button = form.Add(L"Button", L"确定", BS_PUSHBUTTON, 10, 10, 75, 23);
    EXPECT_EQ(GetWindowCaption(button), "\xC8\xB7\xB6\xA8");  // 确定 in code page 936
    HWND empty = form.Add(L"Button", L"", BS_PUSHBUTTON, 90, 10, 75, 23);
    EXPECT_EQ(GetWindowCaption(empty), "");
    WindowBox box;
    EXPECT_TRUE(GetWindowBox(button, box));
    EXPECT_EQ(box.width, 75);
    EXPECT_EQ(box.height, 23);
    EXPECT_EQ(box.right - box.left, 75);

    const int edge = GetSystemMetrics(SM_CXEDGE);
    const struct {
        DWORD style;
        int bx, by;
    } cases[] = {{0, edge, edge},
                 {WS_VSCROLL, edge, edge},
                 {WS_HSCROLL, edge, edge},
                 {WS_VSCROLL | WS_HSCROLL, edge, edge}};
    for (const auto& c : cases) {
        HWND list =
            form.Add(L"ListBox", L"", c.style | LBS_NOINTEGRALHEIGHT, 10, 50, 120, 100, WS_EX_CLIENTEDGE);
        int bx = -1, by = -1;
        EXPECT_EQ(GetBorderSize(list, bx, by), 1);
        EXPECT_EQ(bx, c.bx) << c.style;
        EXPECT_EQ(by, c.by) << c.style;
        DestroyWindow(list);
    }
}

}  // namespace
}  // namespace quill::skinning
