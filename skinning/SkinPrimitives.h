// The skin's drawing routines: memory DCs that own their bitmap, the
// nine-grid and colour-key copies, fills, frames, text, and a few measures of
// a window.
#pragma once

#include "forms/Gdi.h"

#include <memory>
#include <optional>
#include <string>

namespace quill::skinning {

// A memory DC and the bitmap selected into it, released together: the bitmap
// is put out of the DC, the DC deleted, then the bitmap.
class BitmapDc {
public:
    // width x height, compatible with `like` (the display when null). Dc() is
    // null when the DC or the bitmap cannot be made.
    BitmapDc(int width, int height, HDC like = nullptr);
    ~BitmapDc();
    BitmapDc(const BitmapDc&) = delete;
    BitmapDc& operator=(const BitmapDc&) = delete;

    HDC Dc() const { return dc_ ? dc_->Get() : nullptr; }
    HBITMAP Bitmap() const { return bitmap_; }
    explicit operator bool() const { return Dc() != nullptr; }

    // Puts a new bitmap of another size into the same DC and deletes the one
    // it replaces (its pixels are not kept). False when it cannot be made.
    bool Resize(int width, int height, HDC like = nullptr);

private:
    forms::gdi::BitmapHandle bitmap_;
    std::optional<forms::gdi::MemoryDc> dc_;
    HGDIOBJ original_ = nullptr;
};

// A new width x height memory DC compatible with the display, its pixels
// not initialised; null when any step fails.
std::unique_ptr<BitmapDc> CreateMemoryDC(int width, int height);

// Copies the source rectangle onto (x, y, width, height) keeping strips of
// `left`, `top`, `right`, `bottom` pixels at size where they meet the corners;
// composed in a memory DC and copied once, leaving out the `key` colour when
// one is given. 0 without drawing when a size is 0.
int NineGridBlt(HDC destDC, int x, int y, int width, int height, HDC srcDC, int srcX, int srcY, int srcWidth,
                int srcHeight, int left, int top, int right, int bottom,
                std::optional<COLORREF> key = std::nullopt);

// Copies width x height pixels from (srcX, srcY) to (x, y) leaving every
// pixel of the key colour (a system colour allowed) out, by masks.
void TransparentBlit(HDC destDC, int x, int y, int width, int height, HDC srcDC, int srcX, int srcY,
                     COLORREF key, HPALETTE palette = nullptr);

int FillSolidRect(HDC dc, int x, int y, int width, int height, COLORREF colour);
// A one-pixel frame just inside the rectangle.
int FrameSolidRect(HDC dc, int x, int y, int width, int height, COLORREF colour);
int DrawFocusBox(HDC dc, int x, int y, int width, int height);
// ANSI text (the system's code page) in the rectangle.
int DrawTextInRect(HDC dc, const std::string& text, int x, int y, int width, int height, UINT format);

// The window rectangle on the screen, frame included, and its size.
struct WindowBox {
    int left = 0, top = 0, right = 0, bottom = 0, width = 0, height = 0;
};
BOOL GetWindowBox(HWND hWnd, WindowBox& box);
// The same as a value; all zero when the window has none.
WindowBox BoxOf(HWND hWnd);

// The window's text in the system's code page.
std::string GetWindowCaption(HWND hWnd);

// Half the frame around the client area, scroll bars not counted.
int GetBorderSize(HWND hWnd, int& borderX, int& borderY);

}  // namespace quill::skinning
