#pragma once

#include "tools/music_gen/synth.h"

// The drums, cymbals and the sounds of the turns; velocity is 0..1.

// Tuned to D: a fast fall from about 230 Hz onto 73 Hz, short enough to
// leave the next beat clear, with a beater's click.
void RenderKick(Target& out, double start, float velocity);
void RenderSnare(Target& out, double start, float velocity, uint32_t seed);
void RenderClap(Target& out, double start, float velocity, uint32_t seed);
// Six square waves at a metal's inharmonic ratios with noise, high-passed.
void RenderHat(Target& out, double start, float velocity, float decaySeconds, uint32_t seed);
void RenderCrash(Target& out, double start, float velocity, uint32_t seed);
void RenderTom(Target& out, double start, float midi, float velocity);
// Noise rising in pitch and level over `length`, cut at its end.
void RenderRiser(Target& out, double start, double length, float velocity, uint32_t seed);
// A deep falling thud with a dark burst, for the biggest turns.
void RenderImpact(Target& out, double start, float midi, float velocity, uint32_t seed);
