// The five pictures of the skin, drawn pixel by pixel in code (no resource or
// file is read), and the cells the painters copy out of them. Colour values
// have red in the low byte (&HBBGGRR); magenta is the key colour that
// transparent copies leave out.
#pragma once

#include "skinning/SkinGeometry.h"

#include <cstdint>
#include <vector>

namespace quill::skinning {

constexpr std::uint32_t KeyColour = 0xFF00FF;

enum class SkinBitmap { ButtonFace, DropButton, Glyph, OptionCircle, Header };
// In the order they are built.
constexpr SkinBitmap AllSkinBitmaps[] = {SkinBitmap::ButtonFace, SkinBitmap::DropButton, SkinBitmap::Glyph,
                                         SkinBitmap::OptionCircle, SkinBitmap::Header};

struct Artwork {
    int width = 0;
    int height = 0;
    // Row by row from the top.
    std::vector<std::uint32_t> pixels;
    std::uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Artwork SkinArtwork(SkinBitmap which);

// Visual states of the painters: 0 normal, 1 hot, 2 pressed, 3 disabled.
enum SkinState { StateNormal = 0, StateHot = 1, StatePressed = 2, StateDisabled = 3 };

// Push-button faces, 7 x 21, stacked downwards by state; nine-grid margins 3.
constexpr SkinRect ButtonFaceCell(int state)
{
    return {0, 21 * state, 7, 21};
}
constexpr int ButtonFaceMargin = 3;

// Drop-button faces (4 x 18: hot at x 0, pressed at x 4; nine-grid margins 2,
// 1, 1, 1) and the 7 x 4 arrow for an enabled and a disabled combo box.
constexpr SkinRect DropFaceCell(int state)
{
    return {state == StatePressed ? 4 : 0, 0, 4, 18};
}
constexpr SkinRect DropArrowCell(bool enabled)
{
    return {8, enabled ? 0 : 4, 7, 4};
}

// Glyphs, enabled in x 0-8 and disabled in x 9-17.
constexpr SkinRect CheckMarkCell(bool enabled)
{
    return {enabled ? 0 : 9, 0, 9, 8};
}
constexpr SkinRect IndeterminateCell(bool enabled)
{
    return {enabled ? 1 : 10, 9, 7, 7};
}
constexpr SkinRect OptionDotCell(bool enabled)
{
    return {enabled ? 2 : 11, 18, 5, 5};
}

// Option circles, 13 x 13, stacked downwards by state; nine-grid margins 5.
// Their middle bands (hot and pressed) also fill the check square.
constexpr SkinRect OptionCircleCell(int state)
{
    return {0, 13 * state, 13, 13};
}
constexpr int OptionCircleMargin = 5;
constexpr SkinRect CheckFillBand(int state)
{
    return {1, state == StatePressed ? 30 : 17, 11, 5};
}

// Header items, 3 x 20, side by side by state (normal, hot, pressed);
// nine-grid margins 1. Column 1 is also the header bar's background strip.
constexpr SkinRect HeaderFaceCell(int state)
{
    return {state == StateHot ? 3 : state == StatePressed ? 6 : 0, 0, 3, 20};
}
constexpr SkinRect HeaderStripCell{1, 0, 1, 20};

}  // namespace quill::skinning
