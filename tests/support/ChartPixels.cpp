#include "tests/support/ChartPixels.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <numbers>
#include <vector>

namespace quill::test {

uint32_t Pixels::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return 0xFFFFFF;
    return values[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
}

Pixels ControlPixels(forms::ChartControl& chart)
{
    chart.Refresh();
    const RECT area = chart.ChartArea();
    Pixels p{area.right - area.left, area.bottom - area.top, {}};
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            p.values.push_back(static_cast<uint32_t>(chart.Point(x, y)));
    return p;
}

std::vector<RECT> InkPieces(const Pixels& pixels, const RECT& region, uint32_t ink)
{
    const int left = std::max<int>(region.left, 0), top = std::max<int>(region.top, 0);
    const int right = std::min<int>(region.right, pixels.width),
              bottom = std::min<int>(region.bottom, pixels.height);
    if (right <= left || bottom <= top)
        return {};
    const int w = right - left;
    std::vector<bool> seen(static_cast<size_t>(w) * static_cast<size_t>(bottom - top), false);
    auto inked = [&](int x, int y) {
        return x >= left && x < right && y >= top && y < bottom && (pixels.At(x, y) & 0xFFFFFF) == ink;
    };
    std::vector<RECT> pieces;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            if (!inked(x, y) || seen[static_cast<size_t>(y - top) * w + (x - left)])
                continue;
            RECT box{x, y, x + 1, y + 1};
            std::vector<POINT> open{{x, y}};
            seen[static_cast<size_t>(y - top) * w + (x - left)] = true;
            while (!open.empty()) {
                const POINT p = open.back();
                open.pop_back();
                box.left = std::min(box.left, p.x);
                box.top = std::min(box.top, p.y);
                box.right = std::max(box.right, p.x + 1);
                box.bottom = std::max(box.bottom, p.y + 1);
                for (int dy = -2; dy <= 2; ++dy)
                    for (int dx = -2; dx <= 2; ++dx) {
                        const int nx = p.x + dx, ny = p.y + dy;
                        if (inked(nx, ny) && !seen[static_cast<size_t>(ny - top) * w + (nx - left)]) {
                            seen[static_cast<size_t>(ny - top) * w + (nx - left)] = true;
                            open.push_back({nx, ny});
                        }
                    }
            }
            pieces.push_back(box);
        }
    return pieces;
}

std::vector<ColourRun> RowRuns(const Pixels& pixels, int y, const std::function<bool(uint32_t)>& counts)
{
    std::vector<ColourRun> runs;
    for (int x = 0; x < pixels.width; ++x) {
        const uint32_t c = pixels.At(x, y);
        if (!counts(c))
            continue;
        if (!runs.empty() && runs.back().colour == c && runs.back().start + runs.back().length == x)
            ++runs.back().length;
        else
            runs.push_back({c, x, 1});
    }
    return runs;
}

std::vector<Arc> ArcsAround(const Pixels& pixels, int cx, int cy, int radius, double stepDegrees)
{
    std::vector<Arc> arcs;
    for (double a = 0; a < 360; a += stepDegrees) {
        const double radians = a * std::numbers::pi / 180;
        const int x = cx + static_cast<int>(std::lround(radius * std::sin(radians)));
        const int y = cy - static_cast<int>(std::lround(radius * std::cos(radians)));
        const uint32_t c = pixels.At(x, y);
        if (!arcs.empty() && arcs.back().colour == c)
            arcs.back().sweepDegrees += stepDegrees;
        else
            arcs.push_back({c, a, stepDegrees});
    }
    if (arcs.size() > 1 && arcs.front().colour == arcs.back().colour) {
        arcs.front().startDegrees = arcs.back().startDegrees;
        arcs.front().sweepDegrees += arcs.back().sweepDegrees;
        arcs.pop_back();
    }
    // In the order they start, from 12 o'clock.
    std::sort(arcs.begin(), arcs.end(),
              [](const Arc& a, const Arc& b) { return a.startDegrees < b.startDegrees; });
    return arcs;
}

testing::AssertionResult PieShares(const Pixels& pixels, int cx, int cy, int radius,
                                   const std::vector<std::pair<uint32_t, double>>& values)
{
    std::map<uint32_t, double> wanted;
    double total = 0;
    for (const auto& [colour, value] : values) {
        wanted[colour] += value;
        total += value;
    }
    // Inside the rim's pixels, which the outline and the rounding of the
    // rim decide.
    const int inside = radius - 2;
    std::map<uint32_t, int> counted;
    std::map<uint32_t, std::pair<int, int>> first;  // where a colour was first met
    int pixelsInside = 0;
    for (int y = cy - inside; y <= cy + inside; ++y)
        for (int x = cx - inside; x <= cx + inside; ++x)
            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= inside * inside) {
                const uint32_t colour = pixels.At(x, y);
                ++counted[colour];
                first.try_emplace(colour, x, y);
                ++pixelsInside;
            }
    const double slack = 2.0 * radius + 8;
    testing::AssertionResult result = testing::AssertionSuccess();
    bool failed = false;
    auto fail = [&](uint32_t colour, double expected, int found) {
        if (!failed)
            result = testing::AssertionFailure() << "of " << pixelsInside << " pixels:";
        failed = true;
        char hex[8];
        std::snprintf(hex, sizeof hex, "%06X", static_cast<unsigned>(colour));
        result << " colour " << hex << ": " << found << " (expected " << expected << ")";
        if (found > 0)
            result << " first at " << first[colour].first << "," << first[colour].second;
    };
    for (const auto& [colour, value] : wanted) {
        const double expected = total > 0 ? pixelsInside * value / total : 0;
        const int found = counted.count(colour) ? counted[colour] : 0;
        if (std::fabs(found - expected) > slack)
            fail(colour, expected, found);
    }
    // The platform's wedges can leave a pixel of background here and there
    // along their edges: any other colour counts as a slice of none.
    for (const auto& [colour, found] : counted)
        if (!wanted.count(colour) && found > slack)
            fail(colour, 0, found);
    return result;
}

}  // namespace quill::test
