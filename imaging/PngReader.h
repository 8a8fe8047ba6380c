#pragma once
// The PNG reader's own decoder: the chunk walk, header, palette and
// transparency checks, inflating the image data (where its chunks lie, row
// by row into the picture; joined, when zlib's uncompress is tried first),
// and the scanlines. The image object tries GDI+ before it; this is what
// runs when GDI+ is unusable or refuses the data.
#include <cstddef>
#include <cstdint>
#include <span>

#include "imaging/DecodedImage.h"

namespace quill::imaging {

// A zlib library bound at run time. Without one, chunk CRCs are not checked
// and only the own inflater runs.
class ZlibBinding {
public:
    // zlib's crc32(0, data, size).
    virtual uint32_t Crc32(const uint8_t* data, size_t size) = 0;
    // zlib's uncompress; true when it returned 0. `destSize` is the room in,
    // the bytes written out.
    virtual bool Uncompress(uint8_t* dest, size_t* destSize, const uint8_t* src, size_t srcSize) = 0;

protected:
    ~ZlibBinding() = default;
};

// The 8 bytes 89 50 4E 47 0D 0A 1A 0A at the start.
bool HasPngSignature(std::span<const uint8_t> bytes);

// NotMine without the signature; otherwise NoImage or Image. Bytes are only
// read. `zlib` may be null.
ReadResult DecodePng(std::span<const uint8_t> bytes, ZlibBinding* zlib, PixelTarget& target);

}  // namespace quill::imaging
