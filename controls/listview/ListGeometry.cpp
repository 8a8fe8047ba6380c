#include "controls/listview/ListGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "forms/lang/Ansi.h"

namespace quill::listview {

namespace {

constexpr size_t kFaceNameSize = 32;  // a LOGFONT face name, terminator included
constexpr double kInt32Min = std::numeric_limits<int32_t>::min();
constexpr double kInt32Max = std::numeric_limits<int32_t>::max();

int32_t ClampToInt32(int64_t value)
{
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

int32_t ClampWidth(int32_t width)
{
    return std::clamp<int32_t>(width, 0, MaxColumnWidth);
}

// Calls visit(index, column, left, right) for each visible column from the
// left, until it answers true; returns the index it stopped at, or -1.
template <class Visit>
int32_t WalkVisible(const ColumnCollection& columns, bool autoSize, Visit visit)
{
    int64_t left = 0;
    for (int32_t i = 0; i < columns.Count(); ++i) {
        const Column& column = *columns.Item(i);
        if (!column.Visible)
            continue;
        const int64_t right = left + LaidOutWidth(column, autoSize);
        if (visit(i, left, right))
            return i;
        left = right;
    }
    return -1;
}

}  // namespace

int32_t RoundClamped(double x)
{
    if (std::isnan(x))
        return 0;
    const double r = std::nearbyint(x);
    if (r <= kInt32Min)
        return std::numeric_limits<int32_t>::min();
    if (r >= kInt32Max)
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(r);
}

int32_t LaidOutWidth(const Column& column, bool autoSize)
{
    return ClampWidth(autoSize ? column.WidthAutoSized : column.Width);
}

void AutoSizeColumns(ColumnCollection& columns, int32_t clientWidth)
{
    int64_t resizable = 0;
    int64_t fixed = 0;
    for (int32_t i = 0; i < columns.Count(); ++i) {
        Column& column = *columns.Item(i);
        if (!column.Visible)
            continue;
        if (column.Resizable) {
            resizable += ClampWidth(column.Width);
        } else {
            fixed += ClampWidth(column.Width);
            column.WidthAutoSized = column.Width;
        }
    }
    const double share = static_cast<double>(clientWidth) - static_cast<double>(fixed);
    int64_t placed = 0;
    const int32_t last = columns.Count() - 1;
    for (int32_t i = 0; i < columns.Count(); ++i) {
        Column& column = *columns.Item(i);
        if (!column.Visible)
            continue;
        if (column.Resizable) {
            column.WidthAutoSized =
                resizable == 0
                    ? 0
                    : RoundClamped(ClampWidth(column.Width) / static_cast<double>(resizable) * share + 0.5);
            if (i == last && placed + column.WidthAutoSized > clientWidth)
                column.WidthAutoSized = ClampToInt32(clientWidth - placed);
        }
        placed += column.WidthAutoSized;
    }
}

int32_t TotalColumnWidth(const ColumnCollection& columns, bool autoSize, int32_t clientWidth)
{
    if (autoSize)
        return clientWidth;
    int64_t total = 0;
    for (int32_t i = 0; i < columns.Count(); ++i) {
        const Column& column = *columns.Item(i);
        if (column.Visible)
            total += ClampWidth(column.Width);
    }
    return ClampToInt32(total);
}

int32_t ColumnLeft(const ColumnCollection& columns, bool autoSize, int32_t column)
{
    int64_t left = 0;
    for (int32_t i = 0; i < column && i < columns.Count(); ++i) {
        const Column& c = *columns.Item(i);
        if (c.Visible)
            left += LaidOutWidth(c, autoSize);
    }
    return ClampToInt32(left);
}

int32_t ColumnAt(const ColumnCollection& columns, bool autoSize, int32_t x, int32_t totalWidth)
{
    if (static_cast<int64_t>(x) > static_cast<int64_t>(totalWidth) - 1)
        return -1;
    const int32_t hit =
        WalkVisible(columns, autoSize, [&](int32_t, int64_t, int64_t right) { return right > x; });
    return hit < 0 ? 0 : hit;
}

HeaderHit HitHeader(const ColumnCollection& columns, bool autoSize, int32_t x)
{
    HeaderHit hit;
    WalkVisible(columns, autoSize, [&](int32_t i, int64_t left, int64_t right) {
        if (std::llabs(x - right) < 5) {
            hit = {HeaderHit::Edge, i};
            return true;
        }
        if (x > left + 5 && x < right - 5) {
            hit = {HeaderHit::Button, i};
            return true;
        }
        return false;
    });
    return hit;
}

int32_t ItemHeight(const RowHeightInputs& in)
{
    int64_t h = 0;
    if (in.itemsAutoSize) {
        h = static_cast<int64_t>(in.fontHeight) + 4;
        if (in.checkboxes)
            h = std::max<int64_t>(h, 19);
        if (in.picturesShown)
            h = std::max<int64_t>(h, static_cast<int64_t>(in.pictureHeight) + 3);
    } else {
        h = static_cast<int64_t>(in.fontHeight) + in.paddingTop + in.paddingBottom;
    }
    // Paddings read from a stored layout may be negative: a row is never
    // less than one pixel high, so nothing divides by it as zero.
    return std::max<int32_t>(ClampToInt32(h), 1);
}

int32_t VisibleRowCount(int32_t top, int32_t bottom, int32_t itemHeight)
{
    const double q = (static_cast<double>(bottom) - top + 1) / std::max(itemHeight, 1);
    return RoundClamped(q + 0.5);
}

int32_t RowAt(int32_t y, int32_t itemAreaTop, int32_t itemHeight, int32_t firstRow)
{
    const double q = (static_cast<double>(y) - itemAreaTop) / std::max(itemHeight, 1) - 0.5;
    return ClampToInt32(static_cast<int64_t>(RoundClamped(q)) + firstRow);
}

GridPoint CheckboxOrigin(int32_t left, int32_t top, int32_t bottom)
{
    return {ClampToInt32(static_cast<int64_t>(left) + 3),
            RoundClamped((static_cast<double>(top) + bottom) / 2 - 6 - 0.5)};
}

const std::array<Stroke, 7> TickStrokes = {{
    {{9, 5}, {5, 9}},
    {{9, 4}, {4, 9}},
    {{9, 3}, {3, 9}},
    {{3, 5}, {5, 8}},
    {{3, 6}, {6, 9}},
    {{3, 7}, {6, 10}},
    {{3, 7}, {7, 9}},
}};

Band CheckboxBand(bool picturesShown, int32_t pictureWidth)
{
    if (!picturesShown)
        return {3, 15};
    return {ClampToInt32(static_cast<int64_t>(pictureWidth) + 8),
            ClampToInt32(static_cast<int64_t>(pictureWidth) + 20)};
}

int32_t PictureTop(int32_t top, int32_t bottom, int32_t pictureHeight)
{
    const double centre = (static_cast<double>(top) + bottom) / 2 - static_cast<double>(pictureHeight) / 2;
    return ClampToInt32(static_cast<int64_t>(std::floor(centre)) + 1);
}

std::string DrawnBytes(std::wstring_view text)
{
    std::string bytes = forms::TextToAnsi(text);
    if (bytes.size() > text.size())
        bytes.resize(text.size());
    return bytes;
}

std::string FaceNameBytes(std::wstring_view name)
{
    constexpr size_t kMaxBytes = kFaceNameSize - 1;
    std::string face;
    for (size_t i = 0; i < name.size(); ++i) {
        const std::string bytes = forms::TextToAnsi(name.substr(i, 1));
        if (face.size() + bytes.size() > kMaxBytes)
            break;
        face += bytes;
    }
    return face;
}

}  // namespace quill::listview
