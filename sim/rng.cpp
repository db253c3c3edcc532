#include "sim/rng.h"

#include "sim/state_mix.h"

namespace {

constinit Rng15State generator{};

}  // namespace

namespace Rng15 {

int Next() {
  generator.state = generator.state * 214013u + 2531011u;
  return static_cast<int>((generator.state >> 16) & 0x7FFFu);
}

// 32767, not 32768: 1.0 itself can be drawn.
float NextUnit() { return static_cast<float>(Next()) / 32767.0f; }

uint32_t State() { return generator.state; }

void SetState(uint32_t state) { generator.state = state; }

}  // namespace Rng15

void ResetRng15State() { generator = Rng15State{}; }

void MixRng15State(uint64_t& hash) {
  // Binds every member by name: one added to Rng15State stops this compiling
  // until it is hashed too.
  const auto& [state] = generator;
  MixStateBytes(hash, &state, sizeof state);
}
