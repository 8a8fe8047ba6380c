// The image library's own inflater against zlib, and whole PNG decodes
// against libpng, on real-size pictures made at run time: a 2000 x 1500
// photo-like RGB picture, a 1920 x 1080 screenshot-like one, 1920 x 1080
// RGBA with soft alpha and an Adam7 one, their image data in IDAT chunks of
// 32 KiB. Both sides do the same checks: the inflaters are compared on raw
// DEFLATE (no Adler-32 on either side) and on zlib streams (Adler-32 on both:
// zlib's uncompress, and the own inflater followed by its own Adler-32); the
// decoders without CRCs or Adler-32 (libpng told to skip them, the own
// decoder without a zlib binding) and with them (libpng's defaults, the own
// decoder with zlib bound: CRCs through crc32, the data through inflate).
// Rounds are interleaved; each ratio is the median of the rounds' ratios with
// their lowest and highest. Every decode is checked against libpng's pixels.
// zlib and libpng are the system's shared libraries as the distribution
// built them (another compiler and other flags than this build's), linked
// directly: the Windows program's binding of zlib1.dll is not part of it.
// Last, one decode of each 1920 x 1080 picture in a fresh process, as a
// program that shows one picture does, with the process's peak memory (also
// for the own decoder with zlib bound).
// Two inflaters that give different bytes, or a side that fails, end the
// run with exit code 1 and the difference printed, before any ratio of that
// picture.
//     imaging_codecs_bench [rounds=9] [fresh-process rounds=9]
//     imaging_codecs_bench plant      one byte of the own inflater's output
//                                     changed before it is compared
// Build without sanitizers for meaningful numbers:
//     cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILL_SANITIZE=OFF \
//       -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang && cmake --build build/bench --target
//       imaging_codecs_bench
#include <png.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "BenchRounds.h"
#include "imaging/Inflate.h"
#include "imaging/PngReader.h"
#include "tests/imaging/LinkedZlib.h"

extern char** environ;

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

// libpng writes the file, choosing filters as it does for real files, its
// image data in IDAT chunks of 32 KiB.
Bytes EncodePng(const Picture& p)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        std::printf("libpng could not write the picture\n");
        std::exit(1);
    }
    png_set_write_fn(png, &out, WriteToVector, nullptr);
    png_set_compression_buffer_size(png, 32768);
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

// The IDAT chunks' data joined.
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
    if (n > r->bytes->size() - r->pos)
        png_error(png, "read past the data");
    std::memcpy(out, r->bytes->data() + r->pos, n);
    r->pos += n;
}

// libpng decoding to 8-bit RGBA rows, as a program would use it; without
// `checks` it neither computes CRCs nor checks the Adler-32.
size_t LibpngDecode(const Bytes& file, Bytes& rgba, bool checks)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        std::printf("libpng failed on the picture\n");
        std::exit(1);
    }
    Reader reader{&file, 0};
    png_set_read_fn(png, &reader, ReadFromVector);
    if (!checks) {
        png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
        png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
    }
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

void OwnDecode(const Bytes& file, quill::imaging::DecodedImage& image, quill::imaging::ZlibBinding* zlib)
{
    if (quill::imaging::DecodePng(file, zlib, image).verdict != quill::imaging::ReadVerdict::Image) {
        std::printf("the own decoder refused the picture\n");
        std::exit(1);
    }
}

// Both decoders gave the same picture: libpng's straight RGBA premultiplied
// as the own decoder stores it.
void CheckSamePixels(const quill::imaging::DecodedImage& own, const Bytes& rgba, const std::string& what)
{
    for (int y = 0; y < own.height; ++y)
        for (int x = 0; x < own.width; ++x) {
            const uint8_t* p = &rgba[(size_t(y) * own.width + x) * 4];
            const uint32_t a = p[3];
            const uint32_t want =
                a == 0 ? 0 : (a << 24) | (p[0] * a / 255) << 16 | (p[1] * a / 255) << 8 | (p[2] * a / 255);
            if (own.At(x, y) != want) {
                std::printf("%s: the decoders differ at %d,%d\n", what.c_str(), x, y);
                std::exit(1);
            }
        }
}

