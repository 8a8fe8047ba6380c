#include "controls/small/gif/GifFrameDecoder.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <vector>

#include "imaging/GifLzw.h"

namespace quill::gif {
namespace {

bool ReadBlueChannel(std::span<const uint8_t> file, size_t& pos, uint8_t flags,
                     std::array<uint8_t, 256>& blue)
{
    const size_t n = size_t{2} << (flags & 7);
    if (pos + 3 * n > file.size())
        return false;
    for (size_t e = 0; e < n; ++e)
        blue[e] = file[pos + 3 * e + 2];
    pos += 3 * n;
    return true;
}

bool SkipSubBlocks(std::span<const uint8_t> file, size_t& pos)
{
    while (pos < file.size() && file[pos] != 0)
        pos += size_t{file[pos]} + 1;
    if (pos >= file.size())
        return false;
    ++pos;
    return true;
}

bool HasGifSignature(std::span<const uint8_t> file)
{
    static constexpr char kSig[] = "gif8?a";
    for (int i = 0; i < 6; ++i) {
        if (i == 4) {
            if (file[4] != '7' && file[4] != '9')
                return false;
        } else if (std::tolower(file[i]) != kSig[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool DecodeOneFrameGif(std::span<const uint8_t> file, const GifBitmapView& target, int32_t x, int32_t y,
                       int32_t width, int32_t height)
{
    if (file.size() < 13 || !HasGifSignature(file))
        return false;
    std::array<uint8_t, 256> blue{};
    size_t pos = 13;
    if ((file[10] & 0x80) && !ReadBlueChannel(file, pos, file[10], blue))
        return false;
    for (;;) {
        if (pos >= file.size())
            return false;
        const uint8_t block = file[pos++];
        if (block == 0x2C)
            break;
        if (block != 0x21 || pos >= file.size())
            return false;
        ++pos;  // the extension's label
        if (!SkipSubBlocks(file, pos))
            return false;
    }
    if (pos + 9 > file.size())
        return false;
    const int32_t imageLeft = file[pos] | (file[pos + 1] << 8);
    const int32_t imageTop = file[pos + 2] | (file[pos + 3] << 8);
    const int32_t imageWidth = file[pos + 4] | (file[pos + 5] << 8);
    const int32_t imageHeight = file[pos + 6] | (file[pos + 7] << 8);
    const uint8_t flags = file[pos + 8];
    pos += 9;
    if ((flags & 0x80) && !ReadBlueChannel(file, pos, flags, blue))
        return false;
    if (pos >= file.size())
        return false;
    const int minCodeSize = file[pos++];
    if (!imaging::GifLzwDecoder::CodeSizeAllowed(minCodeSize))
        return false;
    if (imageWidth == 0 || imageHeight == 0)
        return true;

    // Only the part of the image that falls inside both rectangles is drawn:
    // the columns [firstColumn, endColumn) of each line, and its rows when
    // they land inside as well. Lines are decoded whole, then copied.
    const int32_t firstColumn = std::max<int32_t>(0, -x - imageLeft);
    const int32_t endColumn =
        std::min<int32_t>({imageWidth, width - imageLeft, target.width - x - imageLeft});
    bool identity = true;
    for (int i = 0; i < 256 && identity; ++i)
        identity = blue[i] == i;
    thread_local std::vector<uint8_t> line;
    line.resize(static_cast<size_t>(imageWidth));
    imaging::GifLzwDecoder lzw(file, pos, minCodeSize);
    imaging::GifRowOrder rows(imageHeight, (flags & 0x40) != 0);
    for (int32_t done = 0; done < imageHeight; ++done, rows.Advance()) {
        const size_t got = lzw.Read(line.data(), static_cast<size_t>(imageWidth));
        // A line that breaks off keeps the pixels it got.
        const int32_t end = std::min(endColumn, static_cast<int32_t>(got));
        const int32_t py = imageTop + rows.Current();
        const int32_t ty = y + py;
        if (py < height && ty >= 0 && ty < target.height && firstColumn < end) {
            uint8_t* out = target.Row(ty) + (x + imageLeft + firstColumn);
            const uint8_t* in = line.data() + firstColumn;
            const size_t n = static_cast<size_t>(end - firstColumn);
            if (identity) {
                std::memcpy(out, in, n);
            } else {
                for (size_t c = 0; c < n; ++c)
                    out[c] = blue[in[c]];
            }
        }
        if (got < static_cast<size_t>(imageWidth))
            break;
    }
    return true;
}

}  // namespace quill::gif
