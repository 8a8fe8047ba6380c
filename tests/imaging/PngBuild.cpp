#include "tests/imaging/PngBuild.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <random>

#include "imaging/PngScanlines.h"

namespace quill::imaging::test {
namespace {

struct PassGeometry {
    int firstRow, rowStep, firstColumn, columnStep;
};
constexpr PassGeometry Adam7[7] = {{0, 8, 0, 8}, {0, 8, 4, 8}, {4, 8, 0, 4}, {0, 4, 2, 4},
                                   {2, 4, 0, 2}, {0, 2, 1, 2}, {1, 2, 0, 1}};

int PassCount(int size, int first, int step)
{
    return size > first ? (size - first + step - 1) / step : 0;
}

// Sample values of the whole picture, channels per pixel, row after row.
std::vector<uint16_t> MakeSamples(const PngSpec& s)
{
    std::mt19937 rng(s.seed);
    const int channels = PngChannels(s.colourType);
    const uint32_t top = s.depth == 16 ? 0xFFFF : (1u << s.depth) - 1;
    std::vector<uint16_t> v(size_t(s.width) * s.height * channels);
    const bool palette = s.colourType == 3;
    const int limit = palette ? (s.paletteEntries > 0 ? s.paletteEntries : 1 << s.depth) : 0;
    for (size_t i = 0; i < v.size(); ++i) {
        uint32_t x = rng();
        // Runs of equal and slowly changing values, as in real pictures, so
        // every filter has something to do.
        if (i >= size_t(channels) && x % 3 == 0)
            x = v[i - channels] + (x >> 8) % 3;
        v[i] = uint16_t(palette ? x % limit : x & top);
    }
    // Some pixels carry the transparent colour exactly; with 16 bits, the
    // others differ from it in the high bytes.
    const bool keyed = (s.colourType == 0 && s.trns.size() >= 2) || (s.colourType == 2 && s.trns.size() >= 6);
    if (keyed) {
        uint16_t key[3];
        for (int c = 0; c < channels; ++c)
            key[c] = uint16_t((s.trns[c * 2] << 8) | s.trns[c * 2 + 1]) & top;
        for (size_t p = 0; p < v.size() / channels; ++p) {
            uint16_t* px = &v[p * channels];
            if (rng() % 4 == 0) {
                for (int c = 0; c < channels; ++c)
                    px[c] = key[c];
            } else if (s.depth == 16) {
                bool highSame = true;
                for (int c = 0; c < channels; ++c)
                    highSame &= (px[c] >> 8) == (key[c] >> 8);
                if (highSame)
                    px[0] ^= 0x100;
            }
        }
    }
    return v;
}

void PackRow(const PngSpec& s, const std::vector<uint16_t>& samples, int y, int firstColumn, int columnStep,
             Bytes& out)
{
    const int channels = PngChannels(s.colourType);
    out.push_back(0);
    uint32_t acc = 0;
    int accBits = 0;
    for (int x = firstColumn; x < s.width; x += columnStep) {
        for (int c = 0; c < channels; ++c) {
            const uint16_t v = samples[(size_t(y) * s.width + x) * channels + c];
            if (s.depth == 16) {
                out.push_back(uint8_t(v >> 8));
                out.push_back(uint8_t(v));
            } else if (s.depth == 8) {
                out.push_back(uint8_t(v));
            } else {
                acc = (acc << s.depth) | v;
                accBits += s.depth;
                if (accBits == 8) {
                    out.push_back(uint8_t(acc));
                    acc = 0;
                    accBits = 0;
                }
            }
        }
    }
    if (accBits)
        out.push_back(uint8_t(acc << (8 - accBits)));
}

int Paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return a;
    if (pb <= pc)
        return b;
    return c;
}

}  // namespace

void PutBe32(Bytes& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(v >> shift));
}

Bytes PngChunk(const char* type, const Bytes& data)
{
    Bytes out;
    out.reserve(12 + data.size());
    PutBe32(out, uint32_t(data.size()));
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
    if (!data.empty())
        crc = crc32(crc, data.data(), uInt(data.size()));
    PutBe32(out, uint32_t(crc));
    return out;
}

