#include "controls/small/LoginControlArt.h"

#include <string_view>

namespace quill::small {

namespace {

constexpr std::uint32_t White = Rgb(255, 255, 255);
constexpr std::uint32_t BoxFrame = Rgb(78, 160, 209);
constexpr std::uint32_t ShadeCorner = Rgb(195, 214, 229);
constexpr std::uint32_t ShadeNearCorner = Rgb(202, 219, 232);
constexpr std::uint32_t ShadeOuter = Rgb(207, 222, 234);
constexpr std::uint32_t ShadeInnerCorner = Rgb(227, 236, 243);
constexpr std::uint32_t ShadeInner = Rgb(239, 244, 248);
constexpr std::uint32_t DarkArrow = Rgb(0, 28, 48);

PixelPicture Filled(int width, int height, std::uint32_t colour)
{
    PixelPicture p;
    p.width = width;
    p.height = height;
    p.pixels.assign(static_cast<std::size_t>(width * height), colour);
    return p;
}

void Put(PixelPicture& p, int x, int y, std::uint32_t colour)
{
    p.pixels[static_cast<std::size_t>(y * p.width + x)] = colour;
}

struct TickRow {
    int y, fromX, toX;
    std::uint32_t colour;
};

// The tick is darker towards its foot, one shade per row.
constexpr TickRow Tick[] = {
    {3, 10, 10, Rgb(84, 183, 29)}, {4, 9, 10, Rgb(81, 180, 27)}, {5, 8, 10, Rgb(77, 175, 23)},
    {6, 2, 3, Rgb(72, 169, 19)},   {6, 7, 9, Rgb(72, 169, 19)},  {7, 2, 4, Rgb(67, 162, 15)},
    {7, 6, 8, Rgb(67, 162, 15)},   {8, 3, 7, Rgb(62, 156, 10)},  {9, 4, 6, Rgb(57, 150, 6)},
    {10, 5, 5, Rgb(53, 145, 2)},
};

// A small down-pointing triangle, centred in the drop label.
void DrawArrow(PixelPicture& p)
{
    constexpr int Top = 9, HalfWidth = 3, CentreX = 11;
    for (int row = 0; row <= HalfWidth; ++row)
        for (int x = CentreX - HalfWidth + row; x <= CentreX + HalfWidth - row; ++x)
            Put(p, x, Top + row, DarkArrow);
}

std::uint8_t Mix(std::uint8_t from, std::uint8_t to, int step, int steps)
{
    return static_cast<std::uint8_t>(from + (to - from) * step / steps);
}

// A vertical gradient with a frame-coloured edge on the left, where the
// label meets the text field.
PixelPicture GradientDrop(std::array<std::uint8_t, 3> top, std::array<std::uint8_t, 3> bottom)
{
    PixelPicture p = Filled(23, 22, White);
    for (int y = 0; y < p.height; ++y) {
        const std::uint32_t c =
            Rgb(Mix(top[0], bottom[0], y, p.height - 1), Mix(top[1], bottom[1], y, p.height - 1),
                Mix(top[2], bottom[2], y, p.height - 1));
        for (int x = 1; x < p.width; ++x)
            Put(p, x, y, c);
        Put(p, 0, y, BoxFrame);
    }
    return p;
}

// Pictures drawn as text: one character a pixel, '.' transparent.
struct Ink {
    char key;
    std::uint32_t colour;
};

PixelPicture FromRows(const std::string_view* rows, int count, std::initializer_list<Ink> inks)
{
    PixelPicture p = Filled(static_cast<int>(rows[0].size()), count, White);
    p.opaque.assign(p.pixels.size(), false);
    for (int y = 0; y < count; ++y)
        for (int x = 0; x < p.width; ++x)
            for (const Ink& ink : inks)
                if (rows[y][static_cast<std::size_t>(x)] == ink.key) {
                    Put(p, x, y, ink.colour);
                    p.opaque[static_cast<std::size_t>(y * p.width + x)] = true;
                }
    return p;
}

}  // namespace

PixelPicture CheckBoxPicture(bool checked)
{
    PixelPicture p = Filled(13, 13, White);
    for (int i = 0; i < 13; ++i) {
        Put(p, i, 0, BoxFrame);
        Put(p, i, 12, BoxFrame);
        Put(p, 0, i, BoxFrame);
        Put(p, 12, i, BoxFrame);
    }
    for (int i = 3; i < 12; ++i) {
        Put(p, i, 1, ShadeOuter);
        Put(p, 1, i, ShadeOuter);
        Put(p, i, 2, ShadeInner);
        Put(p, 2, i, ShadeInner);
    }
    Put(p, 1, 1, ShadeCorner);
    Put(p, 2, 1, ShadeNearCorner);
    Put(p, 1, 2, ShadeNearCorner);
    Put(p, 2, 2, ShadeInnerCorner);
    if (checked)
        for (const TickRow& r : Tick)
            for (int x = r.fromX; x <= r.toX; ++x)
                Put(p, x, r.y, r.colour);
    return p;
}

PixelPicture BorderCornerPicture()
{
    PixelPicture p = Filled(2, 2, ShadeCorner);
    Put(p, 1, 0, ShadeNearCorner);
    Put(p, 0, 1, ShadeNearCorner);
    Put(p, 1, 1, ShadeInnerCorner);
    return p;
}

PixelPicture BorderTopPicture()
{
    PixelPicture p = Filled(1, 2, ShadeOuter);
    Put(p, 0, 1, ShadeInner);
    return p;
}

PixelPicture BorderLeftPicture()
{
    PixelPicture p = Filled(2, 1, ShadeOuter);
    Put(p, 1, 0, ShadeInner);
    return p;
}

PixelPicture DropPicture(DropLook look)
{
    PixelPicture p;
    switch (look) {
    case DropLook::Normal:
        // White with the same inner shade as the box's top edge, so the label
        // reads as part of the field until the mouse comes.
        p = Filled(23, 22, White);
        for (int x = 0; x < p.width; ++x) {
            Put(p, x, 0, ShadeOuter);
            Put(p, x, 1, ShadeInner);
        }
        break;
    case DropLook::Over:
        p = GradientDrop({235, 246, 255}, {160, 211, 245});
        break;
    case DropLook::Down:
        p = GradientDrop({110, 178, 226}, {214, 237, 253});
        break;
    }
    DrawArrow(p);
    return p;
}

PixelPicture AccountIconPicture()
{
    // A head and shoulders in the frame's blue, lit from the top left.
    static constexpr std::string_view Rows[] = {
        "....................", "....................", "........dddd........", ".......dllmmd.......",
        "......dllmmmmd......", "......dlmmmmmd......", "......dmmmmmmd......", "......dmmmmmmd......",
        ".......dmmmmd.......", "........dddd........", "......dd....dd......", "....ddllmmmmmmdd....",
        "...dllmmmmmmmmmmd...", "..dlmmmmmmmmmmmmmd..", "..dlmmmmmmmmmmmmmd..", "..dmmmmmmmmmmmmmmd..",
        "..dmmmmmmmmmmmmmmd..", "..dddddddddddddddd..", "....................", "....................",
    };
    return FromRows(Rows, 20,
                    {{'d', Rgb(37, 110, 166)}, {'m', Rgb(78, 160, 209)}, {'l', Rgb(164, 211, 240)}});
}

MonoCursorShape HandCursorShape()
{
    // '#' black, 'o' white, '.' transparent; the index finger's tip is the hot spot.
    static constexpr std::string_view Rows[] = {
        ".....##..........", "....#oo#.........", "....#oo#.........", "....#oo#.........",
        "....#oo#.........", "....#oo###.......", "....#oo#oo###....", "....#oo#oo#oo##..",
        ".##.#oo#oo#oo#o#.", "#oo##oooooooo#oo#", "#ooo#ooooooooooo#", ".#oooooooooooooo#",
        "..#ooooooooooooo#", "..#oooooooooooo#.", "...#ooooooooooo#.", "...#oooooooooo#..",
        "....#ooooooooo#..", "....#ooooooooo#..", "....###########..",
    };
    MonoCursorShape shape;
    shape.hotX = 5;
    shape.hotY = 0;
    shape.andPlane.fill(0xFF);
    for (std::size_t y = 0; y < std::size(Rows); ++y)
        for (std::size_t x = 0; x < Rows[y].size(); ++x) {
            const std::size_t byte = y * (MonoCursorShape::Size / 8) + x / 8;
            const auto bit = static_cast<std::uint8_t>(0x80 >> (x % 8));
            if (Rows[y][x] == '.')
                continue;
            shape.andPlane[byte] &= static_cast<std::uint8_t>(~bit);
            if (Rows[y][x] == 'o')
                shape.xorPlane[byte] |= bit;
        }
    return shape;
}

}  // namespace quill::small
