#pragma once

#include <EGL/egl.h>

// Mesa's surfaceless platform: EGL without a window system, or EGL_NO_DISPLAY
// where it is missing.
EGLDisplay SurfacelessDisplay();