Bytes PngSignatureBytes()
{
    return {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
}

Bytes IhdrData(uint32_t width, uint32_t height, uint8_t depth, uint8_t colourType, uint8_t interlace,
               uint8_t compression, uint8_t filter)
{
    Bytes d;
    PutBe32(d, width);
    PutBe32(d, height);
    d.push_back(depth);
    d.push_back(colourType);
    d.push_back(compression);
    d.push_back(filter);
    d.push_back(interlace);
    return d;
}

Bytes ZlibCompress(const Bytes& raw, int level)
{
    uLongf size = compressBound(uLong(raw.size()));
    Bytes out(size);
    if (compress2(out.data(), &size, raw.data(), uLong(raw.size()), level) != Z_OK)
        std::abort();
    out.resize(size);
    return out;
}

std::string Describe(const PngSpec& s)
{
    return std::to_string(s.width) + "x" + std::to_string(s.height) + " type " +
           std::to_string(s.colourType) + " depth " + std::to_string(s.depth) +
           (s.interlace ? " adam7" : "") + " filter " + std::to_string(s.filter) +
           (s.paletteEntries ? " plte " + std::to_string(s.paletteEntries) : "") +
           (s.trns.empty() ? "" : " trns " + std::to_string(s.trns.size())) + (s.gamma ? " gama" : "") +
           " idat " + std::to_string(s.idatChunks) + " seed " + std::to_string(s.seed);
}

Bytes MakeRawScanlines(const PngSpec& s)
{
    const std::vector<uint16_t> samples = MakeSamples(s);
    Bytes raw;
    if (s.interlace == 0) {
        for (int y = 0; y < s.height; ++y)
            PackRow(s, samples, y, 0, 1, raw);
        return raw;
    }
    for (const PassGeometry& p : Adam7) {
        if (PassCount(s.width, p.firstColumn, p.columnStep) == 0)
            continue;
        for (int y = p.firstRow; y < s.height; y += p.rowStep)
            PackRow(s, samples, y, p.firstColumn, p.columnStep, raw);
    }
    return raw;
}

Bytes FilterScanlines(const PngSpec& s, const Bytes& raw)
{
    const int bitsPerPixel = PngChannels(s.colourType) * s.depth;
    const size_t step = bitsPerPixel < 8 ? 1 : size_t(bitsPerPixel / 8);
    Bytes out(raw.size());
    size_t at = 0;
    int rowNumber = 0;
    const auto filterPass = [&](int columns, int rows) {
        const size_t rowBytes = (size_t(columns) * bitsPerPixel + 7) / 8;
        const Bytes zero(rowBytes, 0);
        const uint8_t* prior = zero.data();
        for (int r = 0; r < rows; ++r, ++rowNumber) {
            const uint8_t* src = &raw[at + 1];
            uint8_t* dst = &out[at + 1];
            // Paeth rows next to each other and with one row of every other
            // type between them.
            constexpr uint8_t PaethMix[] = {4, 2, 4, 4, 0, 4, 4, 4, 1, 4, 2, 3, 4, 0};
            const uint8_t type = s.filter == 5   ? uint8_t(rowNumber % 5)
                                 : s.filter == 6 ? PaethMix[rowNumber % std::size(PaethMix)]
                                                 : s.filter;
            out[at] = type;
            for (size_t i = 0; i < rowBytes; ++i) {
                const int left = i >= step ? src[i - step] : 0;
                const int above = prior[i];
                const int upperLeft = i >= step ? prior[i - step] : 0;
                int predicted = 0;
                switch (type) {
                case 1:
                    predicted = left;
                    break;
                case 2:
                    predicted = above;
                    break;
                case 3:
                    predicted = (left + above) / 2;
                    break;
                case 4:
                    predicted = Paeth(left, above, upperLeft);
                    break;
                default:
                    break;
                }
                dst[i] = uint8_t(src[i] - predicted);
            }
            prior = src;
            at += rowBytes + 1;
        }
    };
    if (s.interlace == 0) {
        filterPass(s.width, s.height);
    } else {
        for (const PassGeometry& p : Adam7) {
            const int columns = PassCount(s.width, p.firstColumn, p.columnStep);
            const int rows = PassCount(s.height, p.firstRow, p.rowStep);
            if (columns && rows)
                filterPass(columns, rows);
        }
    }
    return out;
}

Bytes BuildPngFromChunks(const std::vector<Bytes>& chunks)
{
    Bytes png = PngSignatureBytes();
    for (const Bytes& c : chunks)
        png.insert(png.end(), c.begin(), c.end());
    return png;
}

Bytes BuildPng(const PngSpec& s)
{
    std::vector<Bytes> chunks;
    chunks.push_back(PngChunk("IHDR", IhdrData(s.width, s.height, s.depth, s.colourType, s.interlace)));
    if (s.gamma) {
        Bytes g;
        PutBe32(g, 45455);
        chunks.push_back(PngChunk("gAMA", g));
    }
    if (s.paletteEntries > 0) {
        std::mt19937 rng(s.seed * 7 + 3);
        Bytes plte(size_t(s.paletteEntries) * 3);
        for (uint8_t& b : plte)
            b = uint8_t(rng());
        chunks.push_back(PngChunk("PLTE", plte));
    }
    if (!s.trns.empty())
        chunks.push_back(PngChunk("tRNS", s.trns));
    const Bytes z = ZlibCompress(FilterScanlines(s, MakeRawScanlines(s)), s.level);
    const size_t parts = size_t(s.idatChunks < 1 ? 1 : s.idatChunks);
    for (size_t i = 0; i < parts; ++i) {
        const size_t from = z.size() * i / parts, to = z.size() * (i + 1) / parts;
        chunks.push_back(PngChunk("IDAT", Bytes(z.begin() + from, z.begin() + to)));
        if (s.textBetweenIdat && i + 1 < parts)
            chunks.push_back(PngChunk("tEXt", Bytes{'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 'x'}));
    }
    chunks.push_back(PngChunk("IEND", {}));
    return BuildPngFromChunks(chunks);
}

std::vector<PngSpec> PngMatrix()
{
    struct TypeDepth {
        uint8_t type, depth;
    };
    const TypeDepth pairs[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                               {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
    const int sizes[][2] = {{1, 1}, {2, 3}, {3, 2}, {7, 5}, {13, 9}, {33, 17}, {64, 40}};
    std::vector<PngSpec> all;
    uint32_t seed = 1;
    for (const TypeDepth& td : pairs) {
        for (uint8_t interlace : {0, 1}) {
            for (const auto& size : sizes) {
                PngSpec s;
                s.colourType = td.type;
                s.depth = td.depth;
                s.interlace = interlace;
                s.width = size[0];
                s.height = size[1];
                s.seed = seed++;
                s.filter = uint8_t(seed % 6);
                s.idatChunks = 1 + int(seed % 3);
                s.gamma = seed % 4 == 0;
                if (td.type == 3)
                    s.paletteEntries = std::min(1 << td.depth, 3 + int(seed % 200));
                all.push_back(s);
                // The same picture with transparency.
                if (td.type == 0 || td.type == 2) {
                    std::mt19937 rng(seed);
                    const uint16_t top = td.depth == 16 ? 0xFFFF : uint16_t((1u << td.depth) - 1);
                    for (int c = 0; c < (td.type == 0 ? 1 : 3); ++c) {
                        const uint16_t v = uint16_t(rng()) & top;
                        s.trns.push_back(uint8_t(v >> 8));
                        s.trns.push_back(uint8_t(v));
                    }
                    all.push_back(s);
                } else if (td.type == 3) {
                    std::mt19937 rng(seed);
                    s.trns.resize(size_t(1 + seed % s.paletteEntries));
                    for (uint8_t& a : s.trns)
                        a = uint8_t(rng() % 3 == 0 ? 255 : rng());
                    all.push_back(s);
                }
            }
        }
    }
    return all;
}

}  // namespace quill::imaging::test
