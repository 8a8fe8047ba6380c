// Loading: the refusals, the BMP reader's own path, the platform picture
// loader, resources, handles and the kept source bytes.
#include "GdiplusStates.h"
#include "ImagingTestSupport.h"
#include "imaging/cImage32.h"
#include "imaging/modParsersPlatform.h"

#include "resources/resource_ids.h"

#include <gtest/gtest.h>

namespace quill::imaging {
namespace {

using namespace quill::imaging::test;
using LoadStates = GdiplusStates;

// A 3 x 2 picture with straight alpha in its first pixel, file order
// bottom row first.
std::vector<uint8_t> StraightAlphaBmp()
{
    return Bmp32(3, 2, {0x80C80000, 0xFF010203, 0x00000000, 0xFF112233, 0xFF445566, 0xFF778899});
}

// The bytes with `before` and `after` filler bytes around them.
std::vector<uint8_t> Framed(const std::vector<uint8_t>& bytes, size_t before, size_t after)
{
    std::vector<uint8_t> framed(before + bytes.size() + after, 0xEE);
    std::copy(bytes.begin(), bytes.end(), framed.begin() + static_cast<ptrdiff_t>(before));
    return framed;
}

TEST_P(LoadStates, ShortInputIsRefusedAndTheImageKept)
{
    cImage32 image;
    ASSERT_TRUE(image.InitializeDIB(2, 2));
    std::vector<uint8_t> bmp = StraightAlphaBmp();
    std::vector<uint8_t> short56(bmp.begin(), bmp.begin() + 56);
    EXPECT_FALSE(image.LoadPicture_Stream(short56));
    EXPECT_EQ(image.Width(), 2);
    ScratchFile file("short.bmp");
    file.Write(short56);
    EXPECT_FALSE(image.LoadPicture_File(file.Path()));
    EXPECT_EQ(image.Width(), 2);
    EXPECT_FALSE(image.LoadPicture_File(L"Z:\\no\\such\\file.bmp"));
    EXPECT_FALSE(image.LoadPicture_Stream({}));
    EXPECT_EQ(image.ImageType(), 0);
    // 57 bytes reach the readers: the image is destroyed before they run.
    std::vector<uint8_t> short57(bmp.begin(), bmp.begin() + 57);
    EXPECT_FALSE(image.LoadPicture_Stream(short57));
    EXPECT_EQ(image.ImageType(), -1);
}

TEST_P(LoadStates, StreamStartAndLengthMustLieInsideTheArray)
{
    std::vector<uint8_t> bmp = StraightAlphaBmp();
    std::vector<uint8_t> padded = Framed(bmp, 10, 5);
    struct Case {
        int32_t start, length;
        bool loads;
    } cases[] = {
        {10, static_cast<int32_t>(bmp.size()), true},
        {10, 0, true},      // to the end of the array
        {-5, 0, false},     // from the lower bound: not a picture there
        {10, 1000, false},  // beyond the array
        {static_cast<int32_t>(padded.size()), 0, false},
        {0x7FFFFFF0, 0x7FFFFFF0, false},
    };
    for (const Case& c : cases) {
        cImage32 image;
        EXPECT_EQ(image.LoadPicture_Stream(padded, 0, 0, c.start, c.length), c.loads)
            << c.start << "+" << c.length;
        if (c.loads) {
            EXPECT_EQ(image.Width(), 3);
        }
    }
}

TEST_P(LoadStates, ThirtyTwoBitBmpAlphaKinds)
{
    struct Case {
        const char* name;
        std::vector<uint32_t> pixels;
        int type;
        bool alpha;
        uint32_t first;
    } cases[] = {
        {"no alpha", {0x00102030, 0x00405060}, 1, false, 0xFF102030},
        {"straight", {0x80C80000, 0xFF010203}, 6, true, 0x80640000},
        {"premultiplied", {0x80640000, 0xFF010203}, 7, true, 0x80640000},
        {"opaque", {0xFF102030, 0xFF405060}, 7, true, 0xFF102030},
    };
    for (const Case& c : cases) {
        cImage32 image;
        ASSERT_TRUE(image.LoadPicture_Stream(Bmp32(2, 1, c.pixels))) << c.name;
        EXPECT_EQ(image.ImageType(), c.type) << c.name;
        EXPECT_EQ(image.Alpha(), c.alpha) << c.name;
        EXPECT_EQ(PixelAt(image, 0, 0), c.first) << c.name;
    }
}

TEST_P(LoadStates, TopDownBmpEndsUpBottomUp)
{
    cImage32 image;
    ASSERT_TRUE(image.LoadPicture_Stream(Bmp32(1, -3, {0xFF000001, 0xFF000002, 0xFF000003})));
    EXPECT_EQ(PixelAt(image, 0, 0), 0xFF000001u);  // first file row on top
    EXPECT_EQ(PixelAt(image, 0, 2), 0xFF000003u);
    EXPECT_EQ(image.BitsPointer()[0], 0xFF000003u);
}

TEST_P(LoadStates, OtherDepthsGoThroughThePlatformLoader)
{
    // 24 bits: 2 x 2, rows padded to 8 bytes, bottom row first (BGR).
    std::vector<uint8_t> rows24 = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0, 0,
                                   0x70, 0x80, 0x90, 0xA0, 0xB0, 0xC0, 0, 0};
    std::vector<uint8_t> file24 = BmpFile(2, 2, 24, rows24);
    // 8 bits: palette of four, rows padded to 4 bytes.
    std::vector<uint8_t> rows8 = {0, 1, 0, 0, 2, 3, 0, 0};
    std::vector<uint8_t> file8 = BmpFile(2, 2, 8, rows8, {0x00102030, 0x00405060, 0x00708090, 0x00A0B0C0});
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        uint32_t topLeft, bottomRight;
    } cases[] = {{"24 bits", file24, 0xFF908070, 0xFF605040}, {"8 bits", file8, 0xFF708090, 0xFF405060}};
    for (const Case& c : cases) {
        cImage32 image;
        ASSERT_TRUE(image.LoadPicture_Stream(c.file)) << c.name;
        EXPECT_EQ(image.ImageType(), 1) << c.name;
        EXPECT_FALSE(image.Alpha()) << c.name;
        EXPECT_EQ(image.Width(), 2);
        EXPECT_EQ(PixelAt(image, 0, 0), c.topLeft) << c.name;
        EXPECT_EQ(PixelAt(image, 1, 1), c.bottomRight) << c.name;
    }
}

