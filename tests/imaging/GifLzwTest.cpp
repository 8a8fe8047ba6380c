// The GIF LZW decoder both GIF readers share: the same indices whatever the
// chunks they are read in, what it gives before data that ends or goes wrong,
// a table kept full without a clear code (against giflib), and the order of
// an interlaced image's rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "imaging/GifLzw.h"
#include "imaging/GifReader.h"
#include "tests/imaging/GifBuild.h"
#include "tests/imaging/References.h"

namespace quill::imaging {
namespace {

using test::Bytes;

// Pseudo-random indices below 2^bits, in runs of up to `longestRun` (long
// runs make long strings, which run across the ends of small chunks).
std::vector<uint8_t> Indices(size_t count, int bits, int longestRun, uint32_t seed)
{
    std::vector<uint8_t> out;
    out.reserve(count);
    uint32_t x = seed;
    while (out.size() < count) {
        x = x * 1103515245 + 12345;
        const uint8_t index = uint8_t((x >> 16) % (1u << bits));
        x = x * 1103515245 + 12345;
        const size_t run = std::min<size_t>(count - out.size(), 1 + (x >> 16) % uint32_t(longestRun));
        out.insert(out.end(), run, index);
    }
    return out;
}

// The indices read in chunks of `chunk`, until a chunk comes short.
std::vector<uint8_t> ReadInChunks(const Bytes& blocks, int minimumCodeSize, size_t count, size_t chunk)
{
    GifLzwDecoder lzw(blocks, 0, minimumCodeSize);
    std::vector<uint8_t> out(count);
    size_t done = 0;
    while (done < count) {
        const size_t want = std::min(chunk, count - done);
        const size_t got = lzw.Read(out.data() + done, want);
        done += got;
        if (got < want)
            break;
    }
    out.resize(done);
    return out;
}

TEST(GifLzw, GivesTheSameIndicesWhateverTheChunksTheyAreReadIn)
{
    const struct Case {
        const char* what;
        int bits;
        int longestRun;
        size_t count;
    } cases[] = {
        {"two colours, long runs", 1, 700, 60000},
        {"eight colours, codes growing to 12 bits, clear codes", 3, 3, 200000},
        {"256 colours, short runs", 8, 4, 100000},
        {"256 colours, long runs", 8, 300, 100000},
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> indices = Indices(c.count, c.bits, c.longestRun, 7);
        const int codeSize = std::max(2, c.bits);
        const Bytes blocks = test::GifSubBlocks(test::GifLzwEncode(indices, codeSize));
        for (size_t chunk : {size_t{1}, size_t{2}, size_t{3}, size_t{7}, size_t{255}, size_t{4096}, c.count})
            EXPECT_EQ(ReadInChunks(blocks, codeSize, c.count, chunk), indices)
                << c.what << ", chunks of " << chunk;
    }
}

// Codes of one width, least significant bit first.
Bytes PackCodes(const std::vector<int>& codes, int width)
{
    Bytes out;
    uint32_t bits = 0;
    int count = 0;
    for (int code : codes) {
        bits |= uint32_t(code) << count;
        for (count += width; count >= 8; count -= 8, bits >>= 8)
            out.push_back(uint8_t(bits));
    }
    if (count > 0)
        out.push_back(uint8_t(bits));
    return out;
}

TEST(GifLzw, KeepsWhatCameBeforeDataThatEndsOrGoesWrong)
{
    const std::vector<uint8_t> indices = Indices(5000, 3, 5, 3);
    const Bytes data = test::GifLzwEncode(indices, 3);
    const Bytes blocks = test::GifSubBlocks(data);
    Bytes tooMany = blocks;  // more codes than the image needs
    tooMany.insert(tooMany.end() - 1, {2, 0xFF, 0xFF});
    // The first 1000 indices with their end code, then the whole data again.
    Bytes ended = test::GifSubBlocks(test::GifLzwEncode({indices.begin(), indices.begin() + 1000}, 3));
    ended.insert(ended.end() - 1, blocks.begin(), blocks.end() - 1);
    // Half of the data, its terminating block, then the whole data again.
    Bytes terminated = test::GifSubBlocks({data.begin(), data.begin() + long(data.size() / 2)});
    terminated.insert(terminated.end(), blocks.begin(), blocks.end());
    const struct Case {
        const char* what;
        Bytes blocks;
        int codeSize;
        std::vector<uint8_t> indices;  // what comes out is the start of these
        size_t atLeast, atMost;
    } cases[] = {
        {"whole", blocks, 3, indices, indices.size(), indices.size()},
        {"data after the image's last index", tooMany, 3, indices, indices.size(), indices.size()},
        {"cut inside a sub-block",
         {blocks.begin(), blocks.begin() + long(blocks.size() / 2)},
         3,
         indices,
         1,
         indices.size() - 1},
        {"an end code part-way", ended, 3, indices, 1000, 1000},
        {"a terminating block part-way", terminated, 3, indices, 1, indices.size() - 1},
        // Clear, 1, 2, 3 (entries 10 and 11 made), then 14, two past the next entry.
        {"a code not yet in the table",
         test::GifSubBlocks(PackCodes({8, 1, 2, 3, 14, 1, 1}, 4)),
         3,
         {1, 2, 3},
         3,
         3},
        {"a string code before any string", test::GifSubBlocks(PackCodes({8, 10, 1, 1}, 4)), 3, {}, 0, 0},
        {"code size 0", blocks, 0, {}, 0, 0},
        {"code size 9", blocks, 9, {}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (size_t chunk : {size_t{1}, size_t{13}, indices.size()}) {
            const std::vector<uint8_t> got = ReadInChunks(c.blocks, c.codeSize, indices.size(), chunk);
            EXPECT_GE(got.size(), c.atLeast) << "chunks of " << chunk;
            EXPECT_LE(got.size(), c.atMost) << "chunks of " << chunk;
            ASSERT_LE(got.size(), c.indices.size());
            EXPECT_TRUE(std::equal(got.begin(), got.end(), c.indices.begin())) << "chunks of " << chunk;
        }
        // Once it has stopped, nothing more comes.
        GifLzwDecoder lzw(c.blocks, 0, c.codeSize);
        std::vector<uint8_t> all(indices.size() + 10);
        lzw.Read(all.data(), all.size());
        EXPECT_EQ(lzw.Read(all.data(), all.size()), 0u);
    }
}

TEST(GifLzw, ReadsNothingBeyondTheFile)
{
    const std::vector<uint8_t> indices = Indices(3000, 2, 4, 5);
    const Bytes blocks = test::GifSubBlocks(test::GifLzwEncode(indices, 2));
    for (size_t keep : {size_t{0}, size_t{1}, size_t{2}, blocks.size() / 3, blocks.size() - 1}) {
        // A copy of exactly `keep` bytes, so that the sanitizers see a read past it.
        const Bytes cut(blocks.begin(), blocks.begin() + long(keep));
        std::vector<uint8_t> out(indices.size());
        GifLzwDecoder lzw(cut, 0, 2);
        out.resize(lzw.Read(out.data(), out.size()));
        EXPECT_TRUE(std::equal(out.begin(), out.end(), indices.begin())) << keep;
    }
    GifLzwDecoder past(blocks, blocks.size() + 5, 2);
    uint8_t one;
    EXPECT_EQ(past.Read(&one, 1), 0u);
}

// Some encoders keep a full table to the end instead of starting it again:
// codes stay 12 bits wide and no entry is added.
TEST(GifLzw, TableKeptFullWithoutAClearCodeAgainstGiflib)
{
    const int width = 300, height = 200;
    const std::vector<uint8_t> indices = Indices(size_t(width) * height, 3, 2, 11);
    const Bytes data = test::GifLzwEncode(indices, 3, false);
    const Bytes blocks = test::GifSubBlocks(data);
    EXPECT_EQ(ReadInChunks(blocks, 3, indices.size(), size_t(width)), indices);

    Bytes gif{'G',
              'I',
              'F',
              '8',
              '9',
              'a',
              uint8_t(width),
              uint8_t(width >> 8),
              uint8_t(height),
              uint8_t(height >> 8),
              0x82,
              0,
              0};
    for (int i = 0; i < 8; ++i)
        gif.insert(gif.end(), {uint8_t(i * 30), uint8_t(255 - i * 30), uint8_t(i * 17)});
    gif.insert(gif.end(), {0x2C, 0, 0, 0, 0, uint8_t(width), uint8_t(width >> 8), uint8_t(height),
                           uint8_t(height >> 8), 0, 3});
    gif.insert(gif.end(), blocks.begin(), blocks.end());
    gif.push_back(0x3B);
    DecodedImage ours, giflib;
    ASSERT_EQ(DecodeGif(gif, ours).verdict, ReadVerdict::Image);
    ASSERT_TRUE(test::GiflibFirstFrame(gif, giflib));
    ASSERT_EQ(ours.width, giflib.width);
    ASSERT_EQ(ours.height, giflib.height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(ours.At(x, y), giflib.At(x, y)) << x << "," << y;
}

TEST(GifRowOrder, InterlacedRowsComeInFourPasses)
{
    const struct Case {
        int height;
        bool interlaced;
        std::vector<int> rows;
    } cases[] = {
        {1, true, {0}},
        {2, true, {0, 1}},
        {5, true, {0, 4, 2, 1, 3}},
        {10, true, {0, 8, 4, 2, 6, 1, 3, 5, 7, 9}},
        {17, true, {0, 8, 16, 4, 12, 2, 6, 10, 14, 1, 3, 5, 7, 9, 11, 13, 15}},
        {4, false, {0, 1, 2, 3}},
    };
    for (const Case& c : cases) {
        GifRowOrder order(c.height, c.interlaced);
        std::vector<int> rows;
        for (int i = 0; i < c.height; ++i, order.Advance())
            rows.push_back(order.Current());
        EXPECT_EQ(rows, c.rows) << c.height << (c.interlaced ? " interlaced" : "");
    }
}

}  // namespace
}  // namespace quill::imaging
