#pragma once
// The PNG reader's second half (PngReader.h walks the chunks and inflates):
// the size the image data must inflate to, the default palette, and the
// scanline decoder, which takes the inflated data in runs, undoes the
// scanline filters, takes Adam7 passes apart and writes every pixel as
// premultiplied blue, green, red, alpha bytes in the image object's
// bottom-up rows.
#include <cstdint>
#include <memory>
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

// Takes the image data as it inflates, in runs cut at any points, and turns
// each row into pixels once it is complete (a Paeth row once the row or two
// after it have shown whether it is made together with them): unfilters it
// against the previous row of its pass and writes its pixels to `pixels`
// (width x height, zeroed beforehand). Holds only a few rows, however large
// the picture.
class ScanlineDecoder {
public:
    ScanlineDecoder(const PngHeader& header, const PngColours& colours, uint8_t* pixels);
    ~ScanlineDecoder();
    ScanlineDecoder(const ScanlineDecoder&) = delete;
    ScanlineDecoder& operator=(const ScanlineDecoder&) = delete;

    // False when an interlaced row has an unknown filter type, a pixel refers
    // to a palette entry that does not exist, or the data runs past the
    // picture's FilteredDataSize bytes.
    bool Take(std::span<const uint8_t> bytes);
    // The bytes the data did not reach read as zero; false as for Take.
    bool Finish();

private:
    struct State;
    bool Done() const;
    void StartPass();
    bool Row(const uint8_t* filtered);
    // How many of the rows at `filtered` (`available` bytes) are made
    // together: 2 or 3 for two Paeth rows of the current pass, with an Up or
    // a stored row between them or none (Rows), 1 for the first alone (Row),
    // 0 while the bytes do not yet tell or hold the rows.
    size_t RowsTogether(const uint8_t* filtered, size_t available) const;
    bool Rows(const uint8_t* filtered, size_t count);
    bool MakeRows(size_t together, const uint8_t* filtered);
    // The first rows kept from earlier data; the rest moves to the front.
    bool MakeKeptRows(size_t together);

    const PngHeader& h_;
    std::unique_ptr<State> s_;
};

}  // namespace quill::imaging
