#pragma once

// The piece's OpenGL 1.1 fixed-function subset (gl/gles/include) carried
// out on OpenGL ES 2 / WebGL 1, for hosts that have no desktop GL.

// Looks up one ES 2 entry point by name: eglGetProcAddress natively,
// emscripten_webgl_get_proc_address in the browser.
using GlesProcLoader = void* (*)(const char* name);

// Needs an ES 2 / WebGL 1 context current. False with `error` set when it
// lacks something. Puts the fixed-function state back to GL's defaults.
bool StartGlesLayer(GlesProcLoader load, const char** error);
// Releases what the layer made in the context (still current); the GL entry
// points do nothing until the next start.
void StopGlesLayer();
