#include "skinning/SkinFade.h"

#include <algorithm>

namespace quill::skinning {

FadeTick AdvanceFade(int alpha)
{
    const int raised = alpha + FadeAlphaStep;
    if (raised > 255)
        return {alpha, 0, true};
    return {alpha, raised, false};
}

int FadeBlendCount(int startAlpha)
{
    int blends = 0;
    for (int alpha = startAlpha;;) {
        const FadeTick tick = AdvanceFade(alpha);
        ++blends;
        if (tick.ends)
            return blends;
        alpha = tick.nextAlpha;
    }
}

std::uint8_t BlendChannel(std::uint8_t source, std::uint8_t dest, int alpha)
{
    const int a = std::clamp(alpha, 0, 255);
    return static_cast<std::uint8_t>((source * a + dest * (255 - a) + 127) / 255);
}

std::uint32_t BlendColour(std::uint32_t source, std::uint32_t dest, int alpha)
{
    std::uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8)
        out |= static_cast<std::uint32_t>(BlendChannel(static_cast<std::uint8_t>(source >> shift),
                                                       static_cast<std::uint8_t>(dest >> shift), alpha))
               << shift;
    return out;
}

}  // namespace quill::skinning
