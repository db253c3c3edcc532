#pragma once

#include <cstdint>

// A well-mixed 32 bits from 32, integer arithmetic only, so the same on every
// machine: the generators' seeded choices (the atlas's noise and scattered
// points, the score's looseness) come from it.
inline uint32_t HashU32(uint32_t value) {
  value ^= value >> 16;
  value *= 0x7feb352du;
  value ^= value >> 15;
  value *= 0x846ca68bu;
  value ^= value >> 16;
  return value;
}
