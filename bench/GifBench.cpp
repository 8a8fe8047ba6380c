// Reading and decoding GIFs: the animated picture's frame store against
// giflib in one run, picture by picture, as ratios; and the frame store's
// memory against the pixel count of the decoded frames. Besides the corpus
// and the two resources, large pictures (320 x 200 and 1024 x 768, ten
// frames and more, and one 1920 x 1080 frame) drawn with ImageMagick the
// first time (tools/make_bench_gifs.sh) and kept. Every load goes into a
// fresh frame store, as a new control's does; both sides must find the same
// frames, which compose pixel for pixel to the same pictures. Rounds are
// interleaved; a ratio is the median of the rounds' own / giflib with the
// lowest and highest.
//     gif_bench [rounds=9] [folder for the large pictures=./bench_gifs]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchRounds.h"
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
                              "optimised_320x200x20.gif", "plasma_1920x1080.gif"};

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

// A new control makes a new frame store and loads the picture into it.
size_t OurDecode(const std::vector<uint8_t>& bytes)
{
    BuiltGif store;
    return quill::gif::test::BuildGif(bytes, store) ? store.StripBytes() : 0;
}

// Both readers found the same frames, and every frame composed from ours, as
// the control composes it, shows the same pixels as the reference
// compositor's over giflib's: the loads timed decode the same pictures.
bool SamePictures(const std::vector<uint8_t>& bytes)
{
    BuiltGif ours;
    quill::gif::test::GiflibFile theirs(bytes);
    if (!quill::gif::test::BuildGif(bytes, ours) || !theirs.gif || ours.frameCount != theirs.gif->ImageCount)
        return false;
    const std::vector<int> mismatches = quill::gif::test::ComposedFrameMismatches(ours, theirs.gif);
    return static_cast<int>(mismatches.size()) == ours.frameCount &&
           std::all_of(mismatches.begin(), mismatches.end(), [](int m) { return m == 0; });
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    const fs::path largeFolder = argc > 2 ? fs::path(argv[2]) : fs::path("bench_gifs");
    std::vector<Picture> pictures;
    for (const std::string& n : quill::gif::test::CorpusNames())
        pictures.push_back({n, quill::gif::test::ReadWholeFileBytes(quill::gif::test::CorpusDir() + n)});
    for (const char* r : {"loading.gif", "failed.gif"})
        pictures.push_back(
            {r, quill::gif::test::ReadWholeFileBytes(std::string(QUILL_SOURCE_DIR) + "/resources/" + r)});
    for (Picture& p : LargePictures(largeFolder))
        pictures.push_back(std::move(p));

    std::printf(
        "read+decode into a fresh store, %d rounds interleaved (own / giflib; at most 1.00 is the goal)\n",
        rounds);
    std::printf("%-28s %7s %10s %10s %10s %20s\n", "file", "frames", "bytes", "ours ms", "giflib ms",
                "ratio (low-high)");
    std::vector<double> allOurs(size_t(rounds), 0), allGiflib(size_t(rounds), 0);
    double worst = 0;
    for (const Picture& p : pictures) {
        if (!SamePictures(p.bytes)) {
            std::printf("%-28s the readers' frames compose to different pictures\n", p.name.c_str());
            return 1;
        }
        // Each round loads the picture often enough to last about 10 ms.
        const double once = quill::bench::SecondsOf([&] { OurDecode(p.bytes); });
        const int loads = std::max(1, int(0.01 / std::max(once, 1e-7)));
        size_t sink = 0;
        std::vector<double> ours, giflib;
        quill::bench::Interleaved(
            rounds, quill::bench::SecondsOf,
            [&] {
                for (int i = 0; i < loads; ++i)
                    sink += OurDecode(p.bytes);
            },
            [&] {
                for (int i = 0; i < loads; ++i)
                    sink += GiflibDecode(p.bytes);
            },
            ours, giflib);
        if (sink == 0)
            std::puts("nothing decoded");
        const quill::bench::Ratio ratio = quill::bench::RatioOf(ours, giflib);
        for (int r = 0; r < rounds; ++r) {
            allOurs[size_t(r)] += ours[size_t(r)] / loads;
            allGiflib[size_t(r)] += giflib[size_t(r)] / loads;
        }
        worst = std::max(worst, ratio.median);
        BuiltGif shown;
        quill::gif::test::BuildGif(p.bytes, shown);
        std::printf("%-28s %7d %10zu %10.3f %10.3f ", p.name.c_str(), shown.frameCount, p.bytes.size(),
                    1000 * quill::bench::Median(ours) / loads, 1000 * quill::bench::Median(giflib) / loads);
        quill::bench::PrintRatio(ratio);
        std::printf("\n");
    }
    std::printf("%-28s %7s %10s %10.3f %10.3f ", "all", "", "", 1000 * quill::bench::Median(allOurs),
                1000 * quill::bench::Median(allGiflib));
    quill::bench::PrintRatio(quill::bench::RatioOf(allOurs, allGiflib));
    std::printf("   worst median %.2f\n", worst);

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
