#include "tests/imaging/DeflateBuild.h"

#include <zlib.h>

#include <algorithm>

#include "imaging/Inflate.h"

namespace quill::imaging::test {
namespace {

// The code-length code every dynamic header here uses: lengths 0 to 15 in
// 5 bits, repeat codes 16 in 2 and 17, 18 in 3 (a complete code).
const std::vector<uint8_t>& PrecodeLengths()
{
    static const std::vector<uint8_t> lengths = [] {
        std::vector<uint8_t> l(19, 5);
        l[16] = 2;
        l[17] = 3;
        l[18] = 3;
        return l;
    }();
    return lengths;
}

constexpr int PrecodeOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

}  // namespace

std::vector<uint32_t> CanonicalCodes(const std::vector<uint8_t>& lengths)
{
    int count[16] = {};
    for (uint8_t l : lengths)
        ++count[l];
    count[0] = 0;
    uint32_t next[16] = {};
    uint32_t code = 0;
    for (int len = 1; len < 16; ++len) {
        code = (code + count[len - 1]) << 1;
        next[len] = code;
    }
    std::vector<uint32_t> codes(lengths.size(), 0);
    for (size_t s = 0; s < lengths.size(); ++s)
        if (lengths[s])
            codes[s] = next[lengths[s]]++;
    return codes;
}

void DeflateWriter::Bits(uint32_t value, int bits)
{
    for (int i = 0; i < bits; ++i) {
        acc_ |= ((value >> i) & 1) << count_;
        if (++count_ == 8) {
            out_.push_back(uint8_t(acc_));
            acc_ = 0;
            count_ = 0;
        }
    }
}

void DeflateWriter::Code(uint32_t code, int length)
{
    for (int i = length - 1; i >= 0; --i)
        Bits((code >> i) & 1, 1);
}

void DeflateWriter::AlignToByte()
{
    if (count_)
        Bits(0, 8 - count_);
}

void DeflateWriter::Byte(uint8_t b)
{
    Bits(b, 8);
}

std::vector<uint8_t> DeflateWriter::Finish()
{
    AlignToByte();
    return out_;
}

void DeflateWriter::FixedSymbol(int symbol)
{
    if (symbol < 144) {
        Code(0x30 + symbol, 8);
    } else if (symbol < 256) {
        Code(0x190 + symbol - 144, 9);
    } else if (symbol < 280) {
        Code(symbol - 256, 7);
    } else {
        Code(0xC0 + symbol - 280, 8);
    }
}

void DeflateWriter::FixedDistance(int code)
{
    Code(uint32_t(code), 5);
}

void DeflateWriter::DynamicHeader(bool final, const std::vector<uint8_t>& litLenLengths,
                                  const std::vector<uint8_t>& distLengths, int hlit, int hdist)
{
    if (hlit < 0)
        hlit = int(litLenLengths.size());
    if (hdist < 0)
        hdist = int(distLengths.size());
    CodeLengthCodeHeader(final, hlit, hdist);
    const auto put = [&](const std::vector<uint8_t>& lengths, int n) {
        for (int i = 0; i < n; ++i)
            CodeLengthSymbol(i < int(lengths.size()) ? lengths[size_t(i)] : 0);
    };
    put(litLenLengths, hlit);
    put(distLengths, hdist);
    litLengths_ = litLenLengths;
    distLengths_ = distLengths;
    litCodes_ = CanonicalCodes(litLenLengths);
    distCodes_ = CanonicalCodes(distLengths);
}

void DeflateWriter::CodeLengthCodeHeader(bool final, int hlit, int hdist)
{
    Bits(final ? 1 : 0, 1);
    Bits(2, 2);
    Bits(uint32_t(hlit - 257), 5);
    Bits(uint32_t(hdist - 1), 5);
    Bits(19 - 4, 4);
    for (int i = 0; i < 19; ++i)
        Bits(PrecodeLengths()[size_t(PrecodeOrder[i])], 3);
}

void DeflateWriter::CodeLengthSymbol(int symbol)
{
    static const std::vector<uint32_t> precode = CanonicalCodes(PrecodeLengths());
    Code(precode[size_t(symbol)], PrecodeLengths()[size_t(symbol)]);
}

void DeflateWriter::Symbol(int symbol)
{
    Code(litCodes_[size_t(symbol)], litLengths_[size_t(symbol)]);
}

void DeflateWriter::Distance(int code)
{
    Code(distCodes_[size_t(code)], distLengths_[size_t(code)]);
}

InflateOutcome ZlibRawInflate(std::span<const uint8_t> deflate, size_t room)
{
    InflateOutcome outcome;
    std::vector<uint8_t> out(room + 1);  // never empty, so next_out is a real pointer
    z_stream s{};
    if (inflateInit2(&s, -15) != Z_OK)
        return outcome;
    s.next_in = const_cast<Bytef*>(deflate.data());
    s.avail_in = uInt(deflate.size());
    s.next_out = out.data();
    s.avail_out = uInt(room);
    const int result = inflate(&s, Z_FINISH);
    outcome.ok = result == Z_STREAM_END;
    if (outcome.ok)
        outcome.bytes.assign(out.begin(), out.begin() + long(s.total_out));
    inflateEnd(&s);
    return outcome;
}

InflateOutcome OwnRawInflate(std::span<const uint8_t> deflate, size_t room)
{
    InflateOutcome outcome;
    std::vector<uint8_t> out(room, 0);
    size_t written = 0;
    outcome.ok = imaging::InflateRaw(deflate, out, &written);
    if (outcome.ok) {
        // Past what the stream produced the room must still be zero.
        if (std::any_of(out.begin() + long(written), out.end(), [](uint8_t b) { return b != 0; }))
            outcome.ok = false;
        out.resize(written);
        outcome.bytes = std::move(out);
    }
    return outcome;
}

std::vector<std::span<const uint8_t>> CutAt(std::span<const uint8_t> bytes, const std::vector<size_t>& cuts)
{
    std::vector<std::span<const uint8_t>> pieces;
    size_t from = 0;
    for (size_t cut : cuts) {
        pieces.push_back(bytes.subspan(from, cut - from));
        from = cut;
    }
    pieces.push_back(bytes.subspan(from));
    return pieces;
}

InflateOutcome OwnRawInflatePieces(std::span<const uint8_t> deflate, size_t room, size_t pieceSize,
                                   bool emptyBetween)
{
    std::vector<std::span<const uint8_t>> pieces;
    for (size_t at = 0; at < deflate.size() || pieces.empty(); at += pieceSize ? pieceSize : deflate.size()) {
        pieces.push_back(
            deflate.subspan(at, std::min(pieceSize ? pieceSize : deflate.size(), deflate.size() - at)));
        if (emptyBetween)
            pieces.push_back({});
        if (deflate.empty())
            break;
    }
    struct Collect final : imaging::InflateSink {
        bool Take(std::span<const uint8_t> bytes) override
        {
            got.insert(got.end(), bytes.begin(), bytes.end());
            return true;
        }
        std::vector<uint8_t> got;
    } sink;
    InflateOutcome outcome;
    uint64_t written = 0;
    outcome.ok = imaging::InflateRawPieces(pieces, room, sink, &written);
    if (outcome.ok) {
        if (written != sink.got.size())
            outcome.ok = false;
        outcome.bytes = std::move(sink.got);
    }
    return outcome;
}

}  // namespace quill::imaging::test
