// The game's linear congruential random generator.
#include "game/random.h"

namespace {

constexpr uint32_t kRandomMultiplier = 214013;
constexpr uint32_t kRandomIncrement = 2531011;

}  // namespace

uint32_t randomState = 1;  // the generator's state before any seeding

void SeedRandom(uint32_t seed) { randomState = seed; }

int Rand() {
  randomState = randomState * kRandomMultiplier + kRandomIncrement;  // modulo 2^32
  return static_cast<int>((randomState >> 16) & kRandomMax);
}
