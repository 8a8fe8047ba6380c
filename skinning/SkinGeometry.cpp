#include "skinning/SkinGeometry.h"

#include "forms/lang/Numbers.h"

#include <algorithm>
#include <cmath>

namespace quill::skinning {

int RoundHalfEven(double value)
{
    return forms::ToInt32(value);
}

std::vector<NineGridPiece> NineGridPieces(int width, int height, SkinRect source, int left, int top,
                                          int right, int bottom)
{
    std::vector<NineGridPiece> pieces;
    if (width == 0 || height == 0 || source.width == 0 || source.height == 0)
        return pieces;
    auto add = [&](SkinRect dest, SkinRect src, bool stretch) {
        if (dest.width > 0 && dest.height > 0 && src.width > 0 && src.height > 0)
            pieces.push_back({dest, src, stretch});
    };
    const int sx = source.x, sy = source.y, sw = source.width, sh = source.height;
    if (left <= 0 && top <= 0 && right <= 0 && bottom <= 0) {
        add({0, 0, width, height}, {sx + left, sy + top, sw - right, sh - bottom}, true);
        return pieces;
    }
    if (left > 0 && top > 0)
        add({0, 0, left, top}, {sx, sy, left, top}, false);
    if (right > 0 && top > 0)
        add({width - right, 0, right, top}, {sx + sw - right, sy, right, top}, false);
    if (left > 0 && bottom > 0)
        add({0, height - bottom, left, bottom}, {sx, sy + sh - bottom, left, bottom}, false);
    if (right > 0 && bottom > 0)
        add({width - right, height - bottom, right, bottom},
            {sx + sw - right, sy + sh - bottom, right, bottom}, false);
    if (left > 0)
        add({0, top, left, height - top - bottom}, {sx, sy + top, left, sh - top - bottom}, true);
    if (right > 0)
        add({width - right, top, right, height - top - bottom},
            {sx + sw - right, sy + top, right, sh - top - bottom}, true);
    if (top > 0)
        add({left, 0, width - left - right, top}, {sx + left, sy, sw - left - right, top}, true);
    if (bottom > 0)
        add({left, height - bottom, width - left - right, bottom},
            {sx + left, sy + sh - bottom, sw - left - right, bottom}, true);
    add({left, top, width - left - right, height - top - bottom},
        {sx + left, sy + top, sw - left - right, sh - top - bottom}, true);
    return pieces;
}

bool InDropButtonZone(int w, int h, int x, int y, int scrollBarWidth)
{
    return x >= w - scrollBarWidth - 2 && x <= w - 2 && y >= 2 && y <= h - 2;
}

DropButtonLayout DropButtonPlace(int w, int h, int scrollBarWidth)
{
    const int bw = scrollBarWidth + 1, bh = h - 2;
    return {{w - bw - 1, 1, bw, bh}, {RoundHalfEven((bw - 7) / 2.0), RoundHalfEven((h - 6) / 2.0)}};
}

SkinPoint CheckSquareAt(int h, int ch)
{
    return {0, RoundHalfEven((h - ch) / 2.0)};
}

SkinPoint CheckMarkAt(int cw, int ch)
{
    return {RoundHalfEven((cw - 9) / 2.0), RoundHalfEven((ch - 8) / 2.0)};
}

SkinPoint IndeterminateAt(int cw, int ch)
{
    return {RoundHalfEven((cw - 7) / 2.0), RoundHalfEven((ch - 7) / 2.0)};
}

int OptionCircleTop(int h, int ch)
{
    return RoundHalfEven((h - ch) / 2.0);
}

SkinPoint OptionDotAt(int cw, int ch, int h)
{
    const int top = OptionCircleTop(h, ch);
    return {RoundHalfEven((cw - 5) / 2.0), RoundHalfEven(top + (ch - 5) / 2.0)};
}

float ProgressFraction(std::int32_t position)
{
    const float fraction = static_cast<float>(position) / static_cast<float>(ProgressDivisor);
    return std::clamp(fraction, 0.0f, 1.0f);
}

SkinRect ProgressClientFill(int cw, int ch, float fraction, bool vertical)
{
    if (vertical)
        return {0, RoundHalfEven(ch - ch * static_cast<double>(fraction)), cw,
                RoundHalfEven(static_cast<double>(fraction) * ch)};
    return {0, 0, RoundHalfEven(static_cast<double>(fraction) * cw), ch};
}

SkinPoint BorderSize(int windowW, int windowH, int clientW, int clientH, bool vScroll, bool hScroll,
                     int vScrollWidth, int hScrollHeight)
{
    int dx = windowW - clientW, dy = windowH - clientH;
    if (vScroll)
        dx -= vScrollWidth;
    if (hScroll)
        dy -= hScrollHeight;
    return {RoundHalfEven(dx / 2.0), RoundHalfEven(dy / 2.0)};
}

int HeaderHitTest(std::span<const HeaderSpan> items, int x)
{
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].left <= x && x <= items[i].right)
            return static_cast<int>(i);
    return -1;
}

}  // namespace quill::skinning
