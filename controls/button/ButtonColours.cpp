#include "controls/button/ButtonColours.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace quill::button {

namespace {

int ClampByte(int v)
{
    return std::clamp(v, 0, 255);
}

template <class F>
Colour PerChannel(Colour a, F f)
{
    return Rgb(f(RedOf(a)), f(GreenOf(a)), f(BlueOf(a)));
}

}  // namespace

int RoundHalfEven(double v)
{
    const double down = std::floor(v);
    const double rest = v - down;
    double result = down;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(down, 2.0) != 0.0))
        result = down + 1.0;
    return static_cast<int>(result);
}

Colour MixColors(Colour a, Colour b)
{
    auto mean = [](int x, int y) { return RoundHalfEven((x + y) / 2.0); };
    return Rgb(mean(RedOf(a), RedOf(b)), mean(GreenOf(a), GreenOf(b)), mean(BlueOf(a), BlueOf(b)));
}

Colour LightenColor(Colour c, int amount)
{
    return PerChannel(c, [amount](int ch) { return ClampByte(amount + (255 - amount) * ch / 255); });
}

Colour ShiftColor(Colour c, int delta)
{
    return PerChannel(c, [delta](int ch) { return ClampByte(ch + delta); });
}

Colour GrayOfColor(Colour c)
{
    const int v = RoundHalfEven(RedOf(c) / 3.0 + GreenOf(c) / 3.0 + BlueOf(c) / 3.0);
    return Rgb(v, v, v);
}

Colour GrayscaleIconPixel(Colour c)
{
    c &= 0xFFFFFF;
    // The even greys (and white) that icons use for their own shading are
    // kept as drawn; 0x909090 is deliberately not one of them.
    static constexpr Colour kept[] = {0x000000, 0x101010, 0x202020, 0x303030, 0x404040, 0x505050,
                                      0x606060, 0x707070, 0x808080, 0xA0A0A0, 0xB0B0B0, 0xC0C0C0,
                                      0xD0D0D0, 0xE0E0E0, 0xF0F0F0, 0xFFFFFF};
    if (std::find(std::begin(kept), std::end(kept), c) != std::end(kept))
        return c;
    const double g = 0.33 * RedOf(c) + 0.59 * GreenOf(c) + 0.11 * BlueOf(c);
    const int v = std::min(RoundHalfEven(g), 255);
    return Rgb(v, v, v);
}

Colour GradientColour(Colour from, Colour to, int steps, int i)
{
    if (steps == 0)
        return from & 0xFFFFFF;
    auto channel = [steps, i](int a, int b) {
        const float step = static_cast<float>(b - a) / static_cast<float>(steps);
        return ClampByte(RoundHalfEven(a + static_cast<double>(step) * i));
    };
    return Rgb(channel(RedOf(from), RedOf(to)), channel(GreenOf(from), GreenOf(to)),
               channel(BlueOf(from), BlueOf(to)));
}

}  // namespace quill::button
