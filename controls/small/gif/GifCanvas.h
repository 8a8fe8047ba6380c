#pragma once
// Composition of an animated GIF's frames on a 24-bit canvas of the overall
// size, with a 1-bit mask beside it when the composed picture can hold
// see-through pixels. Works on the bits in place, so the control lays it over
// its canvas and mask DIB sections; tests give it memory of its own.
#include <cstdint>
#include <vector>

#include "controls/small/gif/GifFrameStore.h"

namespace quill::gif {

class GifCanvas {
public:
    // Over bits the caller owns (bottom-up DIB rows); maskBits may be null.
    void Attach(uint8_t* canvasBits, uint8_t* maskBits, int32_t width, int32_t height);
    // Over memory of its own.
    void Allocate(int32_t width, int32_t height, bool withMask);

    bool UsesMask() const { return mask_.bits != nullptr; }
    const GifBitmapView& CanvasBits() const { return canvas_; }
    const GifBitmapView& MaskBits() const { return mask_; }

    // Before frame n is drawn (restore false): clears the canvas for frame 1,
    // saves what a restore-to-previous frame covers, and marks the frame's
    // opaque pixels as covered in the mask. After it was shown (restore true):
    // applies its disposal. The backups carry the saved pixels between the two.
    void ComposeFrame(const GifFrame& frame, int32_t n, bool restore, const GifBitmapView& strip,
                      std::vector<uint8_t>& maskBackup, std::vector<uint8_t>& canvasBackup);

    // Draws the frame from the strip onto the canvas at its own place: opaque
    // pixels take their colour, the transparent index leaves the canvas.
    void BlitFrame(const GifFrame& frame, const GifBitmapView& strip, const GifColorTable& table);

    // The composed colour (0x00RRGGBB) and whether the pixel is see-through.
    uint32_t Pixel(int32_t x, int32_t y) const;
    bool SeeThrough(int32_t x, int32_t y) const;

private:
    struct Span {
        int32_t left, top, width, height;
    };
    Span Clip(const GifFrame& frame) const;
    void SetMaskBit(int32_t x, int32_t y, bool seeThrough);

    GifBitmapView canvas_;
    GifBitmapView mask_;
    std::vector<uint8_t> ownCanvas_;
    std::vector<uint8_t> ownMask_;
};

// The colour a frame's index stands for; an index past the table's entries
// draws black rather than whatever the table held before.
inline uint32_t GifColorOf(const GifColorTable& table, uint8_t index)
{
    return index < table[256] ? table[index] : 0;
}

// Flips the area x, y, width x height of a 1-, 8- or 24-bit bitmap in place,
// left to right and/or top to bottom (the mirror styles).
void MirrorArea(const GifBitmapView& bitmap, int bitsPerPixel, int32_t x, int32_t y, int32_t width,
                int32_t height, bool horizontal, bool vertical);

// From the control's size in pixels, sets the two scales for the stretch
// mode and the size the control should take. Does nothing for an empty GIF.
void ComputeScale(const GifHeaderInfo& header, int32_t stretch, int32_t& width, int32_t& height,
                  float& scaleX, float& scaleY);

}  // namespace quill::gif
