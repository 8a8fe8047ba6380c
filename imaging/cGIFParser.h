#pragma once
// The GIF first-frame reader of the load chain: the first image of the file
// at its own size, decoded by the library's own LZW decoder, its transparent
// colour index fully transparent.
#include <cstdint>
#include <vector>

namespace quill::imaging {

class cImage32;

class cGIFParser {
public:
    // True when the data is a GIF that was read, or whose blocks run past the
    // data (the host then has no image); False when it is not a GIF, has no
    // image or colour table, or its image cannot be decoded, or when the
    // stream does not lie inside the array.
    bool LoadStream(const std::vector<uint8_t>& inStream, cImage32& cHost, int32_t streamStart,
                    int32_t streamLength);
};

}  // namespace quill::imaging
