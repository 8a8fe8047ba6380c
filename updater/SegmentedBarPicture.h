// What the segmented progress bar draws, as a list of drawing steps over its
// client rectangle: the bar's extent, its bands, blocks, gaps, marquee and
// frame, and its text. The control runs the steps on its off-screen surface.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace quill::updater {

struct BarRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const BarRect&) const = default;
};

// The gradient's vertex channels: each colour byte times 256.
struct VertexColour {
    std::uint16_t red = 0, green = 0, blue = 0;
    bool operator==(const VertexColour&) const = default;
};

struct BarStep {
    enum class Kind {
        Gradient,  // `area` from `from` at its start to `to` at its end; `vertical`: top to bottom
        Fill,      // `area` solid in `colour`
        Outline,   // a one-pixel outline of `area` in `colour`
        Pixel,     // the pixel at (area.left, area.top) in `colour`
    };
    Kind kind = Kind::Fill;
    BarRect area;
    std::uint32_t colour = 0;
    VertexColour from, to;
    bool vertical = false;
    bool operator==(const BarStep&) const = default;
};

struct SegmentedBarState {
    std::uint32_t colour = 0;  // resolved: no system colour
    std::int32_t min = 0, max = 100, value = 0;
    std::int32_t orientation = 0;  // 0 horizontal, anything else vertical (grows from the bottom)
    std::int32_t scrolling = 0;    // 0 blocks with gaps, 1 continuous, 2 marquee
};

// Each channel c becomes n + (255 - n) * c / 255 (integer division), at most
// 255: &HFF00 lightened by 150 is &H96FF96.
std::uint32_t LightenColor(std::uint32_t colour, int n);
VertexColour ColorToVertex(std::uint32_t colour);

// The filled share of the range, (Value - Min) / (Max - Min), kept within 0
// and 1; an empty range (Max = Min) fills nothing.
double BarFraction(std::int32_t value, std::int32_t min, std::int32_t max);

// The bar: the client rectangle with its right edge (horizontal) or top edge
// (vertical) moved to the bar's end, a whole number of 10-pixel steps.
BarRect BarExtent(const BarRect& client, const SegmentedBarState& state);

// The steps up to the text (background, bands, blocks, gaps) and after it
// (the frame).
std::vector<BarStep> BarSteps(const BarRect& client, const SegmentedBarState& state);
std::vector<BarStep> FrameSteps(const BarRect& client);

// The centred text: "正在查找.." for the marquee, otherwise the share of the
// range in percent, shortest form, followed by " %" ("38 %"); "0 %" for an
// empty range.
std::wstring PercentText(const SegmentedBarState& state);

// The pixels cut from a width x height window's corners, three at each.
std::vector<std::pair<int, int>> CutCornerPixels(int width, int height);

}  // namespace quill::updater
