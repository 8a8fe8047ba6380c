#include "controls/button/GreyIcon.h"

#include "controls/button/ButtonColours.h"
#include "forms/Gdi.h"

namespace quill::button {

namespace {

// Copies of an icon's mask and colour bitmaps.
bool GetIconBitmaps(HICON icon, forms::gdi::BitmapHandle& mask, forms::gdi::BitmapHandle& colour)
{
    ICONINFO info{};
    if (!GetIconInfo(icon, &info))
        return false;
    mask.Reset(info.hbmMask);
    colour.Reset(info.hbmColor);
    return true;
}

// Greys the bitmap in place, column by column, keeping the sixteen greys.
bool GrayscaleIconBitmap(HBITMAP bitmap)
{
    BITMAP bm{};
    if (!GetObjectW(bitmap, sizeof(bm), &bm) || bm.bmWidth < 1 || bm.bmHeight < 1)
        return false;
    forms::gdi::WindowDc screen(nullptr);
    forms::gdi::MemoryDc dc(screen);
    forms::gdi::Selection use(dc, bitmap);
    for (int x = 0; x < bm.bmWidth; ++x)
        for (int y = 0; y < bm.bmHeight; ++y) {
            const COLORREF c = GetPixel(dc, x, y);
            if (c == CLR_INVALID)
                continue;
            SetPixelV(dc, x, y, button::GrayscaleIconPixel(c));
        }
    return true;
}

forms::gdi::IconHandle CreateIconFromBitmaps(HBITMAP mask, HBITMAP colour)
{
    ICONINFO info{TRUE, 0, 0, mask, colour};
    return forms::gdi::IconHandle(CreateIconIndirect(&info));
}

}  // namespace

bool DrawIconGrey(HDC dc, HICON icon, int x, int y, int width, int height)
{
    if (!dc || !icon)
        return false;
    forms::gdi::BitmapHandle mask, colour;
    if (!GetIconBitmaps(icon, mask, colour) || !colour)
        return false;
    if (!GrayscaleIconBitmap(colour))
        return false;
    forms::gdi::IconHandle grey = CreateIconFromBitmaps(mask, colour);
    if (!grey)
        return false;
    return DrawIconEx(dc, x, y, grey, width, height, 0, nullptr, DI_NORMAL) != FALSE;
}

}  // namespace quill::button
