#pragma once

#include <cstdint>

// The piece's one random source: a 32-bit linear congruential generator with
// seed 1. The number and order of its draws is behaviour.
struct Rng15State {
  uint32_t state = 1;  // the seed
};

namespace Rng15 {

// The next value, 0..32767.
int Next();
// Next() / 32767, so both 0 and 1 can be drawn.
float NextUnit();

// The raw generator state, for state reports and tests.
uint32_t State();
void SetState(uint32_t state);

}  // namespace Rng15

// Back to the seed; mixes the generator state into a state hash.
void ResetRng15State();
void MixRng15State(uint64_t& hash);
