#pragma once
// The ICO/CUR reader of the load chain: the image of an icon or cursor file
// that best fits the requested size (bitmap images with their AND mask or
// own alpha; PNG images through the PNG reader), and the conversion of a
// system icon or cursor picture.
#include <ocidl.h>

#include <cstdint>
#include <vector>

namespace quill::imaging {

class cImage32;

class cICOParser {
public:
    // True once the bytes form a valid icon or cursor directory, whether or
    // not the chosen image could be made; False otherwise (also when the
    // stream does not lie inside the array). The bytes are only read; start
    // and length stay as they are.
    bool LoadStream(const std::vector<uint8_t>& inStream, int iconCx, int iconCy, cImage32& cHost,
                    int32_t& streamStart, int32_t& streamLength);
    // An icon or cursor picture (Type 3): its colour bitmap, its mask as the
    // alpha. False for any other picture or without icon information.
    bool ConvertstdPicTo32bpp(IPicture* stdPic, cImage32& cHost);
};

}  // namespace quill::imaging
