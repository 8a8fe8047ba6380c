#pragma once
// The first image of a GIF file as a 32-bit picture at the image's own size:
// the block walk to the first image descriptor, then the image data through
// the shared GIF LZW decoder.
// The transparent colour index (from the last graphic control extension
// before the image) gives fully transparent pixels; every other pixel is
// opaque with its colour table entry.
#include <cstdint>
#include <span>

#include "imaging/DecodedImage.h"

namespace quill::imaging {

// NotMine for data without a GIF signature, without an image before the
// first unknown block, without a colour table, or whose image cannot be
// decoded; NoImage for a GIF whose blocks run past the data (the image
// object then tries no other reader); Image otherwise (alpha always true).
ReadResult DecodeGif(std::span<const uint8_t> bytes, PixelTarget& target);

}  // namespace quill::imaging
