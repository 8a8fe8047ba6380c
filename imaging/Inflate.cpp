#include "imaging/Inflate.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quill::imaging {
namespace {

// Decode table entries. A direct entry holds the bits it consumes, the
// codeword and the extra bits after it (bits 0-5, so that a 64-bit shift by
// the entry itself consumes them), the codeword's length (bits 8-11), a kind
// (bits 12-15, and bit 7 for a pair) and a value (bits 16-31: literal byte,
// base length, base distance or code length). A literal pair holds two
// literals whose codewords fit the main table's index together: the first's
// byte in bits 16-23 and its codeword's length as any literal's, the second's
// in bits 24-31. A link entry sends codewords longer than the main table's
// index to a second-level table: bits 8-11 are the second table's bits and the
// value its start.
constexpr uint32_t KindLiteral = 0x1000;
constexpr uint32_t KindEndOfBlock = 0x2000;
constexpr uint32_t KindLink = 0x4000;
constexpr uint32_t KindInvalid = 0x8000;
constexpr uint32_t KindPair = 0x80;

constexpr uint32_t Entry(uint32_t value, uint32_t kind, uint32_t extraBits = 0)
{
    return (value << 16) | kind | extraBits;
}

// A direct entry with its codeword's length added.
constexpr uint32_t WithCodeLength(uint32_t e, unsigned len)
{
    return e + (len | (len << 8));
}

constexpr unsigned Consumed(uint32_t e)
{
    return e & 63;
}

constexpr unsigned CodeLength(uint32_t e)
{
    return (e >> 8) & 15;
}

// The value of the extra bits after the entry's codeword.
constexpr unsigned ExtraValue(uint32_t e, uint64_t bits)
{
    return static_cast<unsigned>((bits & ((uint64_t{1} << Consumed(e)) - 1)) >> CodeLength(e));
}

constexpr unsigned LitLenTableBits = 11;
constexpr unsigned DistTableBits = 8;
constexpr unsigned PrecodeTableBits = 7;
constexpr unsigned MaxCodeLength = 15;

constexpr unsigned NumLitLenSymbols = 288;
constexpr unsigned NumDistSymbols = 32;
constexpr unsigned NumPrecodeSymbols = 19;

// A second-level table is at most 2^(15 - main bits) entries and holds at
// least one codeword, so one per codeword is a safe bound.
constexpr size_t LitLenTableSize =
    (1u << LitLenTableBits) + NumLitLenSymbols * (1u << (15 - LitLenTableBits));
constexpr size_t DistTableSize = (1u << DistTableBits) + NumDistSymbols * (1u << (15 - DistTableBits));
constexpr size_t PrecodeTableSize = 1u << PrecodeTableBits;

constexpr uint16_t LengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                     31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t LengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                     2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t DistBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                   33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                   1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t DistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                   6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr uint8_t PrecodeOrder[NumPrecodeSymbols] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                     11, 4,  12, 3, 13, 2, 14, 1, 15};

uint32_t LitLenEntry(unsigned symbol)
{
    if (symbol < 256)
        return Entry(symbol, KindLiteral);
    if (symbol == 256)
        return Entry(0, KindEndOfBlock);
    if (symbol < 286)
        return Entry(LengthBase[symbol - 257], 0, LengthExtra[symbol - 257]);
    return Entry(0, KindInvalid);  // 286 and 287 never occur in a valid stream
}

uint32_t DistEntry(unsigned symbol)
{
    if (symbol < 30)
        return Entry(DistBase[symbol], 0, DistExtra[symbol]);
    return Entry(0, KindInvalid);  // 30 and 31 would reach beyond the 32 KiB window
}

uint32_t PrecodeEntry(unsigned symbol)
{
    return Entry(symbol, 0);
}

unsigned Reverse(unsigned code, unsigned bits)
{
    unsigned r = 0;
    for (unsigned i = 0; i < bits; ++i) {
        r = (r << 1) | (code & 1);
        code >>= 1;
    }
    return r;
}

