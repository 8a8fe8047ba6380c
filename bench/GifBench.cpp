// Reading and decoding the GIF corpus: the animated picture's frame store
// against giflib in one run, as a ratio; and the frame store's memory against
// the pixel count of the decoded frames.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tests/gif/GifStripBuild.h"
#include "tests/gif/GifTestFiles.h"
#include "tests/gif/GiflibReference.h"

namespace {

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

size_t OurDecode(const std::vector<uint8_t>& bytes)
{
    quill::gif::test::BuiltGif gif;
    return quill::gif::test::BuildGif(bytes, gif) ? gif.StripBytes() : 0;
}

template <typename F>
double SecondsFor(int rounds, const std::vector<std::vector<uint8_t>>& files, F decode)
{
    size_t sink = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int r = 0; r < rounds; ++r)
        for (const auto& f : files)
            sink += decode(f);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (sink == 0)
        std::puts("nothing decoded");
    return took.count();
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 200;
    std::vector<std::vector<uint8_t>> files;
    std::vector<std::string> names = quill::gif::test::CorpusNames();
    for (const std::string& n : names)
        files.push_back(quill::gif::test::ReadFileBytes(quill::gif::test::CorpusDir() + n));
    for (const char* r : {"loading.gif", "failed.gif"}) {
        names.push_back(r);
        files.push_back(quill::gif::test::ReadFileBytes(std::string(QUILL_SOURCE_DIR) + "/resources/" + r));
    }

    // Warm both up once, then time them over the same rounds.
    SecondsFor(1, files, OurDecode);
    SecondsFor(1, files, GiflibDecode);
    const double ours = SecondsFor(rounds, files, OurDecode);
    const double giflib = SecondsFor(rounds, files, GiflibDecode);
    std::printf("read+decode of %zu files x %d rounds: frame store %.3f s, giflib %.3f s, ratio %.2f\n",
                files.size(), rounds, ours, giflib, ours / giflib);

    std::printf("\n%-28s %7s %12s %12s %12s %7s\n", "file", "frames", "pixels", "strip B", "store B", "B/px");
    size_t allPixels = 0, allStore = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        quill::gif::test::BuiltGif gif;
        if (!quill::gif::test::BuildGif(files[i], gif))
            continue;
        size_t pixels = 0;
        for (const quill::gif::GifFrame& f : gif.store.Frames)
            pixels += size_t(f.Width) * f.Height;
        // What the control keeps once built: the strip, the colour tables, the
        // frame records and, when it composes, the 24-bit canvas and 1-bit mask.
        size_t store = gif.StripBytes() +
                       gif.store.ColorTables.table.size() * sizeof(quill::gif::GifColorTable) +
                       gif.store.Frames.size() * sizeof(quill::gif::GifFrame);
        if (gif.plan.needsCanvas) {
            const int w = gif.store.Header.width, h = gif.store.Header.height;
            store += size_t(quill::gif::ScanlineBytes(w, 24)) * h;
            if (gif.plan.UsesMask)
                store += size_t(quill::gif::ScanlineBytes(w, 1)) * h;
        }
        allPixels += pixels;
        allStore += store;
        std::printf("%-28s %7d %12zu %12zu %12zu %7.2f\n", names[i].c_str(), gif.frameCount, pixels,
                    gif.StripBytes(), store, double(store) / double(pixels));
    }
    std::printf("%-28s %7s %12zu %12s %12zu %7.2f\n", "all", "", allPixels, "", allStore,
                double(allStore) / double(allPixels));
    return 0;
}
