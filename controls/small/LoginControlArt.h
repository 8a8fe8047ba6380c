// The small fixed pictures of the login window's check box, account box and
// link: pixels only, so the window code just copies them onto its surfaces.
#pragma once

#include "controls/small/Colour.h"

#include <array>
#include <cstdint>
#include <vector>

namespace quill::small {

struct PixelPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // colour values, rows from the top
    std::vector<bool> opaque;           // empty when every pixel is opaque

    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
    bool IsOpaque(int x, int y) const
    {
        return opaque.empty() || opaque[static_cast<std::size_t>(y * width + x)];
    }
};

// imgChked / imgUnChked: the 13 x 13 box with or without its green tick.
PixelPicture CheckBoxPicture(bool checked);

// The account box's inner shade: imgBorder_C (2 x 2), imgBorder_Top (1 x 2), imgBorder_Left (2 x 1).
PixelPicture BorderCornerPicture();
PixelPicture BorderTopPicture();
PixelPicture BorderLeftPicture();

// The drop label's three looks, in the order the account box numbers them.
enum class DropLook { Normal = 0, Over = 1, Down = 2 };
PixelPicture DropPicture(DropLook look);  // imgDown_Normal / imgDown_Over / imgDown_Down, 23 x 22

// imgQQ: the 20 x 20 account icon with its transparency mask.
PixelPicture AccountIconPicture();

// The link's two-colour 32 x 32 pointing hand, as the AND and XOR planes of
// a monochrome cursor (4 bytes a row, top row first, high bit leftmost).
struct MonoCursorShape {
    static constexpr int Size = 32;
    int hotX = 0;
    int hotY = 0;
    std::array<std::uint8_t, Size * Size / 8> andPlane{};
    std::array<std::uint8_t, Size * Size / 8> xorPlane{};
};
MonoCursorShape HandCursorShape();

}  // namespace quill::small
