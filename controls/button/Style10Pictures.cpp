#include "controls/button/Style10Pictures.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quill::button {

namespace {

constexpr Colour Grey(int v)
{
    return Rgb(v, v, v);
}

// The light shadow row under the bottom corners fades from the corner inwards
// (columns 5..17 of row H-1, mirrored on the right).
constexpr std::array<int, 13> kBottomShadowFade = {252, 245, 235, 225, 214, 206, 201,
                                                   199, 199, 198, 198, 197, 197};

// Undrawn positions at and beyond the rounded outline, per row counted from
// the outer edge: how many pixels of that row, from the outer column, are left out.
constexpr std::array<int, 8> kTopLeftCut = {6, 5, 3, 3, 2, 1, 1, 1};
constexpr std::array<int, 8> kTopRightCut = {7, 5, 4, 3, 2, 1, 1, 1};  // counts the column W outside
constexpr std::array<int, 5> kBottomLeftCut = {5, 3, 3, 2, 1};
constexpr std::array<int, 6> kBottomRightCut = {6, 4, 3, 2, 1, 1};

// One corner seen from outside: `a` counts columns in from the side's outer
// column, `b` rows in from the cap's outer row. The body's outline starts at
// side depth 1 and cap depth 0 (top) or 1 (bottom, below which the shadow row lies).
struct CornerFrame {
    std::vector<Colour> side;  // by a
    std::vector<Colour> cap;   // by b
    int capOuter;
    bool bottom;

    Colour Side(int a) const
    {
        return side[static_cast<size_t>(std::clamp<int>(a, 0, int(side.size()) - 1))];
    }
    Colour Cap(int b) const { return cap[static_cast<size_t>(std::clamp<int>(b, 0, int(cap.size()) - 1))]; }
    Colour OutsideCap(int a) const
    {
        if (!bottom)
            return Grey(255);
        return Grey(kBottomShadowFade[static_cast<size_t>(std::clamp(a - 5, 0, 12))]);
    }

    // A glossy rounded corner: inside the quarter circle the colour follows
    // the profiles by depth below the outline, blended by angle between the
    // cap's profile and the side's; elsewhere the nearer edge's profile holds,
    // so the tile meets both edges it borders.
    Colour Sample(double u, double v) const
    {
        constexpr double radius = 10.5;
        const double cx = 1 + radius, cy = capOuter + radius;
        const double sideDepth = u - 1, capDepth = v - capOuter;
        if (u < cx && v < cy) {
            const double du = cx - u, dv = cy - v;
            const double depth = radius - std::hypot(du, dv);
            if (depth < 0)
                return capDepth < sideDepth ? OutsideCap(static_cast<int>(u)) : Side(0);
            const double t = std::atan2(du, dv) / (std::numbers::pi / 2);
            const int d = static_cast<int>(depth);
            return Lerp(Cap(capOuter + d), Side(1 + d), t);
        }
        if (capDepth < sideDepth)
            return Cap(static_cast<int>(std::floor(v)));
        return Side(static_cast<int>(std::floor(u)));
    }

    Colour Pixel(int a, int b) const
    {
        constexpr int n = 4;
        double r = 0, g = 0, bl = 0;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                const Colour c = Sample(a + (i + 0.5) / n, b + (j + 0.5) / n);
                r += RedOf(c);
                g += GreenOf(c);
                bl += BlueOf(c);
            }
        return Rgb(RoundHalfEven(r / (n * n)), RoundHalfEven(g / (n * n)), RoundHalfEven(bl / (n * n)));
    }

    static Colour Lerp(Colour x, Colour y, double t)
    {
        auto ch = [t](int p, int q) { return RoundHalfEven(p + (q - p) * t); };
        return Rgb(ch(RedOf(x), RedOf(y)), ch(GreenOf(x), GreenOf(y)), ch(BlueOf(x), BlueOf(y)));
    }
};

struct Profiles {
    Colour centre;
    std::array<Colour, 18> left;
    std::array<Colour, 17> right;
    std::array<Colour, 12> top;
    std::array<Colour, 11> bottom;
};

