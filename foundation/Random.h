// The program's one pseudo-random generator: uniform integers 0 to 32767.
//
// Every random decision of the engine and the tools draws from it, so that a stroke replays
// identically from the same seed in tests, benchmarks and both builds (the generator does not
// depend on the run-time library's rand).
#pragma once

#include <cstdint>

namespace app {

enum { RandomMax = 32767 };

// Sets the sequence; the generator starts as if seeded with 1.
void SeedRandom(uint32_t seed);
// The next value of the sequence, 0 to RandomMax.
int32_t Random();

} // namespace app
