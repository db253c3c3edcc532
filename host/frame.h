#pragma once

#include "script/scene_clock.h"

// One frame of the piece, the same for the real-time loop and the capture
// tool: BeginSceneFrame, DrawSwarm, DrawClosingOverlays, then depth test on
// and blending off. Needs a current GL context with the atlas bound.
void RunSceneFrame(const SceneClock& clock);
