#include "tests/imaging/GifBuild.h"

#include <random>

namespace quill::imaging::test {
namespace {

void Le16(Bytes& out, int v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void ColourTable(Bytes& out, int bits, uint32_t seed)
{
    std::mt19937 rng(seed);
    for (int i = 0; i < (3 << bits); ++i)
        out.push_back(uint8_t(rng()));
}

int TableBits(const GifSpec& gif, const GifFrameSpec& f)
{
    return f.localBits ? f.localBits : gif.globalBits;
}

// Interlaced frames store their rows in four passes.
std::vector<int> StoredRows(int height, bool interlace)
{
    std::vector<int> rows;
    if (!interlace) {
        for (int y = 0; y < height; ++y)
            rows.push_back(y);
        return rows;
    }
    const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (int p = 0; p < 4; ++p)
        for (int y = start[p]; y < height; y += step[p])
            rows.push_back(y);
    return rows;
}

}  // namespace

Bytes GifLzwEncode(const std::vector<uint8_t>& indices, int m, bool clearWhenFull)
{
    Bytes out;
    uint32_t acc = 0;
    int accBits = 0;
    int size = m + 1;
    const auto emit = [&](int code) {
        acc |= uint32_t(code) << accBits;
        accBits += size;
        while (accBits >= 8) {
            out.push_back(uint8_t(acc));
            acc >>= 8;
            accBits -= 8;
        }
    };
    const int clear = 1 << m;
    int next = clear + 2;
    std::vector<int> table(4096 * 256, -1);
    emit(clear);
    if (!indices.empty()) {
        int w = indices[0];
        for (size_t i = 1; i < indices.size(); ++i) {
            const int k = indices[i];
            const int found = table[size_t(w) * 256 + k];
            if (found >= 0) {
                w = found;
                continue;
            }
            emit(w);
            if (next < 4096) {
                table[size_t(w) * 256 + k] = next++;
                if (next > (1 << size) && size < 12)
                    ++size;
                if (next == 4096 && clearWhenFull) {
                    emit(clear);
                    std::fill(table.begin(), table.end(), -1);
                    next = clear + 2;
                    size = m + 1;
                }
            }
            w = k;
        }
        emit(w);
    }
    emit(clear + 1);
    if (accBits)
        out.push_back(uint8_t(acc));
    return out;
}

Bytes GifSubBlocks(const Bytes& data)
{
    Bytes out;
    for (size_t at = 0; at < data.size(); at += 255) {
        const size_t n = std::min<size_t>(255, data.size() - at);
        out.push_back(uint8_t(n));
        out.insert(out.end(), data.begin() + long(at), data.begin() + long(at + n));
    }
    out.push_back(0);
    return out;
}

std::vector<uint8_t> GifFrameIndices(const GifSpec& gif, const GifFrameSpec& f)
{
    std::mt19937 rng(f.seed);
    const int entries = 1 << TableBits(gif, f);
    std::vector<uint8_t> v(size_t(f.width) * f.height);
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = uint8_t(i > 0 && rng() % 3 != 0 ? v[i - 1] : rng() % entries);  // runs, as in pictures
    return v;
}

Bytes BuildGif(const GifSpec& g)
{
    Bytes out(g.signature.begin(), g.signature.end());
    Le16(out, g.width);
    Le16(out, g.height);
    out.push_back(uint8_t(g.globalBits ? 0x80 | (g.globalBits - 1) : 0));
    out.push_back(0);
    out.push_back(0);
    if (g.globalBits)
        ColourTable(out, g.globalBits, 77);
    if (g.loop) {
        const Bytes netscape{0x21, 0xFF, 11,  'N', 'E', 'T', 'S', 'C', 'A', 'P',
                             'E',  '2',  '.', '0', 3,   1,   0,   0,   0};
        out.insert(out.end(), netscape.begin(), netscape.end());
    }
    if (g.comment) {
        const Bytes comment{0x21, 0xFE, 5, 'h', 'e', 'l', 'l', 'o', 2, '!', '!', 0};
        out.insert(out.end(), comment.begin(), comment.end());
    }
    for (const GifFrameSpec& f : g.frames) {
        if (f.transparent >= 0) {
            out.insert(out.end(), {0x21, 0xF9, uint8_t(f.gceSize)});
            Bytes body(size_t(f.gceSize), 0);
            if (f.gceSize >= 1)
                body[0] = 1;  // transparent colour present
            if (f.gceSize >= 4)
                body[3] = uint8_t(f.transparent);
            out.insert(out.end(), body.begin(), body.end());
            out.push_back(0);
        }
        out.push_back(0x2C);
        Le16(out, f.left);
        Le16(out, f.top);
        Le16(out, f.width);
        Le16(out, f.height);
        out.push_back(uint8_t((f.localBits ? 0x80 | (f.localBits - 1) : 0) | (f.interlace ? 0x40 : 0)));
        if (f.localBits)
            ColourTable(out, f.localBits, f.seed * 13);
        const int m = std::max(2, TableBits(g, f));
        out.push_back(uint8_t(m));
        const std::vector<uint8_t> indices = GifFrameIndices(g, f);
        std::vector<uint8_t> stored;
        for (int y : StoredRows(f.height, f.interlace))
            stored.insert(stored.end(), indices.begin() + long(y) * f.width,
                          indices.begin() + long(y + 1) * f.width);
        const Bytes blocks = GifSubBlocks(GifLzwEncode(stored, m));
        out.insert(out.end(), blocks.begin(), blocks.end());
    }
    out.push_back(0x3B);
    return out;
}

std::string Describe(const GifSpec& g)
{
    std::string s = g.signature + " " + std::to_string(g.width) + "x" + std::to_string(g.height) +
                    " global " + std::to_string(g.globalBits);
    for (const GifFrameSpec& f : g.frames)
        s += " [" + std::to_string(f.width) + "x" + std::to_string(f.height) + "@" + std::to_string(f.left) +
             "," + std::to_string(f.top) + " local " + std::to_string(f.localBits) +
             (f.interlace ? " interlaced" : "") + " transparent " + std::to_string(f.transparent) + " seed " +
             std::to_string(f.seed) + "]";
    return s;
}

std::vector<GifSpec> GifMatrix()
{
    std::vector<GifSpec> all;
    uint32_t seed = 1;
    const int sizes[][2] = {{1, 1}, {3, 2}, {9, 13}, {70, 45}, {301, 211}};
    for (int bits = 1; bits <= 8; ++bits) {
        for (const auto& size : sizes) {
            for (int variant = 0; variant < 4; ++variant) {
                GifSpec g;
                GifFrameSpec f;
                f.width = size[0];
                f.height = size[1];
                f.seed = seed++;
                f.interlace = variant & 1;
                const bool local = variant & 2;
                g.globalBits = local ? (bits % 3 == 0 ? 0 : 3) : bits;
                f.localBits = local ? bits : 0;
                if (seed % 3 != 0)
                    f.transparent = int(seed % (1u << bits));
                g.comment = seed % 2 == 0;
                g.loop = seed % 4 == 1;
                // A first frame placed inside a larger screen, then another frame.
                f.left = int(seed % 5);
                f.top = int(seed % 7);
                g.width = f.left + f.width + 3;
                g.height = f.top + f.height + 1;
                g.frames = {f};
                GifFrameSpec second = f;
                second.seed = seed * 31;
                second.transparent = -1;
                if (seed % 2)
                    g.frames.push_back(second);
                all.push_back(g);
            }
        }
    }
    return all;
}

}  // namespace quill::imaging::test
