// The frame store, the frame composition and the re-encoder against giflib:
// every corpus GIF is decoded by both and every composed frame compared pixel
// for pixel; every re-encoded frame is decoded by giflib back to its indices.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <memory>

#include "controls/small/gif/GifEncoder.h"
#include "tests/gif/GifStripBuild.h"
#include "tests/gif/GiflibReference.h"
#include "tests/gif/GifTestFiles.h"

namespace quill::gif {
namespace {

using test::GiflibFile;

int LoopCount(const GifFileType* gif)
{
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& s = gif->SavedImages[i];
        for (int k = 0; k + 1 < s.ExtensionBlockCount; ++k) {
            const ExtensionBlock& b = s.ExtensionBlocks[k];
            if (b.Function == APPLICATION_EXT_FUNC_CODE && b.ByteCount == 11 &&
                !std::memcmp(b.Bytes, "NETSCAPE2.0", 11)) {
                const ExtensionBlock& sub = s.ExtensionBlocks[k + 1];
                if (sub.ByteCount == 3)
                    return sub.Bytes[1] | (sub.Bytes[2] << 8);
            }
        }
    }
    return 0;
}

std::vector<std::string> AllFiles()
{
    std::vector<std::string> files;
    for (const std::string& n : test::CorpusNames())
        files.push_back(test::CorpusDir() + n);
    files.push_back(std::string(QUILL_SOURCE_DIR) + "/resources/loading.gif");
    files.push_back(std::string(QUILL_SOURCE_DIR) + "/resources/failed.gif");
    return files;
}

class GiflibCorpus : public ::testing::TestWithParam<std::string> {};

TEST_P(GiflibCorpus, FramesMatchGiflibsReading)
{
    const auto bytes = test::ReadWholeFileBytes(GetParam());
    ASSERT_FALSE(bytes.empty());
    GiflibFile ref(bytes);
    ASSERT_NE(ref.gif, nullptr);
    test::BuiltGif ours;
    ASSERT_TRUE(test::BuildGif(bytes, ours));
    ASSERT_EQ(ours.frameCount, ref.gif->ImageCount);
    EXPECT_EQ(ours.store.Header.loops, LoopCount(ref.gif));
    for (int i = 0; i < ref.gif->ImageCount; ++i) {
        SCOPED_TRACE("frame " + std::to_string(i + 1));
        const SavedImage& s = ref.gif->SavedImages[i];
        const GifFrame& f = ours.store.Frames[i];
        GraphicsControlBlock gcb{};
        gcb.TransparentColor = NO_TRANSPARENT_COLOR;
        DGifSavedExtensionToGCB(ref.gif, i, &gcb);
        EXPECT_EQ(f.Left, s.ImageDesc.Left);
        EXPECT_EQ(f.Top, s.ImageDesc.Top);
        EXPECT_EQ(f.Width, s.ImageDesc.Width);
        EXPECT_EQ(f.Height, s.ImageDesc.Height);
        EXPECT_EQ(f.DelayMs, gcb.DelayTime * 10);
        EXPECT_EQ(f.Disposal, test::Disposal(ref.gif, i));
        EXPECT_EQ(f.Transparent == 1, gcb.TransparentColor != NO_TRANSPARENT_COLOR);
        if (f.Transparent)
            EXPECT_EQ(f.TransparentIndex, gcb.TransparentColor);
        const ColorMapObject* map = s.ImageDesc.ColorMap ? s.ImageDesc.ColorMap : ref.gif->SColorMap;
        const GifColorTable& table = ours.store.ColorTables.table[f.ColorTableSlot];
        ASSERT_EQ(int(table[256]), map->ColorCount);
        for (int e = 0; e < map->ColorCount; ++e) {
            const GifColorType c = map->Colors[e];
            EXPECT_EQ(table[e], (uint32_t(c.Red) << 16) | (uint32_t(c.Green) << 8) | c.Blue);
        }
        int mismatches = 0;
        for (int y = 0; y < f.Height; ++y) {
            for (int x = 0; x < f.Width; ++x) {
                mismatches += ours.strip.Row(y)[f.DataPos + x] != s.RasterBits[size_t(y) * f.Width + x];
            }
        }
        EXPECT_EQ(mismatches, 0) << "indices that differ from giflib's";
    }
}

TEST_P(GiflibCorpus, ComposedFramesMatchPixelForPixel)
{
    const auto bytes = test::ReadWholeFileBytes(GetParam());
    GiflibFile ref(bytes);
    ASSERT_NE(ref.gif, nullptr);
    test::BuiltGif ours;
    ASSERT_TRUE(test::BuildGif(bytes, ours));
    const std::vector<int> mismatches = test::ComposedFrameMismatches(ours, ref.gif);
    for (size_t n = 0; n < mismatches.size(); ++n)
        EXPECT_EQ(mismatches[n], 0) << "frame " << n + 1;
    EXPECT_EQ(static_cast<int>(mismatches.size()), ref.gif->ImageCount);
}

TEST_P(GiflibCorpus, ReencodedFramesDecodeToTheSameIndices)
{
    const auto bytes = test::ReadWholeFileBytes(GetParam());
    test::BuiltGif ours;
    ASSERT_TRUE(test::BuildGif(bytes, ours));
    for (int n = 1; n <= ours.frameCount; ++n) {
        SCOPED_TRACE("frame " + std::to_string(n));
        const GifFrame& f = ours.store.Frames[n - 1];
        const GifColorTable& table = ours.store.ColorTables.table[f.ColorTableSlot];
        const std::vector<uint8_t> encoded = EncodeFrameAsGif(f, ours.strip, table);
        GiflibFile back(encoded);
        ASSERT_NE(back.gif, nullptr);
        ASSERT_EQ(back.gif->ImageCount, 1);
        const SavedImage& s = back.gif->SavedImages[0];
        ASSERT_EQ(s.ImageDesc.Width, f.Width);
        ASSERT_EQ(s.ImageDesc.Height, f.Height);
        int mismatches = 0;
        for (int y = 0; y < f.Height; ++y) {
            for (int x = 0; x < f.Width; ++x) {
                mismatches += s.RasterBits[size_t(y) * f.Width + x] != ours.strip.Row(y)[f.DataPos + x];
            }
        }
        EXPECT_EQ(mismatches, 0);
        for (uint32_t e = 0; e < table[256]; ++e) {
            const GifColorType c = back.gif->SColorMap->Colors[e];
            EXPECT_EQ((uint32_t(c.Red) << 16) | (uint32_t(c.Green) << 8) | c.Blue, table[e]);
        }
        GraphicsControlBlock gcb{};
        gcb.TransparentColor = NO_TRANSPARENT_COLOR;
        DGifSavedExtensionToGCB(back.gif, 0, &gcb);
        EXPECT_EQ(gcb.TransparentColor, f.Transparent ? f.TransparentIndex : NO_TRANSPARENT_COLOR);
    }
}

std::string FileLabel(const ::testing::TestParamInfo<std::string>& info)
{
    std::string name = info.param.substr(info.param.find_last_of('/') + 1);
    name = name.substr(0, name.find('.'));
    for (char& c : name)
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Corpus, GiflibCorpus, ::testing::ValuesIn(AllFiles()), FileLabel);

// Large noisy frames cross every code width and the table reset; frames of
// every length around the width steps show the end code at the right width.
TEST(GifEncoderAgainstGiflib, NoisyFramesOfManySizesRoundTrip)
{
    uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u; };
    for (int width : {1,    2,    3,    254,  255,  256,  257,  510,  511,  512,  513, 1023,
                      1024, 1025, 2047, 2048, 2049, 4093, 4094, 4095, 4096, 4097, 9000}) {
        for (int colours : {2, 7, 256}) {
            SCOPED_TRACE("width " + std::to_string(width) + " colours " + std::to_string(colours));
            std::vector<uint8_t> bits(size_t(ScanlineBytes(width, 8)) * 3, 0);
            GifBitmapView strip{bits.data(), width, 3, ScanlineBytes(width, 8), true};
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < width; ++x)
                    strip.Row(y)[x] = uint8_t((next() >> 16) % colours);
            GifFrame f;
            f.Width = width;
            f.Height = 3;
            GifColorTable table{};
            table[256] = 256;
            const auto encoded = EncodeFrameAsGif(f, strip, table);
            GiflibFile back(encoded);
            ASSERT_NE(back.gif, nullptr);
            const SavedImage& s = back.gif->SavedImages[0];
            for (int y = 0; y < 3; ++y)
                ASSERT_EQ(0, std::memcmp(s.RasterBits + size_t(y) * width, strip.Row(y), size_t(width)));
        }
    }
}

}  // namespace
}  // namespace quill::gif
