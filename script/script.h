#pragma once

#include <cstdint>
#include <iterator>

#include "base/piece_facts.h"
#include "script/scene_clock.h"
#include "sim/field.h"
#include "sim/formations.h"
#include "sim/swarm.h"

// The script of the piece: what happens when. The picture and the soundtrack
// generator both read it, so a time moved here moves in both.

// The swarm appears: one more spark every 2 ms from 3.3 s, one more solid
// triangle every 8 ms from 11.3 s, the whole swarm of both by 43.3 s.
inline constexpr int32_t kSparkStartMs = 3300;
inline constexpr int32_t kSparkMsPerAgent = 2;
inline constexpr int32_t kSolidStartMs = 11300;
inline constexpr int32_t kSolidMsPerAgent = 8;
inline constexpr int32_t kSwarmCompleteMs = kSolidStartMs + kSolidMsPerAgent * kAgentCount;

// The swell is zero up to its start and dies away after its decay begins.
inline constexpr float kSwellStartSeconds = 19.0f;
inline constexpr float kSwellDecaySeconds = 200.0f;
// The fade to black takes 2 s; the title cards start as it is complete.
inline constexpr float kFadeStartSeconds = 219.0f;
inline constexpr float kCardsStartSeconds = 221.0f;
inline constexpr float kSceneEndSeconds = kPieceSeconds;

struct SceneModes {
  FieldMode fieldMode;
  FormationMode formationMode;
};

// One row of the mode schedule: its modes hold after startSeconds (strictly)
// up to and including the next row's start. The first row also holds before
// its start.
struct ModeRow {
  float startSeconds;
  SceneModes modes;
};

inline constexpr ModeRow kModeSchedule[] = {
    {0.0f, {1, 0}},   {61.0f, {2, 0}},  {80.0f, {0, 1}},  {130.0f, {2, 0}},
    {190.0f, {0, 1}}, {210.0f, {2, 1}}, {217.0f, {1, 0}},
};
inline constexpr int kModeRowCount = static_cast<int>(std::size(kModeSchedule));

// The modes of the schedule's row in force at sceneSeconds.
SceneModes SceneModesAt(float sceneSeconds);
// The scripted swell signal, -4..4.
float SwellAt(float sceneSeconds);

// The frame's simulation step: modes and swell from the clock, then
// StepSimulation. Needs no GL, so frames that are not drawn advance the swarm
// exactly as drawn ones do.
void StepSceneSimulation(const SceneClock& clock);
