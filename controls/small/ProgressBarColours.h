// Colour arithmetic, theme palettes and gradient ramps of the themed progress
// bar. Colours are plain RGB values, red in the low byte; every routine here
// takes a colour's three low bytes as they are, so a system-colour reference
// is not translated (only the text colours are, by the drawing surface).
#pragma once

#include "controls/small/Colour.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quill::small {

constexpr int RedOfColour(Colour c)
{
    return static_cast<int>(c & 0xFF);
}
constexpr int GreenOfColour(Colour c)
{
    return static_cast<int>(c >> 8 & 0xFF);
}
constexpr int BlueOfColour(Colour c)
{
    return static_cast<int>(c >> 16 & 0xFF);
}

// RGB(g, g, g), g the channels' mean to the nearest integer.
Colour GreyOfColour(Colour c);
// `amount` added to each channel, each sum capped at 255.
Colour LightenBy(Colour c, int amount);
// a / b in single precision; 0 when either is 0.
float SafeRatio(float a, float b);

// One entry of a colour ramp, in the byte order of a 24-bit DIB row.
struct BgrTriple {
    std::uint8_t blue = 0, green = 0, red = 0;
    friend bool operator==(const BgrTriple&, const BgrTriple&) = default;
};
BgrTriple TripleOfColour(Colour c);

// Entries 0..steps running from `from` towards `to`: each channel moves by
// SafeRatio(to - from, steps) per entry, rounded (halves to even) and kept
// within 0..255. A negative `steps` raises error 9, as an array of no
// entries does.
std::vector<BgrTriple> BuildColourRamp(int steps, BgrTriple from, BgrTriple to);

// The working colours of a theme; entries 2k and 2k + 1 always match, the
// drawing reads the even ones and the border colour at 16.
using ThemePalette = std::array<Colour, 17>;
enum PaletteEntry : int {
    TrackUpperOuter = 0,
    TrackUpperMiddle = 2,
    TrackLowerMiddle = 4,
    TrackLowerOuter = 6,
    FillUpperOuter = 8,
    FillUpperMiddle = 10,
    FillLowerMiddle = 12,
    FillLowerOuter = 14,
    BorderEntry = 16,
};
constexpr int FirstTheme = 1;
constexpr int CustomTheme = 10;  // derived from the two custom colours

// Fills `palette` for `theme`: 1..9 fixed, 10 from custom1 (filled part and
// border) and custom2 (track). Any other theme leaves it as it is and
// answers false.
bool LoadThemePalette(ThemePalette& palette, int theme, Colour custom1, Colour custom2);
// Each entry replaced by its grey (the disabled look).
void GreyPalette(ThemePalette& palette);

// A gradient-fill vertex's channels: each colour byte times 256, alpha 0.
struct VertexChannels {
    std::uint16_t red = 0, green = 0, blue = 0, alpha = 0;
};
VertexChannels VertexOfColour(Colour c);

// The rows of a four-corner gradient of width x height pixels: colours run
// linearly down the left and right edges, then along each row. The ramps
// have one entry more than the rows and columns drawn, so the bottom and
// right corner colours are never quite reached. A width below 1 or a
// negative height raises error 9 before anything is drawn.
class FourColourGradient {
public:
    FourColourGradient(int width, int height, Colour topLeft, Colour topRight, Colour bottomLeft,
                       Colour bottomRight);
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Bytes of one 24-bit DIB row: three per pixel, padded to a multiple of 4.
    std::size_t Stride() const { return stride_; }
    // Row y (0 = top) into `row`, which holds Stride() bytes.
    void Row(int y, std::vector<std::uint8_t>& row) const;

private:
    int width_;
    int height_;
    std::size_t stride_;
    std::vector<BgrTriple> left_;
    std::vector<BgrTriple> right_;
};

}  // namespace quill::small
