// A random whole number from 1 to a limit.
#pragma once

#include <cstdint>

namespace quill::updater {

// A number from 1 to Rnds drawn from the process's generator, reseeded from
// the clock before each draw: a number in [0, 1) times Rnds, rounded halves
// to even, drawn again while it is 0. Rounding gives Rnds (and 0) half the
// share of each value between, so Rnds comes half as often as each of 1 to
// Rnds - 1. Rnds of 0 or less has no such number and gives 0.
std::int16_t GetRnd(std::int16_t Rnds);

}  // namespace quill::updater
