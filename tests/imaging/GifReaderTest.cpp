// The GIF first-frame reader: first frames against giflib over every colour
// table size, local and global tables, interlace, transparency and frame
// placement; and the block walk's rules on files made to show each.
#include <gtest/gtest.h>

#include <cstring>

#include "imaging/GifReader.h"
#include "tests/imaging/Corpus.h"
#include "tests/imaging/GifBuild.h"
#include "tests/imaging/PixelExpectations.h"
#include "tests/imaging/References.h"

namespace quill::imaging {
namespace {

using test::BuildGif;
using test::Bytes;
using test::ExpectSamePixels;
using test::GifFrameSpec;
using test::GifSpec;
using test::Hex;

struct Decoded {
    ReadResult result;
    DecodedImage image;
};

Decoded Decode(const Bytes& gif)
{
    Decoded d;
    d.result = DecodeGif(gif, d.image);
    return d;
}

TEST(GifAgainstGiflib, FirstFramesOfEveryKind)
{
    for (const GifSpec& spec : test::GifMatrix()) {
        const Bytes gif = BuildGif(spec);
        const std::string what = Describe(spec);
        DecodedImage reference;
        ASSERT_TRUE(test::GiflibFirstFrame(gif, reference)) << what;
        const Decoded d = Decode(gif);
        ASSERT_EQ(d.result.verdict, ReadVerdict::Image) << what;
        EXPECT_TRUE(d.result.alpha) << what;
        EXPECT_EQ(d.result.imageType, ImageTypes::Gif) << what;
        const GifFrameSpec& first = spec.frames[0];
        ASSERT_EQ(d.image.width, first.width) << what;
        ASSERT_EQ(d.image.height, first.height) << what;
        for (int y = 0; y < reference.height; ++y)
            for (int x = 0; x < reference.width; ++x)
                ASSERT_EQ(Hex(d.image.At(x, y)), Hex(reference.At(x, y))) << what << " at " << x << "," << y;
    }
}

TEST(GifAgainstGiflib, CorpusMadeByImageMagick)
{
    const auto files = test::CorpusFiles(".gif");
    ASSERT_GE(files.size(), 3u);
    for (const auto& path : files) {
        const Bytes gif = test::ReadWholeFile(path);
        DecodedImage reference;
        ASSERT_TRUE(test::GiflibFirstFrame(gif, reference)) << path;
        const Decoded d = Decode(gif);
        ASSERT_EQ(d.result.verdict, ReadVerdict::Image) << path;
        ASSERT_EQ(d.image.width, reference.width);
        ASSERT_EQ(d.image.height, reference.height);
        for (size_t i = 0; i < reference.pixels.size(); ++i)
            ASSERT_EQ(Hex(d.image.pixels[i]), Hex(reference.pixels[i])) << path << " pixel " << i;
    }
}

// One 3 x 2 frame with a 4-entry global table whose colours are known.
GifSpec Small()
{
    GifSpec g;
    g.width = 3;
    g.height = 2;
    g.frames[0].width = 3;
    g.frames[0].height = 2;
    return g;
}

uint32_t GlobalColour(const Bytes& gif, int index)
{
    const uint8_t* rgb = &gif[13 + 3 * size_t(index)];
    return 0xFF000000u | (rgb[0] << 16) | (rgb[1] << 8) | rgb[2];
}

void ExpectFrame(const Bytes& gif, const GifSpec& spec, const std::string& what)
{
    const Decoded d = Decode(gif);
    ASSERT_EQ(d.result.verdict, ReadVerdict::Image) << what;
    const GifFrameSpec& f = spec.frames[0];
    const std::vector<uint8_t> indices = test::GifFrameIndices(spec, f);
    for (int y = 0; y < f.height; ++y) {
        for (int x = 0; x < f.width; ++x) {
            const int index = indices[size_t(y) * f.width + x];
            const uint32_t expected = index == f.transparent ? 0 : GlobalColour(gif, index);
            EXPECT_EQ(Hex(d.image.At(x, y)), Hex(expected)) << what << " at " << x << "," << y;
        }
    }
}

TEST(GifReader, SignatureIsComparedIgnoringCase)
{
    for (const char* signature : {"GIF89a", "GIF87a", "GIF89A", "gif87a"}) {
        GifSpec g = Small();
        g.signature = signature;
        EXPECT_EQ(Decode(BuildGif(g)).result.verdict, ReadVerdict::Image) << signature;
    }
    for (const char* signature : {"GIF88a", "PNG89a", "GIF8 a"}) {
        GifSpec g = Small();
        g.signature = signature;
        EXPECT_EQ(Decode(BuildGif(g)).result.verdict, ReadVerdict::NotMine) << signature;
    }
    EXPECT_EQ(Decode(Bytes{'G', 'I', 'F', '8', '9'}).result.verdict, ReadVerdict::NotMine);
}

TEST(GifReader, TransparentIndexAndOpaqueFrames)
{
    GifSpec g = Small();
    g.frames[0].seed = 5;
    const Decoded opaque = Decode(BuildGif(g));
    ASSERT_EQ(opaque.result.verdict, ReadVerdict::Image);
    EXPECT_TRUE(opaque.result.alpha);
    for (uint32_t p : opaque.image.pixels)
        EXPECT_EQ(p >> 24, 255u);
    g.frames[0].transparent = test::GifFrameIndices(g, g.frames[0])[0];
    ExpectFrame(BuildGif(g), g, "transparent index");
    // The graphic control extension is skipped by its own size byte.
    for (int size : {5, 6, 12}) {
        g.frames[0].gceSize = size;
        ExpectFrame(BuildGif(g), g, "extension of " + std::to_string(size) + " bytes");
    }
    // A shorter extension carries no transparent index.
    g.frames[0].gceSize = 3;
    const Decoded shortGce = Decode(BuildGif(g));
    ASSERT_EQ(shortGce.result.verdict, ReadVerdict::Image);
    for (uint32_t p : shortGce.image.pixels)
        EXPECT_EQ(p >> 24, 255u);
}

TEST(GifReader, LastControlExtensionBeforeTheImageCounts)
{
    GifSpec g = Small();
    const int index = test::GifFrameIndices(g, g.frames[0])[1];
    g.frames[0].transparent = index;
    Bytes gif = BuildGif(g);
    // An earlier extension naming another index goes in front.
    const size_t header = 13 + 12;
    const Bytes earlier{0x21, 0xF9, 4, 1, 0, 0, uint8_t((index + 1) % 4), 0};
    gif.insert(gif.begin() + long(header), earlier.begin(), earlier.end());
    ExpectFrame(gif, g, "two extensions");
}

TEST(GifReader, ExtensionsBeforeTheImageAreSkipped)
{
    GifSpec g = Small();
    g.comment = true;
    g.loop = true;
    g.frames[0].transparent = 2;
    ExpectFrame(BuildGif(g), g, "comment and looping extensions");
}

TEST(GifReader, FirstFrameAtItsOwnSizeWhereverItIsPlaced)
{
    GifSpec g;
    g.width = 50;
    g.height = 40;
    GifFrameSpec first;
    first.left = 10;
    first.top = 7;
    first.width = 6;
    first.height = 5;
    GifFrameSpec second = first;
    second.width = 50;
    second.height = 40;
    second.left = second.top = 0;
    g.frames = {first, second};
    const Decoded d = Decode(BuildGif(g));
    ASSERT_EQ(d.result.verdict, ReadVerdict::Image);
    EXPECT_EQ(d.image.width, 6);
    EXPECT_EQ(d.image.height, 5);
}

TEST(GifReader, VerdictsOfBrokenFiles)
{
    const Bytes good = BuildGif(Small());
    const size_t descriptor = 13 + 12;
    ASSERT_EQ(good[descriptor], 0x2C);
    struct Case {
        const char* name;
        Bytes gif;
        ReadVerdict verdict;
    };
    std::vector<Case> cases;
    {
        GifSpec g = Small();
        g.globalBits = 0;
        cases.push_back({"no colour table at all", BuildGif(g), ReadVerdict::NotMine});
    }
    {
        Bytes g(good.begin(), good.begin() + long(descriptor));
        g.push_back(0x3B);
        cases.push_back({"trailer right after the header", g, ReadVerdict::NotMine});
    }
    {
        Bytes g(good.begin(), good.begin() + long(descriptor));
        cases.push_back({"data ends after the header", g, ReadVerdict::NoImage});
    }
    {
        Bytes g(good.begin(), good.end() - 4);
        cases.push_back({"cut off inside the first frame's data", g, ReadVerdict::NoImage});
    }
    {
        Bytes g(good.begin(), good.begin() + 12);
        cases.push_back({"cut off inside the global table", g, ReadVerdict::NoImage});
    }
    {
        Bytes g = good;
        g.insert(g.begin() + long(descriptor), {0x21, 0xFE, 200, 'x'});
        cases.push_back({"comment running past the data", g, ReadVerdict::NoImage});
    }
    {
        Bytes g = good;
        g[descriptor + 5] = 0;  // width 0
        g[descriptor + 6] = 0;
        cases.push_back({"frame of width 0", g, ReadVerdict::NotMine});
    }
    {
        Bytes g = good;
        g[descriptor + 10] = 9;  // LZW minimum code size beyond 8
        cases.push_back({"code size 9", g, ReadVerdict::NotMine});
    }
    {
        Bytes g = good;
        g[descriptor + 10] = 0;
        cases.push_back({"code size 0", g, ReadVerdict::NotMine});
    }
    {
        Bytes g(good.begin(), good.begin() + long(descriptor + 11));
        // LZW data that ends (end code) before the six pixels.
        const Bytes lzw = test::GifLzwEncode({1, 2, 3}, 2);
        const Bytes blocks = test::GifSubBlocks(lzw);
        g.insert(g.end(), blocks.begin(), blocks.end());
        g.push_back(0x3B);
        cases.push_back({"image data too short", g, ReadVerdict::NotMine});
    }
    {
        Bytes g(good.begin(), good.begin() + long(descriptor + 11));
        // Clear code, then code 7 before any entry exists.
        const Bytes blocks = test::GifSubBlocks({0x3C, 0x00});
        g.insert(g.end(), blocks.begin(), blocks.end());
        g.push_back(0x3B);
        cases.push_back({"invalid code", g, ReadVerdict::NotMine});
    }
    {
        Bytes g(good.begin(), good.begin() + long(descriptor));
        const Bytes d{0x2C, 0, 0, 0, 0, 0x28, 0x23, 0x28, 0x23, 0, 2, 2, 0x4C, 0x01, 0};
        g.insert(g.end(), d.begin(), d.end());
        g.push_back(0x3B);
        cases.push_back({"more than 64 megapixels", g, ReadVerdict::NotMine});
    }
    for (const Case& c : cases) {
        const Decoded d = Decode(c.gif);
        EXPECT_EQ(d.result.verdict, c.verdict) << c.name;
        EXPECT_TRUE(d.image.Empty()) << c.name;
    }
}

TEST(GifReader, IndexPastTheColourTableIsBlack)
{
    GifSpec g = Small();
    g.globalBits = 1;  // two entries, but the data says 3
    Bytes gif = BuildGif(g);
    const size_t descriptor = 13 + 6;
    Bytes withBigIndex(gif.begin(), gif.begin() + long(descriptor + 10));
    withBigIndex.push_back(2);
    const Bytes blocks = test::GifSubBlocks(test::GifLzwEncode({3, 0, 1, 3, 3, 0}, 2));
    withBigIndex.insert(withBigIndex.end(), blocks.begin(), blocks.end());
    withBigIndex.push_back(0x3B);
    const Decoded d = Decode(withBigIndex);
    ASSERT_EQ(d.result.verdict, ReadVerdict::Image);
    EXPECT_EQ(d.image.At(0, 0), 0xFF000000u);
    EXPECT_EQ(d.image.At(1, 0), GlobalColour(gif, 0));
}

}  // namespace
}  // namespace quill::imaging