enum class CodeKind { Precode, LitLen, Dist };

// Builds a two-level decode table for canonical codeword lengths. Refuses
// over-subscribed codes and incomplete ones, except that literal/length and
// distance codes may be empty or a single one-bit codeword (zlib accepts
// those; the unused codewords then decode as invalid).
bool BuildTable(const uint8_t* lengths, unsigned symbols, CodeKind kind, unsigned tableBits, uint32_t* table,
                uint32_t (*entryFor)(unsigned))
{
    unsigned count[MaxCodeLength + 1] = {};
    for (unsigned s = 0; s < symbols; ++s)
        ++count[lengths[s]];
    count[0] = 0;
    unsigned longest = 0;
    for (unsigned len = 1; len <= MaxCodeLength; ++len)
        if (count[len])
            longest = len;

    int left = 1;
    for (unsigned len = 1; len <= MaxCodeLength; ++len) {
        left = 2 * left - static_cast<int>(count[len]);
        if (left < 0)
            return false;  // over-subscribed
    }
    const size_t mainSize = size_t{1} << tableBits;
    if (left > 0) {
        const bool emptyOrSingle = longest <= 1;
        if (kind == CodeKind::Precode || !emptyOrSingle)
            return false;
        std::fill(table, table + mainSize, Entry(0, KindInvalid));
    }

    unsigned offsets[MaxCodeLength + 2] = {};
    for (unsigned len = 1; len <= MaxCodeLength; ++len)
        offsets[len + 1] = offsets[len] + count[len];
    uint16_t sorted[NumLitLenSymbols];
    for (unsigned s = 0; s < symbols; ++s)
        if (lengths[s])
            sorted[offsets[lengths[s]]++] = static_cast<uint16_t>(s);
    const unsigned used = offsets[MaxCodeLength];  // offsets[len] now ends the run of len

    unsigned code = 0;
    unsigned len = 1;
    unsigned placedOfLen = 0;
    size_t nextSub = mainSize;
    unsigned subPrefix = ~0u;
    unsigned subBits = 0;
    size_t subStart = 0;
    unsigned remaining[MaxCodeLength + 1];
    std::copy(count, count + MaxCodeLength + 1, remaining);
    for (unsigned i = 0; i < used; ++i) {
        while (placedOfLen == count[len]) {
            ++len;
            placedOfLen = 0;
            code <<= 1;
        }
        const unsigned symbol = sorted[i];
        const unsigned reversed = Reverse(code, len);
        uint32_t e = entryFor(symbol);
        if (len <= tableBits) {
            e = WithCodeLength(e, len);
            for (size_t at = reversed; at < mainSize; at += size_t{1} << len)
                table[at] = e;
        } else {
            const unsigned prefix = reversed & ((1u << tableBits) - 1);
            if (prefix != subPrefix) {
                // The codes sharing this prefix are complete, so the table
                // grows until they fill it.
                subPrefix = prefix;
                unsigned bits = len - tableBits;
                int room = 1 << bits;
                while (bits + tableBits < longest) {
                    room -= static_cast<int>(remaining[bits + tableBits]);
                    if (room <= 0)
                        break;
                    ++bits;
                    room <<= 1;
                }
                subBits = bits;
                subStart = nextSub;
                nextSub += size_t{1} << subBits;
                table[prefix] = Entry(static_cast<uint32_t>(subStart - mainSize), KindLink) | (subBits << 8);
            }
            const unsigned subLen = len - tableBits;
            e = WithCodeLength(e, subLen);
            for (size_t at = reversed >> tableBits; at < (size_t{1} << subBits); at += size_t{1} << subLen)
                table[subStart + at] = e;
        }
        --remaining[len];
        ++placedOfLen;
        ++code;
    }
    return true;
}

