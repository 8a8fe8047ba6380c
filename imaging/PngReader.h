#pragma once
// The portable PNG reader: the part of cPNGParser that needs no Windows, as
// GifReader and IcoReader are for cGIFParser and cICOParser. DecodePng walks
// the chunks, checks the header, palette and transparency chunks, and
// inflates the image data where its chunks lie, through the bound zlib's
// inflate or the own inflater (Inflate.h), handing the rows to the scanline
// decoder (PngScanlines.h) as they come. cPNGParser lends it zlib through
// ZlibBinding; the tests and benchmarks lend it the zlib they link.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "imaging/DecodedImage.h"

namespace quill::imaging {

// What one call of zlib's inflate came to: progress (Z_OK, or Z_BUF_ERROR:
// it needs more input or room), the stream's end, or a failure.
enum class ZlibStep { Progress, End, Fail };
// zlib's return code as a step.
constexpr ZlibStep ZlibStepOf(int code)
{
    return code == 1 ? ZlibStep::End : code == 0 || code == -5 ? ZlibStep::Progress : ZlibStep::Fail;
}

// One zlib stream inflated by zlib's inflate (its z_stream), fed a piece at a
// time; ended (inflateEnd) when destroyed.
class ZlibStream {
public:
    virtual ~ZlibStream() = default;
    // Inflates from `input` into `output` as far as either allows (no flush);
    // `consumed` and `produced` are the bytes taken and written.
    virtual ZlibStep Inflate(std::span<const uint8_t> input, std::span<uint8_t> output, size_t& consumed,
                             size_t& produced) = 0;
};

// A zlib library bound at run time. Without one, chunk CRCs are not checked
// and only the own inflater runs.
class ZlibBinding {
public:
    // zlib's crc32(0, data, size).
    virtual uint32_t Crc32(const uint8_t* data, size_t size) = 0;
    // A stream started by inflateInit; null when it could not be started.
    virtual std::unique_ptr<ZlibStream> InflateInit() = 0;

protected:
    ~ZlibBinding() = default;
};

// The 8 bytes 89 50 4E 47 0D 0A 1A 0A at the start.
bool HasPngSignature(std::span<const uint8_t> bytes);

// NotMine without the signature; otherwise NoImage or Image. Bytes are only
// read. `zlib` may be null.
ReadResult DecodePng(std::span<const uint8_t> bytes, ZlibBinding* zlib, PixelTarget& target);

}  // namespace quill::imaging
