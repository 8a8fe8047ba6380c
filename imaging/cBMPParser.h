#pragma once
// The BMP reader of the load chain: uncompressed 32-bit files itself, every
// other picture the platform's picture loader reads (BMP of any depth, JPEG,
// GIF, icons, metafiles) through a picture object.
#include <ocidl.h>

#include <cstdint>
#include <vector>

namespace quill::imaging {

class cImage32;

class cBMPParser {
public:
    // True when the bytes were taken as a picture (the host then holds it).
    bool LoadStream(const std::vector<uint8_t>& inStream, cImage32& cHost, int32_t streamStart,
                    int32_t streamLength);
    // Draws the picture object into the host at its own size. bitsPerPixel
    // 0: taken from the picture's bitmap.
    bool ConvertstdPicTo32bpp(IPicture* stdPic, cImage32& cHost, int bitsPerPixel);
};

}  // namespace quill::imaging
