#include "controls/button/ButtonLayout.h"

#include "controls/button/ButtonColours.h"
#include "controls/button/PaintedStyles.h"

namespace quill::button {

int SettleState(int state, int style, bool userMode, int buttonType, bool value, bool enabled)
{
    if (style != 5 && !userMode)
        state = StateHot;
    if (buttonType == 1 && value)
        state = StatePressed;
    if (!enabled)
        state = StateDisabled;
    return state;
}

std::optional<ButtonStyle> StyleFrom(int style)
{
    if (style < 0 || style >= kStyleCount)
        return std::nullopt;
    return static_cast<ButtonStyle>(style);
}

const StyleTraits& TraitsOf(int style)
{
    static constexpr StyleTraits kTraits[kStyleCount] = {
        {4, RegionShape::Rectangle},  // Raised
        {4, RegionShape::Rectangle},  // ThinEdge
        {4, RegionShape::Rectangle},  // FlatUntilHot
        {4, RegionShape::Rectangle},  // Etched
        {4, RegionShape::Rectangle},  // Tinted
        {5, RegionShape::CutSmall},   // SoftPush
        {4, RegionShape::Rectangle},  // Themed
        {5, RegionShape::CutSmall},   // SoftCut
        {4, RegionShape::CutLarge},   // Bevelled
        {7, RegionShape::CutLarge},   // Glossy
        {7, RegionShape::Round},      // Pictures
    };
    static constexpr StyleTraits kOther{4, RegionShape::Rectangle};
    const std::optional<ButtonStyle> known = StyleFrom(style);
    return known ? kTraits[static_cast<int>(*known)] : kOther;
}

int IconMargin(int style)
{
    return TraitsOf(style).iconMargin;
}

Point IconPosition(int iconAlign, int margin, int width, int height, int iconWidth, int iconHeight)
{
    const int centreX = RoundHalfEven((width - iconWidth) / 2.0);
    const int centreY = RoundHalfEven((height - iconHeight) / 2.0);
    switch (iconAlign) {
    case 0:
        return {centreX, centreY};
    case 1:
        return {margin, centreY};
    case 2:
        return {width - iconWidth - margin, centreY};
    case 3:
        return {centreX, margin};
    case 4:
        return {centreX, height - iconHeight - margin};
    default:
        return {0, 0};
    }
}

std::optional<std::uint32_t> CaptionFormatFor(int captionAlign)
{
    // DT_SINGLELINE 0x20 with DT_VCENTER 4 / DT_BOTTOM 8 and DT_CENTER 1 / DT_RIGHT 2.
    switch (captionAlign) {
    case 0:
        return 0x25;
    case 1:
        return 0x24;
    case 2:
        return 0x26;
    case 3:
        return 0x21;
    case 4:
        return 0x29;
    default:
        return std::nullopt;
    }
}

RegionShape RegionShapeFor(int style)
{
    return TraitsOf(style).region;
}

std::array<Point, 8> CutRegionSmall(int w, int h)
{
    return {{{0, 1}, {1, 0}, {w - 1, 0}, {w, 1}, {w, h - 2}, {w - 2, h}, {2, h}, {0, h - 2}}};
}

std::array<Point, 8> CutRegionLarge(int w, int h)
{
    return {{{0, 2}, {2, 0}, {w - 3, 0}, {w, 3}, {w, h - 3}, {w - 3, h}, {4, h}, {0, h - 4}}};
}

}  // namespace quill::button
