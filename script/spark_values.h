#pragma once

#include <cstdint>

// What the swarm passes draw, worked out without GL: how many agents, the
// sparks' alpha and colours, and the spark pass's draws from the random source.

// How many agents each pass draws at elapsedMs: the swarm builds up over time.
int SolidCountAt(int32_t elapsedMs);
int SparkCountAt(int32_t elapsedMs);

// The alpha shared by every spark of the frame: brightness ramp times pulse.
float SparkAlphaAt(float sceneSeconds);
// Spark colour of agent i, with its fixed jitter, before GL's clamping.
void SparkColour(int agent, float sceneSeconds, float rgb[3]);
// Draws one spark's six texture values from the random source and returns
// them as (s, t) pairs for the tip and the two rear corners.
void NextSparkTexCoords(float st[6]);
// The spark pass's random draws without drawing: keeps the random source
// where a drawn frame at elapsedMs would leave it.
void SkipSparkDraws(int32_t elapsedMs);
