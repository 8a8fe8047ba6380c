#include "imaging/cBMPParser.h"

#include <cstring>
#include <exception>
#include <span>

#include "imaging/BmpFormat.h"
#include "imaging/DecodedImageHost.h"
#include "imaging/cImage32.h"
#include "imaging/modParsers.h"
#include "imaging/modParsersPlatform.h"

namespace quill::imaging {

bool cBMPParser::LoadStream(const std::vector<uint8_t>& bytes, cImage32& host, int32_t start, int32_t length)
{
    if (start < 0 || length < 0 || static_cast<int64_t>(start) + length > static_cast<int64_t>(bytes.size()))
        return false;
    BmpRead read = ReadBmp(
        std::span<const uint8_t>(bytes).subspan(static_cast<size_t>(start), static_cast<size_t>(length)));
    if (read.verdict == BmpVerdict::Refused)
        return false;
    if (read.verdict == BmpVerdict::Decoded)
        FillHostImage(host, read.image);
    if (host.Handle())
        return true;
    // Everything else is the platform picture loader's.
    try {
        forms::Picture::Ref picture = PictureFromBytes(bytes, start, length);
        if (!picture)
            return false;
        return ConvertstdPicTo32bpp(picture->Interface(), host, read.bitsPerPixel);
    } catch (const std::exception&) {
        return false;
    }
}

bool cBMPParser::ConvertstdPicTo32bpp(IPicture* picture, cImage32& host, int bits)
{
    SHORT type = PICTYPE_NONE;
    if (!picture || FAILED(picture->get_Type(&type)) || type == PICTYPE_NONE)
        return false;
    OLE_XSIZE_HIMETRIC himetricWidth = 0;
    OLE_YSIZE_HIMETRIC himetricHeight = 0;
    picture->get_Width(&himetricWidth);
    picture->get_Height(&himetricHeight);
    OLE_HANDLE handle = 0;
    picture->get_Handle(&handle);
    const HGDIOBJ object = reinterpret_cast<HGDIOBJ>(static_cast<LONG_PTR>(static_cast<LONG>(handle)));
    if (type == PICTYPE_ENHMETAFILE && (himetricWidth == 0 || himetricHeight == 0)) {
        // Some picture objects made from a handle report no size: the
        // metafile's own frame (in HIMETRIC units) gives it.
        ENHMETAHEADER header{};
        if (GetEnhMetaFileHeader(static_cast<HENHMETAFILE>(object), sizeof(header), &header)) {
            himetricWidth = header.rclFrame.right - header.rclFrame.left;
            himetricHeight = header.rclFrame.bottom - header.rclFrame.top;
        }
    }
    const int width = HimetricToPixels(himetricWidth, true);
    const int height = HimetricToPixels(himetricHeight, false);
    // A picture object's size comes from its file: metafile extents can ask
    // for gigabytes.
    if (!PictureSizeAllowed(width, height) || !host.InitializeDIB(width, height))
        return false;
    const bool metafile = type == PICTYPE_METAFILE || type == PICTYPE_ENHMETAFILE;
    PixelView view = host.Pixels();
    // A metafile draws only some pixels; those it leaves keep alpha 255.
    if (metafile)
        std::memset(view.pixels, 0xFF, view.Count() * 4);
    HDC dc = host.LoadDIBinDC(true);
    picture->Render(dc, 0, 0, width, height, 0, himetricHeight, himetricWidth, -himetricHeight, nullptr);
    host.LoadDIBinDC(false);
    GdiFlush();
    bool transparent = false;
    if (metafile) {
        for (size_t i = 0, n = view.Count(); i < n; ++i) {
            if (AlphaOf(view.pixels[i]) == 255) {
                view.pixels[i] = 0;
                transparent = true;
            } else {
                view.pixels[i] |= 0xFF000000u;
            }
        }
        host.SetImageType(type);
    } else {
        if (bits == 0) {
            BITMAP description{};
            if (GetObjectW(object, sizeof(description), &description))
                bits = description.bmBitsPixel;
        }
        int imageType = 0;
        if (bits == 32) {
            transparent = ScanAlphaChannel(view, true, imageType);
        } else {
            imageType = -1;
            ScanAlphaChannel(view, true, imageType);
            imageType = 1;
        }
        host.SetImageType(imageType);
    }
    host.SetAlpha(transparent);
    return true;
}

}  // namespace quill::imaging
