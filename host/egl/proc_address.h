#pragma once

#include <EGL/egl.h>

// Every GL or EGL entry point that is not taken from the link is looked up
// here, on the context that is current: null where it offers none. Shaped as
// gl/gles's GlesProcLoader.
inline void* ProcAddress(const char* name) {
  return reinterpret_cast<void*>(eglGetProcAddress(name));
}

// The same into a typed pointer; false where the entry point is missing.
template <typename Proc>
bool LoadProc(Proc& proc, const char* name) {
  proc = reinterpret_cast<Proc>(ProcAddress(name));
  return proc != nullptr;
}
