// Fitted sizes, copies, resizing, trimming, the checker board, grey scale,
// the BMP writer (read back by ImageMagick) and rotation.
#include "GdiplusStates.h"
#include "ImagingTestSupport.h"
#include "imaging/cImage32.h"

#include "forms/MessageBox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>

namespace quill::imaging {
namespace {

using namespace quill::imaging::test;
using TransformStates = GdiplusStates;

int MaxChannelDifferenceFor(uint32_t p, uint32_t q)
{
    int worst = 0;
    for (int sh = 0; sh < 24; sh += 8)
        worst = std::max(worst,
                         std::abs(static_cast<int>((p >> sh) & 0xFF) - static_cast<int>((q >> sh) & 0xFF)));
    return worst;
}

void Numbered(cImage32& image, int w, int h)
{
    Paint(image, w, h, [](int x, int y) { return 0xFF000000u | static_cast<uint32_t>(y * 256 + x + 1); });
}

TEST_P(TransformStates, ScaleImageModes)
{
    cImage32 image;
    int w = -1, h = -1;
    image.ScaleImage(50, 50, w, h, 0);
    EXPECT_EQ(w, -1);  // no image: nothing happens
    ASSERT_TRUE(image.InitializeDIB(200, 100));
    struct Case {
        int dw, dh, mode, w, h;
    } cases[] = {
        {50, 50, 0, 50, 25}, {400, 400, 1, 200, 100}, {400, 400, 2, 400, 400}, {400, 400, 7, 200, 100}};
    for (const Case& c : cases) {
        image.ScaleImage(c.dw, c.dh, w, h, c.mode);
        EXPECT_EQ(w, c.w) << c.mode;
        EXPECT_EQ(h, c.h) << c.mode;
    }
}

TEST_P(TransformStates, SaveToStreamLayout)
{
    cImage32 image;
    std::vector<uint8_t> out = {1};
    EXPECT_FALSE(image.SaveToStream(out));
    Numbered(image, 2, 3);
    ASSERT_TRUE(image.SaveToStream(out));
    ASSERT_EQ(out.size(), 78u);
    EXPECT_EQ(ReadU32(&out[2]), 78u);
    EXPECT_EQ(std::memcmp(&out[54], image.BitsPointer(), 24), 0);
}

TEST_P(TransformStates, SaveToFileIsReadBackByImageMagick)
{
    cImage32 image;
    Paint(image, 5, 3, [](int x, int y) {
        uint32_t a = static_cast<uint32_t>(x * 60);
        return Bgra(a / 2, a / 3, static_cast<uint32_t>(y * 20) * a / 255, a);
    });
    ScratchFile bmp("written.bmp"), raw("written.bgra");
    ASSERT_TRUE(image.SaveToFile(bmp.Path(), false));
    ASSERT_TRUE(RunHostProgram("/usr/bin/convert " + bmp.UnixPath() + " -depth 8 bgra:" + raw.UnixPath(), raw,
                               5 * 3 * 4));
    std::vector<uint8_t> pixels = raw.Read();
    ASSERT_EQ(pixels.size(), 5u * 3 * 4);
    // ImageMagick gives rows from the top, bytes blue, green, red, alpha.
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(ReadU32(&pixels[static_cast<size_t>(y * 5 + x) * 4]), PixelAt(image, x, y))
                << x << "," << y;
}

TEST_P(TransformStates, SaveToFileAsksBeforeReplacing)
{
    cImage32 image;
    Numbered(image, 2, 2);
    ScratchFile file("existing.bmp");
    file.Write({1, 2, 3});
    {
        forms::MessageBoxScript script{forms::vbNo};
        EXPECT_FALSE(image.SaveToFile(file.Path(), true));
        ASSERT_EQ(script.Boxes().size(), 1u);
        EXPECT_EQ(script.Boxes()[0].prompt, L"Overwrite current file?");
        EXPECT_EQ(script.Boxes()[0].title, L"Overwrite Confirmation");
        EXPECT_EQ(script.Boxes()[0].buttons, forms::vbYesNo | forms::vbQuestion | forms::vbDefaultButton2);
    }
    EXPECT_EQ(file.Read(), (std::vector<uint8_t>{1, 2, 3}));
    {
        forms::MessageBoxScript script{forms::vbYes};
        EXPECT_TRUE(image.SaveToFile(file.Path(), true));
        EXPECT_EQ(script.Boxes().size(), 1u);
    }
    EXPECT_EQ(file.Read().size(), 54u + 16);
    {
        forms::MessageBoxScript script;
        file.Write({1, 2, 3});
        EXPECT_TRUE(image.SaveToFile(file.Path(), false));
        EXPECT_TRUE(script.Boxes().empty());
    }
    EXPECT_EQ(file.Read().size(), 54u + 16);
    EXPECT_FALSE(image.SaveToFile(L"", false));
    EXPECT_FALSE(image.SaveToFile(L"Z:\\no\\such\\folder\\x.bmp", false));
}

// An image with a transparent border of 3 pixels around a 4 x 2 block.
void Bordered(cImage32& image)
{
    Paint(image, 10, 8, [](int x, int y) { return (x >= 3 && x < 7 && y >= 3 && y < 5) ? 0xFF00FF00u : 0u; });
}

TEST_P(TransformStates, TrimImage)
{
    cImage32 image;
    Bordered(image);
    int l, t, w, h;
    ASSERT_TRUE(image.TrimImage(false, 0, l, t, w, h));
    EXPECT_EQ(std::vector<int>({l, t, w, h}), std::vector<int>({3, 3, 4, 2}));
    EXPECT_EQ(image.Width(), 10);
    image.SetOriginalBytes({7, 7});
    image.SetImageType(6);
    ASSERT_TRUE(image.TrimImage(true, 0, l, t, w, h));
    EXPECT_EQ(std::vector<int>({l, t, w, h}), std::vector<int>({0, 0, 4, 2}));
    EXPECT_EQ(image.Width(), 4);
    EXPECT_EQ(image.Height(), 2);
    EXPECT_EQ(image.ImageType(), 6);
    EXPECT_EQ(PixelAt(image, 0, 0), 0xFF00FF00u);
    std::vector<uint8_t> kept;
    EXPECT_TRUE(image.GetOrginalFormat(kept));
    EXPECT_FALSE(image.TrimImage(false, -1, l, t, w, h));
    // Without the alpha flag: the whole image.
    image.SetAlpha(false);
    ASSERT_TRUE(image.TrimImage(false, 0, l, t, w, h));
    EXPECT_EQ(std::vector<int>({l, t, w, h}), std::vector<int>({0, 0, 4, 2}));
}

TEST_P(TransformStates, TrimImageOfAFullyTransparentImage)
{
    cImage32 image;
    ASSERT_TRUE(image.InitializeDIB(6, 5));
    for (int sides = 0; sides <= 15; ++sides) {
        int l = 9, t = 9, w = 9, h = 9;
        EXPECT_FALSE(image.TrimImage(true, sides, l, t, w, h)) << sides;
        EXPECT_EQ(std::vector<int>({l, t, w, h}), std::vector<int>({0, 0, 0, 0})) << sides;
    }
    EXPECT_EQ(image.Width(), 6);
}

TEST_P(TransformStates, CheckerBoard)
{
    cImage32 image;
    EXPECT_FALSE(image.CreateCheckerBoard(4, 0, 0));
    ASSERT_TRUE(image.InitializeDIB(10, 6));
    EXPECT_FALSE(image.CreateCheckerBoard(0, RGB(255, 0, 0), RGB(0, 0, 255)));
    EXPECT_FALSE(image.CreateCheckerBoard(-3, RGB(255, 0, 0), RGB(0, 0, 255)));
    ASSERT_TRUE(image.CreateCheckerBoard(4, RGB(255, 0, 0), RGB(0, 0, 255)));
    EXPECT_FALSE(image.Alpha());
    EXPECT_EQ(image.ImageType(), 64);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x) {
            bool second = ((x / 4) + (y / 4)) % 2 == 1;
            EXPECT_EQ(PixelAt(image, x, y), second ? 0xFF0000FFu : 0xFFFF0000u) << x << "," << y;
        }
}

TEST_P(TransformStates, GreyScale)
{
    cImage32 image;
    EXPECT_FALSE(image.MakeGrayScale(1));
    Paint(image, 2, 1, [](int x, int) { return x ? 0x80400000u : 0xFFFF0000u; });
    ASSERT_TRUE(image.MakeGrayScale(1));
    if (GdiplusOn()) {
        EXPECT_NEAR(Red(PixelAt(image, 0, 0)), 76, 1);
    } else {
        EXPECT_EQ(PixelAt(image, 0, 0), 0xFF4C4C4Cu);  // red 255 -> grey 76
        EXPECT_EQ(PixelAt(image, 1, 0), 0x80131313u);  // 64 x 0.299 = 19.1: still premultiplied
    }
    EXPECT_EQ(AlphaOf(PixelAt(image, 1, 0)), 0x80);
}

TEST_P(TransformStates, ResizeKeepsIdentityAndWhatTheImageCarries)
{
    cImage32 image;
    EXPECT_FALSE(image.Resize(2, 2));
    Numbered(image, 4, 2);
    image.SetImageType(7);
    image.SetOriginalBytes({4, 5});
    const long before = forms::gdi::LiveObjects();
    EXPECT_TRUE(image.Resize(4, 2));
    EXPECT_TRUE(image.Resize(0, 0));
    EXPECT_EQ(forms::gdi::LiveObjects(), before);
    image.HighQualityInterpolation(false);
    ASSERT_TRUE(image.Resize(8, 4));
    EXPECT_EQ(image.Width(), 8);
    EXPECT_EQ(image.ImageType(), 7);
    std::vector<uint8_t> kept;
    ASSERT_TRUE(image.GetOrginalFormat(kept));
    EXPECT_EQ(kept, (std::vector<uint8_t>{4, 5}));
    EXPECT_EQ(PixelAt(image, 0, 0) & 0xFFFFFF, 1u);
    EXPECT_EQ(PixelAt(image, 7, 3) & 0xFFFFFF, 0x104u);
    // A negative size mirrors.
    ASSERT_TRUE(image.Resize(-8, 4));
    EXPECT_EQ(PixelAt(image, 0, 0) & 0xFFFFFF, 4u);
    EXPECT_EQ(forms::gdi::LiveObjects(), before);
}

TEST_P(TransformStates, CopyImageTo)
{
    cImage32 image;
    std::unique_ptr<cImage32> copy;
    image.CopyImageTo(copy);
    EXPECT_EQ(copy, nullptr);  // no image: nothing happens
    Numbered(image, 3, 2);
    image.SetImageType(6);
    image.SetOriginalBytes({1});
    image.CopyImageTo(copy, 0, 0, true);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(std::memcmp(copy->BitsPointer(), image.BitsPointer(), 24), 0);
    EXPECT_EQ(copy->ImageType(), 6);
    EXPECT_EQ(copy->isGDIplusEnabled(), image.isGDIplusEnabled());
    std::vector<uint8_t> kept;
    EXPECT_TRUE(copy->GetOrginalFormat(kept));
    // Mirrored copies, at the same and at another size.
    image.HighQualityInterpolation(false);
    image.CopyImageTo(copy, -3, 2);
    EXPECT_EQ(PixelAt(*copy, 0, 0) & 0xFFFFFF, 3u);
    EXPECT_EQ(PixelAt(*copy, 2, 1) & 0xFFFFFF, 0x101u);
    image.CopyImageTo(copy, 6, -4);
    EXPECT_EQ(copy->Width(), 6);
    EXPECT_EQ(PixelAt(*copy, 0, 0) & 0xFFFFFF, 0x101u);
    EXPECT_EQ(PixelAt(*copy, 5, 3) & 0xFFFFFF, 3u);
    EXPECT_FALSE(copy->GetOrginalFormat(kept));
}

// ---- rotation

void TurnablePicture(cImage32& image)
{
    Paint(image, 10, 10, [](int x, int y) { return Bgra(x * 25, y * 25, 100, 255); });
}

TEST_P(TransformStates, WholeTurnsDrawLikeRender)
{
    for (int angle : {0, 360, -720}) {
        cImage32 image;
        TurnablePicture(image);
        Canvas rendered(30, 30, 0xFF808080), turned(30, 30, 0xFF808080);
        ASSERT_TRUE(image.Render(rendered.Dc(), 5, 5, 20, 20, 0, 0, 0, 0, 70, true, true));
        ASSERT_TRUE(image.RotateAtTopLeft(turned.Dc(), angle, 5, 5, 20, 20, 0, 0, 0, 0, 70));
        EXPECT_EQ(turned.Pixels(), rendered.Pixels()) << angle;
    }
}

TEST_P(TransformStates, QuarterTurnOwnWay)
{
    cImage32 image;
    TurnablePicture(image);
    image.isGDIplusEnabled(false);
    image.HighQualityInterpolation(false);
    const uint32_t back = 0xFF808080;
    Canvas canvas(40, 40, back);
    ASSERT_TRUE(image.RotateAtTopLeft(canvas.Dc(), 90, 10, 10));
    // A 14 x 14 square drawn at (8, 8); the picture turned clockwise inside
    // it, its top-left at (2, 1) of the square; the corners transparent.
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            int u = x - 8 - 2, v = y - 8 - 1;
            uint32_t want = back;
            if (u >= 0 && v >= 0 && u < 10 && v < 10)
                want = PixelAt(image, v, 9 - u);  // clockwise: (u, v) shows (v, 9 - u)
            ASSERT_EQ(canvas.At(x, y), want) << x << "," << y;
        }
}

