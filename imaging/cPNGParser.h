#pragma once
// The PNG reader of the load chain. (Placeholder entries: this reader takes
// nothing until the PNG decoder is built.)
#include <cstdint>
#include <string>
#include <vector>

namespace quill::imaging {

class cImage32;

class cPNGParser {
public:
    // True when the data is PNG (also when it then fails to decode).
    bool LoadFile(const std::wstring& FileName, cImage32& cHost);
    bool LoadStream(const std::vector<uint8_t>& Stream, cImage32& cHost, int32_t streamStart,
                    int32_t streamLength);
};

}  // namespace quill::imaging
