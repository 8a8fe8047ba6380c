#include "controls/small/ProgressBarLayout.h"

#include "forms/lang/Numbers.h"

#include <cmath>

namespace quill::small {

namespace {

int Round(double v)
{
    return static_cast<int>(std::nearbyint(v));
}

}  // namespace

double Percentage(std::int32_t value, std::int32_t max)
{
    if (max == 0)
        return 0;
    return 100.0 * value / max;
}

int FillLength(int orientations, int width, int height, double percent)
{
    const int side = orientations == Vertical ? height : width;
    return Round(side * percent / 100);
}

std::vector<GradientBand> BarBands(int orientations, int width, int height, std::int32_t value, int fill)
{
    std::vector<GradientBand> bands;
    const bool filled = value >= 1;
    if (orientations == Horizontal) {
        const int h = Round(height / 2.0);
        bands.push_back({0, 0, width, h, TrackUpperOuter, TrackUpperMiddle, 1});
        bands.push_back({0, h, width, height, TrackLowerMiddle, TrackLowerOuter, 1});
        if (filled) {
            bands.push_back({0, 0, fill, h, FillUpperOuter, FillUpperMiddle, 1});
            bands.push_back({0, h, fill, height, FillLowerMiddle, FillLowerOuter, 1});
        }
    } else if (orientations == Vertical) {
        const int w = Round(width / 2.0);
        bands.push_back({0, 0, w, height, TrackUpperOuter, TrackUpperMiddle, 0});
        bands.push_back({w, 0, width, height, TrackLowerMiddle, TrackLowerOuter, 0});
        if (filled) {
            bands.push_back({0, 0, w, fill, FillUpperOuter, FillUpperMiddle, 0});
            bands.push_back({w, 0, width, fill, FillLowerMiddle, FillLowerOuter, 0});
        }
    }
    return bands;
}

TextPlace TextPosition(int alignment, int width, int height, int tw, int th)
{
    if (alignment < 1 || alignment > 9)
        return {0, 0};
    const int column = (alignment - 1) / 3;  // left, centre, right
    const int row = (alignment - 1) % 3;     // top, middle, bottom
    const int x = column == 0 ? 1 : column == 1 ? Round(width / 2.0 - tw / 2.0 - 1) : Round(width - tw - 3.0);
    const int y = row == 0 ? 0 : row == 1 ? Round(height / 2.0 - th / 2.0 - 1) : Round(height - th - 1.0);
    return {x, y};
}

std::vector<TextCopy> TextCopies(int effect)
{
    using enum CopyColour;
    switch (effect) {
    case 1:
        return {{0, 0, Text}};
    case 2:
        return {{-1, -1, Effect}, {1, 1, Shadow}, {0, 0, Text}};
    case 3:
        return {{1, 1, Effect}, {-1, 0, Shadow}, {0, 0, Text}};
    case 4:
        return {{1, 0, Effect}, {-1, 0, Effect}, {0, -1, Effect}, {0, 1, Effect}, {0, 0, Text}};
    case 5:
        return {{1, 1, Effect}, {0, 0, Text}};
    default:
        return {};
    }
}

TextColours BarTextColours(bool enabled, Colour textForeColor, Colour textEffectColor)
{
    if (enabled)
        return {textForeColor, textEffectColor};
    return {GreyOfColour(textForeColor), GreyOfColour(textEffectColor)};
}

std::optional<std::wstring> BarText(int textStyle, std::int32_t value, double percent,
                                    const std::wstring& text, std::wstring_view decimalSeparator)
{
    switch (textStyle) {
    case 1:
        return std::to_wstring(value);
    case 2: {
        std::wstring number = forms::NumberText(percent);
        if (const size_t point = number.find(L'.'); point != std::wstring::npos)
            number.replace(point, 1, decimalSeparator);
        return number + L"%";
    }
    case 3:
        return text;
    default:
        return std::nullopt;
    }
}

}  // namespace quill::small
