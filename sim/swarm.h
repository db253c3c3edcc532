#pragma once

#include <cstdint>

#include "sim/vec3.h"

inline constexpr int kAgentCount = 4000;

// Structure of arrays: agent i is entry i of each array.
struct SwarmState {
  Vec3 position[kAgentCount];
  Vec3 heading[kAgentCount];
  Vec3 up[kAgentCount];
  Vec3 target[kAgentCount];
};

// The one swarm of the run, static storage, all zero before SeedSwarm. Public
// because the drawing reads it every frame.
extern SwarmState swarm;

// Fills position, heading and up from the random source: 36000 draws.
void SeedSwarm();

// Back to all zeros; mixes the four arrays into a state hash.
void ResetSwarmState();
void MixSwarmState(uint64_t& hash);
