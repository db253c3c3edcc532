// host/offscreen.h with a desktop OpenGL compatibility-profile context, the
// piece's GL 1.1 calls going from the link straight to the driver.

#include "host/egl/offscreen_egl.h"
#include "host/offscreen.h"

Result OpenOffscreenSurface(int width, int height) {
  return OpenEglSurface(OffscreenContext::kDesktopCompatibility, {}, width, height);
}