// Joins literals whose codewords fit the main table's index together into
// pairs, which the decode loop takes in one step.
void PairLiterals(uint32_t* table)
{
    for (size_t i = 0; i < (size_t{1} << LitLenTableBits); ++i) {
        const uint32_t first = table[i];
        if (!(first & KindLiteral))
            continue;
        // Below i, so perhaps a pair already: its first literal is its own.
        const uint32_t second = table[i >> Consumed(first)];
        const unsigned total = Consumed(first) + CodeLength(second);
        if ((second & KindLiteral) && total <= LitLenTableBits)
            table[i] = (first & ~63u) + total + KindPair + (((second >> 16) & 0xFF) << 24);
    }
}

struct FixedTables {
    uint32_t litLen[LitLenTableSize];
    uint32_t dist[DistTableSize];
    FixedTables()
    {
        uint8_t lengths[NumLitLenSymbols];
        std::fill(lengths, lengths + 144, 8);
        std::fill(lengths + 144, lengths + 256, 9);
        std::fill(lengths + 256, lengths + 280, 7);
        std::fill(lengths + 280, lengths + 288, 8);
        BuildTable(lengths, NumLitLenSymbols, CodeKind::LitLen, LitLenTableBits, litLen, LitLenEntry);
        uint8_t distLengths[NumDistSymbols];
        std::fill(distLengths, distLengths + NumDistSymbols, 5);
        BuildTable(distLengths, NumDistSymbols, CodeKind::Dist, DistTableBits, dist, DistEntry);
    }
};

const FixedTables& Fixed()
{
    static const FixedTables tables;
    return tables;
}

uint64_t Load64(const uint8_t* p)
{
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;  // little-endian machines only (x86-64)
}

void Store64(uint8_t* p, uint64_t v)
{
    std::memcpy(p, &v, 8);
}

// Bytes past a match's end that CopyMatch may write.
constexpr size_t CopySlack = 16;

// Copies a match in 16- or 8-byte words; needs CopySlack bytes of room after
// the match, whose content it leaves undefined. A source that overlaps the
// destination repeats its first `distance` bytes: those are stored a word at a
// time until the copy runs 8 bytes behind, then whole words follow.
void CopyMatch(uint8_t* dst, size_t distance, unsigned length)
{
    uint8_t* const end = dst + length;
    const uint8_t* src = dst - distance;
    if (distance >= 16) {
        do {
            std::memcpy(dst, src, 16);
            dst += 16;
            src += 16;
        } while (dst < end);
        return;
    }
    if (distance == 1) {
        const uint64_t run = uint64_t{*src} * 0x0101010101010101u;
        do {
            Store64(dst, run);
            dst += 8;
        } while (dst < end);
        return;
    }
    for (size_t gap = distance; gap < 8; gap *= 2) {
        Store64(dst, Load64(src));  // its first `gap` bytes are the pattern's
        dst += gap;
        if (dst >= end)
            return;
    }
    do {
        Store64(dst, Load64(src));
        dst += 8;
        src += 8;
    } while (dst < end);
}

// The compressed stream as a run of pieces (a PNG's IDAT chunk data lying
// in the file between the chunk frames); the bit reader walks them in order.
using Pieces = std::span<const std::span<const uint8_t>>;

// A window must keep every byte a match may reach back to.
constexpr size_t MaxDistance = 32768;
// Output gathered before it is handed on: a few rows of a large picture.
constexpr size_t WindowWorkBytes = 32768;
// Room one step of the decode loop may write: three literal pairs and the
// longest match, and the bytes a word copy may run past it.
constexpr size_t StepRoom = 6 + 258 + CopySlack;
// Input the fast decode loop needs in the current piece: two 8-byte refills
// per step, the second at most 7 bytes after the first.
constexpr ptrdiff_t FastStepInput = 16;

class Inflater {
public:
    // Direct: the whole output is `output`, which the caller has zeroed.
    Inflater(Pieces input, std::span<uint8_t> output)
        : pieces_(input), buf_(output.data()), bufEnd_(output.data() + output.size()), out_(output.data()),
          outEnd_(bufEnd_), flushed_(output.data()), limit_(output.size())
    {
        NextPiece();
    }

