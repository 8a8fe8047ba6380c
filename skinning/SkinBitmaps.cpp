#include "skinning/mSkinner.h"

namespace quill::skinning {

void BuildSkinBitmaps()
{
    for (SkinBitmap which : AllSkinBitmaps) {
        const Artwork art = SkinArtwork(which);
        std::unique_ptr<BitmapDc>& target = mSkinner::SkinBitmapSlot(which);
        target = CreateMemoryDC(art.width, art.height);
        if (!target)
            continue;
        for (int y = 0; y < art.height; ++y)
            for (int x = 0; x < art.width; ++x)
                SetPixel(target->Dc(), x, y, art.At(x, y));
    }
}

}  // namespace quill::skinning
