#pragma once

#include <cstdint>

// The whole simulation at once, above its modules: the swarm, the attractor
// field, the formations, the random source.

// FNV-1a over every bit of simulation state, module by module. Equal hashes
// mean the runs are bit-for-bit the same.
uint64_t HashSimulationState();

// Puts every module's state back to its program-start value, so that one
// process can run the piece more than once (tests and tools).
void ResetSimulation();
