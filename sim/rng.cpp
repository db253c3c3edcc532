#include "sim/rng.h"

namespace {

uint32_t rngState = 1;

}  // namespace

namespace Rng15 {

int Next() {
  rngState = rngState * 214013u + 2531011u;
  return static_cast<int>((rngState >> 16) & 0x7FFFu);
}

// 32767, not 32768: 1.0 itself can be drawn.
float NextUnit() { return static_cast<float>(Next()) / 32767.0f; }

uint32_t State() { return rngState; }

void SetState(uint32_t state) { rngState = state; }

}  // namespace Rng15
