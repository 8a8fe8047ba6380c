#include "tests/imaging/IcoBuild.h"

#include <random>

#include "tests/imaging/PngBuild.h"

namespace quill::imaging::test {
namespace {

void Le16(Bytes& out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void Le32(Bytes& out, uint32_t v)
{
    Le16(out, v & 0xFFFF);
    Le16(out, v >> 16);
}

size_t RowBytes(int bits, int width)
{
    return ((size_t(width) * bits + 31) / 32) * 4;
}

}  // namespace

Bytes IconImage(const IconImageSpec& s)
{
    if (s.png) {
        PngSpec png;
        png.width = s.width;
        png.height = s.height;
        png.colourType = 6;
        png.seed = s.seed;
        return BuildPng(png);
    }
    std::mt19937 rng(s.seed);
    Bytes out;
    Le32(out, 40);
    Le32(out, uint32_t(s.width));
    Le32(out, uint32_t(s.height * 2));
    Le16(out, 1);
    Le16(out, uint32_t(s.headerBits >= 0 ? s.headerBits : s.bits));
    Le32(out, 0);
    const size_t xorBytes = RowBytes(s.bits, s.width) * s.height;
    const size_t andBytes = RowBytes(1, s.width) * s.height;
    Le32(out, uint32_t(xorBytes + andBytes));
    for (int i = 0; i < 4; ++i)
        Le32(out, 0);
    if (s.bits <= 8) {
        for (int i = 0; i < (1 << s.bits); ++i) {
            out.push_back(uint8_t(rng()));
            out.push_back(uint8_t(rng()));
            out.push_back(uint8_t(rng()));
            out.push_back(0);
        }
    }
    // Colour bits; 32-bit pixels get alphas of 0, 255 and in between.
    std::vector<uint8_t> alphas(size_t(s.width) * s.height, 255);
    for (int y = 0; y < s.height; ++y) {
        Bytes row(RowBytes(s.bits, s.width), 0);
        for (int x = 0; x < s.width; ++x) {
            if (s.bits == 32) {
                const uint32_t pick = rng() % 4;
                const uint8_t a = pick == 0 ? 0 : pick == 1 ? 255 : uint8_t(rng());
                alphas[size_t(y) * s.width + x] = a;
                for (int c = 0; c < 3; ++c)
                    row[size_t(x) * 4 + c] = uint8_t(rng());
                row[size_t(x) * 4 + 3] = a;
            } else if (s.bits >= 16) {
                for (int c = 0; c < s.bits / 8; ++c)
                    row[size_t(x) * (s.bits / 8) + c] = uint8_t(rng());
                if (s.bits == 16)
                    row[size_t(x) * 2 + 1] &= 0x7F;
            } else {
                const uint32_t v = rng() & ((1u << s.bits) - 1);
                const int perByte = 8 / s.bits;
                row[size_t(x / perByte)] |= uint8_t(v << (8 - s.bits * (x % perByte + 1)));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    // The AND mask: random for bitmaps below 32 bits, the alpha's zeros at 32.
    for (int y = 0; y < s.height; ++y) {
        Bytes row(RowBytes(1, s.width), 0);
        for (int x = 0; x < s.width; ++x) {
            const bool clear = s.bits == 32 ? alphas[size_t(y) * s.width + x] == 0 : rng() % 5 == 0;
            if (clear)
                row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

Bytes BuildIconFromImages(const std::vector<IconImageSpec>& specs, const std::vector<Bytes>& images, int type)
{
    Bytes out;
    Le16(out, 0);
    Le16(out, uint32_t(type));
    Le16(out, uint32_t(images.size()));
    uint32_t offset = uint32_t(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const IconImageSpec& s = specs[i];
        out.push_back(uint8_t(s.width == 256 ? 0 : s.width));
        out.push_back(uint8_t(s.height == 256 ? 0 : s.height));
        out.push_back(s.bits <= 8 && !s.png ? uint8_t(1 << s.bits) : 0);
        out.push_back(0);
        Le16(out, 1);
        Le16(out, uint32_t(s.directoryBits >= 0 ? s.directoryBits : (s.png ? 32 : s.bits)));
        Le32(out, uint32_t(images[i].size()));
        Le32(out, offset);
        offset += uint32_t(images[i].size());
    }
    for (const Bytes& image : images)
        out.insert(out.end(), image.begin(), image.end());
    return out;
}

Bytes BuildIcon(const std::vector<IconImageSpec>& specs, int type)
{
    std::vector<Bytes> images;
    for (const IconImageSpec& s : specs)
        images.push_back(IconImage(s));
    return BuildIconFromImages(specs, images, type);
}

}  // namespace quill::imaging::test
