// The fixed colours and text format of the skin's painters (colour values,
// red in the low byte).
#pragma once

#include <cstdint>

namespace quill::skinning {

constexpr std::uint32_t FrameColour = 0xD5A554;          // enabled controls, progress bar outline
constexpr std::uint32_t DisabledFrameColour = 0xE9CFA4;  // disabled controls and check boxes
constexpr std::uint32_t PressedCheckFrameColour = 0xC48639;
constexpr std::uint32_t ProgressColour = 0xF6D64C;
constexpr std::uint32_t DisabledCaptionColour = 0x968A79;
constexpr std::uint32_t CaptionColour = 0x000000;
constexpr std::uint32_t WhiteColour = 0xFFFFFF;

// DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS; ampersands mark
// access keys.
constexpr unsigned SkinTextFormat = 0x8025;

}  // namespace quill::skinning
