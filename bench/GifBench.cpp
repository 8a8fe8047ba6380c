// Reading and decoding GIFs: the animated picture's frame store against
// giflib in one run, picture by picture, as ratios; and the frame store's
// memory against the pixel count of the decoded frames. Besides the corpus
// and the two resources, large multi-frame pictures (320 x 200 and
// 1024 x 768, ten frames and more) drawn with ImageMagick the first time
// (tools/make_bench_gifs.sh) and kept.
//     gif_bench [rounds=20] [folder for the large pictures=./bench_gifs]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/gif/GifStripBuild.h"
#include "tests/gif/GifTestFiles.h"
#include "tests/gif/GiflibReference.h"

namespace {

namespace fs = std::filesystem;
using quill::gif::test::BuiltGif;

struct Picture {
    std::string name;
    std::vector<uint8_t> bytes;
};

const char* const kLarge[] = {"plasma_320x200x12.gif", "plasma_1024x768x10.gif", "shapes_1024x768x16.gif",
                              "optimised_320x200x20.gif"};

std::vector<Picture> LargePictures(const fs::path& folder)
{
    std::vector<Picture> out;
    const std::string command =
        std::string("bash '") + QUILL_SOURCE_DIR + "/tools/make_bench_gifs.sh' '" + folder.string() + "'";
    if (std::system(command.c_str()) != 0)
        std::printf("could not draw the large pictures (is ImageMagick's convert installed?)\n");
    for (const char* name : kLarge)
        if (fs::exists(folder / name))
            out.push_back({name, quill::gif::test::ReadWholeFileBytes((folder / name).string())});
    return out;
}

size_t GiflibDecode(const std::vector<uint8_t>& bytes)
{
    quill::gif::test::GiflibFile file(bytes);
    size_t pixels = 0;
    if (file.gif) {
        for (int i = 0; i < file.gif->ImageCount; ++i)
            pixels +=
                size_t(file.gif->SavedImages[i].ImageDesc.Width) * file.gif->SavedImages[i].ImageDesc.Height;
    }
    return pixels;
}

// The control keeps one frame store and loads picture after picture into it.
size_t OurDecode(BuiltGif& store, const std::vector<uint8_t>& bytes)
{
    return quill::gif::test::BuildGif(bytes, store) ? store.StripBytes() : 0;
}

template <typename F>
double SecondsFor(int rounds, F decode)
{
    size_t sink = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int r = 0; r < rounds; ++r)
        sink += decode();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (sink == 0)
        std::puts("nothing decoded");
    return took.count();
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const fs::path largeFolder = argc > 2 ? fs::path(argv[2]) : fs::path("bench_gifs");
    std::vector<Picture> pictures;
    for (const std::string& n : quill::gif::test::CorpusNames())
        pictures.push_back({n, quill::gif::test::ReadWholeFileBytes(quill::gif::test::CorpusDir() + n)});
    for (const char* r : {"loading.gif", "failed.gif"})
        pictures.push_back(
            {r, quill::gif::test::ReadWholeFileBytes(std::string(QUILL_SOURCE_DIR) + "/resources/" + r)});
    for (Picture& p : LargePictures(largeFolder))
        pictures.push_back(std::move(p));

    std::printf("read+decode, %d rounds each (frame store / giflib; at most 1.00 is the goal)\n", rounds);
    std::printf("%-28s %7s %10s %10s %10s %7s\n", "file", "frames", "bytes", "ours ms", "giflib ms", "ratio");
    BuiltGif store;
    double allOurs = 0, allGiflib = 0, worst = 0;
    for (const Picture& p : pictures) {
        // Warm both up once, then time them over the same rounds.
        OurDecode(store, p.bytes);
        GiflibDecode(p.bytes);
        const double ours = SecondsFor(rounds, [&] { return OurDecode(store, p.bytes); });
        const double giflib = SecondsFor(rounds, [&] { return GiflibDecode(p.bytes); });
        allOurs += ours;
        allGiflib += giflib;
        worst = std::max(worst, ours / giflib);
        std::printf("%-28s %7d %10zu %10.3f %10.3f %7.2f\n", p.name.c_str(), store.frameCount, p.bytes.size(),
                    1000 * ours / rounds, 1000 * giflib / rounds, ours / giflib);
    }
    std::printf("%-28s %7s %10s %10.3f %10.3f %7.2f   worst %.2f\n", "all", "", "", 1000 * allOurs / rounds,
                1000 * allGiflib / rounds, allOurs / allGiflib, worst);

    std::printf("\n%-28s %7s %12s %12s %12s %7s\n", "file", "frames", "pixels", "strip B", "store B", "B/px");
    size_t allPixels = 0, allStore = 0;
    for (const Picture& p : pictures) {
        BuiltGif gif;
        if (!quill::gif::test::BuildGif(p.bytes, gif))
            continue;
        size_t pixels = 0;
        for (const quill::gif::GifFrame& f : gif.store.Frames)
            pixels += size_t(f.Width) * f.Height;
        // What the control keeps once built: the strip, the colour tables, the
        // frame records and, when it composes, the 24-bit canvas and 1-bit mask.
        size_t kept = gif.StripBytes() +
                      gif.store.ColorTables.table.size() * sizeof(quill::gif::GifColorTable) +
                      gif.store.Frames.size() * sizeof(quill::gif::GifFrame);
        if (gif.plan.needsCanvas) {
            const int w = gif.store.Header.width, h = gif.store.Header.height;
            kept += size_t(quill::gif::ScanlineBytes(w, 24)) * h;
            if (gif.plan.UsesMask)
                kept += size_t(quill::gif::ScanlineBytes(w, 1)) * h;
        }
        allPixels += pixels;
        allStore += kept;
        std::printf("%-28s %7d %12zu %12zu %12zu %7.2f\n", p.name.c_str(), gif.frameCount, pixels,
                    gif.StripBytes(), kept, double(kept) / double(pixels));
    }
    std::printf("%-28s %7s %12zu %12s %12zu %7.2f\n", "all", "", allPixels, "", allStore,
                double(allStore) / double(allPixels));
    return 0;
}
