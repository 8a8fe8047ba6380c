// The faces the button paints pixel by pixel (Styles 5, 7, 8, 9 and 10),
// without a theme, on any FaceCanvas.
#pragma once

#include "controls/button/ButtonColours.h"
#include "controls/button/FaceCanvas.h"

namespace quill::button {

enum ButtonState { StateNormal = 1, StateHot = 2, StatePressed = 3, StateDisabled = 4 };

// What a painter reads of the control; it writes nothing back.
struct FaceInputs {
    int state = StateNormal;
    bool hasFocus = false;
    bool showFocus = false;
    bool useCustomColors = false;
    bool displayAsDefault = false;  // the container's ambient "DisplayAsDefault"
    Colour backColor = 0;
    Colour highlightColor = 0;
    Colour systemButtonFace = 0;  // GetSysColor(COLOR_BTNFACE)
    Colour systemHighlight = 0;   // GetSysColor(COLOR_HIGHLIGHT)
};

void PaintStyle5(FaceCanvas& canvas, const FaceInputs& in);
void PaintStyle5Custom(FaceCanvas& canvas, const FaceInputs& in);
void PaintStyle7(FaceCanvas& canvas, const FaceInputs& in);
void PaintStyle8(FaceCanvas& canvas, const FaceInputs& in);
void PaintStyle9(FaceCanvas& canvas, const FaceInputs& in);
// Reads only the state and the focus.
void PaintStyle10(FaceCanvas& canvas, const FaceInputs& in);

// The painter of a painted Style (5 by UseCustomColors, 7, 8, 9, 10);
// false for the Styles drawn with the platform's edges and themes.
bool PaintPaintedFace(FaceCanvas& canvas, int style, const FaceInputs& in);

}  // namespace quill::button
