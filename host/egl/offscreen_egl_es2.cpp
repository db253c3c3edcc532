// host/offscreen.h with an OpenGL ES 2 context, the piece's GL 1.1 calls
// carried out on it by gl/gles.

#include "gl/gles/gles_layer.h"
#include "host/egl/offscreen_egl.h"
#include "host/offscreen.h"

Result OpenOffscreenSurface(int width, int height) {
  return OpenEglSurface(OffscreenContext::kEs2, {StartGlesLayer, StopGlesLayer}, width, height);
}
