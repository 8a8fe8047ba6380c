// The own inflater against zlib's raw inflate on any bytes: the same verdict
// and, when valid, the same bytes, from one piece and from the stream cut
// into pieces through the window. The first two bytes give the room for the
// output, the last one the pieces' size.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "tests/imaging/DeflateBuild.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const size_t room = (size_t(data[0]) << 8 | data[1]) * 4;
    const std::span<const uint8_t> stream(data + 2, size - 2);
    const auto zlib = quill::imaging::test::ZlibRawInflate(stream, room);
    const auto own = quill::imaging::test::OwnRawInflate(stream, room);
    if (zlib.ok != own.ok)
        std::abort();
    if (zlib.ok && zlib.bytes != own.bytes)
        std::abort();
    const auto pieces = quill::imaging::test::OwnRawInflatePieces(stream, room, data[size - 1] % 17, true);
    if (pieces.ok != zlib.ok || (zlib.ok && pieces.bytes != zlib.bytes))
        std::abort();
    return 0;
}
