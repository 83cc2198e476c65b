#include "foundation/Random.h"

namespace app {

namespace {
uint32_t State = 1;
}

void SeedRandom(uint32_t seed) { State = seed; }

int32_t Random() {
  // A linear congruential step; the high bits of the state are the better ones.
  State = State * 214013u + 2531011u;
  return static_cast<int32_t>((State >> 16) & 0x7fffu);
}

} // namespace app
