#pragma once

#include <cstddef>
#include <cstdint>

// FNV-1a, the hash of the simulation state. Each module mixes its own state
// in with MixStateBytes; only the whole-state hash starts one.
inline constexpr uint64_t kFnvOffset = 1469598103934665603ull;
inline constexpr uint64_t kFnvPrime = 1099511628211ull;

// Mixes size bytes into a running hash.
inline void MixStateBytes(uint64_t& hash, const void* data, size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < size; ++i) {
    hash ^= bytes[i];
    hash *= kFnvPrime;
  }
}