    // Windowed: output passes through `window` (the last 32 KiB kept for
    // matches) to `sink`, at most `limit` bytes in all.
    Inflater(Pieces input, std::span<uint8_t> window, uint64_t limit, InflateSink& sink)
        : Inflater(input, window)
    {
        sink_ = &sink;
        limit_ = limit;
        SetOutEnd();
    }

    bool Run()
    {
        bool final = false;
        while (!final) {
            Refill();
            final = Take(1);
            const unsigned type = Take(2);
            bool ok = false;
            if (type == 0) {
                ok = Stored();
            } else if (type == 1) {
                ok = Huffman(Fixed().litLen, Fixed().dist);
            } else if (type == 2) {
                ok = ReadDynamicTables() && Huffman(litLen_.data(), dist_.data());
            }
            if (!ok || Overrun())
                return false;
        }
        return Flush();
    }

    uint64_t Written() const { return Produced(); }

    // Word copies may have written a few bytes past the end of the output;
    // those go back to zero so the caller's untouched tail stays as it was.
    void ClearTail()
    {
        if (out_ != bufEnd_)
            std::memset(out_, 0, std::min(CopySlack, static_cast<size_t>(bufEnd_ - out_)));
    }

private:
    uint64_t Produced() const { return slidOut_ + static_cast<uint64_t>(out_ - buf_); }

    // The write limit inside the buffer: its end, or where the output reaches
    // its limit when that comes first.
    void SetOutEnd()
    {
        const uint64_t room = limit_ - slidOut_;
        outEnd_ = room < static_cast<uint64_t>(bufEnd_ - buf_) ? buf_ + room : bufEnd_;
    }

    bool Flush()
    {
        if (!sink_ || out_ == flushed_)
            return true;
        const std::span<const uint8_t> fresh(flushed_, static_cast<size_t>(out_ - flushed_));
        flushed_ = out_;
        return sink_->Take(fresh);
    }

    // Hands the new output on and moves the last 32 KiB to the buffer's start.
    bool Slide()
    {
        if (!sink_ || !Flush())
            return false;
        const size_t keep = std::min(MaxDistance, static_cast<size_t>(out_ - buf_));
        const size_t shift = static_cast<size_t>(out_ - buf_) - keep;
        std::memmove(buf_, out_ - keep, keep);
        slidOut_ += shift;
        out_ = flushed_ = buf_ + keep;
        SetOutEnd();
        return true;
    }

    // Before a step that may write StepRoom bytes. A direct output has no
    // room beyond its end; its limit checks refuse the step instead.
    bool MakeRoom()
    {
        if (!sink_ || static_cast<size_t>(bufEnd_ - out_) >= StepRoom)
            return true;
        return Slide();
    }

    bool NextPiece()
    {
        while (piece_ < pieces_.size()) {
            const std::span<const uint8_t> p = pieces_[piece_++];
            if (!p.empty()) {
                in_ = p.data();
                inEnd_ = p.data() + p.size();
                return true;
            }
        }
        return false;
    }

    // Bits past the input read as zero; `virtual_` counts those bytes. A
    // stream is valid only if it never consumes one of them.
    bool Overrun() const { return virtual_ * 8 > bitCount_; }

    // The bits above `bitCount` are zero or the input's next bits, so
    // loading the same bytes again does no harm. Needs 8 bytes at `in`.
    static void RefillWord(const uint8_t*& in, uint64_t& bits, unsigned& bitCount)
    {
        bits |= Load64(in) << bitCount;
        in += (63 - bitCount) >> 3;
        bitCount |= 56;
    }

    void Refill()
    {
        if (inEnd_ - in_ >= 8) {
            RefillWord(in_, bits_, bitCount_);
            return;
        }
        // Up to 63 bits, as a word refill leaves: a later one shifts by
        // fewer than 64.
        while (bitCount_ < 56) {
            if (in_ < inEnd_ || NextPiece()) {
                bits_ |= uint64_t{*in_++} << bitCount_;
            } else {
                ++virtual_;
            }
            bitCount_ += 8;
        }
    }

