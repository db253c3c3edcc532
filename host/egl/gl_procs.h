#pragma once

#include <EGL/egl.h>

// Entry points beyond OpenGL 1.1 are looked up through EGL on the offscreen
// surface; false when the context does not offer one.
template <typename Proc>
bool LoadGlProc(Proc& proc, const char* name) {
  proc = reinterpret_cast<Proc>(eglGetProcAddress(name));
  return proc != nullptr;
}
