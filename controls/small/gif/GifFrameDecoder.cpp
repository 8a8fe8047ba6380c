#include "controls/small/gif/GifFrameDecoder.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <vector>

namespace quill::gif {
namespace {

constexpr int kMaxCodes = 4096;

// Reads the codes of one image's data sub-blocks, least significant bit
// first, never past the end of the file.
class CodeReader {
public:
    CodeReader(std::span<const uint8_t> file, size_t pos)
        : p_(file.data() + pos), end_(file.data() + file.size())
    {
    }

    // Next code of the given width, or -1 when the data runs out.
    int Next(int width)
    {
        if (count_ < width) {
            Refill();
            if (count_ < width)
                return -1;
        }
        const int code = static_cast<int>(bits_ & ((1u << width) - 1));
        bits_ >>= width;
        count_ -= width;
        return code;
    }

private:
    // Tops the bit store up to at least 57 bits, or with what is left.
    void Refill()
    {
        while (count_ <= 56) {
            if (left_ == 0 && !NextBlock())
                return;
            const size_t take = std::min<size_t>(left_, static_cast<size_t>((64 - count_) / 8));
            for (size_t i = 0; i < take; ++i) {
                bits_ |= static_cast<uint64_t>(p_[i]) << count_;
                count_ += 8;
            }
            p_ += take;
            left_ -= take;
        }
    }
    bool NextBlock()
    {
        if (ended_ || p_ >= end_)
            return false;
        left_ = *p_++;
        if (left_ == 0) {
            ended_ = true;
            return false;
        }
        // A block cut short by the end of the file gives what it holds.
        left_ = std::min<size_t>(left_, static_cast<size_t>(end_ - p_));
        return left_ > 0;
    }

    const uint8_t* p_;
    const uint8_t* end_;
    size_t left_ = 0;
    bool ended_ = false;
    uint64_t bits_ = 0;
    int count_ = 0;
};

// The picture rows of an image in the order its lines arrive.
class RowOrder {
public:
    RowOrder(int32_t height, bool interlaced) : height_(height), interlaced_(interlaced) {}
    int32_t Current() const { return row_; }
    void Advance()
    {
        if (!interlaced_) {
            ++row_;
            return;
        }
        static constexpr int kStart[4] = {0, 4, 2, 1};
        static constexpr int kStep[4] = {8, 8, 4, 2};
        row_ += kStep[pass_];
        while (row_ >= height_ && pass_ < 3)
            row_ = kStart[++pass_];
    }

private:
    int32_t height_;
    bool interlaced_;
    int pass_ = 0;
    int32_t row_ = 0;
};

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
    if (minCodeSize < 1 || minCodeSize > 8)
        return false;
    if (imageWidth == 0 || imageHeight == 0)
        return true;

    // Only the part of the image that falls inside both rectangles is drawn:
    // the columns [firstColumn, endColumn) of each line, and its rows when
    // they land inside as well. Lines are gathered whole, then copied.
    const int32_t firstColumn = std::max<int32_t>(0, -x - imageLeft);
    const int32_t endColumn =
        std::min<int32_t>({imageWidth, width - imageLeft, target.width - x - imageLeft});
    bool identity = true;
    for (int i = 0; i < 256 && identity; ++i)
        identity = blue[i] == i;
    thread_local std::vector<uint8_t> line;
    line.resize(static_cast<size_t>(imageWidth));
    RowOrder rows(imageHeight, (flags & 0x40) != 0);
    int32_t linesDone = 0;
    // Copies the columns [firstColumn, end) of the line gathered so far.
    auto copyLine = [&](int32_t end) {
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
    };
    auto flushLine = [&] {
        copyLine(endColumn);
        rows.Advance();
        ++linesDone;
    };

    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    // The string table: each code's last index, the code before it, its
    // first index and its length.
    uint16_t prefix[kMaxCodes];
    uint8_t suffix[kMaxCodes];
    uint8_t firstOf[kMaxCodes];
    uint16_t length[kMaxCodes];
    uint8_t spill[kMaxCodes];
    for (int c = 0; c < clearCode; ++c) {
        suffix[c] = static_cast<uint8_t>(c);
        firstOf[c] = static_cast<uint8_t>(c);
        length[c] = 1;
    }
    CodeReader codes(file, pos);
    int codeSize = minCodeSize + 1;
    int nextCode = endCode + 1;
    int previous = -1;
    int32_t column = 0;
    uint8_t* const lineStart = line.data();
    while (linesDone < imageHeight) {
        const int code = codes.Next(codeSize);
        if (code < 0 || code == endCode)
            break;
        if (code == clearCode) {
            codeSize = minCodeSize + 1;
            nextCode = endCode + 1;
            previous = -1;
            continue;
        }
        if (previous < 0) {
            if (code >= clearCode)
                break;  // a string code before any string exists
        } else {
            if (code > nextCode || (code == nextCode && nextCode >= kMaxCodes))
                break;
            // The new entry is the previous string plus the first index of this
            // one; a code not yet in the table (KwKwK) begins with the previous
            // string's.
            if (nextCode < kMaxCodes) {
                prefix[nextCode] = static_cast<uint16_t>(previous);
                suffix[nextCode] = code == nextCode ? firstOf[previous] : firstOf[code];
                firstOf[nextCode] = firstOf[previous];
                length[nextCode] = static_cast<uint16_t>(length[previous] + 1);
                ++nextCode;
                if (nextCode == (1 << codeSize) && codeSize < 12)
                    ++codeSize;
            }
        }
        previous = code;
        const int32_t n = length[code];
        if (n <= imageWidth - column) {
            // The whole string lands in this line: written from its end.
            uint8_t* p = lineStart + column + n - 1;
            int c = code;
            while (c >= clearCode) {
                *p-- = suffix[c];
                c = prefix[c];
            }
            *p = static_cast<uint8_t>(c);
            column += n;
            if (column == imageWidth) {
                flushLine();
                column = 0;
            }
            continue;
        }
        // Across the end of the line: unwound first, then copied line by line.
        uint8_t* p = spill + n - 1;
        for (int c = code; c >= clearCode; c = prefix[c])
            *p-- = suffix[c];
        *p = static_cast<uint8_t>(firstOf[code]);
        for (int32_t i = 0; i < n && linesDone < imageHeight;) {
            const int32_t take = std::min<int32_t>(n - i, imageWidth - column);
            std::memcpy(lineStart + column, spill + i, static_cast<size_t>(take));
            i += take;
            column += take;
            if (column == imageWidth) {
                flushLine();
                column = 0;
            }
        }
    }
    // A line that breaks off keeps the pixels it got.
    if (column > 0 && linesDone < imageHeight)
        copyLine(std::min(endColumn, column));
    return true;
}

}  // namespace quill::gif
