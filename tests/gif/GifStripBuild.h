#pragma once
// Builds a GIF's frame strip and composes its frames in plain memory, the way
// the control does over its DIB sections.
#include <functional>
#include <span>
#include <vector>

#include "controls/small/gif/GifCanvas.h"
#include "controls/small/gif/GifFrameStore.h"

namespace quill::gif::test {

struct BuiltGif {
    GifFrameStore store;
    GifStripPlan plan;
    std::vector<uint8_t> stripBits;
    GifBitmapView strip;
    int frameCount = 0;

    size_t StripBytes() const { return stripBits.size(); }
};

inline bool BuildGif(std::span<const uint8_t> bytes, BuiltGif& out, bool designTime = false)
{
    out.store.Reset();
    out.store.SetGifBytes(bytes);
    out.frameCount = out.store.ParseGifStream();
    if (out.frameCount == 0 || !out.store.PlanFrameStrip(designTime, out.plan))
        return false;
    const int32_t stride = ScanlineBytes(out.plan.stripWidth, 8);
    out.stripBits.assign(static_cast<size_t>(stride) * out.plan.stripHeight, 0);
    out.strip = {out.stripBits.data(), out.plan.stripWidth, out.plan.stripHeight, stride, true};
    out.store.StartRebuild(out.plan.largestSpan);
    const int last = designTime || out.frameCount == 1 ? 1 : out.frameCount;
    for (int i = 1; i <= last; ++i)
        out.store.BuildFrame(i, out.strip);
    out.store.EndRebuild();
    return true;
}

// The same file with its global table replaced by the index table (entry
// i = 0, 0, i), so that our decoder gives back the raw indices.
inline std::vector<uint8_t> WithIndexPalette(std::vector<uint8_t> gif)
{
    if (gif.size() > 781 && (gif[10] & 0x87) == 0x87) {
        for (int i = 0; i < 256; ++i) {
            gif[13 + 3 * i] = 0;
            gif[14 + 3 * i] = 0;
            gif[15 + 3 * i] = static_cast<uint8_t>(i);
        }
    }
    return gif;
}

// Composes every frame in order on a canvas with a mask and calls back with
// each composed picture before the frame's disposal is applied.
inline void ComposeAll(BuiltGif& gif, const std::function<void(int, const GifCanvas&)>& shown)
{
    GifCanvas canvas;
    canvas.Allocate(gif.store.Header.width, gif.store.Header.height, true);
    std::vector<uint8_t> maskBackup, canvasBackup;
    for (int n = 1; n <= gif.frameCount; ++n) {
        const GifFrame& f = gif.store.Frames[n - 1];
        canvas.ComposeFrame(f, n, false, gif.strip, maskBackup, canvasBackup);
        canvas.BlitFrame(f, gif.strip, gif.store.ColorTables.table[f.ColorTableSlot]);
        shown(n, canvas);
        if (f.Disposal == 2 || f.Disposal == 3)
            canvas.ComposeFrame(f, n, true, gif.strip, maskBackup, canvasBackup);
    }
}

}  // namespace quill::gif::test
