// The ICO/CUR reader: bitmap images of every bit count, PNG images and
// 256-pixel entries against ImageMagick's reading of the same files; the
// choice of entry; and the directory checks on files made to break them.
#include <gtest/gtest.h>

#include <cstring>

#include "imaging/IcoReader.h"
#include "imaging/PngReader.h"
#include "tests/imaging/Corpus.h"
#include "tests/imaging/IcoBuild.h"
#include "tests/imaging/PixelExpectations.h"
#include "tests/imaging/References.h"

namespace quill::imaging {
namespace {

using test::BuildIcon;
using test::Bytes;
using test::ExpectSamePixels;
using test::Hex;
using test::IconImageSpec;

ReadResult ReadPngWithoutZlib(std::span<const uint8_t> png, PixelTarget& target)
{
    return DecodePng(png, nullptr, target);
}

struct Decoded {
    ReadResult result;
    DecodedImage image;
};

Decoded Decode(const Bytes& file, int width, int height)
{
    Decoded d;
    d.result = DecodeIcon(file, width, height, ReadPngWithoutZlib, d.image);
    return d;
}

TEST(IcoAgainstImageMagick, EveryBitCountPngAnd256PixelEntries)
{
    ASSERT_TRUE(test::ImageMagickAvailable()) << "tools/setup.sh installs ImageMagick";
    std::vector<IconImageSpec> specs;
    uint32_t seed = 1;
    for (int bits : {1, 4, 8, 24, 32}) {
        for (auto [w, h] : {std::pair{1, 1}, std::pair{5, 3}, std::pair{16, 16}, std::pair{33, 17}})
            specs.push_back({w, h, bits, false, seed++});
    }
    specs.push_back({48, 40, 32, true, seed++});
    for (const IconImageSpec& s : specs) {
        const std::string what = std::to_string(s.width) + "x" + std::to_string(s.height) + " " +
                                 (s.png ? "png" : std::to_string(s.bits) + " bits");
        const Bytes file = BuildIcon({s});
        const Decoded d = Decode(file, s.width, s.height);
        ASSERT_EQ(d.result.verdict, ReadVerdict::Image) << what;
        DecodedImage reference;
        ASSERT_TRUE(test::ImageMagickDecode(file, "ico", 0, reference)) << what;
        ExpectSamePixels(d.image, reference, what);
        EXPECT_EQ(d.result.imageType, s.png          ? ImageTypes::PngInIcon
                                      : s.bits == 32 ? ImageTypes::IconAlpha
                                                     : ImageTypes::IconMask)
            << what;
    }
    // 256 x 256 entries, stored with size 0: a PNG one and a bitmap one.
    for (const IconImageSpec& s :
         {IconImageSpec{256, 256, 32, true, 40}, IconImageSpec{256, 256, 4, false, 41},
          IconImageSpec{256, 256, 32, false, 42}}) {
        const Bytes big = BuildIcon({{16, 16, 8, false, 3}, s});
        const Decoded d = Decode(big, 256, 256);
        ASSERT_EQ(d.result.verdict, ReadVerdict::Image) << s.bits;
        DecodedImage reference;
        ASSERT_TRUE(test::ImageMagickDecode(big, "ico", 1, reference));
        ExpectSamePixels(d.image, reference,
                         "256 pixels, " + std::to_string(s.bits) + (s.png ? " png" : " bits"));
    }
}

TEST(IcoAgainstImageMagick, CorpusEveryEntry)
{
    ASSERT_TRUE(test::ImageMagickAvailable());
    const auto files = test::CorpusFiles(".ico");
    ASSERT_GE(files.size(), 3u);
    for (const auto& path : files) {
        const Bytes file = test::ReadWholeFile(path);
        IconDirectory directory;
        ASSERT_TRUE(ReadIconDirectory(file, directory)) << path;
        for (size_t i = 0; i < directory.entries.size(); ++i) {
            const IconEntry& e = directory.entries[i];
            const std::string what = path.filename().string() + " entry " + std::to_string(i);
            ASSERT_EQ(PickBestEntry(directory, e.EntryWidth(), e.EntryHeight()), int(i + 1)) << what;
            const Decoded d = Decode(file, e.EntryWidth(), e.EntryHeight());
            ASSERT_EQ(d.result.verdict, ReadVerdict::Image) << what;
            DecodedImage reference;
            ASSERT_TRUE(test::ImageMagickDecode(file, "ico", int(i), reference)) << what;
            ExpectSamePixels(d.image, reference, what);
        }
    }
}

TEST(IcoAgainstImageMagick, SixteenBitColoursAsImageMagicksBitmapReaderGivesThem)
{
    // ImageMagick's icon reader refuses 16-bit images; its BMP reader reads
    // the same colour bits, and the AND mask decides the alpha.
    const IconImageSpec s{13, 7, 16, false, 9};
    const Bytes image = test::IconImage(s);
    const Decoded d = Decode(BuildIcon({s}), 13, 7);
    ASSERT_EQ(d.result.verdict, ReadVerdict::Image);
    const size_t rowBytes = 28, maskRow = 4;
    Bytes bmp{'B', 'M'};
    const uint32_t bits = 40 + rowBytes * 7;
    const uint32_t fileHeader[3] = {14 + bits, 0, 54};
    bmp.insert(bmp.end(), reinterpret_cast<const uint8_t*>(fileHeader),
               reinterpret_cast<const uint8_t*>(fileHeader) + 12);
    bmp.insert(bmp.end(), image.begin(), image.begin() + long(bits));
    bmp[14 + 8] = 7;  // the height of the colour bits alone
    DecodedImage colours;
    ASSERT_TRUE(test::ImageMagickDecode(bmp, "bmp", 0, colours));
    const uint8_t* mask = image.data() + bits;
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 13; ++x) {
            const bool clear = (mask[(6 - y) * maskRow + x / 8] >> (7 - x % 8)) & 1;
            EXPECT_EQ(Hex(d.image.At(x, y)), Hex(clear ? 0 : colours.At(x, y))) << x << "," << y;
        }
    }
}

