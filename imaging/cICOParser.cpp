#include "imaging/cICOParser.h"

#include <algorithm>
#include <span>

#include "forms/Gdi.h"
#include "imaging/DecodedImageHost.h"
#include "imaging/IcoReader.h"
#include "imaging/cImage32.h"
#include "imaging/cPNGParser.h"

namespace quill::imaging {

namespace {

// The size of a bitmap of the system; false when it cannot be asked.
bool BitmapSize(HBITMAP bitmap, int& width, int& height)
{
    BITMAP b{};
    if (!bitmap || !GetObjectW(bitmap, sizeof b, &b))
        return false;
    width = b.bmWidth;
    height = b.bmHeight;
    return true;
}

// The first `rows` rows (from the top) of a monochrome mask, as 1-bit rows
// padded to 4 bytes, bottom row first as the image's pixels are.
bool ReadMask(HDC dc, HBITMAP mask, int width, int maskHeight, int rows, std::vector<uint8_t>& bits)
{
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[2];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = -maskHeight;  // top-down: row 0 is the top
    info.header.biPlanes = 1;
    info.header.biBitCount = 1;
    const size_t rowBytes = static_cast<size_t>((width + 31) / 32) * 4;
    std::vector<uint8_t> topDown(rowBytes * static_cast<size_t>(maskHeight));
    if (GetDIBits(dc, mask, 0, static_cast<UINT>(maskHeight), topDown.data(),
                  reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) != maskHeight)
        return false;
    bits.resize(rowBytes * static_cast<size_t>(rows));
    for (int y = 0; y < rows; ++y)
        std::copy_n(&topDown[rowBytes * static_cast<size_t>(y)], rowBytes,
                    &bits[rowBytes * static_cast<size_t>(rows - 1 - y)]);
    return true;
}

}  // namespace

bool cICOParser::LoadStream(const std::vector<uint8_t>& stream, int iconCx, int iconCy, cImage32& host,
                            int32_t& start, int32_t& length)
{
    if (start < 0 || length < 0 ||
        static_cast<uint64_t>(start) + static_cast<uint64_t>(length) > stream.size())
        return false;
    // PNG images go through the PNG reader as the dispatcher's do: GDI+ first.
    const auto readPng = [&](std::span<const uint8_t> png, PixelTarget&) {
        const auto at = static_cast<int32_t>(png.data() - stream.data());
        cPNGParser().LoadStream(stream, host, at, static_cast<int32_t>(png.size()));
        return ReadResult{host.Handle() ? ReadVerdict::Image : ReadVerdict::NoImage, host.Alpha(),
                          host.ImageType()};
    };
    HostPixels target(host);
    const ReadResult read = DecodeIcon(std::span(stream.data() + start, static_cast<size_t>(length)), iconCx,
                                       iconCy, readPng, target);
    return read.verdict != ReadVerdict::NotMine;
}

bool cICOParser::ConvertstdPicTo32bpp(IPicture* picture, cImage32& host)
{
    SHORT type = PICTYPE_NONE;
    OLE_HANDLE handle = 0;
    if (!picture || FAILED(picture->get_Type(&type)) || type != PICTYPE_ICON ||
        FAILED(picture->get_Handle(&handle)))
        return false;
    ICONINFO info{};
    if (!GetIconInfo(reinterpret_cast<HICON>(static_cast<uintptr_t>(handle)), &info))
        return false;
    // Both bitmaps the information made are deleted on every path.
    forms::gdi::BitmapHandle colour(info.hbmColor), mask(info.hbmMask);
    forms::gdi::WindowDc screen(nullptr);
    int width = 0, height = 0, maskWidth = 0, maskHeight = 0;
    if (colour) {
        if (!BitmapSize(colour, width, height) || !host.InitializeDIB(width, height))
            return false;
        BITMAPINFO bits{};
        bits.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bits.bmiHeader.biWidth = width;
        bits.bmiHeader.biHeight = height;
        bits.bmiHeader.biPlanes = 1;
        bits.bmiHeader.biBitCount = 32;
        bits.bmiHeader.biSizeImage = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
        GetDIBits(screen, colour, 0, static_cast<UINT>(height), host.BitsPointer(), &bits, DIB_RGB_COLORS);
    }
    if (!BitmapSize(mask, maskWidth, maskHeight))
        return false;
    if (!colour) {
        // A monochrome icon: its mask holds the AND rows above the XOR rows.
        width = maskWidth;
        height = maskHeight / 2;
        if (!host.InitializeDIB(width, height))
            return false;
        OLE_XSIZE_HIMETRIC himetricWidth = 0;
        OLE_YSIZE_HIMETRIC himetricHeight = 0;
        picture->get_Width(&himetricWidth);
        picture->get_Height(&himetricHeight);
        HDC dc = host.LoadDIBinDC(true);
        picture->Render(dc, 0, 0, width, height, 0, himetricHeight, himetricWidth, -himetricHeight, nullptr);
        host.LoadDIBinDC(false);
    }
    std::vector<uint8_t> maskBits;
    if (maskWidth != width || maskHeight < height ||
        !ReadMask(screen, mask, width, maskHeight, height, maskBits)) {
        host.DestroyDIB();
        return false;
    }
    GdiFlush();
    const bool transparent =
        ApplyIconMask(reinterpret_cast<uint8_t*>(host.BitsPointer()), width, height, maskBits.data());
    host.SetImageType(info.fIcon ? ImageTypes::IconMask : ImageTypes::CursorMask);
    host.SetAlpha(transparent);
    return true;
}

}  // namespace quill::imaging
