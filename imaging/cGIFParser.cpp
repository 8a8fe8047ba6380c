#include "imaging/cGIFParser.h"

namespace quill::imaging {

bool cGIFParser::LoadStream(const std::vector<uint8_t>&, cImage32&, int32_t, int32_t)
{
    return false;
}

}  // namespace quill::imaging
