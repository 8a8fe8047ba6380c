// The image library's own inflater against zlib's uncompress, and whole PNG
// decodes (own inflater, and zlib through the binding) against libpng, on
// real-size pictures made at run time: a 2000 x 1500 photo-like RGB picture,
// a 1920 x 1080 screenshot-like one, an RGBA picture with soft alpha and an
// Adam7 one. Prints the best of several rounds and the ratios.
//     imaging_codecs_bench [rounds=7]
// Build without sanitizers for meaningful numbers:
//     cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILL_SANITIZE=OFF \
//       -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang && cmake --build build/bench --target
//       imaging_codecs_bench
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "imaging/Inflate.h"
#include "imaging/PngReader.h"
#include "tests/imaging/LinkedZlib.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Picture {
    std::string name;
    int width, height, channels;
    bool interlace;
    Bytes samples;  // rows top first, `channels` bytes per pixel
};

Picture PhotoLike(int w, int h)
{
    Picture p{"photo-like RGB", w, h, 3, false, Bytes(size_t(w) * h * 3)};
    std::mt19937 rng(3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                const double v = 128 + 60 * std::sin(x * 0.01 * (c + 1) + y * 0.013) +
                                 40 * std::cos((x + y) * 0.004 * (3 - c));
                p.samples[(size_t(y) * w + x) * 3 + c] =
                    uint8_t(std::clamp(v + int(rng() % 13) - 6, 0.0, 255.0));
            }
    return p;
}

Picture ScreenshotLike(int w, int h)
{
    Picture p{"screenshot-like RGB", w, h, 3, false, Bytes(size_t(w) * h * 3)};
    std::mt19937 rng(4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* px = &p.samples[(size_t(y) * w + x) * 3];
            const bool titleBar = y < 30, panel = x < 240, textLine = (y % 20) < 12 && (x % 9) < 6 && !panel;
            uint8_t r = 240, g = 240, b = 240;
            if (titleBar)
                r = 30, g = 90, b = 170;
            else if (panel)
                r = 225, g = 230, b = 238;
            if (textLine && rng() % 3 == 0)
                r = g = b = uint8_t(20 + rng() % 60);
            px[0] = r, px[1] = g, px[2] = b;
        }
    return p;
}

Picture SoftAlpha(int w, int h, bool interlace)
{
    Picture p{interlace ? "RGBA Adam7" : "RGBA soft alpha", w, h, 4, interlace, Bytes(size_t(w) * h * 4)};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* px = &p.samples[(size_t(y) * w + x) * 4];
            px[0] = uint8_t(x * 255 / w);
            px[1] = uint8_t(y * 255 / h);
            px[2] = uint8_t((x ^ y) & 0xFF);
            const double d = std::hypot(x - w / 2.0, y - h / 2.0) / (w / 2.0);
            px[3] = uint8_t(std::clamp(255 * (1.2 - d), 0.0, 255.0));
        }
    return p;
}

void WriteToVector(png_structp png, png_bytep data, png_size_t n)
{
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}

// libpng writes the file, choosing filters as it does for real files.
Bytes EncodePng(const Picture& p)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)))
        std::abort();
    png_set_write_fn(png, &out, WriteToVector, nullptr);
    png_set_IHDR(png, info, p.width, p.height, 8, p.channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB,
                 p.interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_bytep> rows(size_t(p.height));
    for (int y = 0; y < p.height; ++y)
        rows[size_t(y)] = const_cast<png_bytep>(&p.samples[size_t(y) * p.width * p.channels]);
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// The IDAT chunks' data joined, and the size it inflates to.
Bytes GatherIdat(const Bytes& png)
{
    Bytes z;
    for (size_t at = 8; at + 12 <= png.size();) {
        const uint32_t len = (png[at] << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
        if (std::memcmp(&png[at + 4], "IDAT", 4) == 0)
            z.insert(z.end(), &png[at + 8], &png[at + 8 + len]);
        at += len + 12;
    }
    return z;
}

struct Reader {
    const Bytes* bytes;
    size_t pos;
};

void ReadFromVector(png_structp png, png_bytep out, png_size_t n)
{
    auto* r = static_cast<Reader*>(png_get_io_ptr(png));
    std::memcpy(out, r->bytes->data() + r->pos, n);
    r->pos += n;
}

// libpng decoding to 8-bit RGBA rows, as a program would use it.
size_t LibpngDecode(const Bytes& file, Bytes& rgba)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)))
        std::abort();
    Reader reader{&file, 0};
    png_set_read_fn(png, &reader, ReadFromVector);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const size_t w = png_get_image_width(png, info), h = png_get_image_height(png, info);
    rgba.resize(w * h * 4);
    std::vector<png_bytep> rows(h);
    for (size_t y = 0; y < h; ++y)
        rows[y] = &rgba[y * w * 4];
    png_read_image(png, rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    return w * h;
}