TEST_P(TransformStates, TurnsAgainstAReference)
{
    // Every angle through the image object, against the picture turned in
    // the test: each drawn pixel of a quarter or half turn is the source
    // pixel under the inverse turn about the destination's centre.
    for (int angle : {90, 180, 270, -90}) {
        cImage32 image;
        TurnablePicture(image);
        image.HighQualityInterpolation(false);
        Canvas canvas(40, 40, 0xFF808080);
        ASSERT_TRUE(image.RotateAtCenterPoint(canvas.Dc(), angle, 20, 20));
        int matched = 0;
        for (int v = 0; v < 10; ++v)
            for (int u = 0; u < 10; ++u) {
                // Destination pixel (u, v) of the turned 10 x 10 picture whose
                // top-left is (15, 15), up to the one-pixel placement of the
                // corner-based centre.
                int q = ((angle % 360) + 360) % 360 / 90;
                int sx = q == 1 ? v : q == 2 ? 9 - u : 9 - v;
                int sy = q == 1 ? 9 - u : q == 2 ? 9 - v : u;
                uint32_t want = PixelAt(image, sx, sy);
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        if (MaxChannelDifferenceFor(canvas.At(15 + u + dx, 15 + v + dy), want) <= 2) {
                            ++matched;
                            dx = dy = 2;
                        }
            }
        // Wine's GDI+ loses the outermost row and column at a half turn.
        EXPECT_GE(matched, GdiplusOn() ? 81 : 100) << angle;
    }
}

