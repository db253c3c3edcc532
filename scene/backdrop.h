#pragma once

#include "script/scene_clock.h"

// One textured screen-space rectangle cut from the atlas, its s coordinates
// wobbling with wobbleMs (0: no wobble). Touches neither blending nor
// lighting. Leaves both matrices at identity in GL_MODELVIEW mode, texturing
// off, depth writes on and the depth test on.
void DrawBackdropQuad(float left, float right, float bottom, float top, float texBottom,
                      float texTop, float alpha, float wobbleMs);

// Alpha of the closing fade at sceneSeconds; 0 means no fade is drawn.
float FadeAlphaAt(float sceneSeconds);
// Alpha of the title cards at sceneSeconds; 0 means no card is drawn.
float CardAlphaAt(float sceneSeconds);

// Blend function back to source-over, then the fade after 219 s and the two
// title cards after 221 s. Expects the spark pass's state: blending and
// texturing on, lighting and depth writes off. Leaves blending on, depth
// writes on, and the depth test off unless the cards were drawn.
void DrawClosingOverlays(const SceneClock& clock);
