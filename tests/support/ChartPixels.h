#pragma once
// Reading a drawn chart back from its pixels: the runs of colour along a row
// (the bars of a column chart), the arcs of colour around a centre (the
// slices of a pie) and the pieces of text.
#include "forms/ChartControl.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace quill::test {

// Pixels row by row from the top, as colour values (red in the low byte).
struct Pixels {
    int width = 0, height = 0;
    std::vector<uint32_t> values;
    uint32_t At(int x, int y) const;  // white outside
};

// What the chart control draws, within its chart area.
Pixels ControlPixels(forms::ChartControl& chart);

struct ColourRun {
    uint32_t colour = 0;
    int start = 0, length = 0;
};
// Runs of one colour along row y, counting only the colours `counts` accepts
// (the bars' colours, not the background, grid or text).
std::vector<ColourRun> RowRuns(const Pixels& pixels, int y, const std::function<bool(uint32_t)>& counts);

struct Arc {
    uint32_t colour = 0;
    double startDegrees = 0;  // clockwise from 12 o'clock, 0 to 360
    double sweepDegrees = 0;
};
// The colours met going clockwise around (cx, cy) at `radius`, as arcs in
// the order they start from 12 o'clock; an arc across 12 o'clock is one arc
// (it starts before 360 and goes on past it).
std::vector<Arc> ArcsAround(const Pixels& pixels, int cx, int cy, int radius, double stepDegrees = 0.5);

// Whether the disc of `radius` round (cx, cy) is covered by the slices'
// colours, each over its share of the pixels (a colour's share is the sum of
// the values given with it over the sum of all). Each colour, and any other
// (the background, a leader), may be off by two radii's pixels: its slice's
// two edges, or a slice too thin to see shown as a line.
testing::AssertionResult PieShares(const Pixels& pixels, int cx, int cy, int radius,
                                   const std::vector<std::pair<uint32_t, double>>& values);

// The pieces of text in `region`: the pixels of colour `ink` there, joined
// where at most one pixel lies between two of them (the gaps between a
// text's characters), each piece as the box around it. Two texts closer
// than 2 pixels make one piece.
std::vector<RECT> InkPieces(const Pixels& pixels, const RECT& region, uint32_t ink);

}  // namespace quill::test
