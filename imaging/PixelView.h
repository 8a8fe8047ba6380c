#pragma once
// A window onto 32-bit pixel memory laid out as the image object keeps it:
// rows of exactly `width` pixels, bottom-up (row 0 is the bottom row).
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace quill::imaging {

inline uint8_t Blue(uint32_t p)
{
    return static_cast<uint8_t>(p);
}
inline uint8_t Green(uint32_t p)
{
    return static_cast<uint8_t>(p >> 8);
}
inline uint8_t Red(uint32_t p)
{
    return static_cast<uint8_t>(p >> 16);
}
inline uint8_t AlphaOf(uint32_t p)
{
    return static_cast<uint8_t>(p >> 24);
}
inline uint32_t Bgra(uint32_t b, uint32_t g, uint32_t r, uint32_t a)
{
    return b | g << 8 | r << 16 | a << 24;
}

template <class Pixel>
struct BasicPixelView {
    Pixel* pixels = nullptr;
    int width = 0;
    int height = 0;

    BasicPixelView() = default;
    BasicPixelView(Pixel* p, int w, int h) : pixels(p), width(w), height(h) {}
    template <class Other>
    requires std::is_convertible_v<Other*, Pixel*> BasicPixelView(const BasicPixelView<Other>& o)
        : pixels(o.pixels), width(o.width), height(o.height)
    {
    }

    size_t Count() const { return static_cast<size_t>(width) * static_cast<size_t>(height); }
    // Row `y` counted from the bottom.
    Pixel* Row(int y) const { return pixels + static_cast<size_t>(y) * static_cast<size_t>(width); }
    // Row `y` counted from the top.
    Pixel* RowFromTop(int y) const { return Row(height - 1 - y); }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

using PixelView = BasicPixelView<uint32_t>;
using ConstPixelView = BasicPixelView<const uint32_t>;

}  // namespace quill::imaging
