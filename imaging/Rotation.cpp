#include "imaging/Rotation.h"

#include <cmath>

#include "imaging/modParsers.h"

namespace quill::imaging {

int AngleRemainder(int angle)
{
    return angle % 360;
}

int RotationSquareSize(int destWidth, int destHeight)
{
    double diagonal =
        std::sqrt(static_cast<double>(destWidth) * destWidth + static_cast<double>(destHeight) * destHeight);
    double side = std::nearbyint(diagonal);
    if (side < 1 || side * side * 4 > 2147483647.0)
        return 0;
    return static_cast<int>(side);
}

namespace {

// Sine and cosine of a turn; quarter turns get their exact values, so that a
// source point meant to fall on a pixel boundary is not pushed below it.
void SinCos(int angleRemainder, double& s, double& c)
{
    switch (angleRemainder) {
    case 90:
    case -270:
        s = -1, c = 0;
        return;
    case 180:
    case -180:
        s = 0, c = -1;
        return;
    case 270:
    case -90:
        s = 1, c = 0;
        return;
    default: {
        double a = -(4 * std::atan(1.0) * angleRemainder) / 180;
        s = std::sin(a);
        c = std::cos(a);
    }
    }
}

}  // namespace

void RotateInto(ConstPixelView source, SourceRect rect, int destWidth, int destHeight, int angleRemainder,
                bool smooth, PixelView square)
{
    if (rect.width < 1 || rect.height < 1 || destWidth < 1 || destHeight < 1)
        return;
    const double sx = static_cast<double>(destWidth) / rect.width;
    const double sy = static_cast<double>(destHeight) / rect.height;
    double sinA, cosA;
    SinCos(angleRemainder, sinA, cosA);
    const double cx = cosA / sx, sxn = sinA / sx, cy = cosA / sy, syn = sinA / sy;
    const int d = square.width;
    // Bottom-up row of the rectangle's bottom row, and its centre: within
    // the rectangle (the square's offsets count from the rectangle's corner)
    // and in the source.
    const int b = source.height - rect.height - rect.y;
    const int cw = rect.width / 2, ch = rect.height / 2;
    const int cxs = cw + rect.x;
    const int cys = ch + b;
    const int ox = (d - rect.width) / 2;
    const int oy = (d - rect.height) / 2;
    const int left = rect.x, right = rect.x + rect.width - 1;
    const int bottom = b, top = b + rect.height - 1;
    if (left < 0 || bottom < 0 || right >= source.width || top >= source.height)
        return;
    for (int i = -oy; i < d - oy; ++i) {
        const int row = oy + i;
        if (row < 0 || row >= square.height)
            continue;
        uint32_t* target = square.Row(row);
        int j = -ox;
        double px = (j - cw) * cx + (i - ch) * sxn + cxs;
        double py = (i - ch) * cy - (j - cw) * syn + cys;
        for (; j < d - ox; ++j, px += cx, py -= syn) {
            const int col = ox + j;
            if (col < 0 || col >= square.width)
                continue;
            if (!(py >= b && py < b + rect.height && px >= rect.x && px < rect.x + rect.width))
                continue;
            if (smooth)
                target[col] = SampleBilinear(source, px, py, left, right, bottom, top);
            else
                target[col] = source.Row(static_cast<int>(std::floor(py)))[static_cast<int>(std::floor(px))];
        }
    }
}

}  // namespace quill::imaging
