#pragma once
// The list view's off-screen picture: a memory DC compatible with the
// control's window and the bitmap it paints into. The DC is made once; the
// bitmap follows the control's size. What the DC held when it was made
// (bitmap, font, pen) is put back before anything of ours is deleted, so no
// object is ever deleted while selected.
#include <windows.h>

#include "forms/Gdi.h"

namespace quill::listview {

class BackBuffer {
public:
    // Wider bitmaps are not made: the columns beyond are not painted.
    static constexpr int MaxWidth = 32767;
    static constexpr int MaxHeight = 32767;

    explicit BackBuffer(HWND window);
    ~BackBuffer();
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    HDC Dc() const { return dc_; }
    bool HasBitmap() const { return static_cast<bool>(bitmap_); }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // A bitmap of width x height (each kept to 1 ... the maximum), unless the
    // current one has that size already. When the system refuses the new
    // one, the old one stays and the answer is false.
    bool Resize(int width, int height);

    // Selects a font or pen of the owner's into the DC. The owner puts the
    // DC's own back (RestoreFont, RestorePen) before deleting what it selected.
    void SelectFont(HFONT font);
    void SelectPen(HPEN pen);
    void RestoreFont();
    void RestorePen();

private:
    HWND window_;
    forms::gdi::MemoryDc dc_;
    forms::gdi::BitmapHandle bitmap_;
    HGDIOBJ initialBitmap_ = nullptr;
    HGDIOBJ initialFont_ = nullptr;
    HGDIOBJ initialPen_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace quill::listview
