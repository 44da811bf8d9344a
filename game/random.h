// The game's one random generator: a linear congruential generator,
// state = state * 214013 + 2531011 (mod 2^32), result = (state >> 16) & 0x7FFF.
// Seeded from the calendar time at start-up and at each game start.
#pragma once

#include <cstdint>

constexpr int kRandomMax = 0x7FFF;  // largest value Rand returns

extern uint32_t randomState;  // current state; saved and restored by replays

// Sets the generator's state.
void SeedRandom(uint32_t seed);
// One draw, 0..kRandomMax.
int Rand();
