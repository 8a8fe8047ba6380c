// Any bytes through the animated picture's reader: the walk, the strip plan
// and its bounds, our decoder of every rebuilt frame, the composition of
// every frame (at run time and at design time), mirroring, and the
// re-encoder, whose output must decode back to the same indices.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "controls/small/gif/GifEncoder.h"
#include "controls/small/gif/GifFrameDecoder.h"
#include "tests/gif/GifStripBuild.h"

namespace {

// Strips within the bounds but larger than this are only planned, not
// built: the work grows with their size and would slow the search down.
constexpr int64_t kLargestBuiltStrip = int64_t{1} << 20;

void CheckRoundTrip(const quill::gif::test::BuiltGif& gif, const quill::gif::GifFrame& f)
{
    const auto encoded =
        quill::gif::EncodeFrameAsGif(f, gif.strip, gif.store.ColorTables.table[f.ColorTableSlot]);
    if (encoded.empty())
        return;
    std::vector<uint8_t> back(static_cast<size_t>(f.Width) * f.Height, 0);
    quill::gif::GifBitmapView view{back.data(), f.Width, f.Height, f.Width, false};
    if (!quill::gif::DecodeOneFrameGif(quill::gif::test::WithIndexPalette(encoded), view, 0, 0, f.Width,
                                       f.Height))
        std::abort();
    for (int y = 0; y < f.Height; ++y) {
        if (std::memcmp(view.Row(y), gif.strip.Row(y) + f.DataPos, static_cast<size_t>(f.Width)) != 0)
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> bytes(data, size);
    for (bool designTime : {false, true}) {
        quill::gif::GifFrameStore planned;
        planned.SetGifBytes(bytes);
        quill::gif::GifStripPlan plan;
        if (planned.ParseGifStream() == 0 || !planned.PlanFrameStrip(designTime, plan))
            continue;
        if (int64_t{plan.stripWidth} * plan.stripHeight > kLargestBuiltStrip)
            continue;
        if (plan.needsCanvas && int64_t{planned.Header.width} * planned.Header.height > kLargestBuiltStrip)
            continue;

        quill::gif::test::BuiltGif gif;
        if (!quill::gif::test::BuildGif(bytes, gif, designTime))
            std::abort();  // planned, so it builds
        const int built = designTime || gif.frameCount == 1 ? 1 : gif.frameCount;
        if (gif.plan.needsCanvas)
            quill::gif::test::ComposeAll(gif, [](int, const quill::gif::GifCanvas&) {});
        for (int n = 1; n <= built; ++n) {
            const quill::gif::GifFrame& f = gif.store.Frames[n - 1];
            CheckRoundTrip(gif, f);
            // Mirroring twice gives the frame back.
            std::vector<uint8_t> before(gif.stripBits);
            quill::gif::MirrorArea(gif.strip, 8, f.DataPos, 0, f.Width, f.Height, true, n % 2 == 0);
            quill::gif::MirrorArea(gif.strip, 8, f.DataPos, 0, f.Width, f.Height, true, n % 2 == 0);
            if (before != gif.stripBits)
                std::abort();
        }
    }
    return 0;
}
