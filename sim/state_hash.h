#pragma once

#include <cstddef>
#include <cstdint>

// FNV-1a over every bit of simulation state, module by module: the swarm, the
// attractor field, the formations, the random source. Equal hashes mean the
// runs are bit-for-bit the same.
uint64_t HashSimulationState();

// Puts every module's state back to its program-start value, so that one
// process can run the piece more than once (tests and tools).
void ResetSimulation();

// Mixes size bytes into a running FNV-1a hash; each module mixes in its own
// state with it.
void MixStateBytes(uint64_t& hash, const void* data, size_t size);
