#include "controls/button/FaceCanvas.h"

#include <algorithm>
#include <cstdlib>

namespace quill::button {

void DrawBox(FaceCanvas& canvas, int x, int y, int width, int height, Colour c)
{
    canvas.DrawLine(x, y, x + width, y, c);
    canvas.DrawLine(x + width, y, x + width, y + height, c);
    canvas.DrawLine(x + width, y + height, x, y + height, c);
    canvas.DrawLine(x, y + height, x, y, c);
}

void PaintGradientV(FaceCanvas& canvas, Colour from, Colour to, int x1, int y, int x2, int steps)
{
    for (int i = 0; i <= steps; ++i)
        canvas.DrawLine(x1, y + i, x2, y + i, GradientColour(from, to, steps, i));
}

void PaintGradientH(FaceCanvas& canvas, Colour from, Colour to, int x1, int y1, int x2, int y2)
{
    const int steps = x2 - x1;
    for (int i = 0; i <= steps; ++i)
        canvas.DrawLine(x1 + i, y1, x1 + i, y2, GradientColour(from, to, steps, i));
}

void DrawEtchedFrame(FaceCanvas& canvas, int x, int y, int w, int h, Colour outer, Colour inner,
                     Colour corner)
{
    DrawBox(canvas, x, y, w - 1, h - 1, outer);
    DrawBox(canvas, x + 1, y + 1, w - 1, h - 1, inner);
    canvas.SetPixel(x, y + h, corner);
    canvas.SetPixel(x + w, y, corner);
    const Colour between = MixColors(inner, outer);
    canvas.SetPixel(x + 1, y + h - 1, between);
    canvas.SetPixel(x + w - 1, y + 1, between);
}

void Row(FaceCanvas& canvas, int y, int xFrom, int xTo, Colour c)
{
    canvas.DrawLine(xFrom, y, xTo + 1, y, c);
}

void Column(FaceCanvas& canvas, int x, int yFrom, int yTo, Colour c)
{
    canvas.DrawLine(x, yFrom, x, yTo + 1, c);
}

void BandV(FaceCanvas& canvas, int rowFrom, int rowTo, int colFrom, int colTo, Colour a, Colour b)
{
    PaintGradientV(canvas, a, b, colFrom, rowFrom, colTo + 1, rowTo - rowFrom);
}

void BandH(FaceCanvas& canvas, int colFrom, int colTo, int rowFrom, int rowTo, Colour a, Colour b)
{
    PaintGradientH(canvas, a, b, colFrom, rowFrom, colTo, rowTo + 1);
}

void Outline(FaceCanvas& canvas, int xFrom, int xTo, int yFrom, int yTo, Colour c)
{
    DrawBox(canvas, xFrom, yFrom, xTo - xFrom, yTo - yFrom, c);
}

void Pixels(FaceCanvas& canvas, const PixelSet& set, Colour c)
{
    for (auto [x, y] : set)
        canvas.SetPixel(x, y, c);
}

PixelSet InnerCorners(int w, int h)
{
    return {{1, 1}, {1, h - 2}, {w - 2, 1}, {w - 2, h - 2}};
}

PixelSet CornerNeighbours(int w, int h)
{
    return {{0, 1}, {1, 0}, {1, h - 1}, {0, h - 2}, {w - 1, h - 2}, {w - 2, h - 1}, {w - 2, 0}, {w - 1, 1}};
}

PixelSet SecondRing(int w, int h)
{
    return {{1, 2}, {2, 1}, {2, h - 2}, {1, h - 3}, {w - 2, h - 3}, {w - 3, h - 2}, {w - 3, 1}, {w - 2, 2}};
}

PixelSet TwelvePixelCorners(int w, int h)
{
    return {{0, 1},     {1, 1},     {1, 0},     {0, h - 2},     {1, h - 2},     {1, h - 1},
            {w - 1, 1}, {w - 2, 1}, {w - 2, 0}, {w - 1, h - 2}, {w - 2, h - 2}, {w - 2, h - 1}};
}

PixelCanvas::PixelCanvas(int width, int height, Colour background)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      pixels_(static_cast<size_t>(width_) * height_, background & 0xFFFFFF)
{
}

void PixelCanvas::Fill(Colour c)
{
    std::fill(pixels_.begin(), pixels_.end(), c & 0xFFFFFF);
}

void PixelCanvas::SetPixel(int x, int y, Colour c)
{
    if (x >= 0 && y >= 0 && x < width_ && y < height_)
        pixels_[static_cast<size_t>(y) * width_ + x] = c & 0xFFFFFF;
}

void PixelCanvas::DrawLine(int x1, int y1, int x2, int y2, Colour c)
{
    // Bresenham without the last point, as the platform's line drawing.
    const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    while (x1 != x2 || y1 != y2) {
        SetPixel(x1, y1, c);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x1 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y1 += sy;
        }
    }
}

void PixelCanvas::FillBox(int x, int y, int width, int height, Colour c)
{
    for (int row = std::max(y, 0); row < std::min(y + height, height_); ++row)
        for (int col = std::max(x, 0); col < std::min(x + width, width_); ++col)
            pixels_[static_cast<size_t>(row) * width_ + col] = c & 0xFFFFFF;
}

}  // namespace quill::button
