// The platform's random-number generator: a 24-bit linear congruential
// generator whose sequence programs depend on (the same seed gives the same
// numbers, and a program that never reseeds gives the same numbers each run).
#pragma once

#include <cstdint>

namespace quill::forms {

class RandomGenerator {
public:
    // The next number, 0 <= r < 1. A negative argument first reseeds from the
    // bits of its single-precision value (so Next(-1) always gives the same
    // number); 0 repeats the last number without moving on.
    float Next(float argument = 1.0f);

    // Reseeds from a number: its double bits change the middle 16 bits of the
    // seed, the low byte stays.
    void Randomize(double number);
    // Reseeds from the clock: the single-precision seconds since midnight.
    void Randomize();

    std::uint32_t Seed() const { return seed_; }

private:
    std::uint32_t seed_ = 0x50000;
};

// The generator of the process, which the language's Rnd and Randomize use.
RandomGenerator& ProcessRandom();

}  // namespace quill::forms
