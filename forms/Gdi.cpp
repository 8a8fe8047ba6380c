#include "forms/Gdi.h"

namespace quill::forms::gdi {

namespace {
long live = 0;
}

long LiveObjects()
{
    return live;
}

void detail::Count(int delta)
{
    live += delta;
}

namespace {

BitmapHandle Dib(HDC dc, int width, int height, uint32_t*& bits)
{
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    if (height > 0)
        bi.bmiHeader.biSizeImage = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
    void* p = nullptr;
    BitmapHandle dib(CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &p, nullptr, 0));
    bits = dib ? static_cast<uint32_t*>(p) : nullptr;
    return dib;
}

}  // namespace

BitmapHandle TopDownDib(HDC dc, int width, int height, uint32_t*& bits)
{
    return Dib(dc, width, -height, bits);
}

BitmapHandle BottomUpDib(HDC dc, int width, int height, uint32_t*& bits)
{
    return Dib(dc, width, height, bits);
}

MemoryDc::MemoryDc(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith))
{
    if (dc_)
        detail::Count(+1);
}

MemoryDc::~MemoryDc()
{
    if (dc_ && DeleteDC(dc_))
        detail::Count(-1);
}

WindowDc::WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd))
{
    if (dc_)
        detail::Count(+1);
}

WindowDc::~WindowDc()
{
    if (dc_ && ReleaseDC(hwnd_, dc_))
        detail::Count(-1);
}

PaintDc::PaintDc(HWND hwnd) : hwnd_(hwnd)
{
    BeginPaint(hwnd_, &ps_);
}

PaintDc::~PaintDc()
{
    EndPaint(hwnd_, &ps_);
}

}  // namespace quill::forms::gdi
