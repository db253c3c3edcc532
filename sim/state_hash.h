#pragma once

#include <cstdint>

// FNV-1a over every bit of simulation state: the swarm arrays, the attractors
// and their table, the formation clock, history and leader table, and the
// random source. Equal hashes mean the runs are bit-for-bit the same.
uint64_t HashSimulationState();

// Puts every piece of simulation state back to its program-start value, so
// that one process can run the piece more than once (tests and tools).
void ResetSimulation();
