#pragma once
// Decodes a complete one-frame GIF, as the frame store rebuilds each frame,
// into an 8-bit bitmap. Each pixel is written as the blue channel of its
// colour table entry: with the rebuilt table (entry i = 0, 0, i) that is the
// frame's raw colour index, which is what the strip keeps.
#include <cstdint>
#include <span>

#include "controls/small/gif/GifFrameStore.h"

namespace quill::gif {

// Draws the file's first image into the rectangle x, y, width x height of
// the target (clipped to the target and to the image). Returns false when the
// file is refused before any pixel is drawn; data that breaks off or goes
// wrong part-way keeps the pixels decoded before it.
bool DecodeOneFrameGif(std::span<const uint8_t> file, const GifBitmapView& target, int32_t x, int32_t y,
                       int32_t width, int32_t height);

}  // namespace quill::gif
