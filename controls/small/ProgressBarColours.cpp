#include "controls/small/ProgressBarColours.h"

#include "forms/lang/Error.h"

#include <algorithm>
#include <cmath>

namespace quill::small {

namespace {

// The nine fixed themes: the colours of entry pairs 0/1, 2/3 ... 14/15, then 16.
constexpr std::array<std::array<Colour, 9>, 9> FixedThemes{{
    {Rgb(248, 246, 242), Rgb(233, 227, 211), Rgb(226, 215, 182), Rgb(239, 233, 215), Rgb(251, 244, 223),
     Rgb(239, 213, 133), Rgb(203, 166, 57), Rgb(237, 224, 187), Rgb(204, 168, 62)},
    {Rgb(247, 248, 242), Rgb(231, 233, 211), Rgb(222, 226, 182), Rgb(237, 239, 215), Rgb(249, 251, 223),
     Rgb(230, 239, 133), Rgb(190, 203, 57), Rgb(233, 237, 187), Rgb(192, 204, 62)},
    {Rgb(242, 248, 243), Rgb(211, 233, 213), Rgb(182, 226, 186), Rgb(215, 239, 217), Rgb(223, 251, 225),
     Rgb(133, 239, 142), Rgb(57, 203, 70), Rgb(187, 237, 191), Rgb(62, 204, 74)},
    {Rgb(242, 248, 247), Rgb(211, 233, 231), Rgb(182, 226, 222), Rgb(215, 239, 237), Rgb(223, 251, 249),
     Rgb(133, 239, 230), Rgb(57, 203, 190), Rgb(187, 237, 233), Rgb(62, 204, 192)},
    {Rgb(243, 242, 248), Rgb(213, 211, 233), Rgb(186, 182, 226), Rgb(217, 215, 239), Rgb(225, 223, 251),
     Rgb(142, 133, 239), Rgb(70, 57, 203), Rgb(191, 187, 237), Rgb(74, 62, 204)},
    {Rgb(248, 242, 247), Rgb(233, 211, 231), Rgb(226, 182, 222), Rgb(239, 215, 237), Rgb(251, 223, 249),
     Rgb(239, 133, 230), Rgb(203, 57, 190), Rgb(237, 187, 233), Rgb(204, 62, 192)},
    {Rgb(248, 242, 242), Rgb(233, 211, 211), Rgb(226, 182, 182), Rgb(239, 215, 215), Rgb(251, 223, 223),
     Rgb(239, 133, 133), Rgb(203, 57, 57), Rgb(237, 187, 187), Rgb(204, 62, 62)},
    {Rgb(250, 253, 254), Rgb(228, 243, 252), Rgb(199, 230, 249), Rgb(237, 247, 253), Rgb(225, 247, 255),
     Rgb(67, 208, 255), Rgb(63, 112, 233), Rgb(63, 226, 246), Rgb(23, 139, 211)},
    {Rgb(231, 243, 232), Rgb(225, 219, 225), Rgb(179, 189, 179), Rgb(226, 238, 226), Rgb(223, 251, 223),
     Rgb(108, 255, 108), Rgb(26, 228, 26), Rgb(217, 244, 217), Rgb(188, 184, 188)},
}};

std::uint8_t RampChannel(int from, std::size_t i, float step)
{
    // The step keeps single precision; the position along the ramp does not.
    const double v = std::nearbyint(from + static_cast<double>(i) * static_cast<double>(step));
    return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
}

}  // namespace

Colour GreyOfColour(Colour c)
{
    const int g =
        static_cast<int>(std::nearbyint((RedOfColour(c) + GreenOfColour(c) + BlueOfColour(c)) / 3.0));
    return Rgb(g, g, g);
}

Colour LightenBy(Colour c, int amount)
{
    auto up = [amount](int channel) { return std::min(channel + amount, 255); };
    return Rgb(up(RedOfColour(c)), up(GreenOfColour(c)), up(BlueOfColour(c)));
}

float SafeRatio(float a, float b)
{
    if (a == 0 || b == 0)
        return 0;
    return a / b;
}

BgrTriple TripleOfColour(Colour c)
{
    return {static_cast<std::uint8_t>(BlueOfColour(c)), static_cast<std::uint8_t>(GreenOfColour(c)),
            static_cast<std::uint8_t>(RedOfColour(c))};
}

std::vector<BgrTriple> BuildColourRamp(int steps, BgrTriple from, BgrTriple to)
{
    if (steps < 0)
        throw forms::RuntimeError(forms::kSubscriptOutOfRange);
    const auto fs = static_cast<float>(steps);
    const float blue = SafeRatio(static_cast<float>(to.blue - from.blue), fs);
    const float green = SafeRatio(static_cast<float>(to.green - from.green), fs);
    const float red = SafeRatio(static_cast<float>(to.red - from.red), fs);
    std::vector<BgrTriple> ramp(static_cast<std::size_t>(steps) + 1);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = {RampChannel(from.blue, i, blue), RampChannel(from.green, i, green),
                   RampChannel(from.red, i, red)};
    return ramp;
}

bool LoadThemePalette(ThemePalette& palette, int theme, Colour custom1, Colour custom2)
{
    std::array<Colour, 9> pairs{};
    if (theme >= FirstTheme && theme < CustomTheme) {
        pairs = FixedThemes[static_cast<std::size_t>(theme - FirstTheme)];
    } else if (theme == CustomTheme) {
        pairs = {LightenBy(custom2, 180), LightenBy(custom2, 50),  custom2 & 0xFFFFFF,
                 LightenBy(custom2, 80),  LightenBy(custom1, 180), LightenBy(custom1, 50),
                 custom1 & 0xFFFFFF,      LightenBy(custom1, 80),  custom1 & 0xFFFFFF};
    } else {
        return false;
    }
    for (std::size_t k = 0; k < 8; ++k)
        palette[2 * k] = palette[2 * k + 1] = pairs[k];
    palette[BorderEntry] = pairs[8];
    return true;
}

void GreyPalette(ThemePalette& palette)
{
    for (Colour& c : palette)
        c = GreyOfColour(c);
}

VertexChannels VertexOfColour(Colour c)
{
    auto channel = [](int byte) { return static_cast<std::uint16_t>(byte * 256); };
    return {channel(RedOfColour(c)), channel(GreenOfColour(c)), channel(BlueOfColour(c)), 0};
}

FourColourGradient::FourColourGradient(int width, int height, Colour topLeft, Colour topRight,
                                       Colour bottomLeft, Colour bottomRight)
    : width_(width), height_(height), stride_(0),
      left_(BuildColourRamp(height, TripleOfColour(topLeft), TripleOfColour(bottomLeft))),
      right_(BuildColourRamp(height, TripleOfColour(topRight), TripleOfColour(bottomRight)))
{
    if (width < 1)
        throw forms::RuntimeError(forms::kSubscriptOutOfRange);
    stride_ = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
}

void FourColourGradient::Row(int y, std::vector<std::uint8_t>& row) const
{
    const std::vector<BgrTriple> ramp =
        BuildColourRamp(width_, left_[static_cast<std::size_t>(y)], right_[static_cast<std::size_t>(y)]);
    row.assign(stride_, 0);
    for (std::size_t x = 0; x < static_cast<std::size_t>(width_); ++x) {
        row[3 * x] = ramp[x].blue;
        row[3 * x + 1] = ramp[x].green;
        row[3 * x + 2] = ramp[x].red;
    }
}

}  // namespace quill::small
