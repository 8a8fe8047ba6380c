// Where a chart's pieces go in a rectangle of pixels: the column chart's
// caption, axis title, axis, bars, value and category labels, and the pie's
// slices and labels. Text sizes come from the caller's measure, so the same
// layout serves the window that draws and the tests that check the maths.
#pragma once

#include "forms/web/ChartText.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quill::web {

enum class ChartFont { Caption, Label };

struct ChartMetrics {
    int captionHeight = 16;  // pixels of a caption line
    int labelHeight = 12;    // pixels of a label line
    // Width in pixels of a text in one of the two fonts.
    std::function<int(std::wstring_view text, ChartFont font)> width;
};

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// A text and where it goes: (x, y) is the top of its line at its left edge,
// its centre or its right edge; `angle` turns the line about that point, in
// tenths of a degree counterclockwise (900 reads upwards).
struct PlacedText {
    enum class Align { Left, Centre, Right };
    std::wstring text;
    int x = 0, y = 0;
    Align align = Align::Left;
    int angle = 0;
    ChartFont font = ChartFont::Label;
};

struct Bar {
    Box box;  // empty (top == bottom) for a value of 0
    Rgb color = 0;
    PlacedText value;
};

struct ColumnLayout {
    std::vector<PlacedText> titles;  // caption and axis title, when the chart has them
    Box plot;
    int baseline = 0;                    // y of the value 0
    std::vector<PlacedText> ticks;       // axis values, right of them the plot
    std::vector<int> gridLines;          // y of each axis value
    std::vector<Bar> bars;               // one per set, in order
    std::vector<PlacedText> categories;  // set names (none when the chart hides them)
    double axisMin = 0, axisMax = 1;
};

// How a slice is drawn. The platform draws a wedge whose two rim points round
// onto one pixel as the whole ellipse; rim points two pixels apart never round
// onto one.
enum class SliceShape {
    Wedge,   // the platform's pie wedge between its two edges
    Sliver,  // under two pixels of the rim: the triangle of the centre and its
             // two rim points, a line where they meet
    Disc,    // leaves under two pixels of the rim: the whole pie
};
SliceShape ShapeOfSlice(double sweepDegrees, int radius);

struct Slice {
    int set = 0;               // index of the chart's set
    double startDegrees = 90;  // counterclockwise from 3 o'clock; the first slice starts at 12
    double sweepDegrees = 0;   // clockwise from the start
    SliceShape shape = SliceShape::Wedge;
    Rgb color = 0;
    std::wstring percent;  // "12.5%"
};

// A line from a slice's rim to its label, which may stand apart from it. It
// runs straight, or, where that would cross the pie, level out to the labels'
// column first and then along it: it turns at (xBend, yBend), the end for a
// straight one.
struct Leader {
    int x0 = 0, y0 = 0, xBend = 0, yBend = 0, x1 = 0, y1 = 0;
};

struct PieLayout {
    std::vector<PlacedText> titles;
    int centreX = 0, centreY = 0, radius = 0;
    std::vector<Slice> slices;       // sets of a positive value only
    std::vector<PlacedText> labels;  // one per slice, in a column beside the pie
    std::vector<Leader> leaders;     // one per label
};

// `labelAngle` turns the category labels, in degrees as the report pages give
// them (-25 slants them up to the right); 0 keeps them level, in up to two
// lines under their bar.
ColumnLayout LayOutColumns(const Chart& chart, int width, int height, const ChartMetrics& metrics,
                           int labelAngle = 0);
PieLayout LayOutPie(const Chart& chart, int width, int height, const ChartMetrics& metrics);

// The set whose slice holds the point, -1 for none.
int SliceAt(const PieLayout& pie, int x, int y);

// The colour a set is drawn in: its own, else the palette's.
Rgb SetColor(const Chart& chart, std::size_t index);

// The axis of a column chart: from at most 0 to at least 0, the range
// covering every value, in about five steps of 1, 2, 2.5 or 5 times a power
// of ten.
struct Axis {
    double min = 0, max = 1, step = 0.2;
    int decimals = 1;  // places the step needs
};
Axis ChooseAxis(double lowest, double highest);

}  // namespace quill::web
