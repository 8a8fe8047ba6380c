#include "forms/Gdi.h"

#include <algorithm>

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

BitmapHandle DibSection(HDC dc, const DibFormat& format, void*& bits)
{
    bits = nullptr;
    if (format.width < 1 || format.height < 1 || format.colours.size() > 256)
        return {};
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info{};
    info.header.biSize = sizeof(info.header);
    info.header.biWidth = format.width;
    info.header.biHeight = format.topDown ? -format.height : format.height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(format.bitsPerPixel);
    info.header.biCompression = BI_RGB;
    const uint64_t stride = ((uint64_t(format.width) * uint64_t(format.bitsPerPixel) + 31) / 32) * 4;
    if (stride * uint64_t(format.height) > 0x7FFFFFFF)
        return {};
    info.header.biSizeImage = static_cast<DWORD>(stride * uint64_t(format.height));
    if (format.bitsPerPixel <= 8) {
        info.header.biClrUsed = 1u << format.bitsPerPixel;
        std::copy(format.colours.begin(), format.colours.end(), info.colours);
    }
    void* p = nullptr;
    BitmapHandle dib(
        CreateDIBSection(dc, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, &p, nullptr, 0));
    if (!dib || !p)
        return {};
    bits = p;
    return dib;
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

WholeWindowDc::WholeWindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetWindowDC(hwnd))
{
    if (dc_)
        detail::Count(+1);
}

WholeWindowDc::~WholeWindowDc()
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
