#include "host/egl/surfaceless_display.h"

#include <EGL/eglext.h>

#include <cstring>

#include "host/egl/proc_address.h"

EGLDisplay SurfacelessDisplay() {
  const char* extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  if (extensions == nullptr || std::strstr(extensions, "EGL_MESA_platform_surfaceless") == nullptr)
    return EGL_NO_DISPLAY;
  PFNEGLGETPLATFORMDISPLAYEXTPROC getPlatformDisplay = nullptr;
  if (!LoadProc(getPlatformDisplay, "eglGetPlatformDisplayEXT")) return EGL_NO_DISPLAY;
  return getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}