TEST_P(LoadStates, BmpWithoutPictureDoesNotFallBack)
{
    for (auto [w, h] : {std::pair{0, 2}, std::pair{2, 0}}) {
        cImage32 image;
        std::vector<uint8_t> file = Bmp32(2, 2, {1, 2, 3, 4});
        WriteU32(&file[18], static_cast<uint32_t>(w));
        WriteU32(&file[22], static_cast<uint32_t>(h));
        EXPECT_FALSE(image.LoadPicture_Stream(file));
        EXPECT_EQ(image.Handle(), nullptr);
    }
}

TEST_P(LoadStates, HostileHeadersAreRefusedWithoutReadingPastTheBytes)
{
    std::vector<uint8_t> base = Bmp32(2, 2, {1, 2, 3, 4});
    struct Case {
        const char* name;
        size_t offset;
        uint32_t value;
    } cases[] = {{"data offset far out", 10, 0xFFFFFFF0u},
                 {"height huge", 22, 0x7FFFFFFFu},
                 {"width huge", 18, 0x40000001u},
                 {"header size huge", 14, 0xFFFFFF00u}};
    for (const Case& c : cases) {
        std::vector<uint8_t> file = base;
        WriteU32(&file[c.offset], c.value);
        cImage32 image;
        EXPECT_FALSE(image.LoadPicture_Stream(file)) << c.name;
    }
}