TEST_P(TransformStates, RotationRefusals)
{
    cImage32 image;
    Canvas canvas(20, 20);
    EXPECT_FALSE(image.RotateAtTopLeft(canvas.Dc(), 30, 0, 0));
    TurnablePicture(image);
    EXPECT_FALSE(image.RotateAtTopLeft(nullptr, 30, 0, 0));
    EXPECT_FALSE(image.RotateAtTopLeft(canvas.Dc(), 30, 0, 0, 0, 0, -1, 0));
    EXPECT_TRUE(image.RotateAtTopLeft(canvas.Dc(), 360, 0, 0, 0, 0, -1, 0));  // Render: -1 counts as 0
    EXPECT_FALSE(image.RotateAtTopLeft(canvas.Dc(), 30, 0, 0, 0, 0, 1, 0, 10, 10));
    EXPECT_TRUE(image.RotateAtTopLeft(canvas.Dc(), 30, 0, 0, 0, 0, 0, 0, 0, 0, 0));  // opacity 0
    // A square that cannot be made ends the call at once.
    image.isGDIplusEnabled(false);
    EXPECT_FALSE(image.RotateAtTopLeft(canvas.Dc(), 30, 0, 0, 60000, 60000));
}

TEST_P(TransformStates, CentrePointPlacesTheTopLeft)
{
    cImage32 image;
    TurnablePicture(image);
    Canvas a(100, 100, 0xFF808080), b(100, 100, 0xFF808080);
    ASSERT_TRUE(image.RotateAtCenterPoint(a.Dc(), 30, 50, 50, 20, 10));
    ASSERT_TRUE(image.RotateAtTopLeft(b.Dc(), 30, 40, 45, 20, 10));
    EXPECT_EQ(a.Pixels(), b.Pixels());
}

