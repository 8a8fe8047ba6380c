// The three pictures of Style 10 (Normal, Hot, Pressed): a nine-part layout of
// a centre colour, four edge profiles and four corner tiles, fitted to the
// button's size.
#pragma once

#include "controls/button/ButtonColours.h"
#include "controls/button/FaceCanvas.h"

#include <array>
#include <vector>

namespace quill::button {

enum class Style10Kind { Normal, Hot, Pressed };

struct TilePixel {
    int x;  // column within the tile
    int y;  // row within the tile
    Colour colour;
};

struct Style10Picture {
    Colour centre;
    std::array<Colour, 18> left;    // columns 0..17
    std::array<Colour, 17> right;   // columns W-17..W-1
    std::array<Colour, 12> top;     // rows 0..11
    std::array<Colour, 11> bottom;  // rows H-11..H-1
    int bottomTileRows;             // the bottom tiles start at row H - bottomTileRows
    // Stored pixels only, row by row. The left and top-right tiles are 18
    // columns wide, the bottom-right tile 17; positions not listed are not drawn.
    std::vector<TilePixel> topLeft, topRight, bottomLeft, bottomRight;
};

const Style10Picture& Style10PictureOf(Style10Kind kind);
void DrawStyle10Picture(FaceCanvas& canvas, Style10Kind kind);

}  // namespace quill::button
