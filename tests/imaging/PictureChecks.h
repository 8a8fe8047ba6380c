#pragma once
// What every picture the image library's readers make must satisfy: the
// size within the bounds, and premultiplied pixels (no colour above alpha).
#include <cstdlib>

#include "imaging/DecodedImage.h"

namespace quill::imaging::test {

inline void CheckPicture(imaging::ReadResult result, const imaging::DecodedImage& image)
{
    using imaging::ReadVerdict;
    if (result.verdict != ReadVerdict::Image) {
        if (!image.pixels.empty())
            std::abort();  // no picture left behind
        return;
    }
    if (!imaging::PictureSizeAllowed(image.width, image.height))
        std::abort();
    if (image.pixels.size() != size_t(image.width) * size_t(image.height))
        std::abort();
    if (image.alpha != result.alpha || image.imageType != result.imageType)
        std::abort();
    for (uint32_t p : image.pixels) {
        const uint32_t a = p >> 24;
        if (((p >> 16) & 0xFF) > a || ((p >> 8) & 0xFF) > a || (p & 0xFF) > a)
            std::abort();
    }
}

}  // namespace quill::imaging::test
