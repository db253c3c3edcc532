#pragma once

#include <cstdint>

#include "base/result.h"

// The GL subset (gl/gl_subset.h, gl/glu_subset.h) carried out on OpenGL ES 2 /
// WebGL 1, for platforms that have no desktop GL.

// Looks up one ES 2 entry point by name: eglGetProcAddress natively,
// emscripten_webgl_get_proc_address in the browser.
using GlesProcLoader = void* (*)(const char* name);

// Needs an ES 2 / WebGL 1 context current. Fails, saying what is lacking,
// when it lacks something. Puts the fixed-function state back to GL's defaults.
Result StartGlesLayer(GlesProcLoader load);
// For a started layer whose context was lost and replaced by a new one,
// current now and holding none of the layer's objects: makes them all again
// (the program, the vertex buffer, every texture under the name the scene
// holds, with its images, levels and parameters, the binding, and the state
// passed through to ES 2), so that the next frame draws as the lost context
// would have drawn it. Fails, saying why, when it cannot; the GL entry
// points then do nothing until a restore succeeds.
Result RestoreGlesLayer(GlesProcLoader load);
// Releases what the layer made in the context (still current) and forgets
// its state; the GL entry points do nothing until the next start.
void StopGlesLayer();

// What the layer has sent to ES 2 since it was started, so that a test can
// see how drawing is batched without reading pixels.
struct GlesLayerCounters {
  int64_t draws;     // glDrawArrays calls
  int64_t vertices;  // vertices in them
  int64_t orphans;   // times the vertex buffer was full and given fresh storage
};
GlesLayerCounters ReadGlesLayerCounters();
