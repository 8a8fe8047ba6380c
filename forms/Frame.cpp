#include "forms/Frame.h"

#include "forms/Form.h"
#include "forms/Gdi.h"

namespace quill::forms {

void Frame::Create(Container& container, const ControlArgs& args, const FrameArgs& frame)
{
    caption_ = frame.caption;
    borderStyle_ = frame.borderStyle;
    foreColor_ = frame.foreColor;
    font_ = frame.font ? frame.font : container.ParentForm().Font()->Clone();
    CreateContainerWindow(container, args, WS_EX_CONTROLPARENT, frame.backColor);
    Sited();
}

void Frame::Caption(std::wstring v)
{
    caption_ = std::move(v);
    if (hWnd())
        InvalidateRect(hWnd(), nullptr, FALSE);
}

void Frame::PaintFace(HDC dc, const RECT& area)
{
    gdi::BrushHandle back(CreateSolidBrush(TranslateColor(BackColor())));
    FillRect(dc, &area, back);
    if (borderStyle_ == 0)
        return;
    gdi::FontHandle font = font_->CreateHandle();
    gdi::Selection useFont(dc, font);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    RECT edge = area;
    edge.top += tm.tmHeight / 2;
    DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
    if (caption_.empty())
        return;
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, TranslateColor(BackColor()));
    SetTextColor(dc, TranslateColor(foreColor_));
    TextOutW(dc, 8, 0, caption_.c_str(), static_cast<int>(caption_.size()));
}

}  // namespace quill::forms