TEST(IcoReader, PickBestEntry)
{
    const auto directory = [](std::initializer_list<std::array<int, 3>> entries) {
        IconDirectory d;
        d.type = 1;
        for (const auto& e : entries) {
            IconEntry entry;
            entry.width = uint8_t(e[0] == 256 ? 0 : e[0]);
            entry.height = uint8_t(e[1] == 256 ? 0 : e[1]);
            entry.bitCount = uint16_t(e[2]);
            d.entries.push_back(entry);
        }
        return d;
    };
    struct Case {
        const char* name;
        IconDirectory directory;
        int width, height, chosen;
    } cases[] = {
        {"24 asked, 16 and 32 offered: the larger", directory({{16, 16, 32}, {32, 32, 32}}), 24, 24, 2},
        {"exact size at 32 bits beats 8 bits", directory({{32, 32, 8}, {32, 32, 32}}), 32, 32, 2},
        {"of two identical entries the first", directory({{32, 32, 32}, {32, 32, 32}}), 32, 32, 1},
        {"equal scores: the lower-numbered", directory({{40, 40, 32}, {24, 24, 32}, {40, 40, 32}}), 32, 32,
         1},
        {"all smaller: the nearest, from the last", directory({{16, 16, 32}, {8, 8, 32}, {16, 16, 32}}), 48,
         48, 3},
        {"256 stored as 0", directory({{16, 16, 32}, {256, 256, 32}}), 256, 256, 2},
        {"one entry", directory({{16, 16, 4}}), 48, 48, 1},
        {"one entry without a bit count", directory({{16, 16, 0}}), 48, 48, 0},
        {"above 32 bits is never first choice", directory({{32, 32, 48}, {8, 8, 4}}), 32, 32, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PickBestEntry(c.directory, c.width, c.height), c.chosen) << c.name;
}

TEST(IcoReader, RequestedSizeBelowOneCountsAs32)
{
    const Bytes file = BuildIcon({{16, 16, 32, false, 1}, {32, 32, 32, false, 2}, {48, 48, 32, false, 3}});
    for (auto [w, h] : {std::pair{0, 0}, std::pair{-5, 0}, std::pair{32, 32}}) {
        const Decoded d = Decode(file, w, h);
        ASSERT_EQ(d.result.verdict, ReadVerdict::Image);
        EXPECT_EQ(d.image.width, 32);
    }
}

TEST(IcoReader, MaskAndAlphaRules)
{
    // A 4-bit icon whose mask marks one pixel.
    IconImageSpec s{8, 2, 4, false, 5};
    Bytes image = test::IconImage(s);
    const size_t maskAt = 40 + 64 + 4 * 2;
    std::memset(&image[maskAt], 0, 8);
    Decoded clear = Decode(test::BuildIconFromImages({s}, {image}), 8, 2);
    ASSERT_EQ(clear.result.verdict, ReadVerdict::Image);
    EXPECT_FALSE(clear.result.alpha);
    EXPECT_EQ(clear.result.imageType, ImageTypes::IconMask);
    image[maskAt + 4] = 0x20;  // top row (stored second), x = 2
    const Decoded one = Decode(test::BuildIconFromImages({s}, {image}), 8, 2);
    ASSERT_EQ(one.result.verdict, ReadVerdict::Image);
    EXPECT_TRUE(one.result.alpha);
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(one.image.At(x, 0) == 0, x == 2) << x;
        EXPECT_EQ(one.image.At(x, 1) >> 24, 255u) << x;
    }
    // A 32-bit pixel with straight alpha 128 over red 200: red 100.
    IconImageSpec t{1, 1, 32, false, 6};
    Bytes alpha = test::IconImage(t);
    const uint8_t pixel[4] = {0, 0, 200, 128};
    std::memcpy(&alpha[40], pixel, 4);
    for (int type : {1, 2}) {
        const Decoded d = Decode(test::BuildIconFromImages({t}, {alpha}, type), 1, 1);
        ASSERT_EQ(d.result.verdict, ReadVerdict::Image);
        EXPECT_EQ(Hex(d.image.At(0, 0)), Hex(0x80640000u));
        EXPECT_TRUE(d.result.alpha);
        EXPECT_EQ(d.result.imageType, type == 1 ? ImageTypes::IconAlpha : ImageTypes::CursorAlpha);
    }
    const Decoded cursor = Decode(BuildIcon({s}, 2), 8, 2);
    EXPECT_EQ(cursor.result.imageType, ImageTypes::CursorMask);
}

