#pragma once
// Pies with slices too thin to draw as wedges: the platform draws a wedge
// whose two rim points fall on one pixel as the whole ellipse. Both stand-ins
// that draw pies are checked against the same cases.
#include <vector>

namespace quill::forms::probe {

struct ThinSlicePie {
    const char* what;
    std::vector<double> values;
};

inline const std::vector<ThinSlicePie>& ThinSlicePies()
{
    static const std::vector<ThinSlicePie> pies{
        // Two large platforms and twelve small ones: the smallest is 0.2 degrees.
        {"fourteen finished platforms",
         {101000, 81000, 110, 120, 150, 200, 260, 330, 420, 540, 680, 820, 960, 1100}},
        {"0, 0.1 and 359.9 degrees", {0, 1, 3599}},
        {"359.9, 0.1 and 0 degrees", {3599, 1, 0}},
        {"0.1, 179.9 and 180 degrees", {1, 1799, 1800}},
    };
    return pies;
}

}  // namespace quill::forms::probe
