#include "controls/listview/BackBuffer.h"

#include <algorithm>

namespace quill::listview {

// The window's DC lives until the memory DC made compatible with it is there.
BackBuffer::BackBuffer(HWND window) : window_(window), dc_(forms::gdi::WindowDc(window).Get())
{
    initialBitmap_ = GetCurrentObject(dc_, OBJ_BITMAP);
    initialFont_ = GetCurrentObject(dc_, OBJ_FONT);
    initialPen_ = GetCurrentObject(dc_, OBJ_PEN);
    SetBkMode(dc_, TRANSPARENT);
}

BackBuffer::~BackBuffer()
{
    SelectObject(dc_, initialBitmap_);
    SelectObject(dc_, initialFont_);
    SelectObject(dc_, initialPen_);
}

bool BackBuffer::Resize(int width, int height)
{
    width = std::clamp(width, 1, MaxWidth);
    height = std::clamp(height, 1, MaxHeight);
    if (bitmap_ && width == width_ && height == height_)
        return true;
    forms::gdi::WindowDc windowDc(window_);
    forms::gdi::BitmapHandle fresh(CreateCompatibleBitmap(windowDc, width, height));
    if (!fresh)
        return false;
    SelectObject(dc_, fresh.Get());
    bitmap_ = std::move(fresh);  // the old bitmap, no longer selected, goes
    width_ = width;
    height_ = height;
    SetBkMode(dc_, TRANSPARENT);
    return true;
}

void BackBuffer::SelectFont(HFONT font)
{
    SelectObject(dc_, font);
}

void BackBuffer::SelectPen(HPEN pen)
{
    SelectObject(dc_, pen);
}

void BackBuffer::RestoreFont()
{
    SelectObject(dc_, initialFont_);
}

void BackBuffer::RestorePen()
{
    SelectObject(dc_, initialPen_);
}

}  // namespace quill::listview
