// Colour values as the small controls store them: red in the low byte,
// then green and blue (&HBBGGRR); the high byte is left to the caller.
#pragma once

#include <cstdint>

namespace quill::small {

using Colour = std::uint32_t;

constexpr Colour Rgb(int r, int g, int b)
{
    return static_cast<Colour>(r & 0xFF) | static_cast<Colour>(g & 0xFF) << 8 |
           static_cast<Colour>(b & 0xFF) << 16;
}

}  // namespace quill::small
