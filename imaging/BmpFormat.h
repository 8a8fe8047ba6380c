#pragma once
// The BMP format as the image library reads and writes it: the reader takes
// uncompressed 32-bit files itself and leaves every other BMP to the
// platform's picture loader; the writer writes 32-bit files.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "imaging/DecodedImage.h"
#include "imaging/PixelView.h"

namespace quill::imaging {

enum class BmpVerdict {
    NotBmp,   // no "BM" signature: for the picture loader, depth unknown
    Refused,  // a "BM" file of no picture (width below 1, height 0) or too big
    Decoded,  // an uncompressed 32-bit file, read into `image`
    Other,    // another depth or compression, or data that does not fit
};

struct BmpRead {
    BmpVerdict verdict = BmpVerdict::NotBmp;
    // Bits per pixel from the header; 0 when there is no usable header.
    uint16_t bitsPerPixel = 0;
    DecodedImage image;
};

// Reads the BMP at the start of `stream`: every size and offset is checked
// against the bytes present in 64-bit arithmetic. A decoded picture's alpha
// bytes are classified and premultiplied (image type 1, 6 or 7).
BmpRead ReadBmp(std::span<const uint8_t> stream);

constexpr int BmpHeaderBytes = 54;

// The 54 bytes before the pixels of a 32-bit bottom-up BMP of width x height;
// false when the file would not fit a BMP's 32-bit size fields.
bool BmpFileHeader(int32_t width, int32_t height, std::array<uint8_t, BmpHeaderBytes>& header);

// A whole 32-bit BMP file of the pixels, unchanged (premultiplied, bottom row
// first); empty when it cannot be written.
std::vector<uint8_t> BmpFileBytes(ConstPixelView pixels);

}  // namespace quill::imaging
