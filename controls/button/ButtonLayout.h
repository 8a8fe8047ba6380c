// Where the button puts things: the state it draws, icon margin and position,
// caption format and the window region of each Style.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace quill::button {

struct Point {
    int x;
    int y;
    bool operator==(const Point&) const = default;
};

// The state Refresh draws: a design surface shows every Style but 5 hot,
// an on toggle button pressed, a disabled button disabled.
int SettleState(int state, int style, bool userMode, int buttonType, bool value, bool enabled);

// The distance kept from the edge by icons aligned to a side.
int IconMargin(int style);
// Top left corner of the icon; IconAlign 0 centre, 1 left, 2 right, 3 top, 4 bottom.
Point IconPosition(int iconAlign, int margin, int width, int height, int iconWidth, int iconHeight);

// The text-drawing flags for CaptionAlign 0..4; none for any other value.
std::optional<std::uint32_t> CaptionFormatFor(int captionAlign);
// A new instance draws its caption centred with word breaks until a valid CaptionAlign is laid out.
constexpr std::uint32_t kNewInstanceCaptionFormat = 17;

enum class RegionShape { Rectangle, CutSmall, CutLarge, Round };
RegionShape RegionShapeFor(int style);
// Polygons of the cut-corner regions (alternate fill), for a W x H button.
std::array<Point, 8> CutRegionSmall(int width, int height);
std::array<Point, 8> CutRegionLarge(int width, int height);
// The rounded region is the rectangle (0, 0, W + 1, H + 1) with this corner ellipse.
constexpr int kRoundRegionEllipse = 18;

// Smallest size in twips the container may give the control.
constexpr int kMinimumTwips = 300;

}  // namespace quill::button
