#pragma once
// The image library's own DEFLATE decoder, used for PNG image data when no
// zlib library can be bound or when zlib's inflate fails. It accepts
// exactly the streams that zlib's inflate accepts and gives the same bytes.
#include <cstddef>
#include <cstdint>
#include <span>

namespace quill::imaging {

// Inflates a raw DEFLATE stream into `output`, which the caller has zeroed:
// on success the stream's bytes are at its start and the rest is still zero
// (on failure its content is undefined). Fails when the stream is invalid,
// needs bits beyond `input`, or produces more than `output` holds. On success
// `*written` (when given) is the count of bytes produced; bytes after the
// final block are ignored.
bool InflateRaw(std::span<const uint8_t> input, std::span<uint8_t> output, size_t* written = nullptr);

// A zlib stream: the two header bytes are skipped unchecked and the Adler-32
// after the DEFLATE data is not read, so a stream whose header or checksum is
// damaged still inflates.
bool InflateZlib(std::span<const uint8_t> input, std::span<uint8_t> output, size_t* written = nullptr);

// Where a windowed inflate hands its output, in order, a run of bytes at a
// time; false stops the inflate as failed.
class InflateSink {
public:
    virtual bool Take(std::span<const uint8_t> bytes) = 0;

protected:
    ~InflateSink() = default;
};

// A raw DEFLATE stream cut into pieces at any points (a PNG's IDAT chunks),
// read in order without joining them, its output handed to `sink` through a
// window of 64 KiB: a picture of any size needs no buffer of its size. Fails
// as InflateRaw does, also when the output would exceed `limit` bytes or the
// sink refuses it (output handed on before a failure then holds no picture).
bool InflateRawPieces(std::span<const std::span<const uint8_t>> pieces, uint64_t limit, InflateSink& sink,
                      uint64_t* written = nullptr);
// A zlib stream in pieces, as InflateZlib reads it.
bool InflateZlibPieces(std::span<const std::span<const uint8_t>> pieces, uint64_t limit, InflateSink& sink,
                       uint64_t* written = nullptr);

// The Adler-32 of `bytes` continued from `adler` (1 to begin), the checksum a
// zlib stream ends with, as zlib's adler32 computes it.
uint32_t Adler32(uint32_t adler, std::span<const uint8_t> bytes);

// The most bytes a DEFLATE stream of `inputBytes` bytes can produce: a
// length-258 match costs at least two bits.
constexpr uint64_t MaxInflatedSize(uint64_t inputBytes)
{
    return inputBytes * 1032 + 258;
}

}  // namespace quill::imaging
