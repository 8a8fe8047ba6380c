#include "tests/support/ChartPixels.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
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
