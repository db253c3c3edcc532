#include "sim/rng.h"

#include "sim/state_hash.h"

namespace {

struct GeneratorState {
  uint32_t state = 1;  // the seed
};

constinit GeneratorState generator{};

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

void Reset() { generator = GeneratorState{}; }

void MixState(uint64_t& hash) {
  // Binds every member by name: one added to GeneratorState stops this
  // compiling until it is hashed too.
  const auto& [state] = generator;
  MixStateBytes(hash, &state, sizeof state);
}

}  // namespace Rng15
