#pragma once
// The GIF first-frame reader of the load chain. (Placeholder entry: this
// reader takes nothing until the GIF reader is built.)
#include <cstdint>
#include <vector>

namespace quill::imaging {

class cImage32;

class cGIFParser {
public:
    bool LoadStream(const std::vector<uint8_t>& inStream, cImage32& cHost, int32_t streamStart,
                    int32_t streamLength);
};

}  // namespace quill::imaging
