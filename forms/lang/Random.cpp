#include "forms/lang/Random.h"

#include "forms/lang/Clock.h"

#include <cstring>

namespace quill::forms {
namespace {

constexpr std::uint32_t kMultiplier = 0x43FD43FD;
constexpr std::uint32_t kIncrement = 0xC39EC3;
constexpr std::uint32_t kMask = 0xFFFFFF;
constexpr float kScale = 16777216.0f;

std::uint32_t BitsOf(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

std::uint32_t HighBitsOf(double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return static_cast<std::uint32_t>(bits >> 32);
}

// The middle 16 bits that a reseed puts into the seed.
std::uint32_t Mix(std::uint32_t bits)
{
    return (((bits & 0xFFFF) ^ (bits >> 16)) << 8) & 0x00FFFF00;
}

}  // namespace

float RandomGenerator::Next(float argument)
{
    if (argument < 0) {
        const std::uint32_t bits = BitsOf(argument);
        seed_ = (bits + (bits >> 24)) & kMask;
    }
    if (argument != 0)
        seed_ = (seed_ * kMultiplier + kIncrement) & kMask;
    return static_cast<float>(seed_) / kScale;
}

void RandomGenerator::Randomize(double number)
{
    seed_ = (seed_ & 0xFF) | Mix(HighBitsOf(number));
}

void RandomGenerator::Randomize()
{
    seed_ = (seed_ & 0xFF) | Mix(BitsOf(Timer()));
}

RandomGenerator& ProcessRandom()
{
    static RandomGenerator generator;
    return generator;
}

}  // namespace quill::forms
