// The PNG, ICO/CUR and GIF readers through the image object under Wine, in
// every state of the two outside libraries: GDI+ on and off, zlib1.dll
// found and not. The pixels must be those of the portable reference decode
// (with GDI+ on, those GDI+ draws for the PNGs it reads).
#include "GdiplusStates.h"
#include "ImagingTestSupport.h"
#include "forms/Gdi.h"
#include "imaging/GifReader.h"
#include "imaging/IcoReader.h"
#include "imaging/LibrarySwitches.h"
#include "imaging/PngReader.h"
#include "imaging/cGDIPlus.h"
#include "imaging/cGIFParser.h"
#include "imaging/cICOParser.h"
#include "imaging/cImage32.h"
#include "imaging/cPNGParser.h"
#include "tests/imaging/Corpus.h"
#include "tests/imaging/GifBuild.h"
#include "tests/imaging/IcoBuild.h"
#include "tests/imaging/PixelExpectations.h"
#include "tests/imaging/PngBuild.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <span>
#include <tuple>

namespace quill::imaging {
namespace {

using test::Bytes;
using test::Hex;
using test::PixelAt;
using test::ScratchFile;

// GDI+ usable or not, zlib found or not.
class LibraryStates : public ::testing::TestWithParam<std::tuple<bool, bool>> {
protected:
    void SetUp() override
    {
        SetGdiplusDisabled(!GdiplusOn());
        SetZlibDisabled(!ZlibOn());
    }
    void TearDown() override
    {
        SetGdiplusDisabled(false);
        SetZlibDisabled(false);
    }
    bool GdiplusOn() const { return std::get<0>(GetParam()); }
    bool ZlibOn() const { return std::get<1>(GetParam()); }
};

std::string StateName(const ::testing::TestParamInfo<std::tuple<bool, bool>>& info)
{
    return std::string(std::get<0>(info.param) ? "GdiplusOn" : "GdiplusOff") +
           (std::get<1>(info.param) ? "ZlibOn" : "ZlibOff");
}

// The image object's pixels as a DecodedImage, to compare.
DecodedImage Pixels(const cImage32& image)
{
    DecodedImage d;
    GdiFlush();
    if (image.Handle()) {
        d.Allocate(image.Width(), image.Height());
        std::memcpy(d.pixels.data(), image.BitsPointer(), d.pixels.size() * 4);
    }
    return d;
}

DecodedImage PortablePng(const Bytes& png)
{
    DecodedImage d;
    DecodePng(png, nullptr, d);
    return d;
}

// GDI+ draws what it reads into the image with its own premultiplication,
// which may round up where the library's rounds down.
void ExpectSameOrGdiplusRounding(const DecodedImage& actual, const DecodedImage& expected, bool viaGdiplus,
                                 const std::string& what)
{
    if (!viaGdiplus) {
        test::ExpectSamePixels(actual, expected, what);
        return;
    }
    ASSERT_EQ(actual.width, expected.width) << what;
    ASSERT_EQ(actual.height, expected.height) << what;
    for (size_t i = 0; i < expected.pixels.size(); ++i) {
        for (int shift = 0; shift < 32; shift += 8) {
            const int a = (actual.pixels[i] >> shift) & 0xFF, e = (expected.pixels[i] >> shift) & 0xFF;
            ASSERT_LE(std::abs(a - e), 1) << what << " pixel " << i << ": " << Hex(actual.pixels[i]) << " vs "
                                          << Hex(expected.pixels[i]);
        }
    }
}

TEST_P(LibraryStates, SwitchesDecideWhatTheImageFinds)
{
    cImage32 image;
    EXPECT_EQ(image.isZlibEnabled(), ZlibOn());
    EXPECT_EQ(image.isGDIplusEnabled(), GdiplusOn());
    cPNGParser parser;
    EXPECT_EQ(parser.BindZlib(), ZlibOn());
    EXPECT_EQ(parser.ZlibCode(), ZlibOn() ? 2 : 0);  // zlib1.dll beside the program
}

TEST_P(LibraryStates, EveryPngKindThroughStreamsAndFiles)
{
    const std::vector<test::PngSpec> matrix = test::PngMatrix();
    for (size_t i = 0; i < matrix.size(); ++i) {
        const test::PngSpec& spec = matrix[i];
        const Bytes png = test::BuildPng(spec);
        const DecodedImage expected = PortablePng(png);
        ASSERT_FALSE(expected.Empty()) << Describe(spec);
        cImage32 image;
        ASSERT_TRUE(image.LoadPicture_Stream(png)) << Describe(spec);
        EXPECT_EQ(image.ImageType(), ImageTypes::Png) << Describe(spec);
        if (!GdiplusOn()) {
            EXPECT_EQ(image.Alpha(), expected.alpha) << Describe(spec);
        }
        ExpectSameOrGdiplusRounding(Pixels(image), expected, GdiplusOn(), Describe(spec));
        // Every fifth file also from a file, which PNG reads by its name.
        if (i % 5 == 0) {
            ScratchFile file("matrix.png");
            file.Write(png);
            cImage32 fromFile;
            ASSERT_TRUE(fromFile.LoadPicture_File(file.Path())) << Describe(spec);
            ExpectSameOrGdiplusRounding(Pixels(fromFile), expected, GdiplusOn(), Describe(spec) + " file");
        }
    }
}

TEST_P(LibraryStates, CorpusPngs)
{
    for (const auto& path : test::CorpusFiles(".png")) {
        const Bytes png = test::ReadWholeFile(path);
        cImage32 image;
        ASSERT_TRUE(image.LoadPicture_Stream(png)) << path;
        ExpectSameOrGdiplusRounding(Pixels(image), PortablePng(png), GdiplusOn(), path.string());
    }
}

// The file with the CRC of its first IDAT chunk damaged.
Bytes WithDamagedIdatCrc(Bytes png)
{
    for (size_t at = 8; at + 12 <= png.size();) {
        const uint32_t length = (png[at] << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
        if (std::memcmp(&png[at + 4], "IDAT", 4) == 0) {
            png[at + 8 + length] ^= 0x40;
            break;
        }
        at += length + 12;
    }
    return png;
}

TEST_P(LibraryStates, CrcsAreCheckedWhenZlibIsFound)
{
    if (GdiplusOn())
        GTEST_SKIP() << "GDI+ reads the file first and checks no CRC";
    test::PngSpec spec;
    spec.width = 9;
    spec.height = 4;
    const Bytes damaged = WithDamagedIdatCrc(test::BuildPng(spec));
    cImage32 image;
    EXPECT_EQ(image.LoadPicture_Stream(damaged), !ZlibOn());
    EXPECT_EQ(image.Handle() != nullptr, !ZlibOn());
}

TEST_P(LibraryStates, WhatZlibRefusesTheOwnInflaterStillReads)
{
    // A wrong Adler-32: zlib's inflate fails at the end, the own inflater
    // (which does not read it) decodes the data again over the rows zlib
    // gave.
    test::PngSpec spec;
    spec.width = 21;
    spec.height = 13;
    spec.filter = 1;
    Bytes png = test::BuildPng(spec);
    const DecodedImage expected = PortablePng(png);
    for (size_t at = 8; at + 12 <= png.size();) {
        const uint32_t length = (png[at] << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
        if (std::memcmp(&png[at + 4], "IDAT", 4) == 0) {
            png[at + 8 + length - 1] ^= 0x01;  // the Adler-32's last byte
            const Bytes chunk = test::PngChunk("IDAT", Bytes(&png[at + 8], &png[at + 8 + length]));
            std::copy(chunk.begin(), chunk.end(), png.begin() + long(at));  // its CRC made right again
            break;
        }
        at += length + 12;
    }
    cImage32 image;
    ASSERT_TRUE(image.LoadPicture_Stream(png));
    ExpectSameOrGdiplusRounding(Pixels(image), expected, GdiplusOn(), "wrong Adler-32");
}

TEST_P(LibraryStates, GdiplusReadsFirst)
{
    test::PngSpec spec;
    spec.width = 5;
    spec.height = 3;
    Bytes png = test::BuildPng(spec);
    cImage32 image;
    EXPECT_EQ(cGDIPlus().LoadViaGdiplus(L"", png, image), GdiplusOn());
    // A damaged IHDR CRC: the own decoder refuses it while zlib checks CRCs;
    // GDI+, which reads the file first when usable, does not.
    png[8 + 8 + 13] ^= 1;
    EXPECT_EQ(image.LoadPicture_Stream(png), GdiplusOn() || !ZlibOn());
}

TEST_P(LibraryStates, PngSignatureWithGarbageIsTakenWithoutImage)
{
    Bytes png = test::PngSignatureBytes();
    png.insert(png.end(), 80, 0x42);
    cImage32 image;
    ASSERT_TRUE(image.InitializeDIB(2, 2));
    EXPECT_FALSE(image.LoadPicture_Stream(png));
    EXPECT_EQ(image.Handle(), nullptr);
    // A file whose first 8 bytes are not the signature is not PNG.
    ScratchFile file("notpng.png");
    Bytes other = png;
    other[0] = 0x88;
    file.Write(other);
    cPNGParser parser;
    EXPECT_FALSE(parser.LoadFile(file.Path(), image));
}

DecodedImage PortableIcon(const Bytes& ico, int w, int h)
{
    DecodedImage d;
    const auto readPng = [](std::span<const uint8_t> png, PixelTarget& target) {
        return DecodePng(png, nullptr, target);
    };
    DecodeIcon(ico, w, h, readPng, d);
    return d;
}

TEST_P(LibraryStates, IconsOfEveryKind)
{
    std::vector<test::IconImageSpec> specs;
    uint32_t seed = 1;
    for (int bits : {1, 4, 8, 16, 24, 32})
        specs.push_back({7 + bits % 5, 5 + bits % 3, bits, false, seed++});
    specs.push_back({256, 256, 8, false, seed++});
    specs.push_back({256, 256, 32, false, seed++});
    specs.push_back({48, 48, 32, true, seed++});
    specs.push_back({256, 256, 32, true, seed++});
    for (int type : {1, 2}) {
        for (const test::IconImageSpec& s : specs) {
            const Bytes ico = test::BuildIcon({{16, 16, 4, false, 99}, s}, type);
            const std::string what = std::to_string(s.width) + " " + std::to_string(s.bits) +
                                     (s.png ? " png" : " bits") + (type == 2 ? " cursor" : " icon");
            const DecodedImage expected = PortableIcon(ico, s.width, s.height);
            ASSERT_FALSE(expected.Empty()) << what;
            cImage32 image;
            ASSERT_TRUE(image.LoadPicture_Stream(ico, s.width, s.height)) << what;
            const int wantType = s.png ? ImageTypes::PngInIcon
                                 : s.bits == 32
                                     ? (type == 1 ? ImageTypes::IconAlpha : ImageTypes::CursorAlpha)
                                     : (type == 1 ? ImageTypes::IconMask : ImageTypes::CursorMask);
            EXPECT_EQ(image.ImageType(), wantType) << what;
            ExpectSameOrGdiplusRounding(Pixels(image), expected, GdiplusOn() && s.png, what);
            if (!(GdiplusOn() && s.png)) {
                EXPECT_EQ(image.Alpha(), expected.alpha) << what;
            }
            ScratchFile file("icon.ico");
            file.Write(ico);
            cImage32 fromFile;
            ASSERT_TRUE(fromFile.LoadPicture_File(file.Path(), s.width, s.height)) << what;
            ExpectSameOrGdiplusRounding(Pixels(fromFile), expected, GdiplusOn() && s.png, what + " file");
        }
    }
}

TEST_P(LibraryStates, IconBytesAreNeverWritten)
{
    test::IconImageSpec s{16, 16, 8, false, 3};
    s.headerBits = 0;  // the directory supplies the bit count
    const Bytes ico = test::BuildIcon({s});
    Bytes kept = ico;
    cImage32 image;
    ASSERT_TRUE(image.LoadPicture_Stream(kept, 16, 16, 0, 0, true));
    EXPECT_EQ(kept, ico);
    Bytes original;
    ASSERT_TRUE(image.GetOrginalFormat(original));
    EXPECT_EQ(original, ico);
}

TEST_P(LibraryStates, DamagedIconDirectoryIsNotAnIcon)
{
    Bytes ico = test::BuildIcon({{16, 16, 8, false, 3}});
    ico[6 + 12] = 0xF0;  // image offset far past the data
    ico[6 + 15] = 0x7F;
    cImage32 image;
    EXPECT_FALSE(image.LoadPicture_Stream(ico));
    int32_t start = 0, length = static_cast<int32_t>(ico.size());
    EXPECT_FALSE(cICOParser().LoadStream(ico, 16, 16, image, start, length));
}

TEST_P(LibraryStates, GifFirstFrames)
{
    for (const test::GifSpec& spec : test::GifMatrix()) {
        if (spec.frames[0].width > 100)
            continue;  // the portable tests take the large ones
        const Bytes gif = test::BuildGif(spec);
        DecodedImage expected;
        ASSERT_EQ(DecodeGif(gif, expected).verdict, ReadVerdict::Image) << Describe(spec);
        cImage32 image;
        if (gif.size() < 57) {
            EXPECT_FALSE(image.LoadPicture_Stream(gif)) << "no picture is that short";
            continue;
        }
        ASSERT_TRUE(image.LoadPicture_Stream(gif)) << Describe(spec);
        EXPECT_EQ(image.ImageType(), ImageTypes::Gif);
        EXPECT_TRUE(image.Alpha());
        test::ExpectSamePixels(Pixels(image), expected, Describe(spec));
    }
}

TEST_P(LibraryStates, GifCutOffInItsFirstFrameIsTakenWithoutImage)
{
    test::GifSpec spec;
    spec.frames[0].width = spec.frames[0].height = 20;
    spec.width = spec.height = 20;
    Bytes gif = test::BuildGif(spec);
    gif.resize(gif.size() - 5);
    cImage32 image;
    EXPECT_FALSE(image.LoadPicture_Stream(gif));
    int32_t start = 0, length = static_cast<int32_t>(gif.size());
    cImage32 host;
    EXPECT_TRUE(cGIFParser().LoadStream(gif, host, start, length));
    EXPECT_EQ(host.Handle(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(AllStates, LibraryStates, ::testing::Combine(::testing::Bool(), ::testing::Bool()),
                         StateName);

// An icon handle made by the system from an icon image's bytes.
HICON SystemIcon(const Bytes& image, int width, int height)
{
    return CreateIconFromResourceEx(const_cast<uint8_t*>(image.data()), static_cast<DWORD>(image.size()),
                                    TRUE, 0x00030000, width, height, LR_DEFAULTCOLOR);
}

TEST(IconHandles, ConvertedWithTheirMaskAsAlpha)
{
    for (const test::IconImageSpec& s :
         {test::IconImageSpec{16, 16, 4, false, 5}, test::IconImageSpec{32, 32, 8, false, 6},
          test::IconImageSpec{24, 24, 24, false, 7}, test::IconImageSpec{256, 256, 8, false, 8}}) {
        const Bytes bytes = test::IconImage(s);
        HICON icon = SystemIcon(bytes, s.width, s.height);
        ASSERT_NE(icon, nullptr) << s.width;
        const DecodedImage expected = PortableIcon(test::BuildIcon({s}), s.width, s.height);
        const long before = forms::gdi::LiveObjects();
        cImage32 image;
        ASSERT_TRUE(image.LoadPicture_ByHandle(icon)) << s.width;
        EXPECT_EQ(image.ImageType(), ImageTypes::IconMask);
        EXPECT_EQ(image.Alpha(), expected.alpha);
        test::ExpectSamePixels(Pixels(image), expected, "handle of " + std::to_string(s.width));
        image.DestroyDIB();
        EXPECT_EQ(forms::gdi::LiveObjects(), before);
    }
}

TEST(IconHandles, MonochromeIconIsDrawnAndMasked)
{
    // A 1-bit icon: black and white from its palette, no colour bitmap.
    test::IconImageSpec s{32, 32, 1, false, 11};
    Bytes bytes = test::IconImage(s);
    const uint8_t palette[8] = {0, 0, 0, 0, 255, 255, 255, 0};
    std::memcpy(&bytes[40], palette, 8);
    HICON icon = SystemIcon(bytes, 32, 32);
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    const bool monochrome = info.hbmColor == nullptr;
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    cImage32 image;
    ASSERT_TRUE(image.LoadPicture_ByHandle(icon));
    const DecodedImage expected = PortableIcon(test::BuildIconFromImages({s}, {bytes}), 32, 32);
    test::ExpectSamePixels(Pixels(image), expected, monochrome ? "monochrome icon" : "two-colour icon");
}

TEST(IconHandles, CursorsAreCursors)
{
    const Bytes bytes = test::IconImage({16, 16, 4, false, 12});
    Bytes cursor = {0, 0, 0, 0};  // the hot spot comes first in a cursor resource
    cursor.insert(cursor.end(), bytes.begin(), bytes.end());
    HICON handle = CreateIconFromResourceEx(cursor.data(), static_cast<DWORD>(cursor.size()), FALSE,
                                            0x00030000, 16, 16, LR_DEFAULTCOLOR);
    ASSERT_NE(handle, nullptr);
    cImage32 image;
    ASSERT_TRUE(image.LoadPicture_ByHandle(handle));
    EXPECT_EQ(image.ImageType(), ImageTypes::CursorMask);
}

}  // namespace
}  // namespace quill::imaging
