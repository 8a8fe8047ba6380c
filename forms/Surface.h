#pragma once
// A drawing surface that keeps what was drawn: a 32-bit top-down DIB section
// selected into its own memory DC, with the drawing state of the platform's
// graphics methods (back and fore colour, font, current position, pen and
// fill). Its owner blits it to the screen on WM_PAINT; tests read its pixels.
// Coordinates are pixels.
#include "forms/Color.h"
#include "forms/Font.h"
#include "forms/Gdi.h"
#include "forms/Picture.h"

#include <functional>
#include <string_view>

namespace quill::forms {

enum : int16_t {
    vbSolid = 0,
    vbDash = 1,
    vbDot = 2,
    vbDashDot = 3,
    vbDashDotDot = 4,
    vbInvisible = 5,
    vbInsideSolid = 6
};
enum : int16_t { vbFSSolid = 0, vbFSTransparent = 1 };

class Surface {
public:
    Surface();
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // Called after drawing, so the owner can schedule a repaint.
    std::function<void()> onDrawn;

    // Keeps what lies inside both sizes; new area takes the back colour.
    void Resize(int width, int height);
    int ScaleWidth() const { return width_; }
    int ScaleHeight() const { return height_; }
    HDC hDC() const { return dc_; }

    OleColor BackColor() const { return backColor_; }
    void BackColor(OleColor c);  // clears the surface, as the platform does
    OleColor ForeColor() const { return foreColor_; }
    void ForeColor(OleColor c) { foreColor_ = c; }
    OleColor FillColor() const { return fillColor_; }
    void FillColor(OleColor c) { fillColor_ = c; }
    int16_t FillStyle() const { return fillStyle_; }
    void FillStyle(int16_t s) { fillStyle_ = s; }
    int16_t DrawStyle() const { return drawStyle_; }
    void DrawStyle(int16_t s) { drawStyle_ = s; }
    int16_t DrawWidth() const { return drawWidth_; }
    void DrawWidth(int16_t w) { drawWidth_ = w < 1 ? 1 : w; }
    bool FontTransparent() const { return fontTransparent_; }
    void FontTransparent(bool v) { fontTransparent_ = v; }

    // The surface's font; changes to the object reach the surface.
    const forms::Font::Ref& Font() const { return font_; }
    void Font(forms::Font::Ref f);

    float CurrentX = 0;
    float CurrentY = 0;

    void Cls();
    // Prints at (CurrentX, CurrentY) and moves to the start of the next line.
    void Print(std::wstring_view text);
    int TextWidth(std::wstring_view text) const;
    int TextHeight(std::wstring_view text) const;

    enum class Box { None, Border, Filled };
    // A line from (x1, y1) to (x2, y2), or the rectangle they span; colour -1
    // means the fore colour. Ends at (x2, y2) like the platform's Line.
    void Line(float x1, float y1, float x2, float y2, int64_t color = -1, Box box = Box::None);
    void PSet(float x, float y, int64_t color = -1);
    // The colour at (x, y), -1 outside the surface.
    int64_t Point(int x, int y) const;
    void PaintPicture(const Picture& picture, int x, int y, int width = -1, int height = -1);

    // Copies the surface to a DC (on WM_PAINT).
    void BlitTo(HDC dc, const RECT& area) const;
    // Tells the owner that drawing through hDC() happened.
    void Drawn();

private:
    void Allocate(int width, int height);
    void Fill(const RECT& r, COLORREF c);

    gdi::MemoryDc dc_;
    gdi::BitmapHandle bitmap_;
    HGDIOBJ initialBitmap_ = nullptr;
    uint32_t* bits_ = nullptr;
    int width_ = 0, height_ = 0;
    OleColor backColor_ = 0x8000000F;  // button face
    OleColor foreColor_ = 0x80000012;  // button text
    OleColor fillColor_ = 0;
    int16_t fillStyle_ = vbFSTransparent;
    int16_t drawStyle_ = vbSolid;
    int16_t drawWidth_ = 1;
    bool fontTransparent_ = true;
    forms::Font::Ref font_;
    forms::Font::Subscription fontWatch_;
    gdi::FontHandle fontHandle_;
    HGDIOBJ initialFont_ = nullptr;
};

}  // namespace quill::forms
