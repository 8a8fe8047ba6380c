#include "imaging/modParsers.h"

#include <limits>

#include "forms/lang/Error.h"

namespace quill::imaging {

int32_t AlignedRowBytes(uint8_t bitsPerPixel, int32_t width)
{
    int64_t bits = static_cast<int64_t>(width) * bitsPerPixel + 31;
    if (bits > std::numeric_limits<int32_t>::max() || bits < std::numeric_limits<int32_t>::min())
        throw forms::RuntimeError(forms::kOverflow);
    return static_cast<int32_t>((bits & ~int64_t{31}) / 8);
}

uint32_t SwapByteOrder32(uint32_t value)
{
    return (value >> 24) | ((value >> 8) & 0xFF00u) | ((value << 8) & 0xFF0000u) | (value << 24);
}

bool PictureSizeAllowed(int64_t width, int64_t height)
{
    if (width < 1 || height < 1)
        return false;
    if (width > MaxPicturePixels || height > MaxPicturePixels)
        return false;
    int64_t pixels = width * height;
    return pixels <= MaxPicturePixels && pixels * 4 <= std::numeric_limits<int32_t>::max();
}

namespace {

void MakeOpaque(PixelView view)
{
    for (size_t i = 0, n = view.Count(); i < n; ++i)
        view.pixels[i] |= 0xFF000000u;
}

}  // namespace

bool ScanAlphaChannel(PixelView view, bool premultiply, int& imageType)
{
    if (imageType == -1) {
        if (premultiply)
            MakeOpaque(view);
        return false;
    }
    // 0: nothing but premultiplied pixels so far; 1: colour under zero alpha
    // seen (straight alpha); 2: decided, straight alpha.
    int state = 0;
    size_t zeroAlpha = 0;
    const size_t count = view.Count();
    for (size_t i = 0; i < count && state != 2; ++i) {
        uint32_t p = view.pixels[i];
        uint8_t a = AlphaOf(p);
        if (a == 0) {
            if (state == 0 && (p & 0xFFFFFFu) != 0)
                state = 1;
            ++zeroAlpha;
        } else if (a == 255) {
            if (state == 1)
                state = 2;
        } else if (state == 1 || Blue(p) > a || Green(p) > a || Red(p) > a) {
            state = 2;
        }
    }
    if (zeroAlpha == count) {
        imageType = 1;
        if (premultiply)
            MakeOpaque(view);
        return false;
    }
    if (state == 0) {
        imageType = 7;
        return true;
    }
    imageType = 6;
    if (premultiply) {
        for (size_t i = 0; i < count; ++i)
            view.pixels[i] = PremultiplyPixel(view.pixels[i]);
    }
    return true;
}

}  // namespace quill::imaging
