#include "imaging/IcoReader.h"

#include <cstdlib>
#include <cstring>

#include "imaging/PixelView.h"
#include "imaging/modParsers.h"

namespace quill::imaging {
namespace {

constexpr uint8_t PngSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
constexpr uint32_t SmallestPngEntry = 8 + 25;  // signature and IHDR chunk

uint32_t Be32(const uint8_t* p)
{
    return SwapByteOrder32(ReadU32(p));
}

uint64_t AlignedRowBytes(uint64_t bits, uint64_t width)
{
    return ((width * bits + 31) & ~uint64_t{31}) / 8;
}

uint64_t XorBitsSize(const IconEntry& e)
{
    return AlignedRowBytes(e.bitCount, e.EntryWidth()) * e.EntryHeight();
}
uint64_t AndMaskSize(const IconEntry& e)
{
    return AlignedRowBytes(1, e.EntryWidth()) * e.EntryHeight();
}
uint64_t PaletteBytes(const IconEntry& e)
{
    return e.bitCount < 16 ? uint64_t{4} << e.bitCount : 0;
}
uint64_t XorBitsOffset(const IconEntry& e)
{
    return uint64_t(e.imageOffset) + e.headerSize + PaletteBytes(e);
}
uint64_t AndMaskOffset(const IconEntry& e)
{
    return uint64_t(e.imageOffset) + e.bytesInRes - AndMaskSize(e);
}

// A PNG image inside an icon: its size (1 to 256) replaces the directory's,
// and a missing bit count comes from its header.
bool ReadPngEntry(std::span<const uint8_t> bytes, IconEntry& e)
{
    e.png = true;
    const uint8_t* p = bytes.data() + e.imageOffset;
    if (e.bytesInRes < SmallestPngEntry || std::memcmp(p, PngSignature, 8) != 0 ||
        std::memcmp(p + 12, "IHDR", 4) != 0)
        return false;
    const uint32_t width = Be32(p + 16);
    const uint32_t height = Be32(p + 20);
    if (width >= 1 && width <= 256) {
        e.width = uint8_t(width);
    } else {
        e.bitCount = 0;
    }
    if (height >= 1 && height <= 256) {
        e.height = uint8_t(height);
    } else {
        e.bitCount = 0;
    }
    // A size outside 1 to 256 keeps the directory's size byte; the bit count
    // then comes from the header like a missing one.
    if (e.bitCount == 0) {
        const uint8_t depth = p[24];
        const uint8_t colourType = p[25];
        if (depth == 16 || colourType == 4 || colourType == 6) {
            e.bitCount = 32;
        } else if (colourType == 2) {
            e.bitCount = 24;
        } else {
            e.bitCount = depth;
        }
    }
    return e.bitCount > 0;
}

// A bitmap image: its header, palette, colour bits and AND mask must lie
// inside the entry, in that order.
bool CheckBitmapEntry(std::span<const uint8_t> bytes, IconEntry& e)
{
    if (e.bytesInRes < 40)
        return false;
    e.headerSize = ReadU32(bytes.data() + e.imageOffset);
    if (e.headerSize < 40)
        return false;
    const uint64_t needed = uint64_t(e.headerSize) + PaletteBytes(e) + XorBitsSize(e) + AndMaskSize(e);
    return needed <= e.bytesInRes;
}

void Store(uint8_t* at, uint32_t pixel)
{
    std::memcpy(at, &pixel, 4);
}

uint32_t Expand5(uint32_t v)
{
    return (v << 3) | (v >> 2);
}

// The colour bits of a bitmap entry as opaque-less pixels (alpha 0), as the
// system's conversion of the bits to 32 bits gives them. False for a bit
// count or compression that no bitmap has.
bool ReadColourBits(std::span<const uint8_t> bytes, const IconEntry& e, uint8_t* pixels)
{
    const uint8_t* header = bytes.data() + e.imageOffset;
    const uint32_t compression = ReadU32(header + 16);
    const int32_t headerWidth = int32_t(ReadU32(header + 4));
    const int bits = e.bitCount;
    if (compression != 0 || headerWidth != e.EntryWidth())
        return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;

    const int width = e.EntryWidth();
    const int height = e.EntryHeight();
    uint32_t palette[256] = {};
    if (bits <= 8) {
        // The colours-used count is what the entry has room for, at most the
        // table the bit count can index.
        const uint64_t room = (e.bytesInRes - XorBitsSize(e) - AndMaskSize(e) - e.headerSize) / 4;
        const unsigned entries = unsigned(room < (1u << bits) ? room : (1u << bits));
        const uint8_t* table = header + e.headerSize;
        for (unsigned i = 0; i < entries; ++i)
            palette[i] = Bgra(table[i * 4], table[i * 4 + 1], table[i * 4 + 2], 0);
    }
    const size_t rowBytes = size_t(AlignedRowBytes(bits, width));
    const uint8_t* xorBits = bytes.data() + XorBitsOffset(e);
    for (int y = 0; y < height; ++y) {
        const uint8_t* src = xorBits + y * rowBytes;
        uint8_t* out = pixels + size_t(y) * width * 4;
        for (int x = 0; x < width; ++x, out += 4) {
            uint32_t v;
            switch (bits) {
            case 1:
                v = palette[(src[x >> 3] >> (7 - (x & 7))) & 1];
                break;
            case 4:
                v = palette[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
                break;
            case 8:
                v = palette[src[x]];
                break;
            case 16: {
                const uint32_t w = ReadU16(src + x * 2);
                v = Bgra(Expand5(w & 31), Expand5((w >> 5) & 31), Expand5((w >> 10) & 31), 0);
                break;
            }
            case 24:
                v = Bgra(src[x * 3], src[x * 3 + 1], src[x * 3 + 2], 0);
                break;
            default:
                v = ReadU32(src + x * 4);
                break;
            }
            Store(out, v);
        }
    }
    return true;
}

// A 32-bit entry carries its own alpha; the AND mask is not read.
void ApplyOwnAlpha(uint8_t* pixels, size_t count)
{
    for (size_t i = 0; i < count; ++i, pixels += 4)
        Store(pixels, PremultiplyPixel(ReadU32(pixels)));
}

}  // namespace

bool ReadIconDirectory(std::span<const uint8_t> bytes, IconDirectory& directory)
{
    if (bytes.size() < 6)
        return false;
    const int16_t reserved = int16_t(ReadU16(&bytes[0]));
    const int16_t type = int16_t(ReadU16(&bytes[2]));
    const int16_t count = int16_t(ReadU16(&bytes[4]));
    if (count < 1 || reserved != 0 || (type != 1 && type != 2))
        return false;
    const uint64_t directoryEnd = 6 + uint64_t(16) * count;
    if (bytes.size() < directoryEnd)
        return false;
    uint64_t total = directoryEnd;
    std::vector<IconEntry> entries(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const uint8_t* d = &bytes[6 + 16 * size_t(i)];
        IconEntry& e = entries[size_t(i)];
        e.width = d[0];
        e.height = d[1];
        e.bitCount = ReadU16(d + 6);
        e.bytesInRes = ReadU32(d + 8);
        e.imageOffset = ReadU32(d + 12);
        total += e.bytesInRes;
    }
    if (bytes.size() < total)
        return false;

    bool accepted = true;
    for (IconEntry& e : entries) {
        // Each image lies wholly inside the data and is long enough to tell
        // a PNG from a bitmap header.
        if (uint64_t(e.imageOffset) + e.bytesInRes > bytes.size() || e.bytesInRes < 16) {
            accepted = false;
            continue;
        }
        const uint8_t* image = &bytes[e.imageOffset];
        if (image[14] == 0x44 && image[15] == 0x52) {
            if (!ReadPngEntry(bytes, e))
                accepted = false;
            continue;
        }
        const uint16_t headerBits = ReadU16(image + 14);
        if (headerBits != 0) {
            e.bitCount = headerBits;
        } else if (e.bitCount == 0) {
            accepted = false;
            continue;
        }
        if (!CheckBitmapEntry(bytes, e))
            accepted = false;
    }
    if (!accepted)
        return false;
    directory.type = type;
    directory.entries = std::move(entries);
    return true;
}

int PickBestEntry(const IconDirectory& directory, int requestedWidth, int requestedHeight)
{
    const auto& entries = directory.entries;
    const int count = int(entries.size());
    if (count == 1)
        return entries[0].bitCount != 0 ? 1 : 0;
    std::vector<int> scores(size_t(count), 0);
    int best = 10000;
    int chosen = 0;
    for (int i = 0; i < count; ++i) {
        const IconEntry& e = entries[size_t(i)];
        const int bits = e.bitCount;
        if (bits == 0)
            continue;
        int dw = e.EntryWidth() - requestedWidth;
        if (requestedWidth > e.EntryWidth())
            dw *= 2;
        int dh = e.EntryHeight() - requestedHeight;
        if (requestedHeight > e.EntryHeight())
            dh *= 2;
        int score = dw + dh + std::abs(32 - bits);
        if (bits > 32)
            score = -10000;
        scores[size_t(i)] = score;
        if (score == 0)
            return i + 1;
        if (score > 0 && score < best) {
            best = score;
            chosen = i + 1;
        }
    }
    if (chosen)
        return chosen;
    for (int i = count - 1; i >= 0; --i) {
        const int score = std::abs(scores[size_t(i)]) + std::abs(32 - int(entries[size_t(i)].bitCount));
        if (score < best) {
            best = score;
            chosen = i + 1;
        }
        if (!chosen)
            chosen = 1;
    }
    return chosen;
}

ReadResult DecodeIcon(std::span<const uint8_t> bytes, int requestedWidth, int requestedHeight,
                      const IconPngReader& readPng, PixelTarget& target)
{
    IconDirectory directory;
    if (!ReadIconDirectory(bytes, directory))
        return {};
    ReadResult result{ReadVerdict::NoImage};
    if (requestedWidth < 1)
        requestedWidth = 32;
    if (requestedHeight < 1)
        requestedHeight = 32;
    const int chosen = PickBestEntry(directory, requestedWidth, requestedHeight);
    if (chosen == 0)
        return result;
    const IconEntry& e = directory.entries[size_t(chosen - 1)];
    const bool cursor = directory.type == 2;
    if (e.png) {
        const ReadResult png = readPng(bytes.subspan(e.imageOffset, e.bytesInRes), target);
        if (png.verdict != ReadVerdict::Image)
            return result;
        target.Finish(png.alpha, ImageTypes::PngInIcon);
        return {ReadVerdict::Image, png.alpha, ImageTypes::PngInIcon};
    }
    uint8_t* pixels = target.Allocate(e.EntryWidth(), e.EntryHeight());
    if (!pixels)
        return result;
    if (!ReadColourBits(bytes, e, pixels)) {
        target.Discard();
        return result;
    }
    result.verdict = ReadVerdict::Image;
    if (e.bitCount == 32) {
        ApplyOwnAlpha(pixels, size_t(e.EntryWidth()) * e.EntryHeight());
        result.alpha = true;
        result.imageType = cursor ? ImageTypes::CursorAlpha : ImageTypes::IconAlpha;
    } else {
        result.alpha =
            ApplyIconMask(pixels, e.EntryWidth(), e.EntryHeight(), bytes.data() + AndMaskOffset(e));
        result.imageType = cursor ? ImageTypes::CursorMask : ImageTypes::IconMask;
    }
    target.Finish(result.alpha, result.imageType);
    return result;
}

bool ApplyIconMask(uint8_t* pixels, int width, int height, const uint8_t* mask)
{
    const size_t maskRow = size_t((width + 31) / 32) * 4;
    bool transparent = false;
    for (int y = 0; y < height; ++y) {
        const uint8_t* m = mask + y * maskRow;
        uint8_t* p = pixels + size_t(y) * width * 4;
        for (int x = 0; x < width; ++x, p += 4) {
            if ((m[x >> 3] >> (7 - (x & 7))) & 1) {
                Store(p, 0);
                transparent = true;
            } else {
                p[3] = 255;
            }
        }
    }
    return transparent;
}

}  // namespace quill::imaging
