#pragma once
// Turning a picture by an angle into a square by inverse mapping: every pixel
// of the square looks up the source point that lands on it.
#include "imaging/PixelView.h"
#include "imaging/Resampler.h"

namespace quill::imaging {

// The angle's remainder by 360 with the angle's sign (-30 stays -30, 390
// becomes 30).
int AngleRemainder(int angle);

// The side of the square that holds a destWidth x destHeight picture at any
// angle: its diagonal, rounded to the nearest (halves to even); 0 when no
// square of that side can be made.
int RotationSquareSize(int destWidth, int destHeight);

// Draws `rect` of the source (which may be a mirrored copy), scaled to
// destWidth x destHeight and turned clockwise by `angleRemainder` degrees,
// into the middle of `square`. Pixels that no source point reaches are left
// as they are. Smooth sampling never reads outside the source rectangle.
void RotateInto(ConstPixelView source, SourceRect rect, int destWidth, int destHeight, int angleRemainder,
                bool smooth, PixelView square);

}  // namespace quill::imaging
