// Where the themed progress bar draws what: the percentage and fill length,
// its four gradient bands, and the place, copies and colours of its text.
// Sizes are the surface's, in pixels; every rounding takes halves to the even
// neighbour.
#pragma once

#include "controls/small/ProgressBarColours.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quill::small {

enum Orientation : int { Horizontal = 1, Vertical = 2 };

// 100 x value / max as a real number (so no product overflows); `Min` takes
// no part. 0 when max is 0, which only a bar that has read none of its
// values yet has.
double Percentage(std::int32_t value, std::int32_t max);

// The filled length along the bar: round(side x percent / 100), the side
// being the height for a vertical bar and the width otherwise.
int FillLength(int orientations, int width, int height, double percent);

// One rectangle filled by GradientTwoColour (right and bottom exclusive),
// from palette entry `fromEntry` to `toEntry`.
struct GradientBand {
    int left, top, right, bottom;
    int fromEntry, toEntry;
    int direction;  // 0 left to right, 1 top to bottom
    friend bool operator==(const GradientBand&, const GradientBand&) = default;
};
// The track's two bands, then the filled part's two while value >= 1; none
// for an orientation other than 1 or 2.
std::vector<GradientBand> BarBands(int orientations, int width, int height, std::int32_t value, int fill);

// Top-left corner of a text of tw x th pixels at one of the nine places
// (1..3 left, 4..6 centre, 7..9 right; top, middle, bottom within each);
// any other alignment puts it at (0, 0).
struct TextPlace {
    int x, y;
    friend bool operator==(const TextPlace&, const TextPlace&) = default;
};
TextPlace TextPosition(int alignment, int width, int height, int tw, int th);

// The copies of the text each effect prints, in printing order; the text's
// own colour comes last. Effects other than 1..5 print nothing.
enum class CopyColour { Text, Effect, Shadow };
struct TextCopy {
    int dx, dy;
    CopyColour colour;
    friend bool operator==(const TextCopy&, const TextCopy&) = default;
};
std::vector<TextCopy> TextCopies(int effect);
// The effects' fixed shadow grey, kept when the bar is disabled.
constexpr Colour ShadowGrey = Rgb(128, 128, 128);

// The text and effect colours as drawn: unchanged while enabled (the surface
// still translates a system colour), their greys when disabled.
struct TextColours {
    Colour text, effect;
};
TextColours BarTextColours(bool enabled, Colour textForeColor, Colour textEffectColor);

// What the bar writes for a text style: 1 the value, 2 the percentage with
// "%" (up to 15 significant digits, with the user's decimal separator), 3 the
// free text; nothing otherwise.
std::optional<std::wstring> BarText(int textStyle, std::int32_t value, double percent,
                                    const std::wstring& text, std::wstring_view decimalSeparator);

}  // namespace quill::small
