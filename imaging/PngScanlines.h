#pragma once
// The PNG reader's second half: the size the image data must inflate to, the
// default palette, undoing the scanline filters, taking Adam7 passes apart and
// writing every pixel as premultiplied blue, green, red, alpha bytes in the
// image object's bottom-up rows.
#include <cstdint>
#include <span>
#include <vector>

namespace quill::imaging {

struct PngHeader {
    int32_t width = 0;
    int32_t height = 0;
    uint8_t bitDepth = 0;
    uint8_t colourType = 0;  // 0 grey, 2 RGB, 3 palette, 4 grey and alpha, 6 RGB and alpha
    uint8_t interlace = 0;   // 0 none, 1 Adam7
};

// Palette and transparency as the chunk walk kept them.
struct PngColours {
    std::vector<uint8_t> palette;        // RGB triples
    std::vector<uint8_t> paletteAlphas;  // the tRNS bytes; 256 alphas for a palette image
    int32_t transparencyKey = -1;        // -1: no transparency chunk accepted
};

// Samples per pixel of a colour type.
int PngChannels(uint8_t colourType);

// True for the bit depth and colour type pairs the PNG format allows.
bool IsValidDepthForColourType(uint8_t bitDepth, uint8_t colourType);

// The number of filtered bytes the image data inflates to (one filter byte
// per row of every pass); 0 when it does not fit in 31 bits.
uint64_t FilteredDataSize(const PngHeader& header);

// A grey ramp for grey images below 16 bits, black and white for a 1-bit
// palette image without PLTE, black otherwise; only while no palette is kept.
void BuildGrayPalette(const PngHeader& header, PngColours& colours);

// Unfilters `filtered` in place (FilteredDataSize bytes; missing bytes must be
// zero) and writes width x height pixels to `pixels` (zeroed beforehand).
// False when an interlaced row has an unknown filter type or a pixel refers
// to a palette entry that does not exist.
bool DecodeScanlines(const PngHeader& header, const PngColours& colours, std::span<uint8_t> filtered,
                     uint8_t* pixels);

}  // namespace quill::imaging
