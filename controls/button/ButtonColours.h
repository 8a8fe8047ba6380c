// Colour arithmetic of the button's faces. Colours are 32-bit values with red
// in the low byte (&HBBGGRR); the high byte is ignored by every routine here.
#pragma once

#include <cstdint>

namespace quill::button {

using Colour = std::uint32_t;

constexpr Colour Rgb(int r, int g, int b)
{
    return static_cast<Colour>(r & 0xFF) | static_cast<Colour>(g & 0xFF) << 8 |
           static_cast<Colour>(b & 0xFF) << 16;
}
constexpr int RedOf(Colour c)
{
    return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(Colour c)
{
    return static_cast<int>(c >> 8 & 0xFF);
}
constexpr int BlueOf(Colour c)
{
    return static_cast<int>(c >> 16 & 0xFF);
}

// To the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
int RoundHalfEven(double v);

// Per-channel mean.
Colour MixColors(Colour a, Colour b);
// Towards white: each channel k + (255 - k) * channel / 255 (truncating).
Colour LightenColor(Colour c, int amount);
// Each channel plus delta, clamped to 0..255.
Colour ShiftColor(Colour c, int delta);
// The grey of the channels' plain average.
Colour GrayOfColor(Colour c);
// One pixel of a greyed icon: sixteen greys stay, others get the weighted grey.
Colour GrayscaleIconPixel(Colour c);

// Line i (0..steps) of a gradient of steps + 1 lines from `from` to `to`,
// the per-channel step held in single precision as the drawing code always
// did. A band of zero steps is a single line in `from`.
Colour GradientColour(Colour from, Colour to, int steps, int i);

}  // namespace quill::button
