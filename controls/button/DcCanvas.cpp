#include "controls/button/DcCanvas.h"

#include <olectl.h>

namespace quill::button {

Colour TranslateColor(forms::OleColor c)
{
    COLORREF out = 0;
    return SUCCEEDED(OleTranslateColor(c, nullptr, &out)) ? out : 0xFFFFFFFFu;
}

void DcCanvas::DrawLine(int x1, int y1, int x2, int y2, Colour c)
{
    forms::gdi::PenHandle pen(CreatePen(PS_SOLID, 1, c & 0xFFFFFF));
    forms::gdi::Selection use(dc_, pen);
    MoveToEx(dc_, x1, y1, nullptr);
    LineTo(dc_, x2, y2);
}

void DcCanvas::FillBox(int x, int y, int width, int height, Colour c)
{
    if (width <= 0 || height <= 0)
        return;
    RECT r{x, y, x + width, y + height};
    forms::gdi::BrushHandle brush(CreateSolidBrush(c & 0xFFFFFF));
    FillRect(dc_, &r, brush);
}

void DrawEdgeBox(HDC dc, int x, int y, int width, int height, UINT edge, UINT flags)
{
    RECT r{x, y, x + width, y + height};
    DrawEdge(dc, &r, edge, flags);
}

}  // namespace quill::button
