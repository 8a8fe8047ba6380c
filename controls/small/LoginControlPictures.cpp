#include "controls/small/LoginControlPictures.h"

#include "forms/Gdi.h"

#include <vector>

namespace quill::small {

namespace {

// A top-down 24-bit DIB section holding the pixels.
forms::gdi::BitmapHandle MakeBitmap(const PixelPicture& p)
{
    void* bits = nullptr;
    forms::gdi::BitmapHandle bitmap =
        forms::gdi::DibSection(nullptr, {.width = p.width, .height = p.height, .bitsPerPixel = 24}, bits);
    if (!bitmap)
        return bitmap;
    const int stride = (p.width * 3 + 3) & ~3;
    auto* row = static_cast<std::uint8_t*>(bits);
    for (int y = 0; y < p.height; ++y, row += stride)
        for (int x = 0; x < p.width; ++x) {
            // Colour values keep red in the low byte; DIB pixels are blue, green, red.
            const std::uint32_t c = p.IsOpaque(x, y) ? p.At(x, y) : 0;
            row[x * 3 + 0] = static_cast<std::uint8_t>(c >> 16);
            row[x * 3 + 1] = static_cast<std::uint8_t>(c >> 8);
            row[x * 3 + 2] = static_cast<std::uint8_t>(c);
        }
    GdiFlush();
    return bitmap;
}

// The monochrome AND mask of an icon: 1 where the picture is transparent.
forms::gdi::BitmapHandle MakeMask(const PixelPicture& p)
{
    const int stride = ((p.width + 15) / 16) * 2;
    std::vector<std::uint8_t> plane(static_cast<std::size_t>(stride * p.height), 0);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (!p.IsOpaque(x, y))
                plane[static_cast<std::size_t>(y * stride + x / 8)] |=
                    static_cast<std::uint8_t>(0x80 >> (x % 8));
    return forms::gdi::BitmapHandle(CreateBitmap(p.width, p.height, 1, 1, plane.data()));
}

}  // namespace

forms::Picture::Ref MakePicture(const PixelPicture& pixels)
{
    if (pixels.opaque.empty())
        return forms::Picture::FromBitmap(MakeBitmap(pixels));
    forms::gdi::BitmapHandle colour(MakeBitmap(pixels));
    forms::gdi::BitmapHandle mask(MakeMask(pixels));
    if (!colour || !mask)
        return nullptr;
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = colour;
    info.hbmMask = mask;
    // The icon keeps copies of both bitmaps; ours end here.
    return forms::Picture::FromIcon(forms::gdi::IconHandle(CreateIconIndirect(&info)));
}

void PaintPicture(forms::Surface& surface, const forms::Picture::Ref& picture, int x, int y, int width,
                  int height)
{
    if (picture)
        surface.PaintPicture(*picture, x, y, width, height);
}

forms::Picture::Ref MakeCursorPicture(const MonoCursorShape& shape)
{
    return forms::Picture::FromIcon(forms::gdi::IconHandle(
        CreateCursor(GetModuleHandleW(nullptr), shape.hotX, shape.hotY, MonoCursorShape::Size,
                     MonoCursorShape::Size, shape.andPlane.data(), shape.xorPlane.data())));
}

}  // namespace quill::small
