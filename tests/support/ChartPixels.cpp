#include "tests/support/ChartPixels.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quill::test {

uint32_t Pixels::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return 0xFFFFFF;
    return values[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
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

}  // namespace quill::test
