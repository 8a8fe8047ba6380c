#pragma once
// Outside decoders the readers are compared with, giving pixels in the image
// object's layout (premultiplied, bottom-up): libpng, giflib and
// ImageMagick's own readers. Native builds only.
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/DecodedImage.h"

namespace quill::imaging::test {

// The premultiply rule of the readers: colour x alpha / 255 rounded down,
// all four bytes 0 at alpha 0.
uint32_t PremultipliedPixel(uint8_t r, uint8_t g, uint8_t b, uint8_t a);

// Straight RGBA rows, top row first, into the readers' layout.
imaging::DecodedImage FromTopDownRgba(int width, int height, const std::vector<uint8_t>& rgba);

// libpng with every sample expanded to 8 bits (16-bit samples keep their
// high byte), tRNS as alpha; false when libpng refuses the file.
bool LibpngDecode(const std::vector<uint8_t>& png, imaging::DecodedImage& out);

// giflib's first image: its own size, transparent index from the graphic
// control extension before it.
bool GiflibFirstFrame(const std::vector<uint8_t>& gif, imaging::DecodedImage& out);

// ImageMagick's reading of image `index` of a file (`convert file[index] rgba:-`).
bool ImageMagickDecode(const std::vector<uint8_t>& file, const std::string& extension, int index,
                       imaging::DecodedImage& out);
bool ImageMagickAvailable();

}  // namespace quill::imaging::test
