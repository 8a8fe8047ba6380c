#pragma once
// Re-encodes one frame of the strip as a one-frame GIF file (the animated
// picture's `AnimatedGIF` read): the frame's own rectangle and colour table,
// a graphic control extension only for a transparent frame.
#include <cstdint>
#include <vector>

#include "controls/small/gif/GifFrameStore.h"

namespace quill::gif {

// Returns the file's bytes; empty for a frame without pixels.
std::vector<uint8_t> EncodeFrameAsGif(const GifFrame& frame, const GifBitmapView& strip,
                                      const GifColorTable& table);

}  // namespace quill::gif