const Profiles kNormal = {
    Rgb(232, 231, 234),
    {Grey(247), Grey(160), Grey(153), Grey(195), Grey(201), Grey(213), Grey(215), Grey(223), Grey(224),
     Grey(224), Grey(228), Rgb(230, 232, 230), Rgb(231, 231, 232), Rgb(232, 231, 234), Rgb(232, 231, 234),
     Rgb(232, 231, 234), Rgb(232, 231, 234), Rgb(232, 231, 234)},
    {Rgb(232, 231, 234), Rgb(232, 231, 234), Rgb(232, 231, 234), Rgb(232, 231, 234), Grey(231), Grey(230),
     Grey(228), Grey(224), Grey(224), Grey(222), Grey(217), Grey(211), Grey(204), Grey(195), Grey(163),
     Grey(156), Grey(246)},
    {Rgb(106, 105, 103), Rgb(246, 244, 245), Rgb(244, 242, 243), Grey(238), Grey(235), Rgb(234, 232, 235),
     Rgb(234, 232, 235), Grey(234), Grey(225), Rgb(227, 226, 229), Rgb(232, 231, 234), Rgb(233, 235, 232)},
    {Rgb(233, 235, 232), Rgb(239, 241, 238), Grey(242), Grey(245), Rgb(254, 254, 255), Grey(255), Grey(253),
     Grey(254), Grey(251), Grey(84), Grey(197)},
};

const Profiles kHot = {
    Rgb(106, 166, 226),
    {Grey(247), Rgb(158, 160, 176), Rgb(19, 46, 113), Rgb(20, 95, 189), Rgb(39, 115, 209), Rgb(49, 127, 212),
     Rgb(61, 140, 217), Rgb(75, 148, 217), Rgb(79, 148, 215), Rgb(85, 156, 220), Rgb(87, 155, 220),
     Rgb(98, 163, 227), Rgb(101, 162, 227), Rgb(103, 163, 226), Rgb(101, 161, 224), Rgb(106, 166, 227),
     Rgb(106, 166, 227), Rgb(106, 166, 226)},
    {Rgb(106, 166, 226), Rgb(106, 166, 226), Rgb(100, 164, 225), Rgb(99, 163, 224), Rgb(99, 163, 224),
     Rgb(97, 161, 225), Rgb(91, 159, 224), Rgb(85, 152, 222), Rgb(82, 151, 220), Rgb(75, 147, 219),
     Rgb(57, 141, 214), Rgb(45, 127, 209), Rgb(38, 116, 214), Rgb(19, 93, 192), Rgb(20, 53, 124),
     Rgb(152, 155, 171), Grey(246)},
    {Rgb(8, 6, 69), Rgb(201, 212, 241), Rgb(189, 200, 229), Rgb(161, 192, 232), Rgb(152, 184, 224),
     Rgb(142, 180, 227), Rgb(139, 177, 224), Rgb(127, 180, 233), Rgb(99, 153, 206), Rgb(100, 160, 221),
     Rgb(106, 166, 226), Rgb(118, 172, 230)},
    {Rgb(118, 172, 230), Rgb(129, 182, 241), Rgb(138, 189, 243), Rgb(146, 197, 252), Rgb(151, 206, 248),
     Rgb(158, 213, 254), Rgb(163, 221, 247), Rgb(173, 230, 255), Rgb(197, 226, 233), Rgb(64, 93, 99),
     Grey(197)},
};

const Profiles kPressed = {
    Rgb(106, 155, 204),
    {Grey(247), Rgb(155, 157, 169), Rgb(23, 45, 99), Rgb(29, 90, 166), Rgb(46, 108, 185), Rgb(56, 119, 188),
     Rgb(66, 130, 193), Rgb(78, 137, 194), Rgb(82, 138, 193), Rgb(87, 145, 197), Rgb(89, 145, 197),
     Rgb(99, 152, 204), Rgb(101, 150, 204), Rgb(103, 151, 203), Rgb(101, 149, 201), Rgb(106, 154, 204),
     Rgb(106, 154, 204), Rgb(106, 155, 204)},
    {Rgb(106, 155, 204), Rgb(106, 155, 204), Rgb(100, 152, 202), Rgb(99, 151, 201), Rgb(99, 151, 201),
     Rgb(98, 149, 202), Rgb(93, 148, 201), Rgb(87, 142, 198), Rgb(85, 140, 196), Rgb(78, 136, 195),
     Rgb(62, 130, 190), Rgb(52, 118, 185), Rgb(45, 109, 189), Rgb(28, 88, 168), Rgb(25, 51, 109),
     Rgb(148, 151, 164), Grey(246)},
    {Rgb(10, 9, 60), Rgb(190, 199, 222), Rgb(178, 188, 211), Rgb(154, 179, 212), Rgb(146, 172, 204),
     Rgb(138, 168, 207), Rgb(135, 165, 204), Rgb(125, 167, 210), Rgb(98, 142, 185), Rgb(100, 148, 198),
     Rgb(106, 155, 204), Rgb(117, 161, 208)},
    {Rgb(117, 161, 208), Rgb(127, 170, 218), Rgb(135, 176, 220), Rgb(142, 184, 228), Rgb(147, 191, 225),
     Rgb(153, 198, 231), Rgb(157, 204, 226), Rgb(166, 213, 233), Rgb(186, 210, 215), Rgb(62, 86, 90),
     Grey(197)},
};

