#include "tests/support/PngFile.h"

#include <algorithm>
#include <cstdio>

#include <zlib.h>

namespace quill::test {

namespace {

uint32_t Crc32(const uint8_t* p, size_t n, uint32_t crc = 0)
{
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

}  // namespace

bool WritePng(const std::wstring& path, int width, int height, const std::vector<uint32_t>& rgb)
{
    if (width <= 0 || height <= 0 || rgb.size() != size_t(width) * size_t(height))
        return false;
    std::vector<uint8_t> raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < width; ++x) {
            uint32_t p = rgb[size_t(y) * width + x];
            raw.insert(raw.end(), {uint8_t(p), uint8_t(p >> 8), uint8_t(p >> 16)});
        }
    }
    uLongf packed = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> z(packed);
    if (compress2(z.data(), &packed, raw.data(), static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) != Z_OK)
        return false;
    z.resize(packed);

    std::vector<uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    auto chunk = [&](const char* type, const std::vector<uint8_t>& data) {
        const uint32_t n = uint32_t(data.size());
        out.insert(out.end(), {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)});
        std::vector<uint8_t> body(type, type + 4);
        body.insert(body.end(), data.begin(), data.end());
        out.insert(out.end(), body.begin(), body.end());
        const uint32_t crc = Crc32(body.data(), body.size());
        out.insert(out.end(), {uint8_t(crc >> 24), uint8_t(crc >> 16), uint8_t(crc >> 8), uint8_t(crc)});
    };
    const uint32_t w = uint32_t(width), h = uint32_t(height);
    chunk("IHDR", {uint8_t(w >> 24), uint8_t(w >> 16), uint8_t(w >> 8), uint8_t(w), uint8_t(h >> 24),
                   uint8_t(h >> 16), uint8_t(h >> 8), uint8_t(h), 8, 2, 0, 0, 0});
    chunk("IDAT", z);
    chunk("IEND", {});
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace quill::test
