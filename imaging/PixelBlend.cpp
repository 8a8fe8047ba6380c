#include "imaging/PixelBlend.h"

#include <cstdlib>

namespace quill::imaging {

int ReduceOpacity(int opacity)
{
    int reduced = static_cast<int>(std::llabs(static_cast<long long>(opacity)) % 100);
    return reduced == 0 ? 100 : reduced;
}

int ConstantAlpha(int reducedOpacity)
{
    return reducedOpacity * 255 / 100;
}

void BlendRow(const uint32_t* source, uint32_t* destination, int count, int constantAlpha)
{
    const uint32_t c = static_cast<uint32_t>(constantAlpha);
    for (int i = 0; i < count; ++i) {
        const uint32_t s = source[i];
        const uint32_t a = s >> 24;
        if (a == 0)
            continue;
        uint32_t d = destination[i];
        uint32_t result = d & 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8) {
            uint32_t sc = (s >> shift) & 0xFF;
            uint32_t dc = (d >> shift) & 0xFF;
            uint32_t value;
            if (c == 255)
                value = a == 255 ? sc : sc + dc * (255 - a) / 255;
            else
                value = (c * sc + dc * (255 - c * a / 255)) / 255;
            // A colour above its alpha (pixels that are not premultiplied)
            // can overflow the byte: that channel is left as it was.
            result |= (value > 255 ? dc : value) << shift;
        }
        destination[i] = result;
    }
}

}  // namespace quill::imaging
