#pragma once
// DEFLATE streams written bit by bit, for streams no compressor makes:
// single and missing distance codes, symbols 286 and 287, long codes,
// damaged headers. And zlib's own raw inflate as the reference verdict.
#include <cstdint>
#include <span>
#include <vector>

namespace quill::imaging::test {

using Bytes = std::vector<uint8_t>;

class DeflateWriter {
public:
    // `bits` low bits of `value`, least significant first (header fields, extra bits).
    void Bits(uint32_t value, int bits);
    // A Huffman codeword, most significant bit first.
    void Code(uint32_t code, int length);
    void AlignToByte();
    void Byte(uint8_t b);
    std::vector<uint8_t> Finish();

    // A fixed-Huffman literal/length symbol (0 to 287) and distance code (0 to 31).
    void FixedSymbol(int symbol);
    void FixedDistance(int code);

    // A dynamic block header (BFINAL, BTYPE 2, HLIT, HDIST, HCLEN and the
    // code lengths) for the given lengths; `hlit` and `hdist` may exceed what
    // the lengths fill (the rest are 0) to write invalid counts. Afterwards
    // Symbol and Distance write codewords of these codes.
    void DynamicHeader(bool final, const std::vector<uint8_t>& litLenLengths,
                       const std::vector<uint8_t>& distLengths, int hlit = -1, int hdist = -1);
    void Symbol(int symbol);
    void Distance(int code);

    // A dynamic block header up to the code-length code (HCLEN 19, the code
    // used by DynamicHeader), for code lengths written one by one with
    // CodeLengthSymbol (0 to 18; the extra bits of 16 to 18 follow by Bits).
    void CodeLengthCodeHeader(bool final, int hlit, int hdist);
    void CodeLengthSymbol(int symbol);

private:
    std::vector<uint8_t> out_;
    uint32_t acc_ = 0;
    int count_ = 0;
    std::vector<uint32_t> litCodes_, distCodes_;
    std::vector<uint8_t> litLengths_, distLengths_;
};

// Canonical codewords for code lengths (0 = unused).
std::vector<uint32_t> CanonicalCodes(const std::vector<uint8_t>& lengths);

struct InflateOutcome {
    bool ok = false;
    std::vector<uint8_t> bytes;  // what the stream produced, when ok
};

// zlib's raw inflate of a DEFLATE stream into `room` bytes: ok only when the
// final block was reached within the input and the room.
InflateOutcome ZlibRawInflate(std::span<const uint8_t> deflate, size_t room);
// The own inflater, the same way.
InflateOutcome OwnRawInflate(std::span<const uint8_t> deflate, size_t room);
// The own inflater reading the stream cut into pieces of `pieceSize` bytes
// (0: one piece, empty pieces between them when `emptyBetween`), its output
// through the window, at most `room` bytes.
InflateOutcome OwnRawInflatePieces(std::span<const uint8_t> deflate, size_t room, size_t pieceSize,
                                   bool emptyBetween = false);
// The stream cut at the given offsets (ascending).
std::vector<std::span<const uint8_t>> CutAt(std::span<const uint8_t> bytes, const std::vector<size_t>& cuts);

}  // namespace quill::imaging::test
