#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "imaging/BmpFormat.h"
#include "imaging/modParsers.h"

namespace quill::imaging {
namespace {

// A BMP file: file header, a 40-byte information header and the rows as
// given (already in file order).
std::vector<uint8_t> Bmp(int32_t width, int32_t height, uint16_t bits, const std::vector<uint32_t>& rows,
                         uint32_t compression = 0)
{
    std::vector<uint8_t> f(54);
    f[0] = 'B';
    f[1] = 'M';
    WriteU32(&f[2], static_cast<uint32_t>(54 + rows.size() * 4));
    WriteU32(&f[10], 54);
    WriteU32(&f[14], 40);
    WriteU32(&f[18], static_cast<uint32_t>(width));
    WriteU32(&f[22], static_cast<uint32_t>(height));
    WriteU16(&f[26], 1);
    WriteU16(&f[28], bits);
    WriteU32(&f[30], compression);
    for (uint32_t p : rows)
        for (int i = 0; i < 4; ++i)
            f.push_back(static_cast<uint8_t>(p >> (8 * i)));
    return f;
}

TEST(ReadBmp, ThirtyTwoBitsWithoutAlphaLoadsOpaque)
{
    BmpRead r = ReadBmp(Bmp(2, 2, 32, {0x00010203, 0x00040506, 0x00070809, 0x000A0B0C}));
    ASSERT_EQ(r.verdict, BmpVerdict::Decoded);
    EXPECT_EQ(r.image.imageType, 1);
    EXPECT_FALSE(r.image.alpha);
    EXPECT_EQ(r.image.pixels, (std::vector<uint32_t>{0xFF010203, 0xFF040506, 0xFF070809, 0xFF0A0B0C}));
}

TEST(ReadBmp, StraightAlphaIsPremultiplied)
{
    BmpRead r = ReadBmp(Bmp(1, 1, 32, {0x80C80000}));
    ASSERT_EQ(r.verdict, BmpVerdict::Decoded);
    EXPECT_EQ(r.image.imageType, 6);
    EXPECT_TRUE(r.image.alpha);
    EXPECT_EQ(r.image.pixels[0], 0x80640000u);  // red 200 x 128 / 255 -> 100
    BmpRead again = ReadBmp(Bmp(1, 1, 32, {0x80640000}));
    EXPECT_EQ(again.image.imageType, 7);
    EXPECT_EQ(again.image.pixels[0], 0x80640000u);
}

TEST(ReadBmp, OpaqueThirtyTwoBitsCountsAsPremultiplied)
{
    BmpRead r = ReadBmp(Bmp(2, 1, 32, {0xFF112233, 0xFF445566}));
    EXPECT_EQ(r.image.imageType, 7);
    EXPECT_TRUE(r.image.alpha);
}

TEST(ReadBmp, TopDownRowsEndUpBottomUp)
{
    // File rows: top row first (negative height).
    BmpRead r = ReadBmp(Bmp(1, -3, 32, {0xFF000001, 0xFF000002, 0xFF000003}));
    ASSERT_EQ(r.verdict, BmpVerdict::Decoded);
    EXPECT_EQ(r.image.height, 3);
    EXPECT_EQ(r.image.pixels, (std::vector<uint32_t>{0xFF000003, 0xFF000002, 0xFF000001}));
    BmpRead up = ReadBmp(Bmp(1, 3, 32, {0xFF000001, 0xFF000002, 0xFF000003}));
    EXPECT_EQ(up.image.pixels, (std::vector<uint32_t>{0xFF000001, 0xFF000002, 0xFF000003}));
}

// A core-header (12 bytes) BMP of one 24-bit pixel.
std::vector<uint8_t> CoreBmp()
{
    std::vector<uint8_t> f(30, 0);
    f[0] = 'B';
    f[1] = 'M';
    WriteU32(&f[2], 30);
    WriteU32(&f[10], 26);
    WriteU32(&f[14], 12);
    WriteU16(&f[18], 1);
    WriteU16(&f[20], 1);
    WriteU16(&f[22], 1);
    WriteU16(&f[24], 24);
    return f;
}

TEST(ReadBmp, VerdictsForOtherFiles)
{
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        BmpVerdict verdict;
        uint16_t bits;
    };
    std::vector<uint8_t> notBmp(60, 0x42);
    std::vector<uint8_t> farOffset = Bmp(1, 1, 32, {0xFF000000});
    WriteU32(&farOffset[10], 0xFFFFFFF0u);
    std::vector<uint8_t> headerOffset = Bmp(1, 1, 32, {0xFF000000});
    WriteU32(&headerOffset[10], 20);  // pixels inside the header
    std::vector<uint8_t> shortData = Bmp(4, 4, 32, {0xFF000000, 0xFF000000});
    std::vector<uint8_t> shortData24 = Bmp(40, 4, 24, {0, 0});
    std::vector<uint8_t> hugeRows = Bmp(0x40000000, 4, 32, {0xFF000000});
    std::vector<uint8_t> oddHeader = Bmp(1, 1, 32, {0xFF000000});
    WriteU32(&oddHeader[14], 20);
    std::vector<uint8_t> hugeHeader = Bmp(1, 1, 32, {0xFF000000});
    WriteU32(&hugeHeader[14], 0xFFFFFFF0u);
    std::vector<uint8_t> minHeight = Bmp(1, INT_MIN, 32, {0xFF000000});
    std::vector<uint8_t> truncated = Bmp(1, 1, 32, {});
    truncated.resize(40);
    // 8 bits with a palette of one colour (coloursUsed 1), data after it.
    std::vector<uint8_t> paletted = Bmp(1, 1, 8, {0x00FF00FF, 0x00000000});
    WriteU32(&paletted[46], 1);
    WriteU32(&paletted[10], 58);
    std::vector<uint8_t> tooManyColours = paletted;
    WriteU32(&tooManyColours[46], 300);
    std::vector<uint8_t> rle = Bmp(100, 100, 8, {0x00FF00FF, 0x00000000});
    WriteU32(&rle[30], 1);
    WriteU32(&rle[46], 1);
    WriteU32(&rle[10], 58);
    const Case cases[] = {
        {"not BM", notBmp, BmpVerdict::NotBmp, 0},
        {"24 bits", Bmp(1, 1, 24, {0x00000000}), BmpVerdict::Other, 24},
        {"core header", CoreBmp(), BmpVerdict::Other, 24},
        {"8 bits with its palette", paletted, BmpVerdict::Other, 8},
        {"run-length data starting inside", rle, BmpVerdict::Other, 8},
        {"bit fields", Bmp(1, 1, 32, {0xFF000000}, 3), BmpVerdict::Other, 32},
        {"width 0", Bmp(0, 1, 32, {0xFF000000}), BmpVerdict::Refused, 32},
        {"negative width", Bmp(-2, 1, 32, {0xFF000000}), BmpVerdict::Refused, 32},
        {"height 0", Bmp(1, 0, 32, {0xFF000000}), BmpVerdict::Refused, 32},
        {"data offset beyond the stream", farOffset, BmpVerdict::Refused, 32},
        {"data offset inside the header", headerOffset, BmpVerdict::Refused, 32},
        {"rows beyond the stream", shortData, BmpVerdict::Refused, 32},
        {"24-bit rows beyond the stream", shortData24, BmpVerdict::Refused, 24},
        {"8 bits without its palette", Bmp(1, 1, 8, {0x00000000}), BmpVerdict::Refused, 8},
        {"more colours than the depth has", tooManyColours, BmpVerdict::Refused, 8},
        {"more than 64 megapixels", hugeRows, BmpVerdict::Refused, 32},
        {"header of no known size", oddHeader, BmpVerdict::Refused, 0},
        {"header beyond the stream", hugeHeader, BmpVerdict::Refused, 0},
        {"height of the smallest integer", minHeight, BmpVerdict::Refused, 32},
        {"truncated header", truncated, BmpVerdict::Refused, 0},
        {"depth 7", Bmp(1, 1, 7, {0, 0}), BmpVerdict::Refused, 7},
    };
    for (const Case& c : cases) {
        BmpRead r = ReadBmp(c.file);
        EXPECT_EQ(r.verdict, c.verdict) << c.name;
        EXPECT_EQ(r.bitsPerPixel, c.bits) << c.name;
        EXPECT_TRUE(r.image.pixels.empty()) << c.name;
    }
}

TEST(ReadBmp, ReadsOnlyTheGivenBytes)
{
    // The stream is a window of a larger array: bytes after it do not count.
    std::vector<uint8_t> whole = Bmp(2, 2, 32, {1, 2, 3, 4});
    BmpRead r = ReadBmp(std::span<const uint8_t>(whole).first(whole.size() - 1));
    EXPECT_EQ(r.verdict, BmpVerdict::Refused);
}

TEST(BmpFileBytes, WritesTheHeaderAndThePixelsUnchanged)
{
    std::vector<uint32_t> px = {0x80402010, 0xFF000000, 0x00000000, 0x01010101, 0x7F7F7F7F, 0xFFFFFFFF};
    std::vector<uint8_t> f = BmpFileBytes(ConstPixelView{px.data(), 2, 3});
    ASSERT_EQ(f.size(), 78u);
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(ReadU32(&f[2]), 78u);
    EXPECT_EQ(ReadU32(&f[6]), 0u);
    EXPECT_EQ(ReadU32(&f[10]), 54u);
    EXPECT_EQ(ReadU32(&f[14]), 40u);
    EXPECT_EQ(ReadI32(&f[18]), 2);
    EXPECT_EQ(ReadI32(&f[22]), 3);
    EXPECT_EQ(ReadU16(&f[26]), 1);
    EXPECT_EQ(ReadU16(&f[28]), 32);
    EXPECT_EQ(ReadU32(&f[30]), 0u);
    EXPECT_EQ(ReadU32(&f[34]), 24u);
    for (int i = 38; i < 54; ++i)
        EXPECT_EQ(f[i], 0) << i;
    EXPECT_EQ(std::memcmp(&f[54], px.data(), 24), 0);
}

TEST(BmpFileBytes, ReadsBackAsWritten)
{
    std::vector<uint32_t> px = {0x80402010, 0xFF102030, 0x00000000, 0x40404040};
    BmpRead r = ReadBmp(BmpFileBytes(ConstPixelView{px.data(), 2, 2}));
    ASSERT_EQ(r.verdict, BmpVerdict::Decoded);
    EXPECT_EQ(r.image.pixels, px);
    EXPECT_EQ(r.image.imageType, 7);
}

TEST(BmpFileHeader, RefusesSizesBeyondThe32BitFields)
{
    std::array<uint8_t, BmpHeaderBytes> h;
    EXPECT_TRUE(BmpFileHeader(16384, 16383, h));
    EXPECT_FALSE(BmpFileHeader(65536, 65536, h));
    EXPECT_FALSE(BmpFileHeader(-1, 1, h));
}

}  // namespace
}  // namespace quill::imaging