    unsigned Take(unsigned n)
    {
        const unsigned v = static_cast<unsigned>(bits_ & ((uint64_t{1} << n) - 1));
        bits_ >>= n;
        bitCount_ -= n;
        return v;
    }

    bool Stored()
    {
        Take(bitCount_ & 7);
        Refill();
        const unsigned len = Take(16);
        const unsigned nlen = Take(16);
        if (Overrun() || len != (~nlen & 0xFFFF))
            return false;
        if (Produced() + len > limit_)
            return false;
        size_t left = len;
        // Whole bytes the bit buffer already holds come first, then the input.
        for (; left && bitCount_ / 8 > virtual_; --left) {
            if (!MakeRoom())
                return false;
            *out_++ = static_cast<uint8_t>(Take(8));
        }
        if (!left)
            return true;
        if (virtual_)
            return false;  // the input ended inside the block
        bits_ = 0;
        bitCount_ = 0;
        while (left) {
            if (in_ == inEnd_ && !NextPiece())
                return false;
            if (out_ == outEnd_ && !Slide())
                return false;
            const size_t n =
                std::min({left, static_cast<size_t>(inEnd_ - in_), static_cast<size_t>(outEnd_ - out_)});
            std::memcpy(out_, in_, n);
            in_ += n;
            out_ += n;
            left -= n;
        }
        return true;
    }

    // Looks up the next codeword without consuming it; a link leads to the
    // second-level table. Needs at least 15 bits in the buffer.
    static uint32_t Lookup(const uint32_t* table, unsigned tableBits, uint64_t bits)
    {
        uint32_t e = table[bits & ((1u << tableBits) - 1)];
        if (e & KindLink) {
            const unsigned subBits = CodeLength(e);
            e = table[(size_t{1} << tableBits) + (e >> 16) + ((bits >> tableBits) & ((1u << subBits) - 1))];
            e = WithCodeLength(e, tableBits);  // the main table's bits are consumed too
        }
        return e;
    }
    bool ReadDynamicTables()
    {
        const unsigned hlit = Take(5) + 257;
        const unsigned hdist = Take(5) + 1;
        const unsigned hclen = Take(4) + 4;
        if (hlit > 286 || hdist > 30)
            return false;
        uint8_t precodeLengths[NumPrecodeSymbols] = {};
        for (unsigned i = 0; i < hclen; ++i) {
            Refill();
            precodeLengths[PrecodeOrder[i]] = static_cast<uint8_t>(Take(3));
        }
        if (Overrun())
            return false;
        uint32_t precode[PrecodeTableSize];
        if (!BuildTable(precodeLengths, NumPrecodeSymbols, CodeKind::Precode, PrecodeTableBits, precode,
                        PrecodeEntry))
            return false;

        uint8_t lengths[NumLitLenSymbols + NumDistSymbols] = {};
        const unsigned total = hlit + hdist;
        unsigned i = 0;
        while (i < total) {
            Refill();
            if (Overrun())
                return false;
            const uint32_t e = precode[bits_ & (PrecodeTableSize - 1)];
            Take(Consumed(e));
            const unsigned symbol = e >> 16;
            if (symbol < 16) {
                lengths[i++] = static_cast<uint8_t>(symbol);
                continue;
            }
            unsigned repeat;
            uint8_t value = 0;
            if (symbol == 16) {
                if (i == 0)
                    return false;
                value = lengths[i - 1];
                repeat = 3 + Take(2);
            } else if (symbol == 17) {
                repeat = 3 + Take(3);
            } else {
                repeat = 11 + Take(7);
            }
            if (repeat > total - i)
                return false;
            std::memset(lengths + i, value, repeat);
            i += repeat;
        }
        if (lengths[256] == 0)
            return false;  // no end-of-block code
        if (!BuildTable(lengths, hlit, CodeKind::LitLen, LitLenTableBits, litLen_.data(), LitLenEntry))
            return false;
        PairLiterals(litLen_.data());
        return BuildTable(lengths + hlit, hdist, CodeKind::Dist, DistTableBits, dist_.data(), DistEntry);
    }

