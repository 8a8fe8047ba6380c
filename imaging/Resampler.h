#pragma once
// Scaling of a source rectangle into an output rectangle: nearest pixel
// (fast) or bilinear (smooth), with the output clipped to what the
// destination can show.
#include <cstdint>

#include "imaging/PixelView.h"

namespace quill::imaging {

// The part of a scaled output that lands inside a destination of
// limitWidth x limitHeight pixels when drawn at (x, y). colSkip output
// columns are dropped at the left, rowSkip rows at the bottom.
struct ResampleClip {
    int width = 0;
    int height = 0;
    int colSkip = 0;
    int rowSkip = 0;
};
ResampleClip ClipResampleOutput(int x, int y, int width, int height, int limitWidth, int limitHeight);

// A source rectangle in picture terms: x and y from the picture's top-left.
struct SourceRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Fills `out` (bottom-up) with output columns colSkip.. and rows rowSkip..
// of the source rectangle scaled by the ratios (source size / full output
// size). Smooth sampling never reads outside the source rectangle.
void ResamplePixels(ConstPixelView source, SourceRect rect, double xRatio, double yRatio, int colSkip,
                    int rowSkip, bool smooth, PixelView out);

// The bilinear mix at (px, py), px a column and py a bottom-up row position
// of the source: column ix = floor(px) weighs 1 - (px - ix) and ix + 1 the
// rest; row iy = floor(py) weighs py - iy and iy - 1 the rest. Columns and
// rows are clamped into left..right and bottom..top (inclusive); a weight of
// exactly 0 reads nothing; each channel is the floor of the weighted sum.
uint32_t SampleBilinear(ConstPixelView source, double px, double py, int left, int right, int bottom,
                        int top);

}  // namespace quill::imaging
