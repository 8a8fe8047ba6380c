// The own inflater against zlib: everything zlib's compressor makes, streams
// written by hand that no compressor makes, and damaged streams, each with
// zlib's raw inflate deciding what is valid and what it produces.
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <string>

#include "imaging/Inflate.h"
#include "tests/imaging/Corpus.h"
#include "tests/imaging/DeflateBuild.h"

namespace quill::imaging {
namespace {

using test::Bytes;
using test::DeflateWriter;

Bytes Sample(int kind, size_t size, uint32_t seed)
{
    std::mt19937 rng(seed);
    Bytes b(size);
    for (size_t i = 0; i < size; ++i) {
        switch (kind) {
        case 0:
            b[i] = uint8_t(rng());
            break;  // incompressible
        case 1:
            b[i] = "the quick brown fox jumps "[rng() % 26];
            break;  // text-like
        case 2:
            b[i] = uint8_t(i % 251 == 0 ? rng() : (i ? b[i - 1] : 0));
            break;  // long runs
        default:
            b[i] = uint8_t((i * 7 + (rng() % 4)) & 0xFF);
            break;  // gradients
        }
    }
    return b;
}

Bytes ZlibDeflate(const Bytes& raw, int level, int strategy, int windowBits, int memLevel)
{
    z_stream s{};
    EXPECT_EQ(deflateInit2(&s, level, Z_DEFLATED, windowBits, memLevel, strategy), Z_OK);
    Bytes out(deflateBound(&s, uLong(raw.size())) + 16);
    s.next_in = const_cast<Bytef*>(raw.data());
    s.avail_in = uInt(raw.size());
    s.next_out = out.data();
    s.avail_out = uInt(out.size());
    EXPECT_EQ(deflate(&s, Z_FINISH), Z_STREAM_END);
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
}

void ExpectSameAsZlib(const Bytes& deflate, size_t room, const std::string& what)
{
    const test::InflateOutcome zlib = test::ZlibRawInflate(deflate, room);
    const test::InflateOutcome own = test::OwnRawInflate(deflate, room);
    ASSERT_EQ(own.ok, zlib.ok) << what;
    if (zlib.ok)
        ASSERT_EQ(own.bytes, zlib.bytes) << what;
}

TEST(Inflate, DecodesWhatZlibCompressesAtEveryLevelAndStrategy)
{
    const int strategies[] = {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED};
    uint32_t seed = 1;
    for (int kind = 0; kind < 4; ++kind) {
        for (size_t size : {size_t(0), size_t(1), size_t(300), size_t(70000)}) {
            const Bytes raw = Sample(kind, size, seed++);
            for (int level = 0; level <= 9; level += 3) {
                for (int strategy : strategies) {
                    for (int windowBits : {9, 15}) {
                        const Bytes z = ZlibDeflate(raw, level, strategy, windowBits, 1 + int(seed % 9));
                        Bytes out(raw.size(), 0);
                        size_t written = 0;
                        ASSERT_TRUE(InflateZlib(z, out, &written)) << kind << " " << size << " " << level;
                        ASSERT_EQ(written, raw.size());
                        ASSERT_EQ(out, raw);
                        // The same bytes that zlib's uncompress gives.
                        Bytes reference(raw.size() + 1);
                        uLongf referenceSize = uLongf(reference.size());
                        ASSERT_EQ(uncompress(reference.data(), &referenceSize, z.data(), uLong(z.size())),
                                  Z_OK);
                        reference.resize(referenceSize);
                        ASSERT_EQ(out, reference);
                    }
                }
            }
        }
    }
}

TEST(Inflate, CorpusStreamsMadeByPython)
{
    const auto files = test::CorpusFiles(".zz");
    ASSERT_GE(files.size(), 30u);
    for (const auto& path : files) {
        const Bytes z = test::ReadWholeFile(path);
        Bytes reference(100000);
        uLongf size = uLongf(reference.size());
        ASSERT_EQ(uncompress(reference.data(), &size, z.data(), uLong(z.size())), Z_OK) << path;
        reference.resize(size);
        Bytes out(size, 0);
        ASSERT_TRUE(InflateZlib(z, out)) << path;
        EXPECT_EQ(out, reference) << path;
    }
}

TEST(Inflate, StoredBlocks)
{
    DeflateWriter w;
    w.Bits(1, 1);
    w.Bits(0, 2);
    w.AlignToByte();
    for (uint8_t b : Bytes{0x03, 0x00, 0xFC, 0xFF, 'a', 'b', 'c'})
        w.Byte(b);
    const Bytes good = w.Finish();
    ExpectSameAsZlib(good, 3, "one stored block");
    Bytes out(3, 0);
    ASSERT_TRUE(InflateRaw(good, out));
    EXPECT_EQ(out, (Bytes{'a', 'b', 'c'}));

    Bytes badNlen = good;
    badNlen[3] = 0xFD;  // NLEN no longer the complement of LEN
    EXPECT_FALSE(InflateRaw(badNlen, out));
    ExpectSameAsZlib(badNlen, 3, "NLEN not the complement");

    Bytes cut(good.begin(), good.end() - 1);  // LEN runs past the input
    EXPECT_FALSE(InflateRaw(cut, out));
    ExpectSameAsZlib(cut, 3, "stored data cut off");
}

TEST(Inflate, EmptyStoredBlockIsAcceptedAnywhereAlsoAfterTheOutputIsFull)
{
    DeflateWriter w;
    w.Bits(0, 1);  // not final: fixed block with one literal
    w.Bits(1, 2);
    w.FixedSymbol('x');
    w.FixedSymbol(256);
    w.Bits(0, 1);  // empty stored block
    w.Bits(0, 2);
    w.AlignToByte();
    for (uint8_t b : Bytes{0x00, 0x00, 0xFF, 0xFF})
        w.Byte(b);
    w.Bits(1, 1);  // final empty stored block, output already full
    w.Bits(0, 2);
    w.AlignToByte();
    for (uint8_t b : Bytes{0x00, 0x00, 0xFF, 0xFF})
        w.Byte(b);
    const Bytes stream = w.Finish();
    Bytes out(1, 0);
    size_t written = 0;
    EXPECT_TRUE(InflateRaw(stream, out, &written));
    EXPECT_EQ(written, 1u);
    EXPECT_EQ(out[0], 'x');
    ExpectSameAsZlib(stream, 1, "empty stored blocks");
}

TEST(Inflate, OutputOneByteTooSmallFailsAndMoreRoomSucceedsWithZeroTail)
{
    const Bytes raw = Sample(1, 5000, 7);
    const Bytes z = ZlibDeflate(raw, 9, Z_DEFAULT_STRATEGY, 15, 8);
    Bytes tooSmall(raw.size() - 1, 0);
    EXPECT_FALSE(InflateZlib(z, tooSmall));
    Bytes roomy(raw.size() + 100, 0);
    size_t written = 0;
    ASSERT_TRUE(InflateZlib(z, roomy, &written));
    EXPECT_EQ(written, raw.size());
    EXPECT_TRUE(std::equal(raw.begin(), raw.end(), roomy.begin()));
    for (size_t i = raw.size(); i < roomy.size(); ++i)
        ASSERT_EQ(roomy[i], 0) << i;
}

TEST(Inflate, HeaderBytesAndAdlerAreNotChecked)
{
    const Bytes raw = Sample(3, 2000, 3);
    Bytes z = ZlibDeflate(raw, 6, Z_DEFAULT_STRATEGY, 15, 8);
    z[0] = 0xFF;  // not a valid zlib header
    z[1] = 0xFF;
    z[z.size() - 1] ^= 0x55;  // wrong Adler-32
    Bytes out(raw.size(), 0);
    ASSERT_TRUE(InflateZlib(z, out));
    EXPECT_EQ(out, raw);
    z.resize(z.size() - 4);  // no Adler-32 at all
    ASSERT_TRUE(InflateZlib(z, out));
    EXPECT_EQ(out, raw);
    EXPECT_FALSE(InflateZlib(Bytes{0x78}, out));
}

TEST(Inflate, FixedAndDynamicBlocksDecodeToTheSameBytesAsUncompress)
{
    const Bytes raw = Sample(1, 20000, 11);
    for (int strategy : {Z_FIXED, Z_DEFAULT_STRATEGY}) {
        const Bytes z = ZlibDeflate(raw, 6, strategy, 15, 8);
        Bytes reference(raw.size());
        uLongf size = uLongf(reference.size());
        ASSERT_EQ(uncompress(reference.data(), &size, z.data(), uLong(z.size())), Z_OK);
        Bytes out(raw.size(), 0);
        ASSERT_TRUE(InflateZlib(z, out));
        EXPECT_EQ(out, reference);
    }
}

// Code lengths for a dynamic block: pairs of symbol and length, the rest 0.
std::vector<uint8_t> Lengths(size_t count, std::initializer_list<std::pair<int, int>> pairs)
{
    std::vector<uint8_t> l(count, 0);
    for (auto [symbol, length] : pairs)
        l[size_t(symbol)] = uint8_t(length);
    return l;
}

struct Crafted {
    const char* name;
    Bytes stream;
    size_t room;
    bool valid;  // what zlib says; the own inflater must agree
};

std::vector<Crafted> CraftedStreams()
{
    std::vector<Crafted> cases;
    const auto litLen = Lengths(258, {{'a', 1}, {256, 2}, {257, 2}});
    {
        DeflateWriter w;  // one distance code of one bit: zlib accepts it
        w.DynamicHeader(true, litLen, Lengths(1, {{0, 1}}));
        w.Symbol('a');
        w.Symbol(257);
        w.Distance(0);
        w.Symbol(256);
        cases.push_back({"single one-bit distance code", w.Finish(), 4, true});
    }
    {
        DeflateWriter w;  // the unused distance codeword
        w.DynamicHeader(true, litLen, Lengths(1, {{0, 1}}));
        w.Symbol('a');
        w.Symbol(257);
        w.Code(1, 1);
        w.Symbol(256);
        cases.push_back({"unused codeword of a single distance code", w.Finish(), 4, false});
    }
    {
        DeflateWriter w;  // no distance codes at all, only literals
        w.DynamicHeader(true, Lengths(257, {{'a', 1}, {256, 1}}), Lengths(1, {}));
        w.Symbol('a');
        w.Symbol(256);
        cases.push_back({"no distance codes", w.Finish(), 1, true});
    }
    {
        DeflateWriter w;  // no distance codes but a match
        w.DynamicHeader(true, litLen, Lengths(1, {}));
        w.Symbol('a');
        w.Symbol(257);
        w.Bits(0, 8);
        cases.push_back({"match without distance codes", w.Finish(), 4, false});
    }
    {
        DeflateWriter w;  // a block of nothing: end-of-block as the only code
        w.DynamicHeader(true, Lengths(257, {{256, 1}}), Lengths(1, {}));
        w.Symbol(256);
        cases.push_back({"end-of-block as the single code", w.Finish(), 0, true});
    }
    for (int hlit : {287, 288}) {
        DeflateWriter w;
        w.DynamicHeader(true, litLen, Lengths(1, {{0, 1}}), hlit);
        w.Symbol(256);
        cases.push_back({hlit == 287 ? "HLIT 287" : "HLIT 288", w.Finish(), 4, false});
    }
    for (int hdist : {31, 32}) {
        DeflateWriter w;
        w.DynamicHeader(true, litLen, Lengths(1, {{0, 1}}), -1, hdist);
        w.Symbol(256);
        cases.push_back({hdist == 31 ? "HDIST 31" : "HDIST 32", w.Finish(), 4, false});
    }
    {
        DeflateWriter w;  // 286 lengths and 30 distances are the most allowed
        std::vector<uint8_t> l(286, 9);
        for (int s = 0; s < 226; ++s)
            l[size_t(s)] = 8;  // 226/256 + 60/512 = 1
        std::vector<uint8_t> d(30, 5);
        for (int s = 0; s < 2; ++s)
            d[size_t(s)] = 4;  // 2/16 + 28/32 = 1
        w.DynamicHeader(true, l, d);
        w.Symbol('q');
        w.Symbol(285);
        w.Distance(0);
        w.Symbol(256);
        cases.push_back({"HLIT 286 and HDIST 30", w.Finish(), 259, true});
    }
    for (int symbol : {286, 287}) {
        DeflateWriter w;
        w.Bits(1, 1);
        w.Bits(1, 2);
        w.FixedSymbol('a');
        w.FixedSymbol(symbol);
        w.FixedDistance(0);
        w.FixedSymbol(256);
        cases.push_back({symbol == 286 ? "fixed symbol 286" : "fixed symbol 287", w.Finish(), 10, false});
    }
    for (int code : {29, 30, 31}) {
        // A long enough output makes code 29 valid; 30 and 31 never are.
        DeflateWriter v;
        v.Bits(1, 1);
        v.Bits(1, 2);
        v.FixedSymbol('z');
        for (int i = 0; i < 130; ++i) {
            v.FixedSymbol(285);
            v.FixedDistance(0);
        }
        v.FixedSymbol(257);
        v.FixedDistance(code);
        v.Bits(0, 13);
        v.FixedSymbol(256);
        cases.push_back({code == 29   ? "distance code 29"
                         : code == 30 ? "distance code 30"
                                      : "distance code 31",
                         v.Finish(), 40000, code == 29});
    }
    {
        DeflateWriter w;  // distance reaching before the output
        w.Bits(1, 1);
        w.Bits(1, 2);
        w.FixedSymbol('a');
        w.FixedSymbol(257);
        w.FixedDistance(1);
        w.FixedSymbol(256);
        cases.push_back({"distance before the output", w.Finish(), 10, false});
    }
    {
        DeflateWriter w;
        w.DynamicHeader(true, Lengths(257, {{'a', 2}, {256, 2}}), Lengths(1, {{0, 1}}));
        w.Symbol(256);
        cases.push_back({"incomplete literal/length code", w.Finish(), 4, false});
    }
    {
        DeflateWriter w;
        w.DynamicHeader(true, Lengths(257, {{'a', 1}, {'b', 1}, {256, 1}}), Lengths(1, {{0, 1}}));
        w.Symbol(256);
        cases.push_back({"over-subscribed literal/length code", w.Finish(), 4, false});
    }
    {
        DeflateWriter w;
        w.DynamicHeader(true, Lengths(257, {{'a', 1}, {'b', 1}}), Lengths(1, {{0, 1}}));
        w.Symbol('a');
        cases.push_back({"no end-of-block code", w.Finish(), 4, false});
    }
    {
        DeflateWriter w;  // code 16 with no previous length
        w.CodeLengthCodeHeader(true, 257, 1);
        w.CodeLengthSymbol(16);
        w.Bits(0, 2);
        cases.push_back({"repeat without a previous length", w.Finish(), 4, false});
    }
    {
        DeflateWriter w;  // code 18 running past HLIT + HDIST
        w.CodeLengthCodeHeader(true, 257, 1);
        for (int i = 0; i < 3; ++i) {
            w.CodeLengthSymbol(18);  // 11 + 127 zeros
            w.Bits(127, 7);
        }
        cases.push_back({"repeat past the lengths", w.Finish(), 4, false});
    }
    {
        DeflateWriter w;  // incomplete code-length code
        w.Bits(1, 1);
        w.Bits(2, 2);
        w.Bits(0, 5);
        w.Bits(0, 5);
        w.Bits(0, 4);
        for (int i = 0; i < 4; ++i)
            w.Bits(i == 3 ? 1 : 0, 3);
        w.Bits(0, 16);
        cases.push_back({"incomplete code-length code", w.Finish(), 4, false});
    }
    {
        DeflateWriter w;
        w.Bits(1, 1);
        w.Bits(3, 2);
        w.Bits(0, 16);
        cases.push_back({"block type 3", w.Finish(), 4, false});
    }
    {
        DeflateWriter w;  // codewords of every length up to 15 (second-level tables)
        std::vector<uint8_t> l(258, 0);
        const int symbols[] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h',
                               'i', 'j', 'k', 'l', 'm', 'n', 256, 257};
        for (int i = 0; i < 15; ++i)
            l[size_t(symbols[i])] = uint8_t(i + 1);
        l[257] = 15;
        w.DynamicHeader(true, l, Lengths(1, {{0, 1}}));
        for (int i = 0; i < 14; ++i)
            w.Symbol(symbols[i]);
        w.Symbol(257);
        w.Distance(0);
        w.Symbol(256);
        cases.push_back({"codewords up to 15 bits", w.Finish(), 17, true});
    }
    return cases;
}

TEST(Inflate, CraftedStreamsGetZlibsVerdict)
{
    for (const Crafted& c : CraftedStreams()) {
        const test::InflateOutcome zlib = test::ZlibRawInflate(c.stream, c.room);
        EXPECT_EQ(zlib.ok, c.valid) << c.name << ": zlib's verdict is not the one expected";
        ExpectSameAsZlib(c.stream, c.room, c.name);
        // Cut short anywhere, a valid stream is refused like zlib refuses it.
        for (size_t cut = 0; cut < c.stream.size(); ++cut)
            ExpectSameAsZlib(Bytes(c.stream.begin(), c.stream.begin() + long(cut)), c.room,
                             std::string(c.name) + " cut at " + std::to_string(cut));
        // Bytes after the final block are not read.
        Bytes trailing = c.stream;
        trailing.insert(trailing.end(), {0xDE, 0xAD});
        ExpectSameAsZlib(trailing, c.room, std::string(c.name) + " with trailing bytes");
    }
}

TEST(Inflate, DamagedStreamsGetZlibsVerdictAndBytes)
{
    std::mt19937 rng(2024);
    for (int i = 0; i < 3000; ++i) {
        const Bytes raw = Sample(int(rng() % 4), rng() % 3000, rng());
        const int strategy = int(rng() % 5);
        Bytes z = ZlibDeflate(raw, 1 + int(rng() % 9), strategy, -15, 8);
        const int flips = 1 + int(rng() % 3);
        for (int f = 0; f < flips && !z.empty(); ++f)
            z[rng() % z.size()] ^= uint8_t(1u << (rng() % 8));
        if (rng() % 4 == 0 && !z.empty())
            z.resize(rng() % z.size());
        const size_t room = rng() % 8 == 0 ? raw.size() / 2 : raw.size() + rng() % 64;
        ExpectSameAsZlib(z, room, "case " + std::to_string(i));
    }
}

TEST(Inflate, BoundOfWhatAStreamCanProduce)
{
    // Maximal matches, one bit each for length and distance, in one block.
    DeflateWriter w;
    w.DynamicHeader(true, Lengths(286, {{'a', 2}, {256, 2}, {285, 1}}), Lengths(1, {{0, 1}}));
    w.Symbol('a');
    for (int i = 0; i < 4000; ++i) {
        w.Symbol(285);
        w.Distance(0);
    }
    w.Symbol(256);
    const Bytes stream = w.Finish();
    Bytes out(1 + 4000 * 258, 0);
    size_t written = 0;
    ASSERT_TRUE(InflateRaw(stream, out, &written));
    EXPECT_EQ(written, out.size());
    EXPECT_LE(written, MaxInflatedSize(stream.size()));
    ExpectSameAsZlib(stream, out.size(), "maximal matches");
}

// A fixed-Huffman match: the length and distance codes with their extra bits.
void FixedMatch(DeflateWriter& w, unsigned length, unsigned distance)
{
    static const unsigned lengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                            31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    static const int lengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                        2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    static const unsigned distBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                          33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                          1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
    static const int distExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                      6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
    int l = 28;
    while (lengthBase[l] > length)
        --l;
    w.FixedSymbol(257 + l);
    w.Bits(length - lengthBase[l], lengthExtra[l]);
    int d = 29;
    while (distBase[d] > distance)
        --d;
    w.FixedDistance(d);
    w.Bits(distance - distBase[d], distExtra[d]);
}

TEST(Inflate, MatchesOfEveryShortDistanceAndManyLengths)
{
    // Matches that overlap what they copy, with patterns of every period
    // below a word and beyond, up to the end of an exactly sized output.
    DeflateWriter w;
    w.Bits(1, 1);
    w.Bits(1, 2);
    Bytes expected;
    for (int i = 0; i < 64; ++i) {
        expected.push_back(uint8_t(i * 37 + 11));
        w.FixedSymbol(expected.back());
    }
    for (unsigned distance = 1; distance <= 40; ++distance)
        for (unsigned length :
             {3u, 4u, 5u, 6u, 7u, 8u, 9u, 10u, 11u, 15u, 16u, 17u, 31u, 33u, 64u, 100u, 257u, 258u}) {
            FixedMatch(w, length, distance);
            for (unsigned i = 0; i < length; ++i)
                expected.push_back(expected[expected.size() - distance]);
            w.FixedSymbol(uint8_t(distance * 13 + length));
            expected.push_back(uint8_t(distance * 13 + length));
        }
    w.FixedSymbol(256);
    const Bytes stream = w.Finish();
    for (size_t room : {expected.size(), expected.size() + 1, expected.size() + 300}) {
        const test::InflateOutcome own = test::OwnRawInflate(stream, room);
        ASSERT_TRUE(own.ok) << room;
        ASSERT_EQ(own.bytes, expected) << room;
        ExpectSameAsZlib(stream, room, "short distances, room " + std::to_string(room));
        const test::InflateOutcome pieces = test::OwnRawInflatePieces(stream, room, 5);
        ASSERT_TRUE(pieces.ok) << room;
        ASSERT_EQ(pieces.bytes, expected) << room;
    }
    EXPECT_FALSE(test::OwnRawInflate(stream, expected.size() - 1).ok);
}

TEST(Inflate, OutputRoomEndingAnywhereNearTheEndGetsZlibsVerdict)
{
    // Few distinct bytes, so that literals have short codewords and decode in
    // pairs, and short repeats; the room ends at every byte of the last
    // matches and literals, and the tail of a larger room stays zero.
    std::mt19937 rng(31);
    Bytes raw;
    while (raw.size() < 20000) {
        for (int i = int(rng() % 12); i > 0; --i)
            raw.push_back("abcd"[rng() % 4]);
        const size_t period = 1 + rng() % 12;
        for (size_t i = 0, n = 3 + rng() % 40; i < n && raw.size() > period; ++i)
            raw.push_back(raw[raw.size() - period]);
    }
    const Bytes z = ZlibDeflate(raw, 6, Z_DEFAULT_STRATEGY, -15, 8);
    for (size_t room = raw.size() - 400; room <= raw.size() + 12; ++room) {
        const std::string what = "room " + std::to_string(room);
        ExpectSameAsZlib(z, room, what);
        const test::InflateOutcome pieces = test::OwnRawInflatePieces(z, room, 1000);
        ASSERT_EQ(pieces.ok, room >= raw.size()) << what;
        if (pieces.ok)
            ASSERT_EQ(pieces.bytes, raw) << what;
    }
}

// A zlib stream of several block kinds: stored, fixed and dynamic blocks,
// matches reaching across block boundaries.
Bytes MixedBlocks(const Bytes& raw)
{
    z_stream s{};
    EXPECT_EQ(deflateInit(&s, 6), Z_OK);
    Bytes out(deflateBound(&s, uLong(raw.size())) * 2 + 1024);
    s.next_out = out.data();
    s.avail_out = uInt(out.size());
    const size_t third = raw.size() / 3;
    const int levels[] = {0, 9, 1};
    const int strategies[] = {Z_DEFAULT_STRATEGY, Z_FIXED, Z_DEFAULT_STRATEGY};
    for (int part = 0; part < 3; ++part) {
        EXPECT_EQ(deflateParams(&s, levels[part], strategies[part]), Z_OK);
        s.next_in = const_cast<Bytef*>(raw.data() + part * third);
        s.avail_in = uInt(part == 2 ? raw.size() - 2 * third : third);
        EXPECT_EQ(deflate(&s, part == 2 ? Z_FINISH : Z_BLOCK), part == 2 ? Z_STREAM_END : Z_OK);
    }
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
}

TEST(Adler32, SameChecksumAsZlibsAdler32)
{
    std::mt19937 rng(77);
    Bytes random(300016);
    for (auto& b : random)
        b = uint8_t(rng());
    const Bytes ones(300016, 0xFF);  // the largest sums before each reduction
    for (const Bytes* bytes : {static_cast<const Bytes*>(&random), &ones})
        for (size_t offset : {0, 1, 7})
            for (size_t size : {1, 15, 31, 32, 33, 63, 4095, 4096, 4097, 5551, 5552, 5553, 8223, 300000})
                for (uint32_t start : {1u, 0xFFF0FFF0u, 0x8000ABCDu}) {
                    const std::span<const uint8_t> part(bytes->data() + offset, size);
                    ASSERT_EQ(Adler32(start, part), adler32(start, part.data(), uInt(size)))
                        << offset << " " << size << " " << start;
                }
    // Continued over parts of any size, the same as over the whole.
    uint32_t adler = 1;
    for (size_t at = 0; at < random.size();) {
        const size_t n = std::min<size_t>(rng() % 9000, random.size() - at);
        adler = Adler32(adler, std::span<const uint8_t>(random).subspan(at, n));
        at += n;
    }
    EXPECT_EQ(adler, adler32(1, random.data(), uInt(random.size())));
    EXPECT_EQ(Adler32(1, {}), 1u);
}

struct Collect final : InflateSink {
    bool Take(std::span<const uint8_t> bytes) override
    {
        got.insert(got.end(), bytes.begin(), bytes.end());
        ++runs;
        return runs <= refuseAfter;
    }
    Bytes got;
    int runs = 0;
    int refuseAfter = 1 << 30;
};

TEST(InflatePieces, StreamCutAtEveryPointGivesTheSameBytes)
{
    const Bytes raw = Sample(1, 600, 21);
    const Bytes z = MixedBlocks(raw);
    for (size_t a = 0; a <= z.size(); ++a) {
        Collect sink;
        ASSERT_TRUE(InflateZlibPieces(test::CutAt(z, {a}), raw.size(), sink)) << a;
        ASSERT_EQ(sink.got, raw) << a;
    }
    // Three pieces: every pair of cuts near the stored block's header and
    // the start of the stream (where the zlib header's two bytes are split).
    for (size_t a = 0; a < 12; ++a)
        for (size_t b = a; b < 24; ++b) {
            Collect sink;
            ASSERT_TRUE(InflateZlibPieces(test::CutAt(z, {a, b}), raw.size(), sink)) << a << " " << b;
            ASSERT_EQ(sink.got, raw) << a << " " << b;
        }
}

TEST(InflatePieces, LargeStreamsInPiecesOfAnySizeThroughTheWindow)
{
    uint32_t seed = 40;
    for (int kind = 0; kind < 4; ++kind) {
        const Bytes raw = Sample(kind, 100000, seed++);
        for (const Bytes& z : {MixedBlocks(raw), ZlibDeflate(raw, 9, Z_DEFAULT_STRATEGY, 15, 9),
                               ZlibDeflate(raw, 0, Z_DEFAULT_STRATEGY, 15, 8)}) {
            const Bytes deflate(z.begin() + 2, z.end() - 4);
            for (size_t pieceSize :
                 {size_t(0), size_t(1), size_t(7), size_t(8), size_t(9), size_t(4093), size_t(32768)}) {
                const test::InflateOutcome own =
                    test::OwnRawInflatePieces(deflate, raw.size(), pieceSize, true);
                ASSERT_TRUE(own.ok) << kind << " " << pieceSize;
                ASSERT_EQ(own.bytes, raw) << kind << " " << pieceSize;
            }
        }
    }
}

TEST(InflatePieces, DamagedAndCutStreamsFailAsWhole)
{
    const Bytes raw = Sample(2, 5000, 5);
    const Bytes z = MixedBlocks(raw);
    const Bytes deflate(z.begin() + 2, z.end() - 4);
    for (size_t end = 0; end < deflate.size(); end += 5) {
        const std::span<const uint8_t> cut(deflate.data(), end);
        const test::InflateOutcome zlib = test::ZlibRawInflate(cut, raw.size());
        for (size_t pieceSize : {size_t(1), size_t(0)}) {
            const test::InflateOutcome own = test::OwnRawInflatePieces(cut, raw.size(), pieceSize);
            ASSERT_EQ(own.ok, zlib.ok) << end << " " << pieceSize;
        }
    }
    Bytes damaged = deflate;
    for (size_t at = 0; at < damaged.size(); at += 7) {
        damaged[at] ^= 0x5A;
        const test::InflateOutcome zlib = test::ZlibRawInflate(damaged, raw.size());
        const test::InflateOutcome own = test::OwnRawInflatePieces(damaged, raw.size(), 3);
        ASSERT_EQ(own.ok, zlib.ok) << at;
        if (zlib.ok)
            ASSERT_EQ(own.bytes, zlib.bytes) << at;
        damaged[at] ^= 0x5A;
    }
}

TEST(InflatePieces, LimitAndARefusingSinkEndTheInflate)
{
    const Bytes raw = Sample(3, 100000, 9);
    const Bytes z = ZlibDeflate(raw, 6, Z_DEFAULT_STRATEGY, 15, 8);
    const std::span<const uint8_t> whole[] = {z};
    Collect exact;
    EXPECT_TRUE(InflateZlibPieces(whole, raw.size(), exact));
    EXPECT_EQ(exact.got, raw);
    Collect short1;
    EXPECT_FALSE(InflateZlibPieces(whole, raw.size() - 1, short1));
    EXPECT_LT(short1.got.size(), raw.size());
    Collect refusing;
    refusing.refuseAfter = 0;
    EXPECT_FALSE(InflateZlibPieces(whole, raw.size(), refusing));
    EXPECT_EQ(refusing.runs, 1);
    // A stored block one byte longer than the limit fails before copying.
    const Bytes stored = ZlibDeflate(Bytes(100, 'x'), 0, Z_DEFAULT_STRATEGY, 15, 8);
    const std::span<const uint8_t> storedPieces[] = {stored};
    Collect tight;
    EXPECT_FALSE(InflateZlibPieces(storedPieces, 99, tight));
    EXPECT_TRUE(tight.got.empty());
    // Fewer than the two header bytes in all the pieces.
    const Bytes one{0x78};
    const std::span<const uint8_t> tooFew[] = {one, {}};
    Collect none;
    EXPECT_FALSE(InflateZlibPieces(tooFew, 10, none));
}

}  // namespace
}  // namespace quill::imaging