// zlib's raw inflate of a whole DEFLATE stream (no Adler-32).
bool ZlibRawInflate(const Bytes& deflate, Bytes& out)
{
    z_stream s{};
    if (inflateInit2(&s, -15) != Z_OK)
        return false;
    s.next_in = const_cast<Bytef*>(deflate.data());
    s.avail_in = uInt(deflate.size());
    s.next_out = out.data();
    s.avail_out = uInt(out.size());
    const bool ended = inflate(&s, Z_FINISH) == Z_STREAM_END && s.avail_out == 0;
    inflateEnd(&s);
    return ended;
}

// What each side of an inflate gave: whether it succeeded, and its bytes.
struct Inflated {
    bool ok = false;
    Bytes bytes;
};

// True when both sides gave the expected bytes; otherwise prints how they
// differ: which side failed, or the first byte where a side leaves the
// expected bytes.
bool SameInflate(const std::string& what, const Bytes& expected, const Inflated& own, const Inflated& zlib)
{
    bool same = true;
    for (const auto& [side, result] : {std::pair<const char*, const Inflated&>{"own", own}, {"zlib", zlib}}) {
        if (!result.ok) {
            std::printf("%s: the %s inflater failed\n", what.c_str(), side);
            same = false;
            continue;
        }
        const auto at =
            std::mismatch(result.bytes.begin(), result.bytes.end(), expected.begin(), expected.end());
        if (at.first == result.bytes.end() && at.second == expected.end())
            continue;
        const size_t offset = size_t(at.first - result.bytes.begin());
        std::printf("%s: the %s inflater's %zu bytes differ from the %zu expected, first at byte %zu",
                    what.c_str(), side, result.bytes.size(), expected.size(), offset);
        if (at.first != result.bytes.end() && at.second != expected.end())
            std::printf(" (%s 0x%02X, expected 0x%02X)", side, *at.first, *at.second);
        std::printf("\n");
        same = false;
    }
    return same;
}

