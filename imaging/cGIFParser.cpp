#include "imaging/cGIFParser.h"

#include <span>

#include "imaging/DecodedImageHost.h"
#include "imaging/GifReader.h"
#include "imaging/cImage32.h"

namespace quill::imaging {

bool cGIFParser::LoadStream(const std::vector<uint8_t>& stream, cImage32& host, int32_t start, int32_t length)
{
    if (start < 0 || length < 0 ||
        static_cast<uint64_t>(start) + static_cast<uint64_t>(length) > stream.size())
        return false;
    HostPixels target(host);
    const ReadResult read = DecodeGif(std::span(stream.data() + start, static_cast<size_t>(length)), target);
    if (read.verdict == ReadVerdict::NoImage)
        host.DestroyDIB();
    return read.verdict != ReadVerdict::NotMine;
}

}  // namespace quill::imaging
