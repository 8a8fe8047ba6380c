#pragma once
// Small routines every reader of the image library shares (the portable
// ones; those that need the platform are in modParsersPlatform.h).
#include <cstdint>
#include <vector>

#include "imaging/PixelView.h"

namespace quill::imaging {

// True when the array has no elements.
inline bool ArrayIsUnset(const std::vector<uint8_t>& bytes)
{
    return bytes.empty();
}

// Bytes of a row of `width` pixels of `bitsPerPixel` bits, padded to 4
// bytes. Raises the overflow error (6) when width x bits + 31 leaves the
// 32-bit signed range.
int32_t AlignedRowBytes(uint8_t bitsPerPixel, int32_t width);

// The value with its four bytes reversed (PNG's big-endian fields).
uint32_t SwapByteOrder32(uint32_t value);

// The largest picture a reader makes from a size read from a file or a
// picture object: 64 megapixels, and a pixel block that 32-bit sizes hold.
constexpr int64_t MaxPicturePixels = 64LL * 1024 * 1024;
bool PictureSizeAllowed(int64_t width, int64_t height);

// Classifies and fixes the alpha bytes of freshly read 32-bit pixels.
// imageType -1 on entry: nothing is scanned (with `premultiply`, every alpha
// byte becomes 255) and the result is False. Otherwise imageType becomes 1
// (no alpha channel: every alpha byte was 0), 6 (straight alpha, made
// premultiplied when asked) or 7 (already premultiplied or opaque); the
// result tells whether the pixels carry transparency.
bool ScanAlphaChannel(PixelView view, bool premultiply, int& imageType);

// Premultiplies one straight-alpha pixel (colour x alpha / 255, rounded
// down; alpha 0 clears the pixel). Inline: readers call it for every pixel.
inline uint32_t Premultiply(uint32_t b, uint32_t g, uint32_t r, uint32_t a)
{
    if (a == 255)
        return Bgra(b, g, r, 255);
    if (a == 0)
        return 0;
    return Bgra(b * a / 255, g * a / 255, r * a / 255, a);
}
inline uint32_t PremultiplyPixel(uint32_t pixel)
{
    return Premultiply(Blue(pixel), Green(pixel), Red(pixel), AlphaOf(pixel));
}

// Reads little-endian fields from bytes whose bounds the caller checked.
inline uint16_t ReadU16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
inline uint32_t ReadU32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline int32_t ReadI32(const uint8_t* p)
{
    return static_cast<int32_t>(ReadU32(p));
}
inline void WriteU16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void WriteU32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace quill::imaging
