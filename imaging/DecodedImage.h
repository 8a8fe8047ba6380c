#pragma once
// What the image library's portable readers hand back: a verdict in the
// terms of the load dispatcher's reader contract, and the pixels in the image
// object's own layout (32 bits per pixel, bytes blue, green, red, alpha,
// premultiplied, rows bottom-up, no padding).
#include <cstdint>
#include <vector>

#include "imaging/modParsers.h"

namespace quill::imaging {

enum class ReadVerdict {
    NotMine,  // not this reader's format: the dispatcher tries the next reader
    NoImage,  // this reader's format, but no picture came of it: no other reader is tried
    Image,    // the target holds the picture
};

// Image type codes the readers set (the image object's `ImageType`).
namespace ImageTypes {
constexpr int IconMask = 3;
constexpr int CursorMask = 5;
constexpr int IconAlpha = 8;
constexpr int Gif = 9;
constexpr int Png = 10;
constexpr int PngInIcon = 11;
constexpr int CursorAlpha = 12;
}  // namespace ImageTypes

struct ReadResult {
    ReadVerdict verdict = ReadVerdict::NotMine;
    bool alpha = false;  // the pixels carry transparency that drawing must blend
    int imageType = 0;
};

// Where a reader writes its picture. The Windows side hands out the image
// object's own pixel memory; tests and tools use DecodedImage.
class PixelTarget {
public:
    // Zeroed memory for width x height pixels in the layout above, or nullptr
    // when it cannot be made. Called at most once per read.
    virtual uint8_t* Allocate(int width, int height) = 0;
    // The memory from Allocate holds no picture after all (the read failed
    // part-way); the target drops it.
    virtual void Discard() = 0;
    // The picture is complete: whether drawing must blend with its alpha,
    // and its image type code.
    virtual void Finish(bool alpha, int imageType) = 0;

protected:
    ~PixelTarget() = default;
};

struct DecodedImage final : PixelTarget {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB values, bottom row first
    bool alpha = false;
    int imageType = 0;

    uint8_t* Allocate(int w, int h) override
    {
        if (!PictureSizeAllowed(w, h))
            return nullptr;
        width = w;
        height = h;
        pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
        return reinterpret_cast<uint8_t*>(pixels.data());
    }
    void Discard() override
    {
        width = height = 0;
        pixels.clear();
        pixels.shrink_to_fit();
    }
    void Finish(bool a, int type) override
    {
        alpha = a;
        imageType = type;
    }
    bool Empty() const { return pixels.empty(); }
    // The pixel at column x of picture row y (row 0 at the top).
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(height - 1 - y) * width + x]; }
};

}  // namespace quill::imaging