// Rows of the artwork that carry its outline exactly (tile row, first column, colours).
struct KnownRow {
    int row;
    int firstColumn;
    std::vector<Colour> colours;
};

std::vector<KnownRow> TopLeftKnownRows(Style10Kind kind)
{
    if (kind == Style10Kind::Normal)
        return {
            {0,
             6,
             {Grey(254), Grey(230), Grey(172), Grey(122), Grey(108), Grey(107), Grey(111), Rgb(111, 111, 113),
              Rgb(112, 112, 114), Rgb(102, 104, 103), Rgb(107, 109, 108), Rgb(106, 105, 103)}},
            {1,
             5,
             {Grey(239), Grey(147), Grey(103), Grey(121), Grey(179), Grey(219), Rgb(238, 237, 235),
              Rgb(246, 244, 245), Rgb(246, 244, 245), Rgb(246, 244, 245), Rgb(246, 244, 245),
              Rgb(246, 244, 245), Rgb(246, 244, 245)}}};
    if (kind == Style10Kind::Hot)
        return {{0,
                 6,
                 {Grey(254), Rgb(229, 229, 230), Rgb(165, 165, 169), Rgb(94, 94, 108), Rgb(41, 39, 72),
                  Rgb(12, 13, 55), Rgb(6, 7, 55), Rgb(5, 6, 54), Rgb(6, 6, 58), Rgb(7, 8, 65), Rgb(7, 7, 69),
                  Rgb(8, 6, 69)}}};
    return {};
}

enum class Corner { TopLeft, TopRight, BottomLeft, BottomRight };

std::vector<TilePixel> BuildTile(const Profiles& p, Style10Kind kind, Corner corner, int bottomTileRows)
{
    const bool right = corner == Corner::TopRight || corner == Corner::BottomRight;
    const bool bottom = corner == Corner::BottomLeft || corner == Corner::BottomRight;
    CornerFrame frame;
    frame.bottom = bottom;
    frame.capOuter = bottom ? 1 : 0;
    if (right)
        frame.side.assign(p.right.rbegin(), p.right.rend());
    else
        frame.side.assign(p.left.begin(), p.left.end());
    if (bottom)
        frame.cap.assign(p.bottom.rbegin(), p.bottom.rend());
    else
        frame.cap.assign(p.top.begin(), p.top.end());

    const int columns = corner == Corner::BottomRight ? 17 : 18;
    const int topRows = kind == Style10Kind::Normal ? 13 : 11;
    const int rows = bottom ? bottomTileRows + 1 : topRows;
    // Row H lies outside every button; how much of it the artwork keeps does not show.
    const int bottomOutsideCut = kind == Style10Kind::Normal && corner == Corner::BottomLeft ? 8 : 7;

    auto cutAt = [](const auto& cut, int a, int b) {
        return b >= 0 && b < int(cut.size()) && a < cut[size_t(b)];
    };
    auto undrawn = [&](int a, int b) {
        switch (corner) {
        case Corner::TopLeft:
            return cutAt(kTopLeftCut, a, b);
        case Corner::TopRight:
            return cutAt(kTopRightCut, a + 1, b);
        case Corner::BottomLeft:
            return b < 0 ? a < bottomOutsideCut : cutAt(kBottomLeftCut, a, b);
        case Corner::BottomRight:
            return b < 0 ? a < bottomOutsideCut : cutAt(kBottomRightCut, a, b);
        }
        return false;
    };
    // The Normal picture's lower band is at its brightest in rows H-6..H-4;
    // there the artwork leaves a few single pixels out.
    auto hole = [&](int a, int b) {
        if (kind != Style10Kind::Normal || !bottom)
            return false;
        static constexpr std::pair<int, int> left[] = {{11, 5}, {13, 5}, {15, 5}, {9, 4}};
        static constexpr std::pair<int, int> rightHoles[] = {{16, 5}, {14, 5}, {13, 5}, {12, 5},
                                                             {9, 5},  {11, 4}, {9, 4},  {12, 3}};
        auto contains = [&](const auto& set) {
            return std::find(std::begin(set), std::end(set), std::pair<int, int>{a, b}) != std::end(set);
        };
        return right ? contains(rightHoles) : contains(left);
    };

    std::vector<TilePixel> tile;
    const std::vector<KnownRow> known =
        corner == Corner::TopLeft ? TopLeftKnownRows(kind) : std::vector<KnownRow>{};
    for (int y = 0; y < rows; ++y) {
        const int b = bottom ? bottomTileRows - 1 - y : y;
        for (int x = 0; x < columns; ++x) {
            const int a = right ? 16 - x : x;
            if (undrawn(a, b) || hole(a, b))
                continue;
            Colour c = frame.Pixel(a, b);
            for (const KnownRow& k : known)
                if (k.row == y && x >= k.firstColumn && x - k.firstColumn < int(k.colours.size()))
                    c = k.colours[size_t(x - k.firstColumn)];
            if (corner == Corner::BottomLeft && b == 0 && x >= 5)
                c = Grey(kBottomShadowFade[size_t(x - 5)]);
            tile.push_back({x, y, c});
        }
    }
    return tile;
}

