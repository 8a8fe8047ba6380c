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

// The eleven drawing Styles, by their stored number.
enum class ButtonStyle {
    Raised = 0,        // the system's raised edge, sunken while pressed
    ThinEdge = 1,      // a thin raised edge
    FlatUntilHot = 2,  // no edge until the mouse is over it
    Etched = 3,        // an etched frame round a filled face
    Tinted = 4,        // a lightened face, a highlight box while hot or pressed
    SoftPush = 5,      // painted: a system-like push button with soft corners
    Themed = 6,        // the visual theme's push button (NonThemeStyle without one)
    SoftCut = 7,       // painted: cut corners, a glow while hot or focused
    Bevelled = 8,      // painted: flat bevel with a drop shadow
    Glossy = 9,        // painted: glossy with streaks
    Pictures = 10,     // three fixed pictures fitted to the size
};
inline constexpr int kStyleCount = 11;

// The Style a stored number names; none outside 0..10 (no face is drawn).
std::optional<ButtonStyle> StyleFrom(int style);

enum class RegionShape { Rectangle, CutSmall, CutLarge, Round };

// What a Style decides besides its face.
struct StyleTraits {
    int iconMargin;  // the distance kept from the edge by icons aligned to a side
    RegionShape region;
};
// The traits of a Style; a number outside 0..10 has margin 4 and a rectangle.
const StyleTraits& TraitsOf(int style);

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

RegionShape RegionShapeFor(int style);
// Polygons of the cut-corner regions (alternate fill), for a W x H button.
std::array<Point, 8> CutRegionSmall(int width, int height);
std::array<Point, 8> CutRegionLarge(int width, int height);
// The rounded region is the rectangle (0, 0, W + 1, H + 1) with this corner ellipse.
constexpr int kRoundRegionEllipse = 18;

// Smallest size in twips the container may give the control.
constexpr int kMinimumTwips = 300;

}  // namespace quill::button
