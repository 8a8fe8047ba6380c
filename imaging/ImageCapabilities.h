#pragma once
// What the image object may use of the system, decided from its version.
#include <cstdint>

namespace quill::imaging {

// Capability bits of an image: the system alpha blend, GDI+.
enum : uint32_t { CanAlphaBlend = 1, CanGdiplus = 2 };

// The system alpha blend is used on systems outside the Windows 9x family
// (platform identifier 1) from major version 5 on.
constexpr bool AlphaBlendUsable(uint32_t platformId, uint32_t majorVersion)
{
    return platformId != 1 && majorVersion >= 5;
}

}  // namespace quill::imaging
