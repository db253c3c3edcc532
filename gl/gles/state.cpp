// Capabilities: lighting, the light and texturing are the layer's own;
// blending and the depth test pass through, as do the calls below them.

#include "gl/gles/es2_api.h"
#include "gl/gles/fixed_function.h"

namespace {

void SetCapability(GLenum cap, bool on, const char* call) {
  switch (cap) {
    case GL_LIGHTING:
      fixedFunction.lighting = on;
      return;
    case GL_LIGHT0:
      fixedFunction.light0 = on;
      return;
    case GL_TEXTURE_2D:
      fixedFunction.texture2D = on;
      return;
    case GL_BLEND:
    case GL_DEPTH_TEST:
      if (es2Ready) (on ? es2.enable : es2.disable)(cap);
      return;
    default:
      ReportUnsupported(call, cap);
  }
}

}  // namespace

extern "C" {

void glEnable(GLenum cap) { SetCapability(cap, true, "glEnable capability"); }
void glDisable(GLenum cap) { SetCapability(cap, false, "glDisable capability"); }

void glDepthMask(GLboolean flag) {
  if (es2Ready) es2.depthMask(flag);
}

void glBlendFunc(GLenum sfactor, GLenum dfactor) {
  if (es2Ready) es2.blendFunc(sfactor, dfactor);
}

void glClear(GLbitfield mask) {
  if (es2Ready) es2.clear(mask);
}

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
  if (es2Ready) es2.clearColor(red, green, blue, alpha);
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  if (es2Ready) es2.viewport(x, y, width, height);
}

}  // extern "C"