uint32_t StoredAdler(const Bytes& z)
{
    const uint8_t* p = &z[z.size() - 4];
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// ---- one decode in a fresh process

double NowSeconds()
{
    return quill::bench::ThreadSeconds();
}

// The peak resident memory of this process image in KiB (VmHWM: unlike
// getrusage's, not carried over from the parent through the spawn).
long PeakKiB()
{
    FILE* f = std::fopen("/proc/self/status", "r");
    char line[256];
    long kib = 0;
    while (f && std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmHWM: %ld kB", &kib) == 1)
            break;
    if (f)
        std::fclose(f);
    return kib;
}

Bytes ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// The child: reads the file, decodes it once, prints the seconds and the
// process's peak resident memory in KiB.
int DecodeOnce(const std::string& side, const std::string& path)
{
    const Bytes file = ReadFile(path);
    double took;
    if (side == "libpng") {
        Bytes rgba;
        const double start = NowSeconds();
        LibpngDecode(file, rgba, false);
        took = NowSeconds() - start;
    } else {
        quill::imaging::DecodedImage image;
        quill::imaging::test::LinkedZlib zlib;
        const double start = NowSeconds();
        OwnDecode(file, image, side == "own+zlib" ? &zlib : nullptr);
        took = NowSeconds() - start;
    }
    std::printf("%.6f %ld\n", took, PeakKiB());
    return 0;
}

bool RunChild(const std::string& side, const std::string& path, double& seconds, double& peakMiB)
{
    const std::string out = path + "." + side + ".out";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::string self = "/proc/self/exe";
    char* argv[] = {self.data(), const_cast<char*>("decode"), const_cast<char*>(side.c_str()),
                    const_cast<char*>(path.c_str()), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return false;
    long peakKiB = 0;
    FILE* f = std::fopen(out.c_str(), "r");
    const bool read = f && std::fscanf(f, "%lf %ld", &seconds, &peakKiB) == 2;
    if (f)
        std::fclose(f);
    std::remove(out.c_str());
    peakMiB = double(peakKiB) / 1024;
    return read;
}

// False when a decode failed.
bool FreshProcessDecodes(const std::vector<Picture>& pictures, int rounds)
{
    std::printf("\none decode in a fresh process, %d rounds interleaved, no CRC or Adler-32 on either side\n",
                rounds);
    std::printf("%-22s %10s %10s %20s %12s %12s %14s %12s\n", "picture", "libpng ms", "own ms", "own/libpng",
                "libpng MiB", "own MiB", "own+zlib MiB", "output MiB");
    for (const Picture& p : pictures) {
        const std::string path = "/tmp/quill_codecs_bench_" + std::to_string(getpid()) + "_" +
                                 std::to_string(p.width) + "x" + std::to_string(p.channels) + ".png";
        const Bytes png = EncodePng(p);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(png.data()), long(png.size()));
        std::vector<double> own, libpng, ownPeak, libpngPeak, zlibPeak;
        bool ok = true;
        for (int r = 0; r < rounds && ok; ++r) {
            double seconds = 0, peak = 0;
            for (int side = 0; side < 2 && ok; ++side) {
                const bool ours = (side + r) % 2 == 0;
                ok = RunChild(ours ? "own" : "libpng", path, seconds, peak);
                (ours ? own : libpng).push_back(seconds);
                (ours ? ownPeak : libpngPeak).push_back(peak);
            }
            // The own decoder with zlib bound, for its peak memory only.
            ok = ok && RunChild("own+zlib", path, seconds, peak);
            zlibPeak.push_back(peak);
        }
        std::remove(path.c_str());
        if (!ok) {
            std::printf("%-22s a decode failed\n", p.name.c_str());
            return false;
        }
        std::printf("%-22s %10.2f %10.2f ", p.name.c_str(), quill::bench::Median(libpng) * 1e3,
                    quill::bench::Median(own) * 1e3);
        quill::bench::PrintRatio(quill::bench::RatioOf(own, libpng));
        std::printf("      %12.1f %12.1f %14.1f %12.1f\n", quill::bench::Median(libpngPeak),
                    quill::bench::Median(ownPeak), quill::bench::Median(zlibPeak),
                    double(p.width) * p.height * 4 / (1024 * 1024));
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "decode")
        return DecodeOnce(argv[2], argv[3]);
    const bool plant = argc > 1 && std::string(argv[1]) == "plant";
    const int rounds = argc > 1 && !plant ? std::max(1, std::atoi(argv[1])) : plant ? 1 : 9;
    const int freshRounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 9;
    const std::vector<Picture> pictures = {PhotoLike(2000, 1500), ScreenshotLike(1920, 1080),
                                           SoftAlpha(1920, 1080, false), SoftAlpha(1920, 1080, true)};
    using quill::bench::Interleaved;
    using quill::bench::PrintRatio;
    using quill::bench::RatioOf;
    std::printf("%d rounds interleaved; ratio = median of the rounds' own/reference (lowest-highest)\n\n",
                rounds);
    std::printf("%-22s %8s | %20s %20s | %20s %20s\n", "picture", "PNG KiB", "inflate raw", "inflate +Adler",
                "decode, no checks", "decode, CRC+Adler");
    std::printf("%-22s %8s | %20s %20s | %20s %20s\n", "", "", "own/zlib", "own/uncompress", "own/libpng",
                "own+zlib/libpng");
    std::vector<double> worst(4, 0);
    for (const Picture& p : pictures) {
        const Bytes png = EncodePng(p);
        const Bytes z = GatherIdat(png);
        const Bytes deflate(z.begin() + 2, z.end() - 4);
        // The rows as libpng filtered them, through zlib's uncompress: what
        // both inflaters must give.
        Bytes inflated(size_t(p.height) * (size_t(p.width) * p.channels + 1) * (p.interlace ? 2 : 1));
        uLongf size = uLongf(inflated.size());
        if (uncompress(inflated.data(), &size, z.data(), uLong(z.size())) != Z_OK) {
            std::printf("%s: zlib's uncompress failed on the picture's image data\n", p.name.c_str());
            return 1;
        }
        inflated.resize(size);

        // The inflaters, raw and with the Adler-32 on both sides, once to see
        // that they agree, then timed. The output is exactly the stream's
        // size, so the own inflater needs it zeroed only once.
        Inflated ownInflate{false, Bytes(inflated.size())}, zlibInflate{false, Bytes(inflated.size())};
        ownInflate.ok = quill::imaging::InflateRaw(deflate, ownInflate.bytes);
        zlibInflate.ok = ZlibRawInflate(deflate, zlibInflate.bytes);
        if (plant)
            ownInflate.bytes[ownInflate.bytes.size() / 2] ^= 0x10;
        if (!SameInflate(p.name + ", inflate raw", inflated, ownInflate, zlibInflate))
            return 1;
        const auto ownAdlerInflate = [&](Bytes& out) {
            return quill::imaging::InflateZlib(z, out) && quill::imaging::Adler32(1, out) == StoredAdler(z);
        };
        const auto zlibUncompress = [&](Bytes& out) {
            uLongf n = uLongf(out.size());
            return uncompress(out.data(), &n, z.data(), uLong(z.size())) == Z_OK && n == out.size();
        };
        ownInflate.ok = ownAdlerInflate(ownInflate.bytes);
        zlibInflate.ok = zlibUncompress(zlibInflate.bytes);
        if (!SameInflate(p.name + ", inflate with Adler-32", inflated, ownInflate, zlibInflate))
            return 1;
        std::vector<double> ownRaw, zlibRaw, ownAdler, zlibAdler;
        Interleaved(
            rounds, quill::bench::SecondsOf,
            [&] { ownInflate.ok &= quill::imaging::InflateRaw(deflate, ownInflate.bytes); },
            [&] { zlibInflate.ok &= ZlibRawInflate(deflate, zlibInflate.bytes); }, ownRaw, zlibRaw);
        Interleaved(
            rounds, quill::bench::SecondsOf, [&] { ownInflate.ok &= ownAdlerInflate(ownInflate.bytes); },
            [&] { zlibInflate.ok &= zlibUncompress(zlibInflate.bytes); }, ownAdler, zlibAdler);
        if (!SameInflate(p.name + ", inflate, timed rounds", inflated, ownInflate, zlibInflate))
            return 1;

        // The decoders, without checks and with them.
        Bytes rgba;
        quill::imaging::DecodedImage image;
        quill::imaging::test::LinkedZlib zlib;
        std::vector<double> own, libpng, ownChecked, libpngChecked;
        Interleaved(
            rounds, quill::bench::SecondsOf, [&] { OwnDecode(png, image, nullptr); },
            [&] { LibpngDecode(png, rgba, false); }, own, libpng);
        CheckSamePixels(image, rgba, p.name);
        Interleaved(
            rounds, quill::bench::SecondsOf, [&] { OwnDecode(png, image, &zlib); },
            [&] { LibpngDecode(png, rgba, true); }, ownChecked, libpngChecked);
        CheckSamePixels(image, rgba, p.name);

        const quill::bench::Ratio ratios[4] = {RatioOf(ownRaw, zlibRaw), RatioOf(ownAdler, zlibAdler),
                                               RatioOf(own, libpng), RatioOf(ownChecked, libpngChecked)};
        std::printf("%-22s %8zu | ", p.name.c_str(), png.size() / 1024);
        for (int i = 0; i < 4; ++i) {
            PrintRatio(ratios[i]);
            std::printf(i == 1 ? " | " : "   ");
            worst[size_t(i)] = std::max(worst[size_t(i)], ratios[i].median);
        }
        std::printf("\n");
    }
    std::printf(
        "worst medians: inflate %.2f raw, %.2f with Adler-32 (goal 0.70); decode %.2f without checks, "
        "%.2f with them\n",
        worst[0], worst[1], worst[2], worst[3]);
    return FreshProcessDecodes({ScreenshotLike(1920, 1080), SoftAlpha(1920, 1080, false)}, freshRounds) ? 0
                                                                                                        : 1;
}
