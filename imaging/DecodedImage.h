#pragma once
// What a portable reader hands to the image object: premultiplied pixels in
// the image's own layout, ready to be copied into its section.
#include <cstdint>
#include <vector>

namespace quill::imaging {

struct DecodedImage {
    int width = 0;
    int height = 0;
    // width x height pixels, premultiplied, blue in the low byte and alpha in
    // the high byte; rows bottom-up (the first row is the bottom one).
    std::vector<uint32_t> pixels;
    // Whether drawing must blend with the per-pixel alpha.
    bool alpha = false;
    // The image type code the picture carries (1 opaque bitmap, 6 straight
    // alpha made premultiplied, 7 premultiplied, 10 PNG...).
    int imageType = 0;
};

}  // namespace quill::imaging
