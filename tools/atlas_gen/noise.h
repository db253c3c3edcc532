#pragma once

#include <cstdint>

// Gradient noise on the plane, about -1..1, the same on every run for a given seed.
float GradientNoise(float x, float y, uint32_t seed);

// Sums of octaves of GradientNoise, each twice the frequency and half the weight of
// the one before, normalised back to about -1..1.
float Fbm(float x, float y, int octaves, uint32_t seed);

// Octaves of 1 - |noise|, squared, so that zero crossings turn into thin bright
// ridges; 0..1.
float RidgedFbm(float x, float y, int octaves, uint32_t seed);

