// The image library's own readers of LoadPicture_Stream over any bytes, in
// the dispatcher's order (PNG with the own inflater, GIF, ICO/CUR, BMP), and
// the pixel work that follows a load on what they decode.
#include "imaging/BmpFormat.h"
#include "imaging/GifReader.h"
#include "imaging/IcoReader.h"
#include "imaging/PngReader.h"
#include "imaging/PixelTransforms.h"
#include "imaging/Resampler.h"

#include <cstddef>
#include <cstdint>
#include <span>

using namespace quill::imaging;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> bytes(data, size);
    DecodedImage image;
    ReadResult result = DecodePng(bytes, nullptr, image);
    if (result.verdict == ReadVerdict::NotMine)
        result = DecodeGif(bytes, image);
    if (result.verdict == ReadVerdict::NotMine) {
        const auto readPng = [](std::span<const uint8_t> png, PixelTarget& target) {
            return DecodePng(png, nullptr, target);
        };
        result = DecodeIcon(bytes, 32, 32, readPng, image);
    }
    if (result.verdict == ReadVerdict::NotMine) {
        BmpRead read = ReadBmp(bytes);
        if (read.verdict != BmpVerdict::Decoded)
            return 0;
        image = std::move(read.image);
    } else if (result.verdict != ReadVerdict::Image) {
        return 0;
    }
    if (image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height))
        __builtin_trap();
    if (image.pixels.size() > 1 << 16)
        return 0;
    PixelView view{image.pixels.data(), image.width, image.height};
    TrimRect trim = FindTrim(view, static_cast<int>(size % 16));
    if (trim.found)
        CopyRect(view, trim.left, trim.top, trim.width, trim.height);
    std::vector<uint32_t> out(7 * 5);
    ResamplePixels(view, {0, 0, image.width, image.height}, image.width / 7.0, image.height / 5.0, 0, 0,
                   size % 2 == 0, PixelView{out.data(), 7, 5});
    MirrorRect(view, {0, 0, image.width, image.height}, true, size % 3 == 0);
    return 0;
}
