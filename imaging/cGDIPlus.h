#pragma once
// The image library's only user of GDI+ (its flat functions). Every
// operation starts GDI+ itself and shuts it down before it returns, so no
// GDI+ state outlives a call.
#include <objidl.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quill::imaging {

class cImage32;

class cGDIPlus {
public:
    // True when gdiplus.dll loads, exports GdiplusStartup and starts (and GDI+
    // is not switched off); GDI+ is shut down again at once.
    bool isGDIplusOk() const;
    // PNG of the image into the file, or, with an empty file name, into
    // `outBytes`. A file is written beside the old one first and then put in
    // its place, so a failed save leaves the old file as it was.
    bool SaveToPNG(const std::wstring& FileName, std::vector<uint8_t>& outBytes, const cImage32& image) const;

    // ---- for the image object
    // Opacity 1 to 100 (0 draws nothing and returns True); a negative size
    // mirrors; a non-zero angle turns about the destination's centre.
    bool RenderViaGdiplus(const cImage32& image, HDC destinationDC, int32_t Angle, int32_t Opacity,
                          int32_t destX, int32_t destY, int32_t destWidth, int32_t destHeight, int32_t srcX,
                          int32_t srcY, int32_t srcWidth, int32_t srcHeight, bool HighQuality) const;
    // Any picture GDI+ reads, from the file or (empty file name) the bytes.
    bool LoadViaGdiplus(const std::wstring& FileName, const std::vector<uint8_t>& bytes,
                        cImage32& image) const;
    bool GrayScaleViaGdiplus(cImage32& image, int Formula) const;
    // Index (from 1) of the encoder of the MIME type, any letter case, with
    // its class identifier; -1 (and `clsid` untouched) when there is none.
    int FindEncoderClsid(const std::wstring& MimeType, CLSID& clsid) const;
    static std::wstring StringFromWidePointer(const wchar_t* text);
    // Exactly the bytes written into a memory stream.
    static bool StreamToBytes(IStream* stream, std::vector<uint8_t>& outBytes);
    // A stream over a copy of the bytes from `start`; an empty, growing one
    // for an empty array. The caller releases it.
    static IStream* BytesToStream(const std::vector<uint8_t>& bytes, size_t start);
    // Starts GDI+ (token set, True) or, with shutDown, shuts it down (False).
    bool GdiplusToggle(ULONG_PTR& token, bool shutDown) const;
};

}  // namespace quill::imaging
