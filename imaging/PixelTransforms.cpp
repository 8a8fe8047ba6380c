#include "imaging/PixelTransforms.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quill::imaging {

std::vector<uint32_t> MirrorRect(ConstPixelView picture, SourceRect rect, bool mirrorX, bool mirrorY)
{
    std::vector<uint32_t> out(static_cast<size_t>(rect.width) * static_cast<size_t>(rect.height));
    PixelView view{out.data(), rect.width, rect.height};
    for (int r = 0; r < rect.height; ++r) {
        // Picture rows counted from the top.
        int pictureRow = mirrorY ? picture.height - 1 - rect.y - r : rect.y + r;
        const uint32_t* from = picture.RowFromTop(pictureRow);
        uint32_t* to = view.RowFromTop(r);
        if (mirrorX) {
            for (int j = 0; j < rect.width; ++j)
                to[j] = from[picture.width - 1 - rect.x - j];
        } else {
            std::memcpy(to, from + rect.x, static_cast<size_t>(rect.width) * 4);
        }
    }
    return out;
}

GreyWeights GreyWeightsOf(int formula)
{
    switch (formula) {
    case 1:
        return {0.299f, 0.587f, 0.114f};
    case 2:
        return {0.333f, 0.334f, 0.333f};
    default:
        return {0.213f, 0.715f, 0.072f};
    }
}

void MakeGrey(PixelView pixels, int formula)
{
    const GreyWeights w = GreyWeightsOf(formula);
    for (size_t i = 0, n = pixels.Count(); i < n; ++i) {
        uint32_t p = pixels.pixels[i];
        float v = static_cast<float>(Blue(p)) * w.blue + static_cast<float>(Green(p)) * w.green +
                  static_cast<float>(Red(p)) * w.red;
        float scaled = v * 255.0f;
        uint32_t grey = static_cast<uint32_t>(std::nearbyint(scaled)) / 255;
        grey = std::min<uint32_t>(grey, 255);
        pixels.pixels[i] = Bgra(grey, grey, grey, AlphaOf(p));
    }
}

namespace {

bool RowHasAlpha(const uint32_t* row, int width)
{
    for (int x = 0; x < width; ++x)
        if (row[x] >> 24)
            return true;
    return false;
}

}  // namespace

TrimRect FindTrim(ConstPixelView pixels, int sides)
{
    TrimRect t;
    if (sides == 0)
        sides = 15;
    const int w = pixels.width;
    const int h = pixels.height;
    int topRow = -1;  // from the top, the first row with alpha
    for (int r = 0; r < h && topRow < 0; ++r)
        if (RowHasAlpha(pixels.RowFromTop(r), w))
            topRow = r;
    if (topRow < 0)
        return t;
    int topOffset = (sides & 2) ? topRow : 0;
    int bottomCount = 0;
    if (sides & 8) {
        while (bottomCount < h && !RowHasAlpha(pixels.Row(bottomCount), w))
            ++bottomCount;
    }
    const int keptHeight = h - topOffset - bottomCount;
    // Kept rows from the top: topOffset .. topOffset + keptHeight - 1.
    auto columnHasAlpha = [&](int x) {
        for (int r = topOffset; r < topOffset + keptHeight; ++r)
            if (pixels.RowFromTop(r)[x] >> 24)
                return true;
        return false;
    };
    int left = 0;
    if (sides & 1) {
        while (left < w - 1 && !columnHasAlpha(left))
            ++left;
    }
    int right = w - 1;
    if (sides & 4) {
        while (right > 0 && !columnHasAlpha(right))
            --right;
    }
    if (right < left)
        right = left;
    t.found = true;
    t.left = left;
    t.top = topOffset;
    t.width = right - left + 1;
    t.height = keptHeight;
    return t;
}

std::vector<uint32_t> CopyRect(ConstPixelView pixels, int left, int top, int width, int height)
{
    std::vector<uint32_t> out(static_cast<size_t>(width) * static_cast<size_t>(height));
    PixelView view{out.data(), width, height};
    for (int r = 0; r < height; ++r)
        std::memcpy(view.RowFromTop(r), pixels.RowFromTop(top + r) + left, static_cast<size_t>(width) * 4);
    return out;
}

void FittedSize(int width, int height, int destWidth, int destHeight, int mode, int& newWidth, int& newHeight)
{
    if (mode < 0 || mode > 2 || (mode != 2 && (width < 1 || height < 1))) {
        newWidth = width;
        newHeight = height;
        return;
    }
    if (mode == 2) {
        newWidth = destWidth;
        newHeight = destHeight;
        return;
    }
    float xRatio = static_cast<float>(destWidth) / static_cast<float>(width);
    float yRatio = static_cast<float>(destHeight) / static_cast<float>(height);
    if (mode == 1 && xRatio > 1.0f && yRatio > 1.0f)
        xRatio = yRatio = 1.0f;
    float r = std::min(xRatio, yRatio);
    newWidth = static_cast<int>(std::floor(r * static_cast<float>(width)));
    newHeight = static_cast<int>(std::floor(r * static_cast<float>(height)));
}

}  // namespace quill::imaging