TEST_P(LoadStates, LoadingNeverChangesTheCallersBytes)
{
    std::vector<uint8_t> bytes = StraightAlphaBmp();
    const std::vector<uint8_t> before = bytes;
    cImage32 image;
    ASSERT_TRUE(image.LoadPicture_Stream(bytes, 0, 0, 0, 0, true));
    EXPECT_EQ(bytes, before);
}

TEST_P(LoadStates, KeptSourceBytes)
{
    std::vector<uint8_t> bmp = StraightAlphaBmp();
    ScratchFile file("kept.bmp");
    file.Write(bmp);
    cImage32 image;
    std::vector<uint8_t> kept = {9};
    ASSERT_TRUE(image.LoadPicture_File(file.Path(), 0, 0, false));
    EXPECT_FALSE(image.GetOrginalFormat(kept));
    EXPECT_TRUE(kept.empty());
    EXPECT_FALSE(image.LoadPicture_FromOrignalFormat());
    EXPECT_EQ(image.Width(), 3);  // untouched
    ASSERT_TRUE(image.LoadPicture_File(file.Path(), 0, 0, true));
    ASSERT_TRUE(image.GetOrginalFormat(kept));
    EXPECT_EQ(kept, bmp);
    ASSERT_TRUE(image.LoadPicture_FromOrignalFormat(16, 16));
    EXPECT_EQ(image.ImageType(), 6);
    // A stream inside a larger array keeps the picture's own bytes.
    std::vector<uint8_t> padded = Framed(bmp, 7, 0);
    ASSERT_TRUE(image.LoadPicture_Stream(padded, 0, 0, 7, 0, true));
    ASSERT_TRUE(image.GetOrginalFormat(kept));
    EXPECT_EQ(kept, bmp);
    EXPECT_TRUE(image.LoadPicture_FromOrignalFormat());
}

TEST_P(LoadStates, ResourcesFromTheProgram)
{
    cImage32 image;
    image.SetAlpha(true);
    image.HighQualityInterpolation(false);
    // The loading animation (GIF bytes of a custom resource).
    ASSERT_TRUE(image.LoadPicture_Resource(IDR_LOADING_GIF, L"CUSTOM", nullptr, 32, 32, 0, 0));
    EXPECT_GT(image.Width(), 0);
    EXPECT_GT(image.Height(), 0);
    EXPECT_FALSE(image.LoadPicture_Resource(999, L"CUSTOM"));
    EXPECT_FALSE(image.LoadPicture_Resource(999, 0));
    EXPECT_FALSE(image.LoadPicture_Resource(IDR_LOADING_GIF, 7));
}

TEST_P(LoadStates, ByHandleTakesOwnershipOfTheHandle)
{
    // A 32-bit bitmap with straight alpha.
    uint32_t* bits = nullptr;
    forms::gdi::WindowDc screen(nullptr);
    // The image takes the bitmap over.
    HBITMAP bitmap = forms::gdi::BottomUpDib(screen, 2, 2, bits).Release();
    ASSERT_NE(bitmap, nullptr);
    bits[0] = 0x80C80000;
    bits[1] = bits[2] = bits[3] = 0xFF000000;
    cImage32 image;
    ASSERT_TRUE(image.LoadPicture_ByHandle(bitmap));
    EXPECT_EQ(image.Width(), 2);
    EXPECT_EQ(image.ImageType(), 6);
    EXPECT_EQ(GetObjectType(bitmap), 0u);  // destroyed with the load

    EXPECT_FALSE(image.LoadPicture_ByHandle(nullptr));
    // A handle of no known kind leaves the image as it was.
    EXPECT_FALSE(image.LoadPicture_ByHandle(reinterpret_cast<HANDLE>(0x1234)));
    EXPECT_EQ(image.Width(), 2);
}

