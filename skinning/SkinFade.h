// The push button's cross-fade: each tick of a 15 ms timer blends the image
// of the new state over what the button shows with a constant alpha that
// rises by 3; each blend lands on the one before, so the old look gives way
// to the new one until a tick raises the alpha past 255 and ends the fade.
#pragma once

#include <cstdint>

namespace quill::skinning {

constexpr unsigned FadeTimerId = 1;
constexpr unsigned FadeIntervalMs = 15;
constexpr int FadeAlphaStep = 3;

// The alphas the events start a fade from.
constexpr int EnterFadeAlpha = 0;
constexpr int LeaveHotAlpha = 140;  // the hot image blended at once when the cursor leaves
constexpr int ReleaseFadeAlpha = 60;

// One tick: the blend it makes and the alpha the next tick starts from. A
// tick whose raised alpha passes 255 ends the fade and leaves the alpha at 0.
struct FadeTick {
    int blendAlpha = 0;
    int nextAlpha = 0;
    bool ends = false;
};
FadeTick AdvanceFade(int alpha);

// Blends a fade started at `startAlpha` makes before it ends (86 from 0, 66
// from 60).
int FadeBlendCount(int startAlpha);

// One channel of a constant-alpha blend, source over destination, as the
// platform's AlphaBlend computes it without per-pixel alpha.
std::uint8_t BlendChannel(std::uint8_t source, std::uint8_t dest, int alpha);
// The same for a colour value (the high byte is ignored and comes back 0).
std::uint32_t BlendColour(std::uint32_t source, std::uint32_t dest, int alpha);

}  // namespace quill::skinning
