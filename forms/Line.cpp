#include "forms/Line.h"

#include "forms/Container.h"
#include "forms/Gdi.h"

#include <algorithm>
#include <cmath>

namespace quill::forms {

void Line::Create(Container& container, const ControlArgs& args, const LineArgs& line)
{
    borderColor_ = line.borderColor;
    borderWidth_ = line.borderWidth;
    borderStyle_ = line.borderStyle;
    x1_ = line.x1, y1_ = line.y1, x2_ = line.x2, y2_ = line.y2;
    ControlArgs a = args;
    a.tabStop = false;
    Place(container, a);
    Ends(line.x1, line.y1, line.x2, line.y2);
}

void Line::Ends(int x1, int y1, int x2, int y2)
{
    x1_ = x1, y1_ = y1, x2_ = x2, y2_ = y2;
    // The extender's place is the box around the line, one pixel more.
    int onePixelX =
        ParentContainer() ? static_cast<int>(std::ceil(1 / ParentContainer()->PixelsPerUnitX())) : 1;
    int onePixelY =
        ParentContainer() ? static_cast<int>(std::ceil(1 / ParentContainer()->PixelsPerUnitY())) : 1;
    Move(std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1) + onePixelX * borderWidth_,
         std::abs(y2 - y1) + onePixelY * borderWidth_);
}

void Line::BorderColor(OleColor c)
{
    borderColor_ = c;
    Refresh();
}

void Line::PaintWindowless(HDC dc)
{
    if (borderStyle_ == 0 || !ParentContainer())
        return;
    double sx = ParentContainer()->PixelsPerUnitX(), sy = ParentContainer()->PixelsPerUnitY();
    auto px = [](double v) { return static_cast<int>(std::nearbyint(v)); };
    int style = borderStyle_ == 2 ? PS_DASH : borderStyle_ == 3 ? PS_DOT : PS_SOLID;
    gdi::PenHandle pen(CreatePen(style, borderWidth_, TranslateColor(borderColor_)));
    gdi::Selection usePen(dc, pen);
    MoveToEx(dc, px(x1_ * sx), px(y1_ * sy), nullptr);
    LineTo(dc, px(x2_ * sx), px(y2_ * sy));
}

}  // namespace quill::forms
