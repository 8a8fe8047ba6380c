#include "controls/button/PaintedStyles.h"

#include "controls/button/Style10Pictures.h"

namespace quill::button {

namespace {

// C+k of the painted styles: ShiftColor, so each shift clamps on its own.
struct Shifted {
    Colour base;
    Colour operator()(int k) const { return ShiftColor(base, k); }
};

// R(H/2 + k): half heights are exact and round to the even neighbour.
int HalfH(int h, int k)
{
    return RoundHalfEven(h / 2.0 + k);
}

}  // namespace

void PaintStyle5(FaceCanvas& c, const FaceInputs& in)
{
    const int W = c.Width(), H = c.Height();
    c.Fill(in.systemButtonFace);
    auto frameAndCorners = [&] {
        const Colour frame = Rgb(0, 60, 116);
        Row(c, 0, 1, W - 2, frame);
        Column(c, 0, 1, H - 2, frame);
        Column(c, W - 1, 1, H - 2, frame);
        Row(c, H - 1, 1, W - 2, frame);
        Pixels(c, InnerCorners(W, H), Rgb(72, 110, 144));
        Pixels(c, CornerNeighbours(W, H), Rgb(106, 139, 162));
        Pixels(c, SecondRing(W, H), Rgb(191, 199, 202));
    };
    switch (in.state) {
    case StateNormal:
    case StateHot:
        BandV(c, 1, 5, 1, W - 3, Rgb(252, 252, 251), Rgb(240, 240, 240));
        BandV(c, 4, H - 4, 1, W - 3, Rgb(250, 250, 249), Rgb(240, 240, 234));
        BandV(c, H - 4, H - 1, 1, W - 3, Rgb(235, 235, 230), Rgb(214, 208, 197));
        BandV(c, 3, H - 2, W - 3, W - 3, Rgb(251, 251, 250), Rgb(228, 226, 218));
        BandV(c, 3, H - 2, W - 2, W - 2, Rgb(245, 244, 242), Rgb(219, 215, 205));
        frameAndCorners();
        if (in.state == StateHot) {
            Row(c, 1, 2, W - 3, Rgb(255, 240, 207));
            Row(c, 2, 2, W - 3, Rgb(253, 216, 137));
            Row(c, H - 3, 2, W - 3, Rgb(248, 179, 48));
            Row(c, H - 2, 2, W - 3, Rgb(229, 151, 16));
            BandV(c, 2, H - 3, 1, 2, Rgb(253, 216, 137), Rgb(248, 179, 48));
            BandV(c, 2, H - 3, W - 3, W - 2, Rgb(253, 216, 137), Rgb(248, 179, 48));
        } else if (in.hasFocus || in.displayAsDefault) {
            Row(c, H - 2, 2, W - 3, Rgb(105, 130, 238));
            Row(c, 1, 2, W - 3, Rgb(206, 231, 255));
            Row(c, 2, 2, W - 3, Rgb(188, 212, 246));
            Row(c, H - 3, 2, W - 3, Rgb(137, 173, 228));
            BandV(c, 2, H - 3, 1, 2, Rgb(188, 212, 246), Rgb(137, 173, 228));
            BandV(c, 2, H - 3, W - 3, W - 2, Rgb(188, 212, 246), Rgb(137, 173, 228));
        }
        break;
    case StatePressed:
        BandV(c, 1, 5, 2, W - 2, Rgb(209, 204, 193), Rgb(228, 227, 220));
        BandV(c, 4, H - 4, 2, W - 2, Rgb(228, 227, 220), Rgb(227, 226, 219));
        BandV(c, H - 4, H - 1, 3, W - 2, Rgb(227, 226, 219), Rgb(242, 241, 238));
        BandV(c, 3, H - 2, 1, 1, Rgb(218, 216, 206), Rgb(227, 226, 219));
        BandV(c, 4, H - 3, 2, 2, Rgb(218, 216, 206), Rgb(227, 226, 219));
        frameAndCorners();
        break;
    case StateDisabled:
        c.Fill(Rgb(245, 244, 234));
        Outline(c, 0, W - 1, 0, H - 1, Rgb(201, 199, 186));
        Pixels(c, TwelvePixelCorners(W, H), Rgb(216, 213, 199));
        break;
    default:
        break;
    }
}

void PaintStyle5Custom(FaceCanvas& c, const FaceInputs& in)
{
    const int W = c.Width(), H = c.Height();
    const Shifted C{in.backColor};
    switch (in.state) {
    case StateNormal:
    case StateHot:
        c.Fill(in.backColor);
        BandV(c, 1, H - 2, 1, W - 3, C(0), C(-15));
        BandV(c, 2, H - 3, 1, 1, C(21), C(-21));
        BandV(c, 2, H - 3, W - 2, W - 2, C(-5), C(-32));
        Row(c, 1, 2, W - 3, C(5));
        Row(c, 2, 1, W - 2, C(2));
        Row(c, H - 4, 2, W - 3, C(-16));
        Row(c, H - 3, 2, W - 3, C(-24));
        Row(c, H - 2, 2, W - 3, C(-37));
        Row(c, 0, 2, W - 3, C(-128));
        Column(c, 0, 2, H - 3, C(-128));
        Row(c, H - 1, 2, W - 3, C(-128));
        Column(c, W - 1, 0, H - 1, C(-128));
        Pixels(c, InnerCorners(W, H), C(-128));
        Pixels(c, CornerNeighbours(W, H), C(-21));
        if (in.state == StateHot || (in.hasFocus && in.showFocus)) {
            const Shifted G{in.state == StateHot ? in.highlightColor : in.systemHighlight};
            Row(c, 1, 2, W - 3, G(85));
            Row(c, 2, 2, W - 3, G(69));
            Row(c, H - 3, 2, W - 3, G(16));
            Row(c, H - 2, 2, W - 3, G(0));
            BandV(c, 2, H - 3, 1, 2, G(69), G(16));
            BandV(c, 2, H - 3, W - 3, W - 2, G(69), G(16));
        }
        break;
    case StatePressed:
        BandV(c, 1, 5, 2, W - 2, C(-37), C(-21));
        BandV(c, 4, H - 4, 2, W - 2, C(-21), C(-5));
        BandV(c, H - 4, H - 1, 3, W - 2, C(-5), C(5));
        BandV(c, 3, H - 2, 1, 1, C(-32), C(-22));
        BandV(c, 4, H - 3, 2, 2, C(-24), C(-15));
        c.SetPixel(1, 2, C(-48));
        c.SetPixel(2, 1, C(-48));
        c.SetPixel(2, H - 2, C(-5));
        c.SetPixel(1, H - 3, C(-16));
        c.SetPixel(W - 2, H - 3, C(18));
        c.SetPixel(W - 3, H - 2, C(8));
        c.SetPixel(W - 3, 1, C(-48));
        c.SetPixel(W - 2, 2, C(-37));
        Row(c, 0, 1, W - 2, C(-128));
        Column(c, 0, 1, H - 2, C(-128));
        Column(c, W - 1, 1, H - 2, C(-128));
        Row(c, H - 1, 1, W - 2, C(-128));
        Pixels(c, InnerCorners(W, H), C(-96));
        break;
    case StateDisabled:
        c.Fill(in.backColor);
        Outline(c, 0, W - 1, 0, H - 1, C(-64));
        Pixels(c, TwelvePixelCorners(W, H), C(-53));
        break;
    default:
        break;
    }
}

void PaintStyle7(FaceCanvas& c, const FaceInputs& in)
{
    const int W = c.Width(), H = c.Height();
    const Shifted K{in.useCustomColors ? in.backColor : in.systemButtonFace};
    const Shifted G{in.useCustomColors ? in.highlightColor : in.systemHighlight};
    auto frame = [&](Colour e) {
        Row(c, 0, 2, W - 3, e);
        Column(c, 0, 2, H - 3, e);
        Row(c, H - 1, 2, W - 3, e);
        Column(c, W - 1, 0, H - 1, e);
        Pixels(c, InnerCorners(W, H), e);
    };
    if (in.state == StatePressed) {
        const Shifted P{K(-9)};
        BandV(c, 1, H - 1, 1, W - 3, P(-15), P(0));
        BandV(c, 2, H - 3, W - 2, W - 2, P(-21), P(21));
        BandV(c, 2, H - 3, 1, 1, P(-32), P(-5));
        frame(P(-96));
        Pixels(c, CornerNeighbours(W, H), K(-21));
        Row(c, H - 2, 2, W - 3, K(8));
        Row(c, 1, 2, W - 3, K(-21));
        return;
    }
    const Shifted F{K(in.state == StateHot ? 24 : in.state == StateDisabled ? 18 : 8)};
    const int s = in.state == StateHot ? 16 : 15;
    c.Fill(F(0));
    BandV(c, 1, H - 2, 1, W - 3, F(s), F(-s));
    BandV(c, 2, H - 3, 1, 1, F(21), F(-21));
    BandV(c, 2, H - 3, W - 2, W - 2, F(-5), F(-32));
    frame(F(-96));
    Pixels(c, CornerNeighbours(W, H), in.state == StateDisabled ? K(5) : K(-21));
    if (in.state == StateNormal || in.state == StateDisabled) {
        Row(c, 1, 2, W - 3, K(21));
        Row(c, H - 2, 2, W - 3, K(-37));
    }
    if (in.state == StateHot || (in.state == StateNormal && in.hasFocus)) {
        Row(c, 1, 2, W - 3, G(21));
        Row(c, 2, 1, W - 2, G(21));
        Row(c, H - 3, 1, W - 2, G(-5));
        Row(c, H - 2, 2, W - 3, G(-21));
    }
}

void PaintStyle8(FaceCanvas& c, const FaceInputs& in)
{
    const int W = c.Width(), H = c.Height();
    const Shifted K{in.useCustomColors ? in.backColor : in.systemButtonFace};
    const Shifted Q{in.state == StateNormal ? K(0)
                    : in.useCustomColors    ? in.highlightColor
                                            : ShiftColor(in.systemButtonFace, 15)};
    const bool pressed = in.state == StatePressed;
    c.Fill(Q(0));
    BandV(c, 2, H - 4, 2, W - 4, pressed ? Q(-15) : Q(15), pressed ? Q(15) : Q(-15));
    const Colour lit = pressed ? Q(0) : Q(96);
    const Colour unlit = pressed ? Q(96) : Q(0);
    Row(c, 1, 2, W - 4, lit);
    Column(c, 1, 2, H - 4, lit);
    Row(c, H - 3, 2, W - 3, unlit);
    Column(c, W - 3, 2, H - 4, unlit);

    const Shifted E{!pressed && in.hasFocus ? K(-96) : K(-48)};
    Row(c, 0, 2, W - 4, E(0));
    Column(c, 0, 2, H - 4, E(0));
    Row(c, H - 2, 2, W - 4, E(0));
    Column(c, W - 2, 2, H - 4, E(0));
    Pixels(c, {{1, 1}, {1, H - 3}, {W - 3, 1}, {W - 3, H - 3}}, E(0));

    const Shifted S{E(21)};
    Row(c, H - 1, 3, W - 5, S(0));
    Column(c, W - 1, 3, H - 5, S(0));
    Pixels(c, {{W - 4, H - 1}, {W - 3, H - 2}, {W - 2, H - 3}, {W - 1, H - 4}}, S(0));
    Pixels(c, {{W - 3, H - 1}, {W - 2, H - 2}, {W - 1, H - 3}}, S(15));
}

void PaintStyle9(FaceCanvas& c, const FaceInputs& in)
{
    const int W = c.Width(), H = c.Height();
    const Shifted K{in.useCustomColors ? in.backColor : in.systemButtonFace};
    const Shifted L{in.useCustomColors ? in.highlightColor : in.systemButtonFace};
    const Shifted B{in.state == StateHot        ? L(1)
                    : in.state == StatePressed  ? L(24)
                    : in.state == StateDisabled ? K(15)
                                                : K(-15)};
    auto streak = [&](int column, int fromRow, int length, int a, int b) {
        BandV(c, fromRow, fromRow + length, column, column, B(a), B(b));
    };
    c.Fill(B(0));
    BandV(c, 2, H - 4, 5, W - 6, B(32), B(-32));
    BandV(c, 0, H - 4, 0, 0, B(128), B(-128));

    streak(2, 4, HalfH(H, -7), 0, -37);
    streak(3, 3, HalfH(H, -7), 0, -53);
    streak(4, 2, HalfH(H, -7), 0, -37);
    streak(5, 2, HalfH(H, -4), 37, 5);

    streak(2, HalfH(H, -2), HalfH(H, -5), -37, -32);
    streak(3, HalfH(H, -3), HalfH(H, -3), -53, -32);
    streak(4, HalfH(H, -4), HalfH(H, -1), -37, -32);
    streak(5, HalfH(H, -4), HalfH(H, -3), 5, -5);

    BandH(c, 5, 12, H - 5, H - 5, B(-53), B(-32));
    BandH(c, 4, 7, H - 6, H - 6, B(-56), B(-32));
    BandH(c, 3, 5, H - 7, H - 7, B(-37), B(-32));

    BandV(c, 0, H - 4, W - 2, W - 2, B(128), B(-128));
    BandV(c, 0, HalfH(H, 0), W - 1, W - 1, B(128), B(-48));
    streak(W - 1, HalfH(H, 0), HalfH(H, -4), -64, -8);

    streak(W - 4, 4, HalfH(H, -5), 0, -37);
    streak(W - 5, 3, HalfH(H, -4), 0, -48);
    streak(W - 6, 2, HalfH(H, -3), 0, -37);
    streak(W - 7, 2, HalfH(H, -4), 37, 5);

    streak(W - 4, HalfH(H, 0), HalfH(H, -5), -37, -21);
    streak(W - 5, HalfH(H, 0), HalfH(H, -5), -48, -37);
    streak(W - 6, HalfH(H, 0), HalfH(H, -4), -37, -53);
    streak(W - 7, HalfH(H, 0), HalfH(H, -4), -5, -37);

    BandH(c, W - 15, W - 7, H - 4, H - 4, B(-32), B(-53));

    Row(c, 0, 3, W - 4, B(48));
    Row(c, 1, 1, W - 2, B(48));
    Row(c, 1, 5, W - 6, B(0));

    BandH(c, W - 11, W - 4, 2, 2, B(32), B(0));
    BandH(c, W - 10, W - 5, 3, 3, B(32), B(0));
    BandH(c, W - 9, W - 6, 4, 4, B(32), B(0));

    c.SetPixel(6, 3, B(128));

    Row(c, H - 1, 3, W - 4, B(-16));
    Row(c, H - 2, 2, W - 4, B(-128));
    Row(c, H - 3, 7, W - 8, B(0));

    Pixels(c, {{1, H - 3}, {W - 3, H - 3}}, B(-112));
    Pixels(c, {{W - 4, H - 1}, {W - 3, H - 2}, {W - 2, H - 3}}, B(-21));
}

void PaintStyle10(FaceCanvas& c, const FaceInputs& in)
{
    Style10Kind kind = Style10Kind::Normal;
    if (in.state == StatePressed)
        kind = Style10Kind::Pressed;
    else if (in.state == StateHot || in.hasFocus)
        kind = Style10Kind::Hot;
    DrawStyle10Picture(c, kind);
}

bool PaintPaintedFace(FaceCanvas& canvas, int style, const FaceInputs& in)
{
    switch (style) {
    case 5:
        in.useCustomColors ? PaintStyle5Custom(canvas, in) : PaintStyle5(canvas, in);
        return true;
    case 7:
        PaintStyle7(canvas, in);
        return true;
    case 8:
        PaintStyle8(canvas, in);
        return true;
    case 9:
        PaintStyle9(canvas, in);
        return true;
    case 10:
        PaintStyle10(canvas, in);
        return true;
    default:
        return false;
    }
}

}  // namespace quill::button
