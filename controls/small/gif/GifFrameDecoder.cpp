#include "controls/small/gif/GifFrameDecoder.h"

#include <array>
#include <cctype>
#include <vector>

namespace quill::gif {
namespace {

constexpr int kMaxCodes = 4096;

// Reads the bytes of one image's data sub-blocks in order, never past the
// end of the file.
class SubBlockReader {
public:
    SubBlockReader(std::span<const uint8_t> file, size_t pos) : file_(file), pos_(pos) {}

    // Next data byte, or -1 at the terminator or the end of the file.
    int Next()
    {
        while (left_ == 0) {
            if (ended_ || pos_ >= file_.size())
                return -1;
            left_ = file_[pos_++];
            if (left_ == 0) {
                ended_ = true;
                return -1;
            }
        }
        if (pos_ >= file_.size())
            return -1;
        --left_;
        return file_[pos_++];
    }

private:
    std::span<const uint8_t> file_;
    size_t pos_;
    int left_ = 0;
    bool ended_ = false;
};

class CodeReader {
public:
    explicit CodeReader(SubBlockReader& bytes) : bytes_(bytes) {}

    // Next code of the given width, or -1 when the data runs out.
    int Next(int width)
    {
        while (count_ < width) {
            int b = bytes_.Next();
            if (b < 0)
                return -1;
            bits_ |= static_cast<uint32_t>(b) << count_;
            count_ += 8;
        }
        int code = static_cast<int>(bits_ & ((1u << width) - 1));
        bits_ >>= width;
        count_ -= width;
        return code;
    }

private:
    SubBlockReader& bytes_;
    uint32_t bits_ = 0;
    int count_ = 0;
};

// Picture rows in the order an image's lines arrive.
std::vector<int32_t> RowOrder(int32_t height, bool interlaced)
{
    std::vector<int32_t> rows;
    rows.reserve(static_cast<size_t>(height));
    if (!interlaced) {
        for (int32_t r = 0; r < height; ++r)
            rows.push_back(r);
        return rows;
    }
    static constexpr int kStart[4] = {0, 4, 2, 1};
    static constexpr int kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int32_t r = kStart[pass]; r < height; r += kStep[pass])
            rows.push_back(r);
    }
    return rows;
}

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

    // Only the part of the image that falls inside both rectangles is drawn.
    const std::vector<int32_t> rows = RowOrder(imageHeight, (flags & 0x40) != 0);
    auto put = [&](int64_t pixel, uint8_t index) {
        const int32_t px = imageLeft + static_cast<int32_t>(pixel % imageWidth);
        const int32_t py = imageTop + rows[static_cast<size_t>(pixel / imageWidth)];
        if (px >= width || py >= height)
            return;
        const int32_t tx = x + px;
        const int32_t ty = y + py;
        if (tx < 0 || ty < 0 || tx >= target.width || ty >= target.height)
            return;
        target.Row(ty)[tx] = blue[index];
    };

    const int64_t pixelCount = int64_t{imageWidth} * imageHeight;
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    std::array<uint16_t, kMaxCodes> prefix{};
    std::array<uint8_t, kMaxCodes> suffix{};
    std::array<uint8_t, kMaxCodes> firstOf{};
    std::array<uint8_t, kMaxCodes + 1> stack{};
    for (int c = 0; c < clearCode; ++c) {
        suffix[c] = static_cast<uint8_t>(c);
        firstOf[c] = static_cast<uint8_t>(c);
    }
    SubBlockReader bytes(file, pos);
    CodeReader codes(bytes);
    int codeSize = minCodeSize + 1;
    int nextCode = endCode + 1;
    int previous = -1;
    int64_t pixel = 0;
    while (pixel < pixelCount) {
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
            put(pixel++, static_cast<uint8_t>(code));
            previous = code;
            continue;
        }
        if (code > nextCode || (code == nextCode && nextCode >= kMaxCodes))
            break;
        // The new entry is the previous string plus the first index of this one;
        // a code not yet in the table (KwKwK) begins with the previous string's.
        const uint8_t first = code == nextCode ? firstOf[previous] : firstOf[code];
        if (nextCode < kMaxCodes) {
            prefix[nextCode] = static_cast<uint16_t>(previous);
            suffix[nextCode] = first;
            firstOf[nextCode] = firstOf[previous];
            ++nextCode;
            if (nextCode == (1 << codeSize) && codeSize < 12)
                ++codeSize;
        }
        int depth = 0;
        for (int c = code; c >= clearCode; c = prefix[c])
            stack[depth++] = suffix[c];
        stack[depth++] = static_cast<uint8_t>(code >= clearCode ? firstOf[code] : code);
        while (depth > 0 && pixel < pixelCount)
            put(pixel++, stack[--depth]);
        previous = code;
    }
    return true;
}

}  // namespace quill::gif
