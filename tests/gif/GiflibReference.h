#pragma once
// giflib reading a GIF from memory, and a plain compositor over its frames:
// the reference the frame store and the composition are checked and timed
// against.
#include <gif_lib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/gif/GifStripBuild.h"

namespace quill::gif::test {

struct GiflibMemoryReader {
    const std::vector<uint8_t>* bytes;
    size_t pos = 0;
};

inline int GiflibReadFromMemory(GifFileType* gif, GifByteType* buf, int n)
{
    auto* r = static_cast<GiflibMemoryReader*>(gif->UserData);
    const size_t take = std::min<size_t>(size_t(n), r->bytes->size() - r->pos);
    std::memcpy(buf, r->bytes->data() + r->pos, take);
    r->pos += take;
    return int(take);
}

// The whole file read by DGifSlurp; `gif` is null when giflib refuses it.
struct GiflibFile {
    explicit GiflibFile(const std::vector<uint8_t>& bytes) : reader{&bytes}
    {
        int error = 0;
        gif = DGifOpen(&reader, GiflibReadFromMemory, &error);
        if (gif && DGifSlurp(gif) != GIF_OK) {
            DGifCloseFile(gif, &error);
            gif = nullptr;
        }
    }
    ~GiflibFile()
    {
        int error = 0;
        if (gif)
            DGifCloseFile(gif, &error);
    }
    GiflibFile(const GiflibFile&) = delete;
    GiflibFile& operator=(const GiflibFile&) = delete;

    GiflibMemoryReader reader;
    GifFileType* gif = nullptr;
};

int Disposal(const GifFileType* gif, int i)
{
    GraphicsControlBlock gcb{};
    gcb.TransparentColor = NO_TRANSPARENT_COLOR;
    DGifSavedExtensionToGCB(const_cast<GifFileType*>(gif), i, &gcb);
    int d = gcb.DisposalMode & 3;
    // A first frame that restores to the previous picture keeps itself.
    return d == 3 && i == 0 ? 0 : d;
}

// A plain GIF compositor over giflib's decoded frames: black, see-through
// start; each frame's opaque pixels drawn; disposal 2 clears the frame's
// rectangle, disposal 3 puts back what it covered.
class ReferenceCanvas {
public:
    ReferenceCanvas(int w, int h) : w_(w), color_(size_t(w) * h, 0), clear_(size_t(w) * h, true) {}

    template <typename Shown>
    void Play(const GifFileType* gif, Shown shown)
    {
        for (int i = 0; i < gif->ImageCount; ++i) {
            const SavedImage& s = gif->SavedImages[i];
            const GifImageDesc& d = s.ImageDesc;
            const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
            GraphicsControlBlock gcb{};
            gcb.TransparentColor = NO_TRANSPARENT_COLOR;
            DGifSavedExtensionToGCB(const_cast<GifFileType*>(gif), i, &gcb);
            const int disposal = Disposal(gif, i);
            auto savedColor = color_;
            auto savedClear = clear_;
            for (int y = 0; y < d.Height; ++y) {
                for (int x = 0; x < d.Width; ++x) {
                    const int index = s.RasterBits[size_t(y) * d.Width + x];
                    if (index == gcb.TransparentColor)
                        continue;
                    const GifColorType c = map->Colors[index];
                    const size_t at = size_t(d.Top + y) * w_ + d.Left + x;
                    color_[at] = (uint32_t(c.Red) << 16) | (uint32_t(c.Green) << 8) | c.Blue;
                    clear_[at] = false;
                }
            }
            shown(i + 1, *this);
            if (disposal == 2) {
                for (int y = d.Top; y < d.Top + d.Height; ++y) {
                    for (int x = d.Left; x < d.Left + d.Width; ++x) {
                        color_[size_t(y) * w_ + x] = 0;
                        clear_[size_t(y) * w_ + x] = true;
                    }
                }
            } else if (disposal == 3) {
                color_ = savedColor;
                clear_ = savedClear;
            }
        }
    }
    uint32_t Color(int x, int y) const { return color_[size_t(y) * w_ + x]; }
    bool Clear(int x, int y) const { return clear_[size_t(y) * w_ + x]; }

private:
    int w_;
    std::vector<uint32_t> color_;
    std::vector<bool> clear_;
};

// Our frames composed as the control composes them against the reference
// compositor's over giflib's reading: for each frame in order, the pixels
// whose colour or see-through state differ (none when the pictures match).
// Fewer entries than giflib's frames when we composed fewer.
inline std::vector<int> ComposedFrameMismatches(BuiltGif& ours, const GifFileType* theirs)
{
    const int w = ours.store.Header.width;
    const int h = ours.store.Header.height;
    // Our overall size is the frames' extent; the reference works on it too.
    std::vector<std::vector<uint32_t>> expectedColor;
    std::vector<std::vector<bool>> expectedClear;
    ReferenceCanvas reference(w, h);
    reference.Play(theirs, [&](int, const ReferenceCanvas& c) {
        expectedColor.emplace_back();
        expectedClear.emplace_back();
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                expectedColor.back().push_back(c.Color(x, y));
                expectedClear.back().push_back(c.Clear(x, y));
            }
        }
    });
    std::vector<int> mismatches;
    ComposeAll(ours, [&](int n, const GifCanvas& canvas) {
        int differ = 0;
        if (static_cast<size_t>(n) > expectedColor.size()) {
            differ = w * h;
        } else {
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    const size_t at = size_t(y) * w + x;
                    differ += canvas.Pixel(x, y) != expectedColor[n - 1][at];
                    differ += canvas.SeeThrough(x, y) != expectedClear[n - 1][at];
                }
            }
        }
        mismatches.push_back(differ);
    });
    return mismatches;
}

}  // namespace quill::gif::test
