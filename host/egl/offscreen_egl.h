#pragma once

// The offscreen surface of host/offscreen.h on either kind of EGL context;
// each library that offers host/offscreen.h opens it with its own.

#include "base/result.h"

enum class OffscreenContext {
  kDesktopCompatibility,  // desktop OpenGL, compatibility profile
  kEs2,                   // OpenGL ES 2
};

// What carries the piece's GL 1.1 calls on a context that lacks them: started
// once the context is current, with the loader of its entry points, and
// stopped at close while the context is still current. Empty where none.
struct OffscreenLayer {
  Result (*start)(void* (*load)(const char* name));
  void (*stop)();
};

// OpenOffscreenSurface on the given context, with the given layer over it.
Result OpenEglSurface(OffscreenContext kind, OffscreenLayer layer, int width, int height);
