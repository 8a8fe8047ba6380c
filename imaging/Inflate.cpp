#include "imaging/Inflate.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace quill::imaging {
namespace {

// Decode table entries. A direct entry holds the codeword length (bits 0-3),
// the extra bits that follow the codeword (bits 4-7), a kind (bits 8-11) and a
// value (bits 16-31: literal byte, base length, base distance or code length).
// A link entry sends codewords longer than the main table's index to a
// second-level table: bits 0-3 are the main table's bits, bits 4-7 the second
// table's bits and the value its start.
constexpr uint32_t KindLiteral = 0x100;
constexpr uint32_t KindEndOfBlock = 0x200;
constexpr uint32_t KindLink = 0x400;
constexpr uint32_t KindInvalid = 0x800;

constexpr uint32_t Entry(uint32_t value, uint32_t kind, uint32_t extraBits = 0)
{
    return (value << 16) | kind | (extraBits << 4);
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
            e |= len;
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
                table[prefix] =
                    Entry(static_cast<uint32_t>(subStart - mainSize), KindLink) | tableBits | (subBits << 4);
            }
            const unsigned subLen = len - tableBits;
            e |= subLen;
            for (size_t at = reversed >> tableBits; at < (size_t{1} << subBits); at += size_t{1} << subLen)
                table[subStart + at] = e;
        }
        --remaining[len];
        ++placedOfLen;
        ++code;
    }
    return true;
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

class Inflater {
public:
    Inflater(std::span<const uint8_t> input, std::span<uint8_t> output)
        : in_(input.data()), inEnd_(input.data() + input.size()), outBegin_(output.data()),
          out_(output.data()), outEnd_(output.data() + output.size()), dirtyEnd_(output.data())
    {
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
        return true;
    }

    size_t Written() const { return static_cast<size_t>(out_ - outBegin_); }

    // Word copies may have written a few bytes past the end of the output;
    // those go back to zero so the caller's untouched tail stays as it was.
    void ClearTail()
    {
        if (dirtyEnd_ > out_)
            std::memset(out_, 0, static_cast<size_t>(dirtyEnd_ - out_));
    }

private:
    // Bits past the input read as zero; `virtual_` counts those bytes. A
    // stream is valid only if it never consumes one of them.
    bool Overrun() const { return virtual_ * 8 > bitCount_; }

    void Refill()
    {
        if (inEnd_ - in_ >= 8) {
            bits_ |= Load64(in_) << bitCount_;
            in_ += (63 - bitCount_) >> 3;
            bitCount_ |= 56;
            return;
        }
        while (bitCount_ <= 56) {
            if (in_ < inEnd_) {
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
        // Whole bytes left in the bit buffer go back to the input first.
        Take(bitCount_ & 7);
        if (Overrun())
            return false;
        const size_t buffered = bitCount_ / 8 - virtual_;
        in_ -= buffered;
        bits_ = 0;
        bitCount_ = 0;
        virtual_ = 0;
        if (inEnd_ - in_ < 4)
            return false;
        const unsigned len = in_[0] | (in_[1] << 8);
        const unsigned nlen = in_[2] | (in_[3] << 8);
        in_ += 4;
        if (len != (~nlen & 0xFFFF))
            return false;
        if (static_cast<size_t>(inEnd_ - in_) < len || static_cast<size_t>(outEnd_ - out_) < len)
            return false;
        if (len)
            std::memcpy(out_, in_, len);
        in_ += len;
        out_ += len;
        return true;
    }

    // Looks up the next codeword without consuming it; a link leads to the
    // second-level table. Needs at least 15 bits in the buffer.
    static uint32_t Lookup(const uint32_t* table, unsigned tableBits, uint64_t bits)
    {
        uint32_t e = table[bits & ((1u << tableBits) - 1)];
        if (e & KindLink) {
            const unsigned subBits = (e >> 4) & 15;
            e = table[(size_t{1} << tableBits) + (e >> 16) + ((bits >> tableBits) & ((1u << subBits) - 1))];
            e += tableBits;  // the main table's bits are consumed too
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
            Take(e & 15);
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
        return BuildTable(lengths, hlit, CodeKind::LitLen, LitLenTableBits, litLen_.data(), LitLenEntry) &&
               BuildTable(lengths + hlit, hdist, CodeKind::Dist, DistTableBits, dist_.data(), DistEntry);
    }

    bool Huffman(const uint32_t* litLen, const uint32_t* dist)
    {
        for (;;) {
            Refill();
            if (virtual_ && Overrun())
                return false;
            // Up to three literals per refill: each takes at most 15 bits.
            uint32_t e = Lookup(litLen, LitLenTableBits, bits_);
            for (int literals = 0; e & KindLiteral; ++literals) {
                Take(e & 15);
                if (out_ == outEnd_)
                    return false;
                *out_++ = static_cast<uint8_t>(e >> 16);
                if (literals == 2)
                    break;
                e = Lookup(litLen, LitLenTableBits, bits_);
            }
            if (e & KindLiteral)
                continue;
            if (bitCount_ < 15 + 5)
                Refill();
            if (e & KindEndOfBlock) {
                Take(e & 15);
                return !Overrun();
            }
            if (e & KindInvalid)
                return false;
            {
                const unsigned codeLen = e & 15;
                const unsigned extra = (e >> 4) & 15;
                const unsigned length =
                    (e >> 16) + static_cast<unsigned>((bits_ >> codeLen) & ((uint64_t{1} << extra) - 1));
                Take(codeLen + extra);
                if (bitCount_ < 15 + 13)
                    Refill();
                const uint32_t d = Lookup(dist, DistTableBits, bits_);
                if (d & KindInvalid)
                    return false;
                const unsigned dCodeLen = d & 15;
                const unsigned dExtra = (d >> 4) & 15;
                const size_t distance =
                    (d >> 16) + static_cast<unsigned>((bits_ >> dCodeLen) & ((uint64_t{1} << dExtra) - 1));
                Take(dCodeLen + dExtra);
                if (Overrun())
                    return false;
                if (distance > static_cast<size_t>(out_ - outBegin_))
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
        if (static_cast<size_t>(outEnd_ - end) >= 8) {
            // Word copies may write up to 7 bytes past the match, inside the
            // output; later output or ClearTail covers them.
            if (distance >= 8) {
                do {
                    std::memcpy(dst, src, 8);
                    dst += 8;
                    src += 8;
                } while (dst < end);
                dirtyEnd_ = std::max(dirtyEnd_, dst);
                return;
            }
            if (distance == 1) {
                std::memset(dst, *src, length);
                return;
            }
        }
        while (dst < end)
            *dst++ = *src++;
    }

    const uint8_t* in_;
    const uint8_t* const inEnd_;
    uint8_t* const outBegin_;
    uint8_t* out_;
    uint8_t* const outEnd_;
    uint64_t bits_ = 0;
    unsigned bitCount_ = 0;
    unsigned virtual_ = 0;
    uint8_t* dirtyEnd_;
    std::array<uint32_t, LitLenTableSize> litLen_;
    std::array<uint32_t, DistTableSize> dist_;
};

}  // namespace

bool InflateRaw(std::span<const uint8_t> input, std::span<uint8_t> output, size_t* written)
{
    Inflater inflater(input, output);
    if (!inflater.Run())
        return false;
    inflater.ClearTail();
    if (written)
        *written = inflater.Written();
    return true;
}

bool InflateZlib(std::span<const uint8_t> input, std::span<uint8_t> output, size_t* written)
{
    if (input.size() < 2)
        return false;
    return InflateRaw(input.subspan(2), output, written);
}

}  // namespace quill::imaging
