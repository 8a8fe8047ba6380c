#include "controls/listview/Color.h"

#include <ole2.h>
#include <olectl.h>

namespace quill::listview {

namespace {

template <class H>
H NoHandle()
{
    return reinterpret_cast<H>(static_cast<intptr_t>(-1));
}

}  // namespace

int32_t TranslateOleColor(int32_t oleColor, HPALETTE palette)
{
    COLORREF rgb = 0;
    if (OleTranslateColor(static_cast<OLE_COLOR>(oleColor), palette, &rgb) != S_OK)
        return -1;
    return static_cast<int32_t>(rgb);
}

void Color::DeleteObjects()
{
    if (GotGDIBrush_) {
        brush_.Reset();
        GDIBrush_ = nullptr;
    }
    if (GotGDIPen_) {
        pen_.Reset();
        GDIPen_ = nullptr;
    }
}

void Color::Clear()
{
    GotGDIBrush_ = false;
    GotGDIPen_ = false;
    RGBColor_ = -1;
    GDIBrush_ = NoHandle<HBRUSH>();
    GDIPen_ = NoHandle<HPEN>();
}

void Color::MakeObjects(bool brush, bool pen)
{
    if (brush) {
        brush_.Reset(CreateSolidBrush(static_cast<COLORREF>(RGBColor_)));
        GDIBrush_ = brush_.Get();
        GotGDIBrush_ = true;
    }
    if (pen) {
        pen_.Reset(CreatePen(PS_SOLID, 1, static_cast<COLORREF>(RGBColor_)));
        GDIPen_ = pen_.Get();
        GotGDIPen_ = true;
    }
}

bool Color::SetColor(int32_t OLEColor, bool CreateBrush, bool CreatePen)
{
    DeleteObjects();
    OLEColor_ = OLEColor;
    RGBColor_ = TranslateOleColor(OLEColor);
    if (RGBColor_ == -1) {
        Clear();
        return false;
    }
    MakeObjects(CreateBrush, CreatePen);
    return true;
}

void Color::Update()
{
    const bool brush = GotGDIBrush_;
    const bool pen = GotGDIPen_;
    DeleteObjects();
    RGBColor_ = TranslateOleColor(OLEColor_);
    if (RGBColor_ == -1) {
        Clear();
        return;
    }
    MakeObjects(brush, pen);
}

void Color::Dispose()
{
    if (GotGDIBrush_) {
        brush_.Reset();
        GotGDIBrush_ = false;
        GDIBrush_ = NoHandle<HBRUSH>();
    }
    if (GotGDIPen_) {
        pen_.Reset();
        GotGDIPen_ = false;
        GDIPen_ = NoHandle<HPEN>();
    }
    OLEColor_ = -1;
    RGBColor_ = -1;
}

}  // namespace quill::listview
