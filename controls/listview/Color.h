#pragma once
// One colour of the list view: the OLE colour its property was given, that
// colour translated to RGB, and on request a solid brush or a one-pixel pen
// of it, which the object owns.
#include <windows.h>

#include <cstdint>

#include "forms/Gdi.h"

namespace quill::listview {

// OleTranslateColor; -1 when the colour cannot be translated.
int32_t TranslateOleColor(int32_t oleColor, HPALETTE palette = nullptr);

class Color {
public:
    Color() = default;
    ~Color() { Dispose(); }
    Color(const Color&) = delete;
    Color& operator=(const Color&) = delete;

    int32_t OLEColor() const { return OLEColor_; }  // -1: none
    int32_t RGBColor() const { return RGBColor_; }  // -1: none, or not translatable
    // The brush and pen: 0 or -1 when there is none.
    HBRUSH GDIBrush() const { return GDIBrush_; }
    bool GotGDIBrush() const { return GotGDIBrush_; }
    HPEN GDIPen() const { return GDIPen_; }
    bool GotGDIPen() const { return GotGDIPen_; }

    // Deletes brush and pen; no colour afterwards.
    void Dispose();
    // Translates the stored colour again (system colours change) and makes
    // the brush and pen that the object had made before.
    void Update();
    // False, and no colour, brush or pen, when the colour cannot be
    // translated. The brush or pen made before is deleted first, so it must
    // no longer be selected into any device context.
    bool SetColor(int32_t OLEColor, bool CreateBrush, bool CreatePen);

private:
    void DeleteObjects();
    void MakeObjects(bool brush, bool pen);
    void Clear();

    int32_t OLEColor_ = -1;
    int32_t RGBColor_ = -1;
    forms::gdi::BrushHandle brush_;
    forms::gdi::PenHandle pen_;
    HBRUSH GDIBrush_ = nullptr;
    HPEN GDIPen_ = nullptr;
    bool GotGDIBrush_ = false;
    bool GotGDIPen_ = false;
};

}  // namespace quill::listview
