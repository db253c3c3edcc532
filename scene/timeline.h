#pragma once

#include "scene/scene_clock.h"
#include "sim/field.h"
#include "sim/formations.h"

struct SceneModes {
  FieldMode fieldMode;
  FormationMode formationMode;
};

// The fixed mode schedule; every boundary is strict, so the row above still
// holds at exactly 61, 80, 130, 190, 210 and 217 s.
SceneModes SceneModesAt(float sceneSeconds);
// The scripted swell signal, -4..4; zero until 19 s, dying away after 200 s.
float SwellAt(float sceneSeconds);

// The frame's simulation step: modes and swell from the clock, then
// UpdateTargets, SteerSwarm, AdvanceSwarm. Needs no GL, so frames that are not
// drawn advance the swarm exactly as drawn ones do.
void StepSceneSimulation(const SceneClock& clock);

// Clear, backdrop, camera and light, then the simulation step. Leaves the
// view matrix current, lighting on, texturing off, depth test and writes on.
void BeginSceneFrame(const SceneClock& clock);
