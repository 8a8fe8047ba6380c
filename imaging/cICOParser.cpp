#include "imaging/cICOParser.h"

namespace quill::imaging {

bool cICOParser::LoadStream(const std::vector<uint8_t>&, int, int, cImage32&, int32_t&, int32_t&)
{
    return false;
}

bool cICOParser::ConvertstdPicTo32bpp(IPicture*, cImage32&)
{
    return false;
}

}  // namespace quill::imaging
