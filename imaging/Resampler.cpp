#include "imaging/Resampler.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace quill::imaging {

ResampleClip ClipResampleOutput(int x, int y, int width, int height, int limitWidth, int limitHeight)
{
    ResampleClip c{width, height, 0, 0};
    if (x < 0) {
        c.width -= std::abs(x);
        c.colSkip = std::abs(x);
    } else if (static_cast<int64_t>(x) + c.width > limitWidth) {
        c.width = limitWidth - x;
    }
    c.width = std::min(c.width, limitWidth);
    // The output is bottom-up: rows cut at the top cost no skip, rows cut at
    // the bottom are skipped.
    if (y < 0) {
        c.height -= std::abs(y);
    } else if (static_cast<int64_t>(y) + c.height > limitHeight) {
        int cut = limitHeight - y;
        c.rowSkip = c.height - cut;
        c.height = cut;
    }
    if (c.height > limitHeight) {
        c.rowSkip = c.height - limitHeight;
        c.height = limitHeight;
    }
    return c;
}

namespace {

struct Tap {
    int index[2];
    double weight[2];
    int count;
};

// The one or two rows (or columns) a position mixes, clamped into lo..hi.
// `first` takes weight wFirst and `second` the rest.
Tap MakeTap(int first, double wFirst, int second, double wSecond, int lo, int hi)
{
    first = std::clamp(first, lo, hi);
    second = std::clamp(second, lo, hi);
    if (first == second)
        return {{first, 0}, {1.0, 0.0}, 1};
    Tap t{{0, 0}, {0, 0}, 0};
    if (wFirst != 0.0) {
        t.index[t.count] = first;
        t.weight[t.count++] = wFirst;
    }
    if (wSecond != 0.0) {
        t.index[t.count] = second;
        t.weight[t.count++] = wSecond;
    }
    return t;
}

}  // namespace

uint32_t SampleBilinear(ConstPixelView source, double px, double py, int left, int right, int bottom, int top)
{
    double fx = std::floor(px);
    double fy = std::floor(py);
    // Far outside the rectangle (or not a number): the nearest edge pixel.
    fx = std::clamp(fx, static_cast<double>(left) - 1, static_cast<double>(right) + 1);
    fy = std::clamp(fy, static_cast<double>(bottom) - 1, static_cast<double>(top) + 1);
    int ix = static_cast<int>(fx);
    int iy = static_cast<int>(fy);
    double d = std::clamp(px - fx, 0.0, 1.0);
    double f = std::clamp(py - fy, 0.0, 1.0);
    if (std::isnan(d))
        d = 0;
    if (std::isnan(f))
        f = 0;
    Tap cols = MakeTap(ix, 1.0 - d, ix + 1, d, left, right);
    Tap rows = MakeTap(iy, f, iy - 1, 1.0 - f, bottom, top);
    double sum[4] = {0, 0, 0, 0};
    for (int r = 0; r < rows.count; ++r) {
        const uint32_t* row = source.Row(rows.index[r]);
        for (int c = 0; c < cols.count; ++c) {
            uint32_t p = row[cols.index[c]];
            for (int ch = 0; ch < 4; ++ch)
                sum[ch] += static_cast<double>((p >> (8 * ch)) & 0xFF) * cols.weight[c] * rows.weight[r];
        }
    }
    uint32_t result = 0;
    for (int ch = 0; ch < 4; ++ch)
        result |= static_cast<uint32_t>(std::clamp(std::floor(sum[ch]), 0.0, 255.0)) << (8 * ch);
    return result;
}

void ResamplePixels(ConstPixelView source, SourceRect rect, double xRatio, double yRatio, int colSkip,
                    int rowSkip, bool smooth, PixelView out)
{
    if (out.width < 1 || out.height < 1 || rect.width < 1 || rect.height < 1)
        return;
    // Bottom-up index of the source rectangle's bottom row.
    const int baseRow = source.height - rect.height - rect.y;
    const int left = rect.x;
    const int right = rect.x + rect.width - 1;
    const int bottom = baseRow;
    const int top = baseRow + rect.height - 1;
    if (left < 0 || bottom < 0 || right >= source.width || top >= source.height)
        return;
    if (!smooth) {
        std::vector<int> column(static_cast<size_t>(out.width));
        for (int x = 0; x < out.width; ++x)
            column[static_cast<size_t>(x)] =
                static_cast<int>(std::floor(static_cast<double>(colSkip + x) * xRatio + rect.x));
        for (int y = out.height - 1; y >= 0; --y) {
            int sy = static_cast<int>(std::floor(static_cast<double>(rowSkip + y) * yRatio)) + baseRow;
            uint32_t* target = out.Row(y);
            if (sy < 0 || sy >= source.height)
                continue;
            const uint32_t* row = source.Row(sy);
            for (int x = 0; x < out.width; ++x) {
                int sx = column[static_cast<size_t>(x)];
                if (sx >= 0 && sx < source.width)
                    target[x] = row[sx];
            }
        }
        return;
    }
    for (int y = out.height - 1; y >= 0; --y) {
        double py = static_cast<double>(rowSkip + 1 + y) * yRatio + baseRow;
        uint32_t* target = out.Row(y);
        for (int x = 0; x < out.width; ++x) {
            double px = rect.x + static_cast<double>(colSkip + x) * xRatio;
            target[x] = SampleBilinear(source, px, py, left, right, bottom, top);
        }
    }
}

}  // namespace quill::imaging