    enum class FastEnd { Edge, EndOfBlock, Invalid };

    // The decode loop while the current piece and the output have room for
    // whole steps, so that a step needs no checks at the edges; the state
    // lives in locals, which the output's byte stores cannot alias. Stops at
    // the edge, the block's end or an invalid code or distance.
    FastEnd FastHuffman(const uint32_t* litLen, const uint32_t* dist)
    {
        const uint8_t* in = in_;
        const uint8_t* const inEnd = inEnd_;
        uint8_t* out = out_;
        uint8_t* const outEnd = outEnd_;
        const uint8_t* const buf = buf_;
        uint64_t bits = bits_;
        unsigned bitCount = bitCount_;
        const auto take = [&](unsigned n) {
            bits >>= n;
            bitCount -= n;
        };
        // A literal or a pair: two bytes stored, one or both kept.
        const auto literal = [&](uint32_t e) {
            take(Consumed(e));
            const uint16_t bytes = static_cast<uint16_t>(e >> 16);
            std::memcpy(out, &bytes, 2);
            out += 1 + ((e & KindPair) >> 7);
        };
        FastEnd end = FastEnd::Edge;
        while (inEnd - in >= FastStepInput && static_cast<size_t>(outEnd - out) >= StepRoom) {
            RefillWord(in, bits, bitCount);
            // Up to three literals or pairs, 15 bits at most each, then a
            // length code with its extra bits: 20 more.
            uint32_t e = Lookup(litLen, LitLenTableBits, bits);
            if (e & KindLiteral) {
                literal(e);
                e = Lookup(litLen, LitLenTableBits, bits);
                if (e & KindLiteral) {
                    literal(e);
                    e = Lookup(litLen, LitLenTableBits, bits);
                    if (e & KindLiteral) {
                        literal(e);
                        continue;
                    }
                }
            }
            if (e & (KindEndOfBlock | KindInvalid)) {
                if (e & KindEndOfBlock) {
                    take(Consumed(e));
                    end = FastEnd::EndOfBlock;
                } else {
                    end = FastEnd::Invalid;
                }
                break;
            }
            const unsigned length = (e >> 16) + ExtraValue(e, bits);
            take(Consumed(e));
            RefillWord(in, bits, bitCount);
            const uint32_t d = Lookup(dist, DistTableBits, bits);
            const size_t distance = (d >> 16) + ExtraValue(d, bits);
            take(Consumed(d));
            // After a slide the buffer still holds the last 32 KiB.
            if ((d & KindInvalid) || distance > static_cast<size_t>(out - buf)) {
                end = FastEnd::Invalid;
                break;
            }
            CopyMatch(out, distance, length);
            out += length;
        }
        in_ = in;
        out_ = out;
        bits_ = bits;
        bitCount_ = bitCount;
        return end;
    }

