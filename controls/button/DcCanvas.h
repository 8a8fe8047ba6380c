#pragma once
// The face primitives on a device context, with 1-pixel solid pens and solid
// brushes made for each call and deleted after it; and the colour and edge
// calls the faces share.
#include "controls/button/ButtonColours.h"
#include "controls/button/FaceCanvas.h"
#include "forms/Color.h"
#include "forms/Gdi.h"

#include <windows.h>

#include <functional>

namespace quill::button {

// The OLE translation of a colour value; -1 when it fails.
Colour TranslateColor(forms::OleColor c);

class DcCanvas final : public button::FaceCanvas {
public:
    DcCanvas(HDC dc, int width, int height, std::function<void(Colour)> fill)
        : dc_(dc), width_(width), height_(height), fill_(std::move(fill))
    {
    }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void Fill(Colour c) override { fill_(c & 0xFFFFFF); }
    void DrawLine(int x1, int y1, int x2, int y2, Colour c) override;
    void SetPixel(int x, int y, Colour c) override { SetPixelV(dc_, x, y, c & 0xFFFFFF); }
    void FillBox(int x, int y, int width, int height, Colour c) override;

private:
    HDC dc_;
    int width_, height_;
    std::function<void(Colour)> fill_;
};

// DrawEdge over (x, y, x + width, y + height).
void DrawEdgeBox(HDC dc, int x, int y, int width, int height, UINT edge, UINT flags);

}  // namespace quill::button