// An enhanced metafile of `size` HIMETRIC units that fills its middle.
HENHMETAFILE Metafile(LONG size, bool draw)
{
    RECT frame{0, 0, size, size};
    HDC dc = CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
    if (draw) {
        forms::gdi::BrushHandle brush(CreateSolidBrush(RGB(200, 20, 10)));
        RECT inner{4, 4, 12, 12};
        FillRect(dc, &inner, brush);
    }
    return CloseEnhMetaFile(dc);
}

TEST_P(LoadStates, MetafileHandles)
{
    cImage32 image;
    HENHMETAFILE emf = Metafile(423, true);  // 16 pixels at 96 dpi
    ASSERT_TRUE(image.LoadPicture_ByHandle(emf));
    EXPECT_EQ(image.ImageType(), 4);
    EXPECT_TRUE(image.Alpha());
    EXPECT_EQ(image.Width(), 16);
    EXPECT_EQ(PixelAt(image, 0, 0), 0u);             // not drawn: transparent
    EXPECT_EQ(AlphaOf(PixelAt(image, 8, 8)), 255u);  // drawn: opaque
    EXPECT_EQ(GetObjectType(emf), 0u);

    // Extents asking for about 1.4 gigapixels are refused.
    HENHMETAFILE huge = Metafile(1000000, false);
    EXPECT_FALSE(image.LoadPicture_ByHandle(huge));
    EXPECT_EQ(image.Handle(), nullptr);
    EXPECT_EQ(GetObjectType(huge), 0u);
}

TEST_P(LoadStates, LoadsLeakNothing)
{
    const long before = forms::gdi::LiveObjects();
    std::vector<uint8_t> bmp = StraightAlphaBmp();
    std::vector<uint8_t> rows24(16, 0x55);
    std::vector<uint8_t> file24 = BmpFile(2, 2, 24, rows24);
    for (int i = 0; i < 50; ++i) {
        cImage32 image;
        ASSERT_TRUE(image.LoadPicture_Stream(bmp));
        ASSERT_TRUE(image.LoadPicture_Stream(file24));
    }
    EXPECT_EQ(forms::gdi::LiveObjects(), before);
}

QUILL_GDIPLUS_STATES(LoadStates);

TEST(PathExists, FilesOnly)
{
    ScratchFile file("hidden.bin");
    file.Write({1, 2, 3});
    SetFileAttributesW(file.Path().c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(PathExists(file.Path()));
    EXPECT_FALSE(PathExists(L"Z:\\tmp"));
    EXPECT_FALSE(PathExists(L""));
    EXPECT_FALSE(PathExists(L"Z:\\no\\such\\file"));
}

TEST(ProbeZlib, FindsTheSystemsZlib)
{
    // Wine's system folder has zlib1.dll; nothing beside the test program.
    std::wstring name = L"x";
    int code = 7;
    bool cdeclCall = false, compress2 = false;
    ASSERT_TRUE(ProbeZlib(name, code, cdeclCall, compress2, true));
    EXPECT_EQ(code, 2);
    EXPECT_EQ(name, L"zlib1.dll");
    EXPECT_TRUE(compress2);
    EXPECT_FALSE(cdeclCall);  // quick mode leaves it
    ASSERT_TRUE(ProbeZlib(name, code, cdeclCall, compress2, false));
    EXPECT_TRUE(cdeclCall);
    cImage32 image;
    EXPECT_TRUE(image.isZlibEnabled());
}

TEST(ExportExists, AsksTheLibrary)
{
    EXPECT_TRUE(ExportExists(L"gdiplus.dll", "GdiplusStartup"));
    EXPECT_FALSE(ExportExists(L"gdiplus.dll", "NoSuchExport"));
    EXPECT_FALSE(ExportExists(L"no-such-library.dll", "GdiplusStartup"));
}

}  // namespace
}  // namespace quill::imaging