    bool Huffman(const uint32_t* litLen, const uint32_t* dist)
    {
        for (;;) {
            if (!MakeRoom())
                return false;
            if (inEnd_ - in_ >= FastStepInput && static_cast<size_t>(outEnd_ - out_) >= StepRoom) {
                const FastEnd end = FastHuffman(litLen, dist);
                if (end != FastEnd::Edge)
                    return end == FastEnd::EndOfBlock;
                if (!MakeRoom())
                    return false;
            }
            Refill();
            if (virtual_ && Overrun())
                return false;
            // Up to three literals or pairs per refill: each takes at most 15
            // bits.
            uint32_t e = Lookup(litLen, LitLenTableBits, bits_);
            for (int literals = 0; e & KindLiteral; ++literals) {
                Take(Consumed(e));
                if (static_cast<size_t>(outEnd_ - out_) < 1 + ((e & KindPair) >> 7))
                    return false;
                *out_++ = static_cast<uint8_t>(e >> 16);
                if (e & KindPair)
                    *out_++ = static_cast<uint8_t>(e >> 24);
                if (literals == 2)
                    break;
                e = Lookup(litLen, LitLenTableBits, bits_);
            }
            if (e & KindLiteral)
                continue;
            if (bitCount_ < 15 + 5)
                Refill();
            if (e & KindEndOfBlock) {
                Take(Consumed(e));
                return !Overrun();
            }
            if (e & KindInvalid)
                return false;
            {
                const unsigned length = (e >> 16) + ExtraValue(e, bits_);
                Take(Consumed(e));
                if (bitCount_ < 15 + 13)
                    Refill();
                const uint32_t d = Lookup(dist, DistTableBits, bits_);
                if (d & KindInvalid)
                    return false;
                const size_t distance = (d >> 16) + ExtraValue(d, bits_);
                Take(Consumed(d));
                if (Overrun())
                    return false;
                // After a slide the buffer still holds the last 32 KiB.
                if (distance > static_cast<size_t>(out_ - buf_))
                    return false;
                if (length > static_cast<size_t>(outEnd_ - out_))
                    return false;
                Copy(length, distance);
            }
        }
    }

    void Copy(unsigned length, size_t distance)
    {
        uint8_t* dst = out_;
        const uint8_t* src = out_ - distance;
        uint8_t* const end = out_ + length;
        out_ = end;
        // Word copies may write a few bytes past the match, inside the
        // buffer; later output or ClearTail covers them.
        if (static_cast<size_t>(bufEnd_ - end) >= CopySlack) {
            CopyMatch(dst, distance, length);
            return;
        }
        while (dst < end)
            *dst++ = *src++;
    }

    Pieces pieces_;
    size_t piece_ = 0;
    const uint8_t* in_ = nullptr;
    const uint8_t* inEnd_ = nullptr;
    uint8_t* const buf_;
    uint8_t* const bufEnd_;
    uint8_t* out_;
    uint8_t* outEnd_;
    uint8_t* flushed_;
    uint64_t limit_;
    uint64_t slidOut_ = 0;  // bytes slid out of the window's start
    InflateSink* sink_ = nullptr;
    uint64_t bits_ = 0;
    unsigned bitCount_ = 0;
    unsigned virtual_ = 0;
    std::array<uint32_t, LitLenTableSize> litLen_;
    std::array<uint32_t, DistTableSize> dist_;
};

// The zlib header's two bytes, skipped unchecked; false when the pieces hold
// fewer.
bool SkipZlibHeader(std::vector<std::span<const uint8_t>>& pieces)
{
    size_t skip = 2;
    for (auto& p : pieces) {
        const size_t n = std::min(skip, p.size());
        p = p.subspan(n);
        skip -= n;
        if (!skip)
            return true;
    }
    return false;
}

constexpr uint32_t AdlerBase = 65521;
// Bytes summed before the sums are reduced: zlib's NMAX, the most that cannot
// overflow 32 bits.
constexpr size_t AdlerRun = 5552;

#if defined(__SSE2__)
// At most 128 blocks of 32 bytes, so that a column's 16-bit sum stays below
// 2^15 for the signed multiply.
constexpr size_t AdlerVectorRun = 4096;

uint32_t SumLanes(__m128i v)
{
    v = _mm_add_epi32(v, _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 3, 2)));
    v = _mm_add_epi32(v, _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 3, 0, 1)));
    return static_cast<uint32_t>(_mm_cvtsi128_si32(v));
}

