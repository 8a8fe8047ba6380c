// The GDI+ bridge: its probe and switch, drawing, grey scale, loading and
// PNG encoding, and the stream helpers.
#include "ImagingTestSupport.h"
#include "imaging/LibrarySwitches.h"
#include "imaging/cGDIPlus.h"
#include "imaging/cImage32.h"

#include <gtest/gtest.h>

namespace quill::imaging {
namespace {

using namespace quill::imaging::test;

TEST(cGDIPlus, ProbeAndSwitch)
{
    EXPECT_TRUE(cGDIPlus().isGDIplusOk());
    SetGdiplusDisabled(true);
    EXPECT_FALSE(cGDIPlus().isGDIplusOk());
    cImage32 image;
    EXPECT_FALSE(image.isGDIplusEnabled());
    ULONG_PTR token = 5;
    EXPECT_FALSE(cGDIPlus().GdiplusToggle(token, false));
    EXPECT_EQ(token, 0u);
    SetGdiplusDisabled(false);
    EXPECT_TRUE(cGDIPlus().GdiplusToggle(token, false));
    EXPECT_NE(token, 0u);
    EXPECT_FALSE(cGDIPlus().GdiplusToggle(token, true));
}

void Opaque(cImage32& image)
{
    Paint(image, 4, 2, [](int x, int y) { return Bgra(x * 60, y * 200, 255, 255); });
}

TEST(cGDIPlus, RenderOpacityAndMirroring)
{
    cImage32 image;
    Opaque(image);
    Canvas canvas(4, 2, 0xFF000000);
    EXPECT_TRUE(cGDIPlus().RenderViaGdiplus(image, canvas.Dc(), 0, 0, 0, 0, 4, 2, 0, 0, 4, 2, false));
    EXPECT_EQ(canvas.Pixels(), std::vector<uint32_t>(8, 0xFF000000));
    ASSERT_TRUE(cGDIPlus().RenderViaGdiplus(image, canvas.Dc(), 0, 100, 0, 0, 4, 2, 0, 0, 4, 2, false));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(canvas.At(x, y) & 0xFFFFFF, PixelAt(image, x, y) & 0xFFFFFF);
    // Half opacity over black halves the colours.
    canvas.Fill(0xFF000000);
    ASSERT_TRUE(cGDIPlus().RenderViaGdiplus(image, canvas.Dc(), 0, 50, 0, 0, 4, 2, 0, 0, 4, 2, false));
    EXPECT_NEAR(Red(canvas.At(0, 0)), 128, 2);
    // Mirrored left to right, and upside down.
    canvas.Fill(0xFF000000);
    ASSERT_TRUE(cGDIPlus().RenderViaGdiplus(image, canvas.Dc(), 0, 100, 0, 0, -4, 2, 0, 0, 4, 2, false));
    EXPECT_EQ(canvas.At(0, 0) & 0xFFFFFF, PixelAt(image, 3, 0) & 0xFFFFFF);
    canvas.Fill(0xFF000000);
    ASSERT_TRUE(cGDIPlus().RenderViaGdiplus(image, canvas.Dc(), 0, 100, 0, 0, 4, -2, 0, 0, 4, 2, false));
    EXPECT_EQ(canvas.At(1, 0) & 0xFFFFFF, PixelAt(image, 1, 1) & 0xFFFFFF);
    // The image's own pixels are never changed by drawing.
    EXPECT_EQ(PixelAt(image, 0, 0), Bgra(0, 0, 255, 255));
}

TEST(cGDIPlus, QuarterTurnAboutTheCentre)
{
    cImage32 image;
    Paint(image, 20, 10, [](int x, int) { return x < 10 ? 0xFFFF0000u : 0xFF0000FFu; });
    Canvas canvas(40, 40, 0xFF000000);
    ASSERT_TRUE(
        cGDIPlus().RenderViaGdiplus(image, canvas.Dc(), 90, 100, 10, 15, 20, 10, 0, 0, 20, 10, false));
    // Turned clockwise about (20, 20): the left half (red) is now on top.
    EXPECT_EQ(canvas.At(20, 13) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(canvas.At(20, 27) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(canvas.At(5, 20) & 0xFFFFFF, 0u);
}

TEST(cGDIPlus, GreyScale)
{
    cImage32 image;
    Paint(image, 1, 1, [](int, int) { return 0xFFFF0000u; });
    ASSERT_TRUE(cGDIPlus().GrayScaleViaGdiplus(image, 1));
    EXPECT_NEAR(Red(PixelAt(image, 0, 0)), 76, 1);
    EXPECT_EQ(Red(PixelAt(image, 0, 0)), Blue(PixelAt(image, 0, 0)));
}

TEST(cGDIPlus, EncoderLookup)
{
    CLSID clsid{};
    EXPECT_GE(cGDIPlus().FindEncoderClsid(L"IMAGE/PNG", clsid), 1);
    EXPECT_NE(clsid, CLSID{});
    CLSID untouched{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    CLSID out = untouched;
    EXPECT_EQ(cGDIPlus().FindEncoderClsid(L"image/x-none", out), -1);
    EXPECT_EQ(out, untouched);
    EXPECT_EQ(cGDIPlus::StringFromWidePointer(nullptr), L"");
    EXPECT_EQ(cGDIPlus::StringFromWidePointer(L""), L"");
    EXPECT_EQ(cGDIPlus::StringFromWidePointer(L"png"), L"png");
}

TEST(cGDIPlus, StreamsHoldExactlyTheBytes)
{
    IStream* empty = cGDIPlus::BytesToStream({}, 0);
    ASSERT_NE(empty, nullptr);
    ULONG written = 0;
    empty->Write("12345", 5, &written);
    std::vector<uint8_t> out;
    ASSERT_TRUE(cGDIPlus::StreamToBytes(empty, out));
    EXPECT_EQ(out, (std::vector<uint8_t>{'1', '2', '3', '4', '5'}));
    empty->Release();
    IStream* from = cGDIPlus::BytesToStream({1, 2, 3, 4}, 1);
    ASSERT_NE(from, nullptr);
    ASSERT_TRUE(cGDIPlus::StreamToBytes(from, out));
    EXPECT_EQ(out, (std::vector<uint8_t>{2, 3, 4}));
    from->Release();
    EXPECT_EQ(cGDIPlus::BytesToStream({1}, 5), nullptr);
    EXPECT_FALSE(cGDIPlus::StreamToBytes(nullptr, out));
}

TEST(cGDIPlus, PngIntoBytesAndFiles)
{
    cImage32 image;
    std::vector<uint8_t> png;
    EXPECT_FALSE(cGDIPlus().SaveToPNG(L"", png, image));
    Paint(image, 3, 2, [](int x, int y) { return Bgra(x * 40, y * 90, 200, 255); });
    image.SetAlpha(true);
    ASSERT_TRUE(cGDIPlus().SaveToPNG(L"", png, image));
    const std::vector<uint8_t> signature = {0x89, 'P', 'N', 'G', 13, 10, 26, 10};
    ASSERT_GT(png.size(), 8u);
    EXPECT_TRUE(std::equal(signature.begin(), signature.end(), png.begin()));
    // Exactly the encoded bytes: the file ends with the IEND chunk.
    EXPECT_EQ(ReadU32(&png[png.size() - 4]), 0x826042AEu);
    // Read back through GDI+: the same pixels, the right way up.
    cImage32 back;
    ASSERT_TRUE(cGDIPlus().LoadViaGdiplus(L"", png, back));
    EXPECT_EQ(back.ImageType(), 10);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(PixelAt(back, x, y) & 0xFFFFFF, PixelAt(image, x, y) & 0xFFFFFF) << x << "," << y;

    ScratchFile file("saved.png");
    file.Write({1, 2, 3});
    ASSERT_TRUE(cGDIPlus().SaveToPNG(file.Path(), png, image));
    std::vector<uint8_t> saved = file.Read();
    ASSERT_GT(saved.size(), 8u);
    EXPECT_TRUE(std::equal(signature.begin(), signature.end(), saved.begin()));
}

TEST(cGDIPlus, FailedSaveLosesNothing)
{
    cImage32 image;
    Paint(image, 2, 2, [](int, int) { return 0xFF102030u; });
    ScratchFile file("locked.png");
    file.Write({9, 8, 7});
    // Held open without sharing: the new picture cannot take its place.
    HANDLE held = CreateFileW(file.Path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::vector<uint8_t> unused;
    EXPECT_FALSE(cGDIPlus().SaveToPNG(file.Path(), unused, image));
    CloseHandle(held);
    EXPECT_EQ(file.Read(), (std::vector<uint8_t>{9, 8, 7}));
    // No temporary file is left beside it.
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(L"Z:\\tmp\\png*.tmp", &found);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE);
}

TEST(cGDIPlus, LoadOfATwentyFourBitPicture)
{
    std::vector<uint8_t> rows = {0x10, 0x20, 0x30, 0, 0x40, 0x50, 0x60, 0};
    std::vector<uint8_t> bmp = BmpFile(1, 2, 24, rows);
    cImage32 image;
    ASSERT_TRUE(cGDIPlus().LoadViaGdiplus(L"", bmp, image));
    EXPECT_FALSE(image.Alpha());
    EXPECT_EQ(image.ImageType(), 10);
    EXPECT_EQ(PixelAt(image, 0, 0) & 0xFFFFFF, 0x605040u);
    ScratchFile file("load.bmp");
    file.Write(bmp);
    cImage32 fromFile;
    ASSERT_TRUE(cGDIPlus().LoadViaGdiplus(file.Path(), {}, fromFile));
    EXPECT_EQ(fromFile.Width(), 1);
    EXPECT_FALSE(cGDIPlus().LoadViaGdiplus(L"", {1, 2, 3}, fromFile));
}

}  // namespace
}  // namespace quill::imaging