TEST_P(TransformStates, OddAngleOwnWayMatchesTheSampling)
{
    // 37 degrees without GDI+: against the inverse turn computed here.
    cImage32 image;
    TurnablePicture(image);
    image.isGDIplusEnabled(false);
    image.HighQualityInterpolation(false);
    Canvas canvas(60, 60, 0);
    ASSERT_TRUE(image.RotateAtTopLeft(canvas.Dc(), 37, 20, 20));
    const double t = 37 * std::acos(-1.0) / 180;
    const int d = 14, x0 = 20 + 5 - 7, y0 = 20 + 5 - 7;
    int mismatches = 0;
    for (int y = 0; y < d; ++y)
        for (int x = 0; x < d; ++x) {
            int row = d - 1 - y;  // bottom-up in the square
            double ux = x - 2 - 5, uy = row - 2 - 5;
            double sx = ux * std::cos(t) - uy * std::sin(t) + 5;
            double sy = ux * std::sin(t) + uy * std::cos(t) + 5;
            uint32_t want = 0;
            if (sx >= 0 && sx < 10 && sy >= 0 && sy < 10)
                want = PixelAt(image, static_cast<int>(sx), 9 - static_cast<int>(sy));
            mismatches += canvas.At(x0 + x, y0 + y) != want;
        }
    EXPECT_LE(mismatches, 2);
}

QUILL_GDIPLUS_STATES(TransformStates);

}  // namespace
}  // namespace quill::imaging
