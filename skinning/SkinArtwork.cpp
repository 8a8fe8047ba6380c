#include "skinning/SkinArtwork.h"

#include <array>
#include <cstdlib>
#include <span>
#include <string_view>

namespace quill::skinning {

namespace {

using Colour = std::uint32_t;

// Channel by channel from `a` (at 0) to `b` (at `span`), rounded to nearest.
Colour Mix(Colour a, Colour b, int at, int span)
{
    if (span <= 0)
        return a;
    Colour out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        const int c = (ca * (span - at) + cb * at + span / 2) / span;
        out |= static_cast<Colour>(c) << shift;
    }
    return out;
}

// Along rows: `top` at row `r0`, `middle` at `r1`, `bottom` at `r2`.
Colour Ramp(int row, int r0, Colour top, int r1, Colour middle, int r2, Colour bottom)
{
    if (row <= r1)
        return Mix(top, middle, row - r0, r1 - r0);
    return Mix(middle, bottom, row - r1, r2 - r1);
}

class Canvas {
public:
    Canvas(int w, int h, Colour fill) : art_{w, h, std::vector<Colour>(static_cast<size_t>(w) * h, fill)} {}
    void Set(int x, int y, Colour c) { art_.pixels[static_cast<size_t>(y) * art_.width + x] = c; }
    Colour Get(int x, int y) const { return art_.At(x, y); }
    // Sets the pixels of `mask` ('#' drawn) at (x, y) with colour(col, row).
    template <class F>
    void Stamp(int x, int y, std::span<const std::string_view> mask, F colour)
    {
        int row = 0;
        for (std::string_view line : mask) {
            for (int col = 0; col < static_cast<int>(line.size()); ++col)
                if (line[col] == '#')
                    Set(x + col, y + row, colour(col, row));
            ++row;
        }
    }
    Artwork Take() { return std::move(art_); }

private:
    Artwork art_;
};

// ---- push-button faces ----

struct FaceColours {
    Colour border;
    std::array<Colour, 7> topRow;
    Colour corner1, corner2;  // the edge pixels of rows 1 and 2 (and 19 and 18)
    // Inner columns: the outer pair (x 1, 5), the next pair (x 2, 4) and the
    // middle (x 3), each at row 1, row 10 and row 19.
    std::array<std::array<Colour, 3>, 3> inner;
};

constexpr std::array<Colour, 7> ActiveTopRow{0xF9E1BF, 0xE3B36B, 0xD8972C, 0xD58F1B,
                                             0xD8972C, 0xE3B36B, 0xF9E1BF};

const FaceColours Faces[4] = {
    // normal: near white
    {0xD58F1B,
     ActiveTopRow,
     0xE3B36B,
     0xD8972C,
     {{{0xFEFAF5, 0xFBF0E3, 0xF5E3CC}, {0xFDF7F0, 0xF9EAD7, 0xF2DCC0}, {0xFDF7F0, 0xF9EAD7, 0xF2DCC0}}}},
    // hot: bright blue sides
    {0xD58F1B,
     ActiveTopRow,
     0xE3B36B,
     0xD8972C,
     {{{0xFDE3AE, 0xFBC24A, 0xF8B22A}, {0xFEF4E2, 0xFCE4B9, 0xF9D89F}, {0xFEF8EE, 0xFBEDD9, 0xF8E3C4}}}},
    // pressed: deeper at the top, as if sunk
    {0xD58F1B,
     ActiveTopRow,
     0xE3B36B,
     0xD8972C,
     {{{0xF2AE35, 0xFBBD3F, 0xFCCB62}, {0xF1CD95, 0xF8DAAA, 0xFBE6C2}, {0xF3D9B0, 0xF9E4C5, 0xFCEEDA}}}},
    // disabled: pale
    {0xE8C387,
     {0xFBF2E3, 0xF0DDBF, 0xEBCEA0, 0xE8C387, 0xEBCEA0, 0xF0DDBF, 0xFBF2E3},
     0xF0DDBF,
     0xEBCEA0,
     {{{0xFCF8F3, 0xFBF4EB, 0xF9EFE2}, {0xFBF6F0, 0xFAF1E5, 0xF8ECDD}, {0xFBF6F0, 0xFAF1E5, 0xF8ECDD}}}},
};

Artwork ButtonFaces()
{
    Canvas c(7, 84, 0);
    for (int state = 0; state < 4; ++state) {
        const FaceColours& f = Faces[state];
        const int y0 = 21 * state;
        for (int row = 0; row < 21; ++row) {
            const int y = y0 + row;
            if (row == 0 || row == 20) {
                for (int x = 0; x < 7; ++x)
                    c.Set(x, y, f.topRow[x]);
                continue;
            }
            const Colour edge = row == 1 || row == 19   ? f.corner1
                                : row == 2 || row == 18 ? f.corner2
                                                        : f.border;
            c.Set(0, y, edge);
            c.Set(6, y, edge);
            for (int x = 1; x <= 5; ++x) {
                const auto& a = f.inner[x == 3 ? 2 : (x == 2 || x == 4) ? 1 : 0];
                c.Set(x, y, Ramp(row, 1, a[0], 10, a[1], 19, a[2]));
            }
        }
    }
    return c.Take();
}

// ---- combo box drop button ----

constexpr std::string_view ArrowMask[] = {"#######", ".#####.", "..###..", "...#..."};

Artwork DropButton()
{
    Canvas c(15, 18, KeyColour);
    for (int y = 0; y < 18; ++y) {
        c.Set(0, y, 0xD1A04E);
        c.Set(4, y, 0xD1A04E);
        for (int x = 1; x <= 3; ++x)
            c.Set(x, y, Ramp(y, 0, x == 1 ? 0xFFFBF0 : 0xFFF9E8, 8, 0xFDEEC1, 17, 0xF3E1C0));
        for (int x = 5; x <= 7; ++x)
            c.Set(x, y, Mix(x == 5 ? 0xF0DCB4 : 0xF3E1BE, 0xFEF8E6, y, 17));
    }
    c.Stamp(8, 0, ArrowMask, [](int, int) { return 0x5F5519u; });
    c.Stamp(8, 4, ArrowMask, [](int, int) { return 0xACA584u; });
    return c.Take();
}

// ---- check mark, indeterminate square, option dot ----

constexpr std::string_view CheckMask[] = {
    "........#", ".......##", "......###", "##...###.", "###.###..", ".#####...", "..###....", "...#.....",
};
constexpr std::string_view SquareMask[] = {
    "#######", "#######", "#######", "#######", "#######", "#######", "#######",
};
constexpr std::string_view DotMask[] = {".###.", "#####", "#####", "#####", ".###."};

// Light to dark down a glyph, enabled and disabled.
constexpr Colour Greens[2][4] = {{0x1BB451, 0x13A948, 0x10A445, 0x0A9C3E},
                                 {0x8BD9A6, 0x87D3A2, 0x87D3A2, 0x82CD9D}};

Artwork Glyphs()
{
    Canvas c(18, 24, KeyColour);
    for (int disabled = 0; disabled < 2; ++disabled) {
        const Colour* g = Greens[disabled];
        const int x0 = 9 * disabled;
        c.Stamp(x0, 0, CheckMask, [g](int, int row) {
            return g[row < 3 ? 0 : row < 5 ? 1 : row < 6 ? 2 : 3];
        });
        c.Stamp(x0 + 1, 9, SquareMask, [g](int, int row) { return g[row * 4 / 7]; });
        // The dot: a light rim round a deeper middle.
        const Colour rim = disabled ? 0xAFE5C3 : 0x60CC87, inner = disabled ? 0x93DCAD : 0x28BA5C,
                     core = g[1];
        c.Stamp(x0 + 2, 18, DotMask, [=](int col, int row) {
            if (row == 0 || row == 4 || col == 0 || col == 4)
                return col == 2 ? inner : rim;
            return col == 2 && row == 2 ? core : inner;
        });
    }
    return c.Take();
}

// ---- option circles ----

// The drawn span of each row of a 13 x 13 circle.
constexpr int CircleSpan[13][2] = {{3, 9},  {2, 10}, {1, 11}, {0, 12}, {0, 12}, {0, 12}, {0, 12},
                                   {0, 12}, {0, 12}, {0, 12}, {1, 11}, {2, 10}, {3, 9}};
constexpr std::array<Colour, 7> CircleTopRow{0xE7CFBC, 0xD9B395, 0xD3A886, 0xD2A683,
                                             0xD3A886, 0xD9B395, 0xE7CFBC};
constexpr Colour PressedRow[13] = {0xC18964, 0xF5E1AD, 0xF5E2AE, 0xF5E2B1, 0xF7E5B4, 0xF7E6B8, 0xF8E7BC,
                                   0xF9EABF, 0xF9ECC3, 0xF9EDC8, 0xFAEFCD, 0xFAEFCF, 0xC18964};

bool InCircle(int x, int y)
{
    return y >= 0 && y < 13 && x >= CircleSpan[y][0] && x <= CircleSpan[y][1];
}

// Steps (left, right, up, down) from the outline, which is every drawn pixel
// next to an undrawn one or to the cell's edge.
int OutlineDistance(int x, int y)
{
    for (int d = 0; d < 13; ++d)
        for (int yy = 0; yy < 13; ++yy)
            for (int xx = 0; xx < 13; ++xx) {
                if (std::abs(xx - x) + std::abs(yy - y) != d || !InCircle(xx, yy))
                    continue;
                if (!InCircle(xx - 1, yy) || !InCircle(xx + 1, yy) || !InCircle(xx, yy - 1) ||
                    !InCircle(xx, yy + 1))
                    return d;
            }
    return 13;
}

Artwork OptionCircles()
{
    Canvas c(13, 52, KeyColour);
    for (int state = 0; state < 4; ++state) {
        const bool pressed = state == StatePressed;
        const int y0 = 13 * state;
        for (int row = 0; row < 13; ++row)
            for (int x = CircleSpan[row][0]; x <= CircleSpan[row][1]; ++x) {
                Colour colour;
                const int d = OutlineDistance(x, row);
                if (row == 0 || row == 12)
                    colour = CircleTopRow[x - 3];
                else if (d == 0)
                    colour = row == 1 || row == 11   ? (pressed ? 0xCC9D7F : 0xD9B395)
                             : row == 2 || row == 10 ? (pressed ? 0xC69270 : 0xD3A886)
                                                     : (pressed ? 0xC18964 : 0xD2A683);
                else if (pressed)
                    colour = PressedRow[x];
                else if (state == StateHot)
                    colour = Mix(0xF8EAC4, 0xFCF4DB, row, 12);
                else
                    colour = d == 1 ? 0xFAF7F3 : d == 2 ? 0xFEFEFD : 0xFFFFFF;
                c.Set(x, y0 + row, colour);
            }
    }
    return c.Take();
}

// ---- header items ----

Artwork HeaderFaces()
{
    Canvas c(9, 20, 0);
    // Per column: row 0, row 10 and row 18; row 19 is the same line in all.
    struct Column {
        Colour top, middle, low;
    };
    const Column columns[9] = {
        {0xFEF5EA, 0xFBF4ED, 0xF8EEE3}, {0xFEF5EA, 0xF6E5D3, 0xF6E5D3}, {0xFEF5EA, 0xD9B07A, 0xE6C9A0},
        {0xFDE6BD, 0xFAC25E, 0xF9B844}, {0xFEEED3, 0xFDE0AE, 0xFCD490}, {0xFDE6BD, 0xDBA24B, 0xD39634},
        {0xFBD797, 0xFAC25E, 0xF8B53F}, {0xFBD797, 0xFFE8B3, 0xFFF0CC}, {0xFBD797, 0xDBA24B, 0xD39634},
    };
    for (int x = 0; x < 9; ++x)
        for (int y = 0; y < 19; ++y) {
            const Column& col = columns[x];
            Colour colour = Ramp(y, 0, col.top, 10, col.middle, 18, col.low);
            if (x == 1)  // the background strip: light, then even from row 9 down
                colour = y < 9 ? Mix(col.top, col.middle, y, 9) : col.middle;
            if (x == 2 && y >= 4 && y <= 15)  // the separator between items
                colour = col.middle;
            c.Set(x, y, colour);
        }
    for (int x = 0; x < 9; ++x)
        c.Set(x, 19, 0xF2DAC0);
    return c.Take();
}

}  // namespace

Artwork SkinArtwork(SkinBitmap which)
{
    switch (which) {
    case SkinBitmap::ButtonFace:
        return ButtonFaces();
    case SkinBitmap::DropButton:
        return DropButton();
    case SkinBitmap::Glyph:
        return Glyphs();
    case SkinBitmap::OptionCircle:
        return OptionCircles();
    case SkinBitmap::Header:
        return HeaderFaces();
    }
    return {};
}

}  // namespace quill::skinning
