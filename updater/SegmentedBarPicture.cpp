#include "updater/SegmentedBarPicture.h"

#include "forms/lang/Numbers.h"

#include <algorithm>
#include <cmath>

namespace quill::updater {
namespace {

constexpr std::uint32_t White = 0xFFFFFF;
constexpr int Block = 8;
constexpr int Step = 10;

int Channel(std::uint32_t colour, int shift)
{
    return static_cast<int>(colour >> shift & 0xFF);
}

int RoundHalfEven(double v)
{
    return static_cast<int>(std::nearbyint(v));
}

// The remainder with the sign of the dividend, as the language's Mod gives it.
int Mod(int a, int b)
{
    return a % b;
}

BarStep Gradient(int x, int y, int width, int height, std::uint32_t from, std::uint32_t to, bool topToBottom)
{
    BarStep s;
    s.kind = BarStep::Kind::Gradient;
    s.area = {x, y, x + width, y + height};
    s.from = ColorToVertex(from);
    s.to = ColorToVertex(to);
    s.vertical = topToBottom;
    return s;
}

BarStep Fill(BarRect area, std::uint32_t colour)
{
    BarStep s;
    s.kind = BarStep::Kind::Fill;
    s.area = area;
    s.colour = colour;
    return s;
}

BarStep Outline(BarRect area, std::uint32_t colour)
{
    BarStep s = Fill(area, colour);
    s.kind = BarStep::Kind::Outline;
    return s;
}

BarStep Pixel(int x, int y, std::uint32_t colour)
{
    BarStep s = Fill({x, y, x + 1, y + 1}, colour);
    s.kind = BarStep::Kind::Pixel;
    return s;
}

void AddBlocks(std::vector<BarStep>& steps, const BarRect& client, const BarRect& bar,
               const SegmentedBarState& s)
{
    const int b = client.bottom, r = client.right;
    const bool vertical = s.orientation != 0;
    const std::uint32_t c = s.colour, light = LightenColor(c, 150);
    if (s.scrolling != 2) {
        if (!vertical) {
            const int e = bar.right;
            steps.push_back(Gradient(2, 3, e - 2, 6, light, c, true));
            steps.push_back(Fill({2, 8, e, b - 6}, c));
            steps.push_back(Gradient(2, b - 8, e - 2, 6, c, light, true));
        } else {
            const int e = bar.top;
            steps.push_back(Gradient(2, e, 6, b, light, c, false));
            steps.push_back(Fill({7, e, r - 8, b}, c));
            steps.push_back(Gradient(r - 8, e, 6, b, c, light, false));
        }
        return;
    }
    for (int k = 0; k < 3; ++k) {
        const std::uint32_t outer = LightenColor(c, 220 - 40 * k), inner = LightenColor(c, 200 - 40 * k);
        if (!vertical) {
            const int x = bar.right + 12 * k;
            steps.push_back(Gradient(x, 3, 10, 6, outer, inner, true));
            steps.push_back(Fill({x, 8, x + 10, b - 6}, inner));
            steps.push_back(Gradient(x, b - 8, 10, 6, inner, outer, true));
        } else {
            const int y = bar.top + 12 * k;
            steps.push_back(Gradient(2, y, 6, 10, outer, inner, true));
            steps.push_back(Fill({8, y, r - 8, y + 10}, inner));
            steps.push_back(Gradient(r - 8, y, 6, 10, inner, outer, true));
        }
    }
}

void AddGaps(std::vector<BarStep>& steps, const BarRect& client, const BarRect& bar, bool vertical)
{
    if (!vertical) {
        for (int x = bar.left + Block; x <= bar.right; x += Step)
            steps.push_back(Fill({x + 2, client.top, x + 4, client.bottom}, White));
    } else {
        for (int y = bar.bottom; y >= bar.top + Block; y -= Step)
            steps.push_back(Fill({client.left, y - 2, client.right, y}, White));
    }
}

}  // namespace

std::uint32_t LightenColor(std::uint32_t colour, int n)
{
    auto lighten = [n](int c) { return std::min(255, n + (255 - n) * c / 255); };
    return static_cast<std::uint32_t>(lighten(Channel(colour, 0)) | lighten(Channel(colour, 8)) << 8 |
                                      lighten(Channel(colour, 16)) << 16);
}

VertexColour ColorToVertex(std::uint32_t colour)
{
    return {static_cast<std::uint16_t>(Channel(colour, 0) << 8),
            static_cast<std::uint16_t>(Channel(colour, 8) << 8),
            static_cast<std::uint16_t>(Channel(colour, 16) << 8)};
}

double BarFraction(std::int32_t value, std::int32_t min, std::int32_t max)
{
    if (max == min)
        return 0;
    const double f = (static_cast<double>(value) - min) / (static_cast<double>(max) - min);
    return std::clamp(f, 0.0, 1.0);
}

BarRect BarExtent(const BarRect& client, const SegmentedBarState& state)
{
    BarRect bar = client;
    const double fraction = BarFraction(state.value, state.min, state.max);
    if (state.orientation == 0) {
        int end = RoundHalfEven(fraction * (client.right - client.left) + client.left);
        end -= Mod(end - bar.left, Step);
        bar.right = std::max(end, client.left);
    } else {
        const double g = 1 - fraction - 0.02;
        int top = RoundHalfEven((client.bottom - client.top) * g + client.top);
        top -= Mod(top - bar.bottom, Step);
        bar.top = std::min(top, client.bottom);
    }
    return bar;
}

std::vector<BarStep> BarSteps(const BarRect& client, const SegmentedBarState& state)
{
    std::vector<BarStep> steps{Fill(client, White)};
    const BarRect bar = BarExtent(client, state);
    AddBlocks(steps, client, bar, state);
    if (state.scrolling == 0)
        AddGaps(steps, client, bar, state.orientation != 0);
    return steps;
}

std::vector<BarStep> FrameSteps(const BarRect& client)
{
    const int r = client.right, b = client.bottom;
    return {Outline({client.left + 1, client.top + 1, r, b}, 0xBEBEBE),
            Outline({client.left + 1, client.top + 2, r - 1, b - 1}, 0xEFEFEF),
            Outline(client, 0x686868),
            Pixel(1, 1, 0x686868),
            Pixel(r - 2, 1, 0x686868),
            Pixel(1, b - 2, 0x686868),
            Pixel(r - 2, b - 2, 0x686868)};
}

std::wstring PercentText(const SegmentedBarState& state)
{
    if (state.scrolling == 2)
        return L"正在查找..";
    if (state.max == state.min)
        return L"0 %";
    const double percent =
        (static_cast<double>(state.value) - state.min) / (static_cast<double>(state.max) - state.min) * 100;
    return forms::NumberText(percent) + L" %";
}

std::vector<std::pair<int, int>> CutCornerPixels(int w, int h)
{
    return {{0, 0},     {1, 0},     {0, 1},     {w - 2, 0},     {w - 1, 0},     {w - 1, 1},
            {0, h - 1}, {1, h - 1}, {0, h - 2}, {w - 2, h - 1}, {w - 1, h - 1}, {w - 1, h - 2}};
}

}  // namespace quill::updater