double BestSeconds(int rounds, const std::function<void()>& work)
{
    double best = 1e30;
    for (int r = 0; r < rounds; ++r) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const std::vector<Picture> pictures = {PhotoLike(2000, 1500), ScreenshotLike(1920, 1080),
                                           SoftAlpha(1600, 1200, false), SoftAlpha(1600, 1200, true)};
    std::printf("%-22s %9s %9s %9s %7s | %9s %9s %9s %7s %7s\n", "picture", "PNG KiB", "zlib ms", "own ms",
                "ratio", "libpng ms", "own ms", "+zlib ms", "ratio", "ratio");
    std::printf("%-22s %9s %9s %9s %7s | %9s %9s %9s %7s %7s\n", "", "", "inflate", "inflate", "own/z",
                "decode", "decode", "decode", "own/lp", "zl/lp");
    double worstInflate = 0, worstDecode = 0;
    for (const Picture& p : pictures) {
        const Bytes png = EncodePng(p);
        const Bytes z = GatherIdat(png);
        Bytes inflated(size_t(p.height) * (size_t(p.width) * p.channels + 1) * (p.interlace ? 2 : 1));
        uLongf size = uLongf(inflated.size());
        if (uncompress(inflated.data(), &size, z.data(), uLong(z.size())) != Z_OK)
            std::abort();
        inflated.resize(size);
        Bytes out(inflated.size());
        const double zlibInflate = BestSeconds(rounds, [&] {
            uLongf n = uLongf(out.size());
            if (uncompress(out.data(), &n, z.data(), uLong(z.size())) != Z_OK)
                std::abort();
        });
        const double ownInflate = BestSeconds(rounds, [&] {
            if (!quill::imaging::InflateZlib(z, out))
                std::abort();
        });
        if (out != inflated)
            std::abort();

        Bytes rgba;
        const double libpng = BestSeconds(rounds, [&] { LibpngDecode(png, rgba); });
        quill::imaging::DecodedImage image;
        const double own = BestSeconds(rounds, [&] {
            if (quill::imaging::DecodePng(png, nullptr, image).verdict != quill::imaging::ReadVerdict::Image)
                std::abort();
        });
        quill::imaging::test::LinkedZlib zlib;
        const double withZlib = BestSeconds(rounds, [&] {
            if (quill::imaging::DecodePng(png, &zlib, image).verdict != quill::imaging::ReadVerdict::Image)
                std::abort();
        });
        worstInflate = std::max(worstInflate, ownInflate / zlibInflate);
        worstDecode = std::max(worstDecode, own / libpng);
        std::printf("%-22s %9zu %9.2f %9.2f %7.2f | %9.2f %9.2f %9.2f %7.2f %7.2f\n", p.name.c_str(),
                    png.size() / 1024, zlibInflate * 1e3, ownInflate * 1e3, ownInflate / zlibInflate,
                    libpng * 1e3, own * 1e3, withZlib * 1e3, own / libpng, withZlib / libpng);
    }
    std::printf("worst: own inflate %.2fx zlib (goal 1.30), own PNG decode %.2fx libpng (goal 1.50)\n",
                worstInflate, worstDecode);
    return 0;
}
