#pragma once
// The per-pixel blend of premultiplied pixels onto a destination, with a
// constant alpha on top of the pixels' own, in whole-number arithmetic.
#include <cstdint>

namespace quill::imaging {

// An opacity in percent as drawing takes it: Abs(opacity) modulo 100, with 0
// taken as 100 (100 and 200 give 100, 150 gives 50, -30 gives 30).
int ReduceOpacity(int opacity);

// The constant alpha of a reduced opacity: opacity x 255 / 100, rounded down.
int ConstantAlpha(int reducedOpacity);

// Blends `count` source pixels onto the destination pixels. The
// destination's alpha byte is never written; a source alpha of 0 leaves
// the destination pixel. All divisions round down.
void BlendRow(const uint32_t* source, uint32_t* destination, int count, int constantAlpha);

}  // namespace quill::imaging