TEST(IcoReader, BitCountComesFromTheHeaderThenTheDirectory)
{
    // Header 4 bits, directory 8: the header wins.
    IconImageSpec s{4, 4, 4, false, 8};
    s.directoryBits = 8;
    EXPECT_EQ(Decode(BuildIcon({s}), 4, 4).result.verdict, ReadVerdict::Image);
    // Header 0, directory 4: the directory's, and the caller's bytes stay as they were.
    s.directoryBits = 4;
    s.headerBits = 0;
    const Bytes file = BuildIcon({s});
    const Bytes before = file;
    const Decoded d = Decode(file, 4, 4);
    EXPECT_EQ(d.result.verdict, ReadVerdict::Image);
    EXPECT_EQ(file, before);
    // Both 0: refused.
    s.directoryBits = 0;
    EXPECT_EQ(Decode(BuildIcon({{16, 16, 32, false, 1}, s}), 16, 16).result.verdict, ReadVerdict::NotMine);
}

TEST(IcoReader, UntrustedDirectoryIsRefused)
{
    const IconImageSpec good{16, 16, 8, false, 2};
    const IconImageSpec second{32, 32, 32, false, 3};
    const Bytes file = BuildIcon({good, second});
    ASSERT_EQ(Decode(file, 16, 16).result.verdict, ReadVerdict::Image);
    const auto patched = [&](size_t at, std::initializer_list<uint8_t> bytes) {
        Bytes f = file;
        std::copy(bytes.begin(), bytes.end(), f.begin() + long(at));
        return f;
    };
    const size_t entry2 = 6 + 16;
    const uint32_t image2 = uint32_t(file.size() - test::IconImage(second).size());
    struct Case {
        const char* name;
        Bytes file;
    } cases[] = {
        {"too short for the header", Bytes(file.begin(), file.begin() + 5)},
        {"no entries", patched(4, {0, 0})},
        {"negative count", patched(4, {0, 0x80})},
        {"reserved word set", patched(0, {1, 0})},
        {"type 3", patched(2, {3, 0})},
        {"directory past the data", patched(4, {200, 0})},
        {"sizes add up past the data", patched(6 + 8, {0xFF, 0xFF, 0, 0})},
        {"image offset past the data", patched(entry2 + 12, {0xF0, 0xFF, 0xFF, 0xFF})},
        {"image runs past the data",
         patched(entry2 + 12, {uint8_t(image2 + 8), uint8_t((image2 + 8) >> 8), 0, 0})},
        {"header size below 40", patched(image2, {39, 0, 0, 0})},
        {"header size past the entry", patched(image2, {0, 0, 1, 0})},
        {"colour bits past the entry", patched(image2 + 14, {0x40, 0})},
        {"entry too short for its image", patched(entry2 + 8, {40, 0, 0, 0})},
    };
    for (const Case& c : cases) {
        const Bytes before = c.file;
        EXPECT_EQ(Decode(c.file, 16, 16).result.verdict, ReadVerdict::NotMine) << c.name;
        EXPECT_EQ(c.file, before) << c.name;
    }
}

