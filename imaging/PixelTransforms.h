#pragma once
// Whole-picture pixel work of the image object: mirrored copies, grey scale,
// finding the transparent border, and fitted sizes.
#include <cstdint>
#include <vector>

#include "imaging/PixelView.h"
#include "imaging/Resampler.h"

namespace quill::imaging {

// A copy of `rect` of the picture, mirrored left to right and/or upside
// down, `rect.width` x `rect.height` pixels bottom-up. With mirrorX the
// rectangle's x counts from the picture's right edge, with mirrorY its y from
// the bottom edge.
std::vector<uint32_t> MirrorRect(ConstPixelView picture, SourceRect rect, bool mirrorX, bool mirrorY);

// Grey weights (red, green, blue) of a formula: 1 and 2 name two tables,
// every other value the third.
struct GreyWeights {
    float red, green, blue;
};
GreyWeights GreyWeightsOf(int formula);

// Sets blue, green and red of every pixel to its grey value; alpha stays.
void MakeGrey(PixelView pixels, int formula);

// Trim sides: 1 left, 2 top, 4 right, 8 bottom; 0 means all four.
struct TrimRect {
    bool found = false;  // false: the picture holds no pixel with alpha
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};
TrimRect FindTrim(ConstPixelView pixels, int sides);

// The pixels of a rectangle given from the top-left, bottom-up.
std::vector<uint32_t> CopyRect(ConstPixelView pixels, int left, int top, int width, int height);

// The size a picture of width x height gets in destWidth x destHeight: mode 0
// fits inside, 1 fits inside without enlarging, 2 stretches, any other keeps
// the picture's size. Ratios are single precision, sizes rounded down.
void FittedSize(int width, int height, int destWidth, int destHeight, int mode, int& newWidth,
                int& newHeight);

}  // namespace quill::imaging
