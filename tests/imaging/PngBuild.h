#pragma once
// PNG files made in the tests: every colour type, depth, interlace method and
// filter type, with or without PLTE, tRNS and gAMA, image data split over
// several IDAT chunks; plus the chunks to build damaged files by hand.
#include <cstdint>
#include <string>
#include <vector>

namespace quill::imaging::test {

using Bytes = std::vector<uint8_t>;

void PutBe32(Bytes& out, uint32_t v);
// One chunk: length, type, data and CRC-32 over type and data.
Bytes PngChunk(const char* type, const Bytes& data);
Bytes PngSignatureBytes();
Bytes IhdrData(uint32_t width, uint32_t height, uint8_t depth, uint8_t colourType, uint8_t interlace = 0,
               uint8_t compression = 0, uint8_t filter = 0);
Bytes ZlibCompress(const Bytes& raw, int level = 6);

struct PngSpec {
    int width = 1;
    int height = 1;
    uint8_t depth = 8;
    uint8_t colourType = 6;
    uint8_t interlace = 0;
    // Filter type of each row, used in turn; 5 cycles through 0 to 4, 6
    // through Paeth rows next to each other and with other rows between.
    uint8_t filter = 5;
    int paletteEntries = 0;  // PLTE entries for colour type 3 (0: none written)
    Bytes trns;              // written when not empty
    bool gamma = false;
    int idatChunks = 1;
    bool textBetweenIdat = false;  // not valid PNG: libpng stops at the text chunk
    int level = 6;
    uint32_t seed = 1;
};

std::string Describe(const PngSpec& spec);

// The raw samples of every pass (rows of filter byte 0 plus samples) before
// filtering, as random values that keep palette indices inside the palette
// and, for 16-bit images with a tRNS colour, keep pixels either equal to the
// colour or different in its high bytes.
Bytes MakeRawScanlines(const PngSpec& spec);
// Filters raw scanlines with the picture's filter types.
Bytes FilterScanlines(const PngSpec& spec, const Bytes& raw);
Bytes BuildPng(const PngSpec& spec);
// The chunks after the signature, for files put together by hand.
Bytes BuildPngFromChunks(const std::vector<Bytes>& chunks);

// Every colour type and depth the format allows, each non-interlaced and
// Adam7, with filters, palettes, tRNS and gAMA, at awkward sizes.
std::vector<PngSpec> PngMatrix();

}  // namespace quill::imaging::test
