#pragma once
// The ICO/CUR reader of the load chain. (Placeholder entries: this reader
// takes nothing until the icon reader is built.)
#include <ocidl.h>

#include <cstdint>
#include <vector>

namespace quill::imaging {

class cImage32;

class cICOParser {
public:
    // The entry nearest the wanted size; start and length may be moved to it.
    bool LoadStream(const std::vector<uint8_t>& inStream, int iconCx, int iconCy, cImage32& cHost,
                    int32_t& streamStart, int32_t& streamLength);
    bool ConvertstdPicTo32bpp(IPicture* stdPic, cImage32& cHost);
};

}  // namespace quill::imaging
