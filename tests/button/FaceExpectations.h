// Pixels of the painted faces, written out by hand from the faces' colours
// and coordinates rather than computed by the painters. Shared by the raster
// tests and the tests that read the real control's surface back under Wine.
#pragma once

#include "controls/button/ButtonColours.h"
#include "controls/button/PaintedStyles.h"

#include <cstdio>
#include <string>
#include <vector>

namespace quill::button::facetest {

using namespace quill::button;

// "(r, g, b)", for failure messages.
inline std::string ColourText(Colour c)
{
    char text[32];
    std::snprintf(text, sizeof text, "(%d, %d, %d)", RedOf(c), GreenOf(c), BlueOf(c));
    return text;
}

struct ExpectedPixel {
    int x;
    int y;
    Colour colour;
    std::string what;
};

// `style` 5 follows UseCustomColors to pick its painter, as Refresh does.
// `cleared` is the colour Refresh cleared the surface to; Style 10 leaves some positions undrawn.
inline std::vector<ExpectedPixel> ExpectedFace(int style, const FaceInputs& in, int W, int H,
                                               Colour cleared = 0)
{
    auto S = [](Colour c, int k) { return ShiftColor(c, k); };
    const int s = in.state;
    std::vector<ExpectedPixel> e;
    auto add = [&](int x, int y, Colour c, const char* what) { e.push_back({x, y, c, what}); };

    if (style == 5 && !in.useCustomColors) {
        const Colour frame = Rgb(0, 60, 116);
        if (s == StateDisabled) {
            add(10, 10, Rgb(245, 244, 234), "disabled fill");
            add(0, 5, Rgb(201, 199, 186), "disabled outline left");
            add(10, H - 1, Rgb(201, 199, 186), "disabled outline bottom");
            add(1, 1, Rgb(216, 213, 199), "disabled corner set");
            add(W - 2, H - 1, Rgb(216, 213, 199), "disabled corner set");
            return e;
        }
        add(10, 0, frame, "frame top");
        add(0, 5, frame, "frame left");
        add(W - 1, 5, frame, "frame right");
        add(10, H - 1, frame, "frame bottom");
        add(1, 1, Rgb(72, 110, 144), "inner corner");
        add(W - 2, H - 2, Rgb(72, 110, 144), "inner corner");
        add(1, 0, Rgb(106, 139, 162), "corner neighbour");
        add(W - 1, H - 2, Rgb(106, 139, 162), "corner neighbour");
        if (s == StatePressed) {
            add(2, 1, Rgb(191, 199, 202), "second ring");
            add(W - 3, H - 2, Rgb(191, 199, 202), "second ring");
            add(10, 1, Rgb(209, 204, 193), "pressed top band start");
            add(10, 4, Rgb(228, 227, 220), "pressed middle band start");
            add(10, H - 4, Rgb(227, 226, 219), "pressed bottom band start");
            add(10, H - 2, Rgb(237, 236, 232), "pressed bottom band, 2 of 3");
            add(1, 3, Rgb(218, 216, 206), "pressed column 1");
            add(2, 4, Rgb(218, 216, 206), "pressed column 2");
            return e;
        }
        if (s == StateHot) {
            add(10, 1, Rgb(255, 240, 207), "orange row 1");
            add(10, 2, Rgb(253, 216, 137), "orange row 2");
            add(10, H - 3, Rgb(248, 179, 48), "orange row H-3");
            add(10, H - 2, Rgb(229, 151, 16), "orange row H-2");
            add(1, 2, Rgb(253, 216, 137), "orange left band start");
            add(W - 2, H - 3, Rgb(248, 179, 48), "orange right band end");
        } else if (in.hasFocus || in.displayAsDefault) {
            add(10, 1, Rgb(206, 231, 255), "blue row 1");
            add(10, 2, Rgb(188, 212, 246), "blue row 2");
            add(10, H - 3, Rgb(137, 173, 228), "blue row H-3");
            add(10, H - 2, Rgb(105, 130, 238), "blue row H-2");
            add(2, H - 3, Rgb(137, 173, 228), "blue left band end");
        } else {
            add(10, 1, Rgb(252, 252, 251), "top band start");
            add(10, 3, Rgb(246, 246, 246), "top band, 2 of 4");
            add(10, 4, Rgb(250, 250, 249), "middle band wins row 4");
            add(10, H - 4, Rgb(235, 235, 230), "bottom band wins row H-4");
            add(10, H - 2, Rgb(221, 217, 208), "bottom band, 2 of 3");
            add(W - 3, 3, Rgb(251, 251, 250), "column W-3 band start");
            add(W - 2, 3, Rgb(245, 244, 242), "column W-2 band start");
            add(2, 1, Rgb(191, 199, 202), "second ring");
            add(W - 3, H - 2, Rgb(191, 199, 202), "second ring");
        }
        return e;
    }

    if (style == 5) {
        const Colour C = in.backColor;
        if (s == StateDisabled) {
            add(10, 10, C, "disabled fill");
            add(0, 10, S(C, -64), "disabled outline");
            add(1, 1, S(C, -53), "disabled corner set");
            return e;
        }
        if (s == StatePressed) {
            add(10, 1, S(C, -37), "pressed top band start");
            add(1, 2, S(C, -48), "pressed pixel");
            add(W - 2, H - 3, S(C, 18), "pressed pixel");
            add(W - 3, H - 2, S(C, 8), "pressed pixel");
            add(10, 0, S(C, -128), "frame");
            add(0, 5, S(C, -128), "frame");
            add(1, 1, S(C, -96), "pressed inner corner");
            return e;
        }
        add(10, 0, S(C, -128), "frame top");
        add(W - 1, 0, S(C, -128), "frame right column from row 0");
        add(1, 1, S(C, -128), "inner corner");
        add(0, 1, S(C, -21), "corner neighbour");
        add(10, H - 4, S(C, -16), "row H-4");
        const bool glow = s == StateHot || (in.hasFocus && in.showFocus);
        if (glow) {
            const Colour G = s == StateHot ? in.highlightColor : in.systemHighlight;
            add(10, 1, S(G, 85), "glow row 1");
            add(10, 2, S(G, 69), "glow row 2");
            add(10, H - 3, S(G, 16), "glow row H-3");
            add(10, H - 2, G, "glow row H-2");
        } else {
            add(10, 1, S(C, 5), "row 1");
            add(10, 2, S(C, 2), "row 2");
            add(10, H - 3, S(C, -24), "row H-3");
            add(10, H - 2, S(C, -37), "row H-2");
        }
        return e;
    }

    const Colour K = in.useCustomColors ? in.backColor : in.systemButtonFace;
    if (style == 7) {
        const Colour G = in.useCustomColors ? in.highlightColor : in.systemHighlight;
        if (s == StatePressed) {
            const Colour P = S(K, -9);
            add(10, 0, S(P, -96), "pressed frame");
            add(1, 1, S(P, -96), "pressed inner corner");
            add(0, 1, S(K, -21), "corner neighbour");
            add(10, H - 2, S(K, 8), "pressed row H-2");
            add(10, 1, S(K, -21), "pressed row 1");
            add(1, 2, S(P, -32), "pressed left column band start");
            add(W - 2, 2, S(P, -21), "pressed right column band start");
            return e;
        }
        const Colour F = S(K, s == StateHot ? 24 : s == StateDisabled ? 18 : 8);
        add(10, 0, S(F, -96), "frame top");
        add(W - 1, 0, S(F, -96), "frame right from row 0");
        add(1, H - 2, S(F, -96), "inner corner");
        add(0, 1, s == StateDisabled ? S(K, 5) : S(K, -21), "corner neighbour");
        if (s == StateHot || (s == StateNormal && in.hasFocus)) {
            add(10, 1, S(G, 21), "glow row 1");
            add(1, 2, S(G, 21), "glow row 2 from x 1");
            add(W - 2, H - 3, S(G, -5), "glow row H-3 to W-2");
            add(10, H - 2, S(G, -21), "glow row H-2");
        } else {
            add(10, 1, S(K, 21), "row 1");
            add(10, H - 2, S(K, -37), "row H-2");
            add(10, 2, GradientColour(S(F, 15), S(F, -15), H - 3, 1), "face band, row 2");
            add(W - 2, 2, S(F, -5), "right column band start");
        }
        return e;
    }

    if (style == 8) {
        const Colour Q = s == StateNormal     ? K
                         : in.useCustomColors ? in.highlightColor
                                              : S(in.systemButtonFace, 15);
        const bool pressed = s == StatePressed;
        const Colour E = !pressed && in.hasFocus ? S(K, -96) : S(K, -48);
        const Colour Sh = S(E, 21);
        add(10, 2, pressed ? S(Q, -15) : S(Q, 15), "band start");
        add(10, H - 4, pressed ? S(Q, 15) : S(Q, -15), "band end");
        add(10, 1, pressed ? Q : S(Q, 96), "row 1");
        add(1, 5, pressed ? Q : S(Q, 96), "column 1");
        add(10, H - 3, pressed ? S(Q, 96) : Q, "row H-3");
        add(W - 3, 5, pressed ? S(Q, 96) : Q, "column W-3");
        add(10, 0, E, "edge top");
        add(0, 5, E, "edge left");
        add(10, H - 2, E, "edge bottom");
        add(W - 2, 5, E, "edge right");
        add(1, 1, E, "edge corner");
        add(W - 3, H - 3, E, "edge corner");
        add(10, H - 1, Sh, "shadow row");
        add(W - 1, 5, Sh, "shadow column");
        add(W - 4, H - 1, Sh, "shadow diagonal");
        add(W - 2, H - 3, Sh, "shadow diagonal");
        add(W - 3, H - 1, S(Sh, 15), "shadow end");
        add(W - 1, H - 3, S(Sh, 15), "shadow end");
        return e;
    }

    if (style == 9) {
        const Colour L = in.useCustomColors ? in.highlightColor : in.systemButtonFace;
        const Colour B = s == StateHot        ? S(L, 1)
                         : s == StatePressed  ? S(L, 24)
                         : s == StateDisabled ? S(K, 15)
                                              : S(K, -15);
        add(10, 0, S(B, 48), "top highlight row 0");
        add(2, 1, S(B, 48), "top highlight row 1");
        add(10, 1, B, "row 1 middle");
        add(6, 3, S(B, 128), "gloss pixel");
        add(10, H - 1, S(B, -16), "bottom row");
        add(10, H - 2, S(B, -128), "dark bottom line");
        add(10, H - 3, B, "row H-3");
        add(1, H - 3, S(B, -112), "lower left pixel");
        add(W - 3, H - 3, S(B, -112), "lower right pixel");
        add(W - 4, H - 1, S(B, -21), "diagonal");
        add(2, 4, B, "upper left streak start");
        add(W - 11, 2, S(B, 32), "upper right gloss start");
        add(W - 4, 2, B, "upper right gloss end");
        add(10, 5, GradientColour(S(B, 32), S(B, -32), H - 6, 3), "face band, row 5");
        return e;
    }

    if (style == 10) {
        // Needs W >= 36 and H >= 24 so that centre, edges and corners all show.
        const bool pressed = s == StatePressed;
        const bool hot = !pressed && (s == StateHot || in.hasFocus);
        const int mx = W / 2, my = H / 2;
        add(0, my, Rgb(247, 247, 247), "outer left column");
        add(W - 1, my, Rgb(246, 246, 246), "outer right column");
        add(mx, H - 1, Rgb(197, 197, 197), "shadow row");
        add(5, H - 1, Rgb(252, 252, 252), "shadow fade start");
        add(9, H - 1, Rgb(214, 214, 214), "shadow fade");
        if (pressed) {
            add(mx, my, Rgb(106, 155, 204), "centre");
            add(mx, 0, Rgb(10, 9, 60), "top outline");
            add(mx, 1, Rgb(190, 199, 222), "top highlight");
            add(2, my, Rgb(23, 45, 99), "left outline");
            add(W - 3, my, Rgb(25, 51, 109), "right outline");
            add(mx, H - 2, Rgb(62, 86, 90), "bottom line");
            add(mx, H - 4, Rgb(166, 213, 233), "lower band");
        } else if (hot) {
            add(mx, my, Rgb(106, 166, 226), "centre");
            add(mx, 0, Rgb(8, 6, 69), "top outline");
            add(mx, 1, Rgb(201, 212, 241), "top highlight");
            add(2, my, Rgb(19, 46, 113), "left outline");
            add(W - 3, my, Rgb(20, 53, 124), "right outline");
            add(mx, H - 2, Rgb(64, 93, 99), "bottom line");
            add(mx, H - 4, Rgb(173, 230, 255), "lower band");
            add(10, 0, Rgb(41, 39, 72), "top left corner row 0");
            add(7, 0, Rgb(229, 229, 230), "top left corner row 0");
        } else {
            add(mx, my, Rgb(232, 231, 234), "centre");
            add(mx, 0, Rgb(106, 105, 103), "top outline");
            add(mx, 1, Rgb(246, 244, 245), "top highlight");
            add(1, my, Rgb(160, 160, 160), "left outline");
            add(W - 2, my, Rgb(156, 156, 156), "right outline");
            add(mx, H - 2, Rgb(84, 84, 84), "bottom line");
            add(mx, H - 6, Rgb(255, 255, 255), "lower band");
            add(8, 0, Rgb(172, 172, 172), "top left corner row 0");
            add(7, 1, Rgb(103, 103, 103), "top left corner row 1");
            add(12, 1, Rgb(246, 244, 245), "top left corner row 1");
            add(11, H - 6, cleared, "undrawn in the lower band");
            add(W - 17, H - 6, cleared, "undrawn in the lower band");
            add(W - 13, H - 4, cleared, "undrawn in the lower band");
        }
        add(0, 0, cleared, "undrawn corner");
        add(5, 0, cleared, "undrawn corner");
        add(W - 1, 0, cleared, "undrawn corner");
        add(0, H - 1, cleared, "undrawn corner");
        add(W - 1, H - 1, cleared, "undrawn corner");
        return e;
    }
    return e;
}

}  // namespace quill::button::facetest
