#pragma once
// Icon and cursor files made in the tests: bitmap images of every bit count
// with their AND masks, PNG images, 256-pixel entries (stored as 0).
#include <cstdint>
#include <vector>

namespace quill::imaging::test {

using Bytes = std::vector<uint8_t>;

struct IconImageSpec {
    int width = 16;
    int height = 16;
    int bits = 32;  // 1, 4, 8, 16, 24 or 32; PNG images: ignored
    bool png = false;
    uint32_t seed = 1;
    int directoryBits = -1;  // the bit count written in the directory; -1: the image's
    int headerBits = -1;     // the bit count in the bitmap header; -1: the image's
};

// The image's bytes as they are stored in the file (bitmap header, colour
// table, colour bits, AND mask; or a PNG file).
Bytes IconImage(const IconImageSpec& spec);
// A whole file: header, directory, images in order. `type` 1 icon, 2 cursor.
Bytes BuildIcon(const std::vector<IconImageSpec>& images, int type = 1);
// The same with the images' bytes given.
Bytes BuildIconFromImages(const std::vector<IconImageSpec>& specs, const std::vector<Bytes>& images,
                          int type = 1);

}  // namespace quill::imaging::test
