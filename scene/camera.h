#pragma once

#include "script/scene_clock.h"

// Eye distance from the vertical axis: 20 until 150 s, then diving toward 3.
float CameraDistanceAt(float sceneSeconds);
// Orbit angle in radians at elapsedMs (as a float).
float OrbitAngleAt(float elapsedMs);
// Vertical field of view in degrees for the eye distance d.
float FieldOfViewFor(float distance);

// Projection, orbiting view and the one directional light. Leaves matrix mode
// GL_MODELVIEW, texturing off, lighting and GL_LIGHT0 on, two-sided lighting.
void SetCameraAndLights(const SceneClock& clock);