// Adds `n` bytes (a multiple of 32, at most AdlerVectorRun) to the sums,
// 32 at a time. Of a block's bytes, the first counts 32 times in `b` at the
// block's end and the last once; every earlier block's sum counts 32 times
// more for each block after it.
void AdlerVectors(const uint8_t* p, size_t n, uint64_t& a, uint64_t& b)
{
    const __m128i zero = _mm_setzero_si128();
    __m128i blockSums = zero;                       // the blocks' bytes so far
    __m128i earlierSums = zero;                     // each block's blockSums before it
    __m128i columns[4] = {zero, zero, zero, zero};  // each byte position's sum
    for (const uint8_t* end = p + n; p != end; p += 32) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
        earlierSums = _mm_add_epi32(earlierSums, blockSums);
        blockSums =
            _mm_add_epi32(blockSums, _mm_add_epi32(_mm_sad_epu8(low, zero), _mm_sad_epu8(high, zero)));
        columns[0] = _mm_add_epi16(columns[0], _mm_unpacklo_epi8(low, zero));
        columns[1] = _mm_add_epi16(columns[1], _mm_unpackhi_epi8(low, zero));
        columns[2] = _mm_add_epi16(columns[2], _mm_unpacklo_epi8(high, zero));
        columns[3] = _mm_add_epi16(columns[3], _mm_unpackhi_epi8(high, zero));
    }
    const __m128i weighted = _mm_add_epi32(
        _mm_add_epi32(_mm_madd_epi16(columns[0], _mm_setr_epi16(32, 31, 30, 29, 28, 27, 26, 25)),
                      _mm_madd_epi16(columns[1], _mm_setr_epi16(24, 23, 22, 21, 20, 19, 18, 17))),
        _mm_add_epi32(_mm_madd_epi16(columns[2], _mm_setr_epi16(16, 15, 14, 13, 12, 11, 10, 9)),
                      _mm_madd_epi16(columns[3], _mm_setr_epi16(8, 7, 6, 5, 4, 3, 2, 1))));
    b += n * a + 32 * uint64_t{SumLanes(earlierSums)} + SumLanes(weighted);
    a += SumLanes(blockSums);
}
#endif

}  // namespace

uint32_t Adler32(uint32_t adler, std::span<const uint8_t> bytes)
{
    uint64_t a = adler & 0xFFFF;
    uint64_t b = adler >> 16;
    const uint8_t* p = bytes.data();
    size_t left = bytes.size();
    while (left) {
        size_t run = std::min(left, AdlerRun);
#if defined(__SSE2__)
        if (run >= 32) {
            run = std::min(run, AdlerVectorRun) & ~size_t{31};
            AdlerVectors(p, run, a, b);
            p += run;
        } else
#endif
        {
            for (const uint8_t* end = p + run; p != end; ++p) {
                a += *p;
                b += a;
            }
        }
        left -= run;
        a %= AdlerBase;
        b %= AdlerBase;
    }
    return static_cast<uint32_t>(b << 16 | a);
}

bool InflateRaw(std::span<const uint8_t> input, std::span<uint8_t> output, size_t* written)
{
    const std::span<const uint8_t> pieces[] = {input};
    Inflater inflater(pieces, output);
    if (!inflater.Run())
        return false;
    inflater.ClearTail();
    if (written)
        *written = static_cast<size_t>(inflater.Written());
    return true;
}

bool InflateZlib(std::span<const uint8_t> input, std::span<uint8_t> output, size_t* written)
{
    if (input.size() < 2)
        return false;
    return InflateRaw(input.subspan(2), output, written);
}

bool InflateRawPieces(std::span<const std::span<const uint8_t>> pieces, uint64_t limit, InflateSink& sink,
                      uint64_t* written)
{
    std::vector<uint8_t> window(MaxDistance + WindowWorkBytes + StepRoom);
    Inflater inflater(pieces, window, limit, sink);
    if (!inflater.Run())
        return false;
    if (written)
        *written = inflater.Written();
    return true;
}

bool InflateZlibPieces(std::span<const std::span<const uint8_t>> pieces, uint64_t limit, InflateSink& sink,
                       uint64_t* written)
{
    std::vector<std::span<const uint8_t>> rest(pieces.begin(), pieces.end());
    if (!SkipZlibHeader(rest))
        return false;
    return InflateRawPieces(rest, limit, sink, written);
}

}  // namespace quill::imaging
