#pragma once

#include "script/scene_clock.h"

// A frame of the piece without a GL context: the simulation step and the
// spark pass's draws from the random source, so later frames are exactly
// what they would be had this one been drawn.
void RunSceneFrameUndrawn(const SceneClock& clock);
