// Where the skin puts things: rounding, the nine-grid pieces, the combo box's
// drop button, the check and option glyphs, progress fills and border sizes.
// Plain arithmetic, shared by the painters and their tests.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace quill::skinning {

// The nearest integer, a half going to the even neighbour (4.5 gives 4, 5.5
// gives 6).
int RoundHalfEven(double value);

// x, y, width, height.
struct SkinRect {
    int x = 0, y = 0, width = 0, height = 0;
    friend bool operator==(const SkinRect&, const SkinRect&) = default;
};

struct SkinPoint {
    int x = 0, y = 0;
    friend bool operator==(const SkinPoint&, const SkinPoint&) = default;
};

// One copy of a nine-grid: a destination rectangle (in the composing memory
// DC) filled from a source rectangle, either copied at size or stretched.
struct NineGridPiece {
    SkinRect dest;
    SkinRect source;
    bool stretch = false;
    friend bool operator==(const NineGridPiece&, const NineGridPiece&) = default;
};

// The copies that draw `source` onto a width x height destination keeping
// strips of `left`, `top`, `right` and `bottom` pixels at their size at the
// corners and stretching them only along the edges; in drawing order (corners,
// left, right, top and bottom edges, middle). All margins 0 or less: one
// stretch of the source moved by (left, top) and shortened by (right, bottom).
// Empty when a size is 0. A piece left with no area (a destination smaller
// than its margins) is not drawn: stretching to a negative size would mirror.
std::vector<NineGridPiece> NineGridPieces(int width, int height, SkinRect source, int left, int top,
                                          int right, int bottom);

// Combo boxes. A combo box of list style (CBS_SIMPLE or CBS_DROPDOWNLIST, bit
// 0 set) acts as its drop button as a whole; an editable one only inside the
// zone w - scroll bar width - 2 <= x <= w - 2, 2 <= y <= h - 2.
constexpr bool IsListStyleCombo(std::uint32_t style)
{
    return (style & 1) != 0;
}
// CBS_SIMPLE (bit 1 clear) has no drop button to draw.
constexpr bool ComboHasDropButton(std::uint32_t style)
{
    return (style & 2) != 0;
}
bool InDropButtonZone(int w, int h, int x, int y, int scrollBarWidth);

// The drop button, drawn inside the one-pixel frame at the right edge of a
// w x h combo box: its place on the window, and the arrow's place inside it.
struct DropButtonLayout {
    SkinRect button;
    SkinPoint arrow;
};
DropButtonLayout DropButtonPlace(int w, int h, int scrollBarWidth);

// The check square (cw x ch, the system's check-mark size) at the left edge
// of an h pixels high control, and the glyphs inside it.
SkinPoint CheckSquareAt(int h, int ch);
SkinPoint CheckMarkAt(int cw, int ch);
SkinPoint IndeterminateAt(int cw, int ch);
// The option circle's top, and the dot's place on the window.
int OptionCircleTop(int h, int ch);
SkinPoint OptionDotAt(int cw, int ch, int h);

// Progress bars measure their position against a fixed 30000, whatever their
// own range; the fraction is held to 0..1 so that a larger range or a
// negative position never fills beyond the bar.
constexpr int ProgressDivisor = 30000;
float ProgressFraction(std::int32_t position);
// The filled part of a cw x ch client area: from the bottom up when
// vertical, from the left otherwise; empty (zero width or height) at 0.
SkinRect ProgressClientFill(int cw, int ch, float fraction, bool vertical);

// Half the difference between a window's size and its client size, each
// rounded, after taking off the scroll bars it shows.
SkinPoint BorderSize(int windowW, int windowH, int clientW, int clientH, bool vScroll, bool hScroll,
                     int vScrollWidth, int hScrollHeight);

// The first header item whose left <= x <= right, -1 for none.
struct HeaderSpan {
    int left = 0, right = 0;
};
int HeaderHitTest(std::span<const HeaderSpan> items, int x);

}  // namespace quill::skinning
