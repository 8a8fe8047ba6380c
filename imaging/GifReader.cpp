#include "imaging/GifReader.h"

#include <cstring>
#include <vector>

#include "imaging/GifLzw.h"

namespace quill::imaging {
namespace {

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

}  // namespace

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

    // Data after the image's last index is ignored.
    const size_t count = size_t(width) * size_t(height);
    std::vector<uint8_t> indices(count);
    GifLzwDecoder lzw(bytes, size_t(dataStart), minimumCodeSize);
    if (!GifLzwDecoder::CodeSizeAllowed(minimumCodeSize) || lzw.Read(indices.data(), count) != count)
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
    GifRowOrder rows(height, (packed & 0x40) != 0);
    for (int r = 0; r < height; ++r, rows.Advance()) {
        uint8_t* out = pixels + size_t(height - 1 - rows.Current()) * size_t(width) * 4;
        const uint8_t* src = &indices[size_t(r) * size_t(width)];
        for (int x = 0; x < width; ++x)
            std::memcpy(out + size_t(x) * 4, &colours[src[x]], 4);
    }
    target.Finish(true, ImageTypes::Gif);
    return {ReadVerdict::Image, true, ImageTypes::Gif};
}

}  // namespace quill::imaging
