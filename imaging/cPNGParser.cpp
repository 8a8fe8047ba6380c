#include "imaging/cPNGParser.h"

namespace quill::imaging {

bool cPNGParser::LoadFile(const std::wstring&, cImage32&)
{
    return false;
}

bool cPNGParser::LoadStream(const std::vector<uint8_t>&, cImage32&, int32_t, int32_t)
{
    return false;
}

}  // namespace quill::imaging