Style10Picture Build(Style10Kind kind)
{
    const Profiles& p = kind == Style10Kind::Normal ? kNormal : kind == Style10Kind::Hot ? kHot : kPressed;
    Style10Picture picture{p.centre, p.left, p.right, p.top, p.bottom, kind == Style10Kind::Normal ? 10 : 12,
                           {},       {},     {},      {}};
    picture.topLeft = BuildTile(p, kind, Corner::TopLeft, picture.bottomTileRows);
    picture.topRight = BuildTile(p, kind, Corner::TopRight, picture.bottomTileRows);
    picture.bottomLeft = BuildTile(p, kind, Corner::BottomLeft, picture.bottomTileRows);
    picture.bottomRight = BuildTile(p, kind, Corner::BottomRight, picture.bottomTileRows);
    return picture;
}

void DrawTile(FaceCanvas& canvas, const std::vector<TilePixel>& tile, int left, int top)
{
    for (const TilePixel& px : tile)
        canvas.SetPixel(left + px.x, top + px.y, px.colour);
}

}  // namespace

const Style10Picture& Style10PictureOf(Style10Kind kind)
{
    static const Style10Picture pictures[] = {Build(Style10Kind::Normal), Build(Style10Kind::Hot),
                                              Build(Style10Kind::Pressed)};
    return pictures[static_cast<int>(kind)];
}

void DrawStyle10Picture(FaceCanvas& canvas, Style10Kind kind)
{
    const Style10Picture& p = Style10PictureOf(kind);
    const int W = canvas.Width(), H = canvas.Height();
    canvas.FillBox(18, 11, W - 34, H - 19, p.centre);
    DrawTile(canvas, p.topLeft, 0, 0);
    DrawTile(canvas, p.bottomLeft, 0, H - p.bottomTileRows);
    DrawTile(canvas, p.topRight, W - 17, 0);
    DrawTile(canvas, p.bottomRight, W - 17, H - p.bottomTileRows);
    for (int c = 0; c <= 17; ++c)
        canvas.DrawLine(c, 11, c, H - 10, p.left[size_t(c)]);
    for (int c = W - 17; c <= W - 1; ++c)
        canvas.DrawLine(c, 11, c, H - 10, p.right[size_t(c - (W - 17))]);
    for (int r = 0; r <= 11; ++r)
        canvas.DrawLine(17, r, W - 17, r, p.top[size_t(r)]);
    // Row H, the last of the bottom profile's run, lies outside the surface.
    for (int r = H - 11; r <= H - 1; ++r)
        canvas.DrawLine(17, r, W - 17, r, p.bottom[size_t(r - (H - 11))]);
}

}  // namespace quill::button
