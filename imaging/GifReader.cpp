#include "imaging/GifReader.h"

#include <cstring>
#include <vector>

namespace quill::imaging {
namespace {

constexpr int MaxLzwCodes = 4096;

// Reading past the data is the one run-time fault of the walk.
class Cursor {
public:
    explicit Cursor(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    bool Byte(uint64_t at, uint8_t& out) const
    {
        if (at >= bytes_.size())
            return false;
        out = bytes_[at];
        return true;
    }
    // From a sub-block's size byte, past the terminating size byte 0.
    bool SkipSubBlocks(uint64_t& at) const
    {
        for (;;) {
            uint8_t size;
            if (!Byte(at, size))
                return false;
            at += uint64_t(size) + 1;
            if (size == 0)
                return true;
        }
    }

private:
    std::span<const uint8_t> bytes_;
};

bool SignatureMatches(std::span<const uint8_t> bytes)
{
    if (bytes.size() < 6)
        return false;
    char s[6];
    for (int i = 0; i < 6; ++i) {
        const uint8_t c = bytes[size_t(i)];
        s[i] = char(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    }
    return std::memcmp(s, "gif89a", 6) == 0 || std::memcmp(s, "gif87a", 6) == 0;
}

// Rows of an interlaced image in the order they are stored.
std::vector<int> StoredRowOrder(int height, bool interlaced)
{
    std::vector<int> order;
    order.reserve(size_t(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y)
            order.push_back(y);
        return order;
    }
    constexpr int start[4] = {0, 4, 2, 1};
    constexpr int step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < height; y += step[pass])
            order.push_back(y);
    return order;
}

}  // namespace

bool DecodeGifLzw(std::span<const uint8_t> data, int minimumCodeSize, uint8_t* indices, size_t count)
{
    if (minimumCodeSize < 1 || minimumCodeSize > 8)
        return false;
    const int clear = 1 << minimumCodeSize;
    const int end = clear + 1;
    uint16_t prefix[MaxLzwCodes];
    uint8_t suffix[MaxLzwCodes];
    uint8_t first[MaxLzwCodes];  // the first index of each code's string
    uint16_t lengths[MaxLzwCodes];
    for (int c = 0; c < clear; ++c) {
        suffix[c] = first[c] = uint8_t(c);
        lengths[c] = 1;
    }
    int codeSize = minimumCodeSize + 1;
    int next = clear + 2;
    int previous = -1;
    uint32_t bits = 0;
    int bitCount = 0;
    size_t in = 0;
    size_t out = 0;
    while (out < count) {
        while (bitCount < codeSize) {
            if (in >= data.size())
                return false;
            bits |= uint32_t(data[in++]) << bitCount;
            bitCount += 8;
        }
        const int code = int(bits & ((1u << codeSize) - 1));
        bits >>= codeSize;
        bitCount -= codeSize;
        if (code == clear) {
            codeSize = minimumCodeSize + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (code == end)
            return false;  // ends before the image is complete
        if (previous < 0) {
            if (code >= clear)
                return false;
            indices[out++] = uint8_t(code);
            previous = code;
            continue;
        }
        int emitted;
        uint8_t head;
        if (code < next) {
            emitted = code;
            head = first[code];
        } else if (code == next && next < MaxLzwCodes) {
            emitted = -1;  // the previous string followed by its own first index
            head = first[previous];
        } else {
            return false;
        }
        if (next < MaxLzwCodes) {
            prefix[next] = uint16_t(previous);
            suffix[next] = head;
            first[next] = first[previous];
            lengths[next] = uint16_t(lengths[previous] + 1);
            ++next;
            if (next == (1 << codeSize) && codeSize < 12)
                ++codeSize;
        }
        const int written = emitted < 0 ? next - 1 : emitted;
        // The string is written back to front; what does not fit is dropped.
        size_t length = lengths[written];
        int c = written;
        const size_t room = count - out;
        while (length > room) {
            c = prefix[c];
            --length;
        }
        for (size_t i = length; i-- > 0;) {
            indices[out + i] = suffix[c];
            if (i)
                c = prefix[c];
        }
        out += length;
        previous = code;
    }
    return true;
}

ReadResult DecodeGif(std::span<const uint8_t> bytes, PixelTarget& target)
{
    if (!SignatureMatches(bytes))
        return {};
    const ReadResult taken{ReadVerdict::NoImage};
    const Cursor at(bytes);
    uint8_t flags;
    if (!at.Byte(10, flags))
        return taken;
    uint64_t globalTable = 0;
    int tableEntries = 0;
    uint64_t pos = 13;
    if (flags & 0x80) {
        tableEntries = 2 << (flags & 7);
        globalTable = 13;
        pos += uint64_t(3) * tableEntries;
    }

    int transparent = -1;
    uint8_t b;
    for (;;) {
        if (!at.Byte(pos, b))
            return taken;
        if (b == 0) {
            ++pos;
            continue;
        }
        if (b != 0x21)
            break;
        uint8_t label;
        if (!at.Byte(pos + 1, label))
            return taken;
        if (label == 0xFF) {
            uint8_t size;
            if (!at.Byte(pos + 2, size))
                return taken;
            pos += 3 + uint64_t(size);
            if (!at.SkipSubBlocks(pos))
                return taken;
        } else if (label == 0xF9) {
            // Skipped by its own size byte; a block too short for the
            // transparent index means no transparency.
            uint8_t size, packed = 0, index = 0;
            if (!at.Byte(pos + 2, size))
                return taken;
            if (size >= 4 && (!at.Byte(pos + 3, packed) || !at.Byte(pos + 6, index)))
                return taken;
            transparent = size >= 4 && (packed & 1) ? index : -1;
            pos += 2;
            if (!at.SkipSubBlocks(pos))
                return taken;
        } else {
            pos += 2;
            if (!at.SkipSubBlocks(pos))
                return taken;
        }
    }
    if (b != 0x2C)
        return {};

    const uint64_t descriptor = pos;
    uint8_t d[9];
    for (int i = 0; i < 9; ++i)
        if (!at.Byte(descriptor + 1 + uint64_t(i), d[i]))
            return taken;
    const int width = d[4] | (d[5] << 8);
    const int height = d[6] | (d[7] << 8);
    const uint8_t packed = d[8];
    uint64_t table = globalTable;
    pos = descriptor + 10;
    if (packed & 0x80) {
        tableEntries = 2 << (packed & 7);
        table = pos;
        pos += uint64_t(3) * tableEntries;
    }
    uint8_t minimumCodeSize;
    if (!at.Byte(pos, minimumCodeSize))
        return taken;
    const uint64_t dataStart = pos + 1;
    pos = dataStart;
    if (!at.SkipSubBlocks(pos))
        return taken;
    if (tableEntries == 0)
        return {};
    if (!PictureSizeAllowed(width, height))
        return {};

    std::vector<uint8_t> data;
    data.reserve(size_t(pos - dataStart));
    for (uint64_t p = dataStart; bytes[p] != 0; p += uint64_t(bytes[p]) + 1)
        data.insert(data.end(), bytes.begin() + p + 1, bytes.begin() + p + 1 + bytes[p]);
    const size_t count = size_t(width) * size_t(height);
    std::vector<uint8_t> indices(count);
    if (!DecodeGifLzw(data, minimumCodeSize, indices.data(), count))
        return {};

    uint32_t colours[256] = {};
    for (int i = 0; i < 256; ++i) {
        if (i < tableEntries) {
            const uint8_t* rgb = &bytes[table + 3 * uint64_t(i)];
            colours[i] = 0xFF000000u | (uint32_t(rgb[0]) << 16) | (uint32_t(rgb[1]) << 8) | rgb[2];
        } else {
            colours[i] = 0xFF000000u;  // an index past the table is black
        }
    }
    if (transparent >= 0)
        colours[transparent] = 0;

    uint8_t* pixels = target.Allocate(width, height);
    if (!pixels)
        return {};
    const std::vector<int> rows = StoredRowOrder(height, (packed & 0x40) != 0);
    for (int r = 0; r < height; ++r) {
        uint8_t* out = pixels + size_t(height - 1 - rows[size_t(r)]) * size_t(width) * 4;
        const uint8_t* src = &indices[size_t(r) * size_t(width)];
        for (int x = 0; x < width; ++x)
            std::memcpy(out + size_t(x) * 4, &colours[src[x]], 4);
    }
    target.Finish(true, ImageTypes::Gif);
    return {ReadVerdict::Image, true, ImageTypes::Gif};
}

}  // namespace quill::imaging
