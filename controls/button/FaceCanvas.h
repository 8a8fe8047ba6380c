// The drawing primitives the button's faces are made of, over any surface:
// the control's own drawing surface on Windows, or a plain pixel raster.
#pragma once

#include "controls/button/ButtonColours.h"

#include <cstddef>
#include <utility>
#include <vector>

namespace quill::button {

class FaceCanvas {
public:
    virtual ~FaceCanvas() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Sets the surface's background colour, which clears all of it.
    virtual void Fill(Colour c) = 0;
    // A one-pixel line; the end point is not drawn.
    virtual void DrawLine(int x1, int y1, int x2, int y2, Colour c) = 0;
    virtual void SetPixel(int x, int y, Colour c) = 0;
    // Fills (x, y) .. (x + width, y + height), right and bottom excluded.
    virtual void FillBox(int x, int y, int width, int height, Colour c) = 0;
};

// Outline (x, y) -> (x + w, y) -> (x + w, y + h) -> (x, y + h), corners included.
void DrawBox(FaceCanvas& canvas, int x, int y, int width, int height, Colour c);
// Lines y .. y + steps from x1 to x2 (excluded), from `from` to `to`.
void PaintGradientV(FaceCanvas& canvas, Colour from, Colour to, int x1, int y, int x2, int steps);
// Columns x1 .. x2 from y1 to y2 (excluded), from `from` to `to` over x2 - x1 steps.
void PaintGradientH(FaceCanvas& canvas, Colour from, Colour to, int x1, int y1, int x2, int y2);
void DrawEtchedFrame(FaceCanvas& canvas, int x, int y, int w, int h, Colour outer, Colour inner,
                     Colour corner);

// The painted styles speak of inclusive runs and bands; these say it directly.
void Row(FaceCanvas& canvas, int y, int xFrom, int xTo, Colour c);
void Column(FaceCanvas& canvas, int x, int yFrom, int yTo, Colour c);
void BandV(FaceCanvas& canvas, int rowFrom, int rowTo, int colFrom, int colTo, Colour a, Colour b);
void BandH(FaceCanvas& canvas, int colFrom, int colTo, int rowFrom, int rowTo, Colour a, Colour b);
void Outline(FaceCanvas& canvas, int xFrom, int xTo, int yFrom, int yTo, Colour c);

using PixelSet = std::vector<std::pair<int, int>>;
void Pixels(FaceCanvas& canvas, const PixelSet& set, Colour c);
PixelSet InnerCorners(int w, int h);
PixelSet CornerNeighbours(int w, int h);
PixelSet SecondRing(int w, int h);
PixelSet TwelvePixelCorners(int w, int h);

// A raster of the surface's pixels, for reading faces back without a window.
class PixelCanvas final : public FaceCanvas {
public:
    PixelCanvas(int width, int height, Colour background = 0);
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void Fill(Colour c) override;
    void DrawLine(int x1, int y1, int x2, int y2, Colour c) override;
    void SetPixel(int x, int y, Colour c) override;
    void FillBox(int x, int y, int width, int height, Colour c) override;
    Colour At(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }

private:
    int width_;
    int height_;
    std::vector<Colour> pixels_;
};

}  // namespace quill::button