TEST(IcoReader, PngEntries)
{
    // A PNG image of fewer than 33 bytes is refused.
    Bytes tiny = test::IconImage({16, 16, 32, true, 1});
    tiny.resize(32);
    EXPECT_EQ(Decode(test::BuildIconFromImages({{16, 16, 32, true}}, {tiny}), 16, 16).result.verdict,
              ReadVerdict::NotMine);
    // Bytes at offset 14 that look like IHDR's but no PNG signature: refused.
    Bytes fake = test::IconImage({16, 16, 32, true, 1});
    fake[0] = 0;
    EXPECT_EQ(Decode(test::BuildIconFromImages({{16, 16, 32, true}}, {fake}), 16, 16).result.verdict,
              ReadVerdict::NotMine);
    // A PNG image the PNG reader cannot decode: taken, no image.
    Bytes broken = test::IconImage({16, 16, 32, true, 1});
    broken.resize(60);
    const Decoded d = Decode(test::BuildIconFromImages({{16, 16, 32, true}}, {broken}), 16, 16);
    EXPECT_EQ(d.result.verdict, ReadVerdict::NoImage);
    EXPECT_TRUE(d.image.Empty());
    // Its alpha is the PNG reader's.
    const Decoded png = Decode(BuildIcon({{20, 10, 32, true, 4}}), 20, 10);
    ASSERT_EQ(png.result.verdict, ReadVerdict::Image);
    EXPECT_TRUE(png.result.alpha);
    EXPECT_EQ(png.result.imageType, ImageTypes::PngInIcon);
}

TEST(IcoReader, ApplyIconMaskMarksClearedPixels)
{
    std::vector<uint32_t> pixels(33 * 2, 0x00123456);
    std::vector<uint8_t> mask(8 * 2, 0);
    EXPECT_FALSE(ApplyIconMask(reinterpret_cast<uint8_t*>(pixels.data()), 33, 2, mask.data()));
    EXPECT_EQ(pixels[0], 0xFF123456u);
    mask[8 + 4] = 0x80;  // second row, x = 32
    EXPECT_TRUE(ApplyIconMask(reinterpret_cast<uint8_t*>(pixels.data()), 33, 2, mask.data()));
    EXPECT_EQ(pixels[33 + 32], 0u);
    EXPECT_EQ(pixels[33 + 31], 0xFF123456u);
}

}  // namespace
}  // namespace quill::imaging
