#pragma once

#include "script/scene_clock.h"

// Clear, backdrop, camera and light, then the simulation step. Leaves the
// view matrix current, lighting on, texturing off, depth test and writes on.
void BeginSceneFrame(const SceneClock& clock);
