// The PNG reader's own decoder: against libpng over every colour type,
// depth, interlace method, filter, palette and transparency case, with zlib
// and with the own inflater; and the reader's rules for damaged, odd and
// hostile files, each on a file made to show it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "imaging/PngReader.h"
#include "imaging/PngScanlines.h"
#include "tests/imaging/Corpus.h"
#include "tests/imaging/LinkedZlib.h"
#include "tests/imaging/PngBuild.h"
#include "tests/imaging/PixelExpectations.h"
#include "tests/imaging/References.h"

namespace quill::imaging {
namespace {

using test::BuildPngFromChunks;
using test::Bytes;
using test::ExpectSamePixels;
using test::Hex;
using test::IhdrData;
using test::PngChunk;
using test::ZlibCompress;

struct Decoded {
    ReadResult result;
    DecodedImage image;
    bool Image() const { return result.verdict == ReadVerdict::Image; }
};

Decoded Decode(const Bytes& png, bool withZlib)
{
    test::LinkedZlib zlib;
    Decoded d;
    d.result = DecodePng(png, withZlib ? &zlib : nullptr, d.image);
    return d;
}

TEST(PngAgainstLibpng, EveryColourTypeDepthInterlaceFilterAndTransparency)
{
    int compared = 0;
    for (const test::PngSpec& spec : test::PngMatrix()) {
        const Bytes png = test::BuildPng(spec);
        DecodedImage reference;
        ASSERT_TRUE(test::LibpngDecode(png, reference)) << Describe(spec);
        for (bool withZlib : {true, false}) {
            const Decoded d = Decode(png, withZlib);
            const std::string what = Describe(spec) + (withZlib ? " zlib" : " own inflater");
            ASSERT_TRUE(d.Image()) << what;
            EXPECT_EQ(d.result.imageType, ImageTypes::Png) << what;
            const bool alpha = spec.colourType == 4 || spec.colourType == 6 ||
                               (spec.colourType == 0 && spec.trns.size() >= 2) ||
                               (spec.colourType == 2 && spec.trns.size() >= 6) ||
                               (spec.colourType == 3 && !spec.trns.empty());
            EXPECT_EQ(d.result.alpha, alpha) << what;
            ExpectSamePixels(d.image, reference, what);
            ++compared;
        }
    }
    EXPECT_GT(compared, 500);
}

TEST(PngAgainstLibpng, CorpusMadeByImageMagick)
{
    const auto files = test::CorpusFiles(".png");
    ASSERT_GE(files.size(), 20u);
    for (const auto& path : files) {
        const Bytes png = test::ReadWholeFile(path);
        DecodedImage reference;
        ASSERT_TRUE(test::LibpngDecode(png, reference)) << path;
        for (bool withZlib : {true, false}) {
            const Decoded d = Decode(png, withZlib);
            ASSERT_TRUE(d.Image()) << path;
            ExpectSamePixels(d.image, reference,
                             path.filename().string() + (withZlib ? " zlib" : " own inflater"));
        }
    }
}

// A file with its chunks put together by hand: IHDR, the optional chunks,
// the image data of `raw` (filtered scanlines) and IEND.
Bytes Png(const Bytes& ihdr, const Bytes& raw, std::vector<Bytes> before = {})
{
    std::vector<Bytes> chunks{PngChunk("IHDR", ihdr)};
    chunks.insert(chunks.end(), before.begin(), before.end());
    chunks.push_back(PngChunk("IDAT", ZlibCompress(raw)));
    chunks.push_back(PngChunk("IEND", {}));
    return BuildPngFromChunks(chunks);
}

// One row of filter type 0 per entry of `rows`.
Bytes Rows(std::initializer_list<Bytes> rows)
{
    Bytes raw;
    for (const Bytes& r : rows) {
        raw.push_back(0);
        raw.insert(raw.end(), r.begin(), r.end());
    }
    return raw;
}

constexpr uint32_t Opaque(uint8_t r, uint8_t g, uint8_t b)
{
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

TEST(PngReader, SignatureDecidesWhetherTheDataIsTaken)
{
    const Bytes signature = test::PngSignatureBytes();
    EXPECT_TRUE(HasPngSignature(signature));
    EXPECT_FALSE(HasPngSignature(Bytes(signature.begin(), signature.end() - 1)));
    Bytes garbage = signature;
    garbage.insert(garbage.end(), 100, 0xAB);
    for (bool withZlib : {true, false}) {
        EXPECT_EQ(Decode(garbage, withZlib).result.verdict, ReadVerdict::NoImage);
        EXPECT_EQ(Decode(signature, withZlib).result.verdict, ReadVerdict::NoImage);
        Bytes notPng = garbage;
        notPng[1] = 'p';
        EXPECT_EQ(Decode(notPng, withZlib).result.verdict, ReadVerdict::NotMine);
        EXPECT_EQ(Decode(Bytes(signature.begin(), signature.begin() + 7), withZlib).result.verdict,
                  ReadVerdict::NotMine);
        EXPECT_EQ(Decode({}, withZlib).result.verdict, ReadVerdict::NotMine);
    }
}

TEST(PngReader, RefusedHeadersGiveNoImage)
{
    const Bytes row = Rows({{1, 2, 3}});
    struct Case {
        const char* name;
        Bytes ihdr;
    } cases[] = {
        {"interlace method 2", IhdrData(1, 1, 8, 2, 2)},
        {"compression method 1", IhdrData(1, 1, 8, 2, 0, 1)},
        {"filter method 1", IhdrData(1, 1, 8, 2, 0, 0, 1)},
        {"bit depth 3", IhdrData(1, 1, 3, 0)},
        {"colour type 1", IhdrData(1, 1, 8, 1)},
        {"colour type 7", IhdrData(1, 1, 8, 7)},
        {"width 0", IhdrData(0, 1, 8, 2)},
        {"height 0", IhdrData(1, 0, 8, 2)},
        {"width beyond 31 bits", IhdrData(0x80000000u, 1, 8, 2)},
        {"more than 64 megapixels", IhdrData(8193, 8192, 8, 2)},
        {"RGB at depth 4", IhdrData(1, 1, 4, 2)},
        {"RGB at depth 1", IhdrData(1, 1, 1, 2)},
        {"grey and alpha at depth 2", IhdrData(1, 1, 2, 4)},
        {"RGBA at depth 4", IhdrData(1, 1, 4, 6)},
        {"palette at depth 16", IhdrData(1, 1, 16, 3)},
        {"IHDR of 12 bytes",
         [] {
             Bytes d = IhdrData(1, 1, 8, 2);
             d.pop_back();
             return d;
         }()},
    };
    for (const Case& c : cases) {
        for (bool withZlib : {true, false}) {
            const Decoded d = Decode(Png(c.ihdr, row), withZlib);
            EXPECT_EQ(d.result.verdict, ReadVerdict::NoImage) << c.name;
            EXPECT_TRUE(d.image.Empty()) << c.name;
        }
    }
    EXPECT_TRUE(Decode(Png(IhdrData(1, 1, 8, 2), row), false).Image());
}

TEST(PngReader, CrcsAreCheckedOnlyWithZlib)
{
    const Bytes ihdr = IhdrData(2, 1, 8, 2);
    const Bytes raw = Rows({{255, 0, 0, 10, 20, 30}});
    const Bytes trns{0, 255, 0, 0, 0, 0};
    const Bytes good = Png(ihdr, raw, {PngChunk("tRNS", trns)});
    // Which chunk's CRC is damaged: offsets of IHDR, tRNS and IDAT CRCs.
    const auto damage = [&](const char* type) {
        Bytes png = good;
        for (size_t at = 8; at + 12 <= png.size();) {
            const uint32_t length = (png[at] << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
            if (std::memcmp(&png[at + 4], type, 4) == 0)
                png[at + 8 + length + 3] ^= 1;
            at += length + 12;
        }
        return png;
    };
    for (const char* type : {"IHDR", "IDAT"}) {
        EXPECT_TRUE(Decode(damage(type), false).Image()) << type;
        EXPECT_EQ(Decode(damage(type), true).result.verdict, ReadVerdict::NoImage) << type;
    }
    // A damaged tRNS is ignored with zlib: the red pixel stays opaque.
    const Decoded withZlib = Decode(damage("tRNS"), true);
    ASSERT_TRUE(withZlib.Image());
    EXPECT_EQ(withZlib.image.At(0, 0), Opaque(255, 0, 0));
    EXPECT_FALSE(withZlib.result.alpha);
    const Decoded without = Decode(damage("tRNS"), false);
    ASSERT_TRUE(without.Image());
    EXPECT_EQ(without.image.At(0, 0), 0u);
    EXPECT_TRUE(without.result.alpha);
    // A stored CRC of 0 is never checked.
    Bytes zeroCrc = good;
    const size_t ihdrCrc = 8 + 8 + 13;
    std::memset(&zeroCrc[ihdrCrc], 0, 4);
    EXPECT_TRUE(Decode(zeroCrc, true).Image());
}

// A zlib that computes every CRC as 0: a stored CRC never matches it.
class ZeroCrcZlib final : public ZlibBinding {
public:
    uint32_t Crc32(const uint8_t*, size_t) override { return 0; }
    std::unique_ptr<ZlibStream> InflateInit() override { return nullptr; }
};

// A zlib whose inflate hands over `rubbish` bytes of rubbish and then fails.
class FailingZlib final : public ZlibBinding {
public:
    explicit FailingZlib(size_t rubbish) : rubbish_(rubbish) {}
    uint32_t Crc32(const uint8_t* data, size_t size) override { return linked_.Crc32(data, size); }
    std::unique_ptr<ZlibStream> InflateInit() override
    {
        ++calls;
        return std::make_unique<Stream>(rubbish_);
    }
    int calls = 0;

private:
    struct Stream final : ZlibStream {
        explicit Stream(size_t rubbish) : left(rubbish) {}
        ZlibStep Inflate(std::span<const uint8_t> input, std::span<uint8_t> output, size_t& consumed,
                         size_t& produced) override
        {
            consumed = input.size();
            produced = std::min(left, output.size());
            std::memset(output.data(), 0x5A, produced);
            left -= produced;
            return produced ? ZlibStep::Progress : ZlibStep::Fail;
        }
        size_t left;
    };
    size_t rubbish_;
    test::LinkedZlib linked_;
};

TEST(PngReader, ComputedCrcOfZeroNeverMatches)
{
    ZeroCrcZlib zlib;
    DecodedImage image;
    const Bytes png = Png(IhdrData(1, 1, 8, 2), Rows({{1, 2, 3}}));
    EXPECT_EQ(DecodePng(png, &zlib, image).verdict, ReadVerdict::NoImage);
}

TEST(PngReader, FailedZlibInflateLeavesNothingBehindForTheOwnInflater)
{
    test::PngSpec spec;
    spec.width = 17;
    spec.height = 9;
    spec.colourType = 6;
    spec.filter = 1;  // Sub: any rubbish left in the rows would show
    const Bytes png = test::BuildPng(spec);
    FailingZlib zlib(300);  // about half the picture's rows
    DecodedImage image;
    ASSERT_EQ(DecodePng(png, &zlib, image).verdict, ReadVerdict::Image);
    EXPECT_EQ(zlib.calls, 1);
    DecodedImage reference;
    ASSERT_TRUE(test::LibpngDecode(png, reference));
    ExpectSamePixels(image, reference, "after a failed inflate");
    // The same when the stream is shorter than the picture: the rest is zero.
    const Bytes shortRaw = Rows({{1, 2, 3, 4}});
    FailingZlib within(4);  // less than a row
    DecodedImage partial;
    ASSERT_EQ(DecodePng(Png(IhdrData(1, 3, 8, 6), shortRaw), &within, partial).verdict, ReadVerdict::Image);
    EXPECT_EQ(partial.At(0, 0), test::PremultipliedPixel(1, 2, 3, 4));
    EXPECT_EQ(partial.At(0, 1), 0u);
    EXPECT_EQ(partial.At(0, 2), 0u);
}

TEST(PngReader, PaletteAndTransparencyChunks)
{
    const Bytes plte{10, 20, 30, 40, 50, 60, 70, 80, 90};
    const Bytes indices = Rows({{0, 1, 2}});
    // A PLTE whose length is not a multiple of 3 refuses a palette image.
    EXPECT_EQ(
        Decode(Png(IhdrData(3, 1, 8, 3), indices, {PngChunk("PLTE", Bytes(10, 1))}), false).result.verdict,
        ReadVerdict::NoImage);
    // In a grey image it is not read at all.
    const Decoded grey = Decode(Png(IhdrData(3, 1, 8, 0), indices, {PngChunk("PLTE", Bytes(10, 1))}), false);
    ASSERT_TRUE(grey.Image());
    EXPECT_EQ(grey.image.At(2, 0), Opaque(2, 2, 2));
    // Two palette alphas: entries 0 and 1 take them, the others stay opaque.
    const Decoded alphas = Decode(
        Png(IhdrData(3, 1, 8, 3), indices, {PngChunk("PLTE", plte), PngChunk("tRNS", {0, 128})}), false);
    ASSERT_TRUE(alphas.Image());
    EXPECT_TRUE(alphas.result.alpha);
    EXPECT_EQ(alphas.image.At(0, 0), 0u);
    EXPECT_EQ(alphas.image.At(1, 0), test::PremultipliedPixel(40, 50, 60, 128));
    EXPECT_EQ(alphas.image.At(2, 0), Opaque(70, 80, 90));
    // tRNS in an RGBA image is ignored; one byte of tRNS in a grey image gives no key.
    const Decoded rgba = Decode(
        Png(IhdrData(1, 1, 8, 6), Rows({{9, 9, 9, 255}}), {PngChunk("tRNS", {0, 9, 0, 9, 0, 9})}), false);
    ASSERT_TRUE(rgba.Image());
    EXPECT_EQ(rgba.image.At(0, 0), Opaque(9, 9, 9));
    const Decoded shortKey = Decode(Png(IhdrData(1, 1, 8, 0), Rows({{0}}), {PngChunk("tRNS", {0})}), false);
    ASSERT_TRUE(shortKey.Image());
    EXPECT_FALSE(shortKey.result.alpha);
    EXPECT_EQ(shortKey.image.At(0, 0), Opaque(0, 0, 0));
    // A palette image whose pixels refer past the palette gives no image.
    EXPECT_EQ(Decode(Png(IhdrData(1, 1, 8, 3), Rows({{20}}), {PngChunk("PLTE", Bytes(48, 7))}), false)
                  .result.verdict,
              ReadVerdict::NoImage);
}

TEST(PngReader, ImageDataSplitByOtherChunksIsJoined)
{
    test::PngSpec spec;
    spec.width = 30;
    spec.height = 20;
    spec.idatChunks = 4;
    const Decoded joined = Decode(test::BuildPng(spec), false);
    spec.textBetweenIdat = true;
    const Decoded split = Decode(test::BuildPng(spec), false);
    ASSERT_TRUE(joined.Image());
    ASSERT_TRUE(split.Image());
    ExpectSamePixels(split.image, joined.image, "text chunks between the image data");
}

TEST(PngReader, ChunkStructure)
{
    const Bytes ihdr = PngChunk("IHDR", IhdrData(1, 1, 8, 2));
    const Bytes idat = PngChunk("IDAT", ZlibCompress(Rows({{7, 8, 9}})));
    const Bytes iend = PngChunk("IEND", {});
    struct Case {
        const char* name;
        std::vector<Bytes> chunks;
        bool image;
    } cases[] = {
        {"plain", {ihdr, idat, iend}, true},
        {"empty unknown chunk and data after IEND",
         {ihdr, PngChunk("zzZz", {}), idat, iend, Bytes(40, 0xEE)},
         true},
        {"IEND with data ends the walk", {ihdr, idat, PngChunk("IEND", {1, 2})}, true},
        {"no IEND", {ihdr, idat}, false},
        {"no IDAT", {ihdr, iend}, false},
        {"no IHDR", {idat, iend}, false},
        {"empty IDAT only", {ihdr, PngChunk("IDAT", {}), iend}, false},
        {"IDAT before IHDR", {idat, ihdr, iend}, true},
        {"chunk running past the data", {ihdr, idat, Bytes{0, 0, 1, 0, 't', 'E', 'X', 't', 1, 2}}, false},
        {"length with the top bit set",
         {ihdr, idat, Bytes{0x80, 0, 0, 0, 't', 'E', 'X', 't', 0, 0, 0, 0}, iend},
         false},
    };
    for (const Case& c : cases) {
        for (bool withZlib : {true, false}) {
            const Decoded d = Decode(BuildPngFromChunks(c.chunks), withZlib);
            EXPECT_EQ(d.result.verdict, c.image ? ReadVerdict::Image : ReadVerdict::NoImage) << c.name;
            if (c.image)
                EXPECT_EQ(d.image.At(0, 0), Opaque(7, 8, 9)) << c.name;
        }
    }
}

// Counts what the reader asks for: a bomb must be refused before.
struct CountingTarget final : PixelTarget {
    uint8_t* Allocate(int w, int h) override
    {
        ++allocations;
        return image.Allocate(w, h);
    }
    void Discard() override { image.Discard(); }
    void Finish(bool alpha, int type) override { image.Finish(alpha, type); }
    int allocations = 0;
    DecodedImage image;
};

TEST(PngReader, DecompressionBombIsRefusedBeforeAllocating)
{
    // 8000 x 8000 RGBA (256 MB of pixels) from a few hundred bytes.
    const Bytes tiny = ZlibCompress(Bytes(1000, 0), 9);
    const Bytes bomb = BuildPngFromChunks(
        {PngChunk("IHDR", IhdrData(8000, 8000, 8, 6)), PngChunk("IDAT", tiny), PngChunk("IEND", {})});
    for (bool withZlib : {true, false}) {
        test::LinkedZlib zlib;
        CountingTarget target;
        EXPECT_EQ(DecodePng(bomb, withZlib ? &zlib : nullptr, target).verdict, ReadVerdict::NoImage);
        EXPECT_EQ(target.allocations, 0);
    }
    // Data that can inflate to the whole picture is decoded even when it
    // stops short: the rest reads as zero.
    const Bytes enough = ZlibCompress(Bytes(401 * 10, 0), 0);  // stored: 10 rows of 100
    ASSERT_LE(FilteredDataSize({100, 100, 8, 6, 0}), enough.size() * 1032);
    CountingTarget target;
    EXPECT_EQ(DecodePng(BuildPngFromChunks({PngChunk("IHDR", IhdrData(100, 100, 8, 6)),
                                            PngChunk("IDAT", enough), PngChunk("IEND", {})}),
                        nullptr, target)
                  .verdict,
              ReadVerdict::Image);
}

TEST(PngScanlines, GreyAndPaletteDepths)
{
    struct Case {
        const char* name;
        Bytes ihdr;
        Bytes row;
        std::vector<uint32_t> expected;
        std::vector<Bytes> chunks;
    } cases[] = {
        {"1-bit grey",
         IhdrData(3, 1, 1, 0),
         {0b01000000},
         {Opaque(0, 0, 0), Opaque(255, 255, 255), Opaque(0, 0, 0)},
         {}},
        {"2-bit grey",
         IhdrData(4, 1, 2, 0),
         {0b00011011},
         {Opaque(0, 0, 0), Opaque(85, 85, 85), Opaque(170, 170, 170), Opaque(255, 255, 255)},
         {}},
        {"4-bit grey", IhdrData(2, 1, 4, 0), {0x1F}, {Opaque(17, 17, 17), Opaque(255, 255, 255)}, {}},
        {"4-bit palette without PLTE", IhdrData(2, 1, 4, 3), {0x5A}, {Opaque(0, 0, 0), Opaque(0, 0, 0)}, {}},
        {"1-bit palette without PLTE",
         IhdrData(2, 1, 1, 3),
         {0b01000000},
         {Opaque(0, 0, 0), Opaque(255, 255, 255)},
         {}},
        {"8-bit grey with tRNS 0",
         IhdrData(2, 1, 8, 0),
         {0, 1},
         {0, Opaque(1, 1, 1)},
         {PngChunk("tRNS", {0, 0})}},
        {"RGB with tRNS red",
         IhdrData(2, 1, 8, 2),
         {255, 0, 0, 255, 0, 1},
         {0, Opaque(255, 0, 1)},
         {PngChunk("tRNS", {0, 255, 0, 0, 0, 0})}},
        {"RGBA premultiplied", IhdrData(1, 1, 8, 6), {200, 100, 50, 128}, {0x80643219u}, {}},
        {"16-bit RGBA keeps high bytes",
         IhdrData(1, 1, 16, 6),
         {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xFF, 0xFF},
         {Opaque(0x12, 0x56, 0x9A)},
         {}},
        // Known difference from libpng: a 16-bit tRNS colour is compared by
        // its high bytes only, so this pixel is transparent although its low
        // bytes differ from the colour's.
        {"16-bit RGB tRNS compares high bytes",
         IhdrData(1, 1, 16, 2),
         {0x12, 0x00, 0x34, 0xFF, 0x56, 0x11},
         {0},
         {PngChunk("tRNS", {0x12, 0xFF, 0x34, 0x00, 0x56, 0x00})}},
        {"16-bit grey tRNS compares high bytes",
         IhdrData(1, 1, 16, 0),
         {0xAB, 0x01},
         {0},
         {PngChunk("tRNS", {0xAB, 0xFE})}},
        // A second, shorter tRNS chunk sets no key of its own: the first key
        // stays, and the pixels are compared with the second chunk's bytes;
        // a byte the chunk lacks matches no sample.
        {"16-bit grey, second tRNS of one byte",
         IhdrData(2, 1, 16, 0),
         {0x05, 0x77, 0xAB, 0x00},
         {0, Opaque(0xAB, 0xAB, 0xAB)},
         {PngChunk("tRNS", {0xAB, 0x00}), PngChunk("tRNS", {0x05})}},
        {"16-bit RGB, second tRNS of five bytes",
         IhdrData(2, 1, 16, 2),
         {0x10, 0x01, 0x20, 0x02, 0x30, 0x03, 0x12, 0x00, 0x34, 0x00, 0x56, 0x00},
         {0, Opaque(0x12, 0x34, 0x56)},
         {PngChunk("tRNS", {0x12, 0x00, 0x34, 0x00, 0x56, 0x00}),
          PngChunk("tRNS", {0x10, 0, 0x20, 0, 0x30})}},
        {"16-bit RGB, second tRNS without blue",
         IhdrData(2, 1, 16, 2),
         {0x10, 0x00, 0x20, 0x00, 0x00, 0x00, 0x12, 0x00, 0x34, 0x00, 0x56, 0x00},
         {Opaque(0x10, 0x20, 0x00), Opaque(0x12, 0x34, 0x56)},
         {PngChunk("tRNS", {0x12, 0x00, 0x34, 0x00, 0x56, 0x00}), PngChunk("tRNS", {0x10, 0, 0x20, 0})}},
    };
    for (const Case& c : cases) {
        const Decoded d = Decode(Png(c.ihdr, Rows({c.row}), c.chunks), false);
        ASSERT_TRUE(d.Image()) << c.name;
        for (size_t x = 0; x < c.expected.size(); ++x)
            EXPECT_EQ(Hex(d.image.At(int(x), 0)), Hex(c.expected[x])) << c.name << " pixel " << x;
    }
}

TEST(PngScanlines, EveryFilterAtEveryPixelSize)
{
    // The filters run a whole pixel at a time, two Paeth rows of a pass
    // together (next to each other or with an Up or stored row between)
    // where all have come: every pixel size from 1 to 8 bytes (and below a
    // byte), every filter type and two mixes of them, each interlace method,
    // at sizes that leave a pixel, a row and a pass over; the data handed
    // over as it inflates and, never together, a byte at a time.
    struct TypeDepth {
        uint8_t type, depth;
    };
    const TypeDepth kinds[] = {{0, 2}, {0, 8}, {4, 8}, {0, 16}, {2, 8}, {6, 8}, {4, 16}, {2, 16}, {6, 16}};
    const int sizes[][2] = {{1, 1}, {3, 2}, {5, 7}, {33, 9}};
    int compared = 0;
    for (const TypeDepth& kind : kinds)
        for (uint8_t filter = 0; filter <= 6; ++filter)
            for (uint8_t interlace : {0, 1})
                for (const auto& size : sizes) {
                    test::PngSpec spec;
                    spec.colourType = kind.type;
                    spec.depth = kind.depth;
                    spec.filter = filter;
                    spec.interlace = interlace;
                    spec.width = size[0];
                    spec.height = size[1];
                    spec.seed = uint32_t(++compared);
                    const Bytes png = test::BuildPng(spec);
                    DecodedImage reference;
                    ASSERT_TRUE(test::LibpngDecode(png, reference)) << Describe(spec);
                    for (bool withZlib : {false, true}) {
                        const Decoded d = Decode(png, withZlib);
                        ASSERT_TRUE(d.Image()) << Describe(spec);
                        ExpectSamePixels(d.image, reference, Describe(spec) + (withZlib ? " zlib" : ""));
                    }
                    const PngHeader header{spec.width, spec.height, spec.depth, spec.colourType,
                                           spec.interlace};
                    PngColours colours;
                    BuildGrayPalette(header, colours);
                    const Bytes filtered = test::FilterScanlines(spec, test::MakeRawScanlines(spec));
                    DecodedImage bytewise;
                    bytewise.Allocate(spec.width, spec.height);
                    ScanlineDecoder decoder(header, colours,
                                            reinterpret_cast<uint8_t*>(bytewise.pixels.data()));
                    for (const uint8_t& b : filtered)
                        ASSERT_TRUE(decoder.Take({&b, 1})) << Describe(spec);
                    ASSERT_TRUE(decoder.Finish()) << Describe(spec);
                    ExpectSamePixels(bytewise, reference, Describe(spec) + " byte by byte");
                }
    EXPECT_EQ(compared, 9 * 7 * 2 * 4);
}

TEST(PngScanlines, PremultipliesEveryColourAtEveryAlpha)
{
    // 256 x 256 RGBA: row y has alpha y, and every colour byte value at it;
    // the rows filtered with every filter type in turn.
    Bytes raw;
    for (int y = 0; y < 256; ++y) {
        raw.push_back(0);
        for (int x = 0; x < 256; ++x) {
            const uint8_t pixel[4] = {uint8_t(x), uint8_t(255 - x), uint8_t(x * 7), uint8_t(y)};
            raw.insert(raw.end(), pixel, pixel + 4);
        }
    }
    test::PngSpec spec;
    spec.width = 256;
    spec.height = 256;
    spec.filter = 5;
    const Bytes png = Png(IhdrData(256, 256, 8, 6), test::FilterScanlines(spec, raw));
    for (bool withZlib : {false, true}) {
        const Decoded d = Decode(png, withZlib);
        ASSERT_TRUE(d.Image());
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                ASSERT_EQ(Hex(d.image.At(x, y)), Hex(test::PremultipliedPixel(uint8_t(x), uint8_t(255 - x),
                                                                              uint8_t(x * 7), uint8_t(y))))
                    << x << "," << y;
    }
}

TEST(PngScanlines, UnknownFilterTypes)
{
    // Non-interlaced: the row is used as stored.
    Bytes raw = Rows({{1, 2, 3}, {4, 5, 6}});
    raw[4] = 5;
    const Decoded plain = Decode(Png(IhdrData(1, 2, 8, 2), raw), false);
    ASSERT_TRUE(plain.Image());
    EXPECT_EQ(plain.image.At(0, 1), Opaque(4, 5, 6));
    // Interlaced: no image.
    Bytes passes = Rows({{1, 2, 3}});
    passes[0] = 5;
    EXPECT_EQ(Decode(Png(IhdrData(1, 1, 8, 2, 1), passes), false).result.verdict, ReadVerdict::NoImage);
}

TEST(PngScanlines, SmallInterlacedImages)
{
    // 1 x 1: only pass 1 has a pixel; passes 2 to 7 take no bytes.
    EXPECT_EQ(FilteredDataSize({1, 1, 8, 2, 1}), 4u);
    const Decoded one = Decode(Png(IhdrData(1, 1, 8, 2, 1), Rows({{5, 6, 7}})), false);
    ASSERT_TRUE(one.Image());
    EXPECT_EQ(one.image.At(0, 0), Opaque(5, 6, 7));
    // 2 wide, 3 high: passes 1, 5, 6 and 7, pass 6 holding more bytes (two
    // rows of one pixel) than pass 7 (one row of two).
    const Bytes raw = Rows({{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}, {5, 5, 5, 6, 6, 6}});
    ASSERT_EQ(FilteredDataSize({2, 3, 8, 2, 1}), raw.size());
    const Decoded small = Decode(Png(IhdrData(2, 3, 8, 2, 1), raw), false);
    ASSERT_TRUE(small.Image());
    const uint8_t expected[3][2] = {{1, 3}, {5, 6}, {2, 4}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 2; ++x) {
            const uint8_t v = expected[y][x];
            EXPECT_EQ(small.image.At(x, y), Opaque(v, v, v)) << x << "," << y;
        }
}

// The file with its image data joined and cut again into IDAT chunks at the
// given offsets (ascending), where its first IDAT chunk was.
Bytes Rechunk(const Bytes& png, const std::vector<size_t>& cuts)
{
    std::vector<Bytes> before, after;
    Bytes z;
    for (size_t at = 8; at + 12 <= png.size();) {
        const uint32_t len = (png[at] << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
        const std::string type(png.begin() + long(at) + 4, png.begin() + long(at) + 8);
        const Bytes data(png.begin() + long(at) + 8, png.begin() + long(at + 8 + len));
        if (type == "IDAT")
            z.insert(z.end(), data.begin(), data.end());
        else
            (z.empty() ? before : after).push_back(PngChunk(type.c_str(), data));
        at += len + 12;
    }
    size_t from = 0;
    for (size_t cut : cuts) {
        before.push_back(PngChunk("IDAT", Bytes(z.begin() + long(from), z.begin() + long(cut))));
        from = cut;
    }
    before.push_back(PngChunk("IDAT", Bytes(z.begin() + long(from), z.end())));
    before.insert(before.end(), after.begin(), after.end());
    return BuildPngFromChunks(before);
}

size_t ImageDataSize(const Bytes& png)
{
    size_t size = 0;
    for (size_t at = 8; at + 12 <= png.size();) {
        const uint32_t len = (png[at] << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
        if (std::memcmp(&png[at + 4], "IDAT", 4) == 0)
            size += len;
        at += len + 12;
    }
    return size;
}

// The linked zlib, noting the largest input and output each call of inflate
// is handed and how the streams end.
class WatchedZlib final : public ZlibBinding {
public:
    uint32_t Crc32(const uint8_t* data, size_t size) override { return linked_.Crc32(data, size); }
    std::unique_ptr<ZlibStream> InflateInit() override
    {
        ++streams;
        return std::make_unique<Stream>(*this, linked_.InflateInit());
    }
    int streams = 0, ends = 0, failures = 0;
    size_t largestInput = 0, largestOutput = 0;

private:
    struct Stream final : ZlibStream {
        Stream(WatchedZlib& w, std::unique_ptr<ZlibStream> s) : watch(w), linked(std::move(s)) {}
        ZlibStep Inflate(std::span<const uint8_t> input, std::span<uint8_t> output, size_t& consumed,
                         size_t& produced) override
        {
            watch.largestInput = std::max(watch.largestInput, input.size());
            watch.largestOutput = std::max(watch.largestOutput, output.size());
            const ZlibStep step = linked->Inflate(input, output, consumed, produced);
            watch.ends += step == ZlibStep::End;
            watch.failures += step == ZlibStep::Fail;
            return step;
        }
        WatchedZlib& watch;
        std::unique_ptr<ZlibStream> linked;
    };
    test::LinkedZlib linked_;
};

TEST(PngReader, ZlibInflatesTheImageDataWhereItLies)
{
    // 300 x 200 RGBA: 240 KB of filtered rows in IDAT chunks of 2000 bytes.
    test::PngSpec spec;
    spec.width = 300;
    spec.height = 200;
    spec.level = 1;
    const Bytes built = test::BuildPng(spec);
    const size_t size = ImageDataSize(built);
    std::vector<size_t> cuts;
    for (size_t at = 2000; at < size; at += 2000)
        cuts.push_back(at);
    const Bytes png = Rechunk(built, cuts);
    WatchedZlib zlib;
    DecodedImage image;
    ASSERT_EQ(DecodePng(png, &zlib, image).verdict, ReadVerdict::Image);
    DecodedImage reference;
    ASSERT_TRUE(test::LibpngDecode(png, reference));
    ExpectSamePixels(image, reference, "inflated by zlib chunk by chunk");
    // zlib did the work, in one stream, never holding the joined data or the
    // whole of the rows.
    EXPECT_EQ(zlib.streams, 1);
    EXPECT_EQ(zlib.ends, 1);
    EXPECT_EQ(zlib.failures, 0);
    EXPECT_LE(zlib.largestInput, 2000u);
    EXPECT_LE(zlib.largestOutput, 32768u);
    EXPECT_GT(FilteredDataSize({300, 200, 8, 6, 0}), 200000u);
}

TEST(PngReader, ImageDataCutAtEveryPointDecodesAlike)
{
    // Rows of every filter type, Adam7 passes of sub-byte pixels, 16-bit
    // samples, stored and compressed zlib blocks.
    std::vector<test::PngSpec> specs(5);
    specs[0].width = 9, specs[0].height = 7, specs[0].colourType = 2, specs[0].filter = 5;
    specs[1].width = 11, specs[1].height = 10, specs[1].colourType = 3, specs[1].depth = 2,
    specs[1].interlace = 1, specs[1].paletteEntries = 4;
    specs[2].width = 5, specs[2].height = 6, specs[2].depth = 16, specs[2].interlace = 1;
    specs[3].width = 13, specs[3].height = 4, specs[3].colourType = 4, specs[3].level = 0;
    specs[4].width = 3, specs[4].height = 40, specs[4].colourType = 0, specs[4].depth = 1, specs[4].level = 1;
    for (const test::PngSpec& spec : specs) {
        const Bytes png = test::BuildPng(spec);
        DecodedImage reference;
        ASSERT_TRUE(test::LibpngDecode(png, reference)) << Describe(spec);
        const size_t size = ImageDataSize(png);
        std::vector<size_t> ones;
        for (size_t i = 1; i < size; ++i)
            ones.push_back(i);
        std::vector<std::vector<size_t>> cutsList{ones};
        for (size_t i = 0; i <= size; ++i)
            cutsList.push_back({i});
        for (const auto& cuts : cutsList) {
            const std::string what = Describe(spec) + " cut at " +
                                     std::to_string(cuts.empty() ? 0 : cuts[0]) +
                                     (cuts.size() > 1 ? " into bytes" : "");
            for (bool withZlib : {false, true}) {
                const Decoded d = Decode(Rechunk(png, cuts), withZlib);
                ASSERT_TRUE(d.Image()) << what;
                ExpectSamePixels(d.image, reference, what);
            }
        }
    }
}

TEST(PngScanlines, RowsArePaintedAsTheirDataArrives)
{
    // 2 x 3 RGB, filters Sub, Up and Paeth: each row is written once its last
    // byte is taken, from bytes handed over in runs of any length.
    const Bytes raw = Rows({{10, 20, 30, 1, 1, 1}, {5, 5, 5, 6, 6, 6}, {1, 2, 3, 4, 5, 6}});
    Bytes filtered = raw;
    filtered[0] = 1, filtered[7] = 2, filtered[14] = 4;
    const PngHeader header{2, 3, 8, 2, 0};
    PngColours colours;
    for (size_t run : {size_t(1), size_t(2), size_t(7), size_t(8), size_t(21)}) {
        std::vector<uint32_t> pixels(6, 0);
        ScanlineDecoder decoder(header, colours, reinterpret_cast<uint8_t*>(pixels.data()));
        for (size_t at = 0; at < filtered.size(); at += run) {
            const size_t n = std::min(run, filtered.size() - at);
            ASSERT_TRUE(decoder.Take({filtered.data() + at, n}));
            const size_t rowsDone = (at + n) / 7;
            // Rows are bottom-up: picture row y is memory row 2 - y.
            for (size_t y = 0; y < 3; ++y)
                EXPECT_EQ(pixels[(2 - y) * 2] != 0, y < rowsDone) << run << " " << at << " row " << y;
        }
        ASSERT_TRUE(decoder.Finish());
        EXPECT_EQ(pixels[4], Opaque(10, 20, 30)) << run;
        EXPECT_EQ(pixels[5], Opaque(11, 21, 31)) << run;
        EXPECT_EQ(pixels[2], Opaque(15, 25, 35)) << run;
        EXPECT_EQ(pixels[3], Opaque(17, 27, 37)) << run;
        EXPECT_EQ(pixels[0], Opaque(16, 27, 38)) << run;
        EXPECT_EQ(pixels[1], Opaque(21, 32, 44)) << run;
        EXPECT_FALSE(decoder.Take({filtered.data(), 1})) << "data past the picture";
    }
}

}  // namespace
}  // namespace quill::imaging
