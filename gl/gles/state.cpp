// Capabilities: lighting, the light and texturing are the layer's own;
// blending and the depth test pass through to ES 2, as do the calls below
// them, each kept to give a new context.

#include <algorithm>

#include "gl/gles/layer.h"

namespace {

constexpr GLenum kZero = 0;
constexpr GLenum kSrcColour = 0x0300;
constexpr GLenum kOneMinusSrcColour = 0x0301;
constexpr GLenum kDstColour = 0x0306;
constexpr GLenum kOneMinusDstColour = 0x0307;
constexpr GLenum kSrcAlphaSaturate = 0x0308;
constexpr GLbitfield kAccumBufferBit = 0x00000200;
constexpr GLbitfield kStencilBufferBit = 0x00000400;

// GL 1.1's factors: a side's own colour is not one of its factors, and
// GL_SRC_ALPHA_SATURATE is a source factor only. (ES 2 takes more.)
bool IsBlendFactor(GLenum factor, bool source) {
  if (factor == kZero || factor == GL_ONE) return true;
  if (factor == kSrcColour || factor == kOneMinusSrcColour) return !source;
  if (factor == kDstColour || factor == kOneMinusDstColour || factor == kSrcAlphaSaturate)
    return source;
  return factor > kOneMinusSrcColour && factor < kDstColour;  // the four alpha factors
}

void SetCapability(GLenum cap, bool on, const char* call) {
  if (gles::RefusedInsideBeginEnd(call)) return;
  gles::Layer& layer = gles::layer;
  switch (cap) {
    case GL_LIGHTING:
      layer.fixed.lighting = on;
      return;
    case GL_LIGHT0:
      layer.fixed.light0 = on;
      return;
    case GL_TEXTURE_2D:
      layer.fixed.texture2D = on;
      return;
    case GL_BLEND:
      layer.passed.blend = on;
      break;
    case GL_DEPTH_TEST:
      layer.passed.depthTest = on;
      break;
    default:
      gles::Refuse(GL_INVALID_ENUM, call, "cap", cap);
      return;
  }
  if (layer.ready) (on ? layer.es2.glEnable : layer.es2.glDisable)(cap);
}

}  // namespace

namespace gles {

void RestorePassedThrough() {
  const Es2Api& es2 = layer.es2;
  const PassedThrough& passed = layer.passed;
  (passed.blend ? es2.glEnable : es2.glDisable)(GL_BLEND);
  (passed.depthTest ? es2.glEnable : es2.glDisable)(GL_DEPTH_TEST);
  es2.glBlendFunc(passed.blendSource, passed.blendDestination);
  es2.glDepthMask(passed.depthMask);
  es2.glClearColor(passed.clearColour[0], passed.clearColour[1], passed.clearColour[2],
                   passed.clearColour[3]);
  if (passed.viewportSet) {
    es2.glViewport(passed.viewport[0], passed.viewport[1], passed.viewport[2], passed.viewport[3]);
  }
}

}  // namespace gles

using gles::layer;

extern "C" {

void glEnable(GLenum cap) { SetCapability(cap, true, "glEnable"); }
void glDisable(GLenum cap) { SetCapability(cap, false, "glDisable"); }

void glDepthMask(GLboolean flag) {
  if (gles::RefusedInsideBeginEnd("glDepthMask")) return;
  layer.passed.depthMask = flag != GL_FALSE;
  if (layer.ready) layer.es2.glDepthMask(flag);
}

void glBlendFunc(GLenum sfactor, GLenum dfactor) {
  if (gles::RefusedInsideBeginEnd("glBlendFunc")) return;
  if (!IsBlendFactor(sfactor, true)) {
    gles::Refuse(GL_INVALID_ENUM, "glBlendFunc", "sfactor", sfactor);
    return;
  }
  if (!IsBlendFactor(dfactor, false)) {
    gles::Refuse(GL_INVALID_ENUM, "glBlendFunc", "dfactor", dfactor);
    return;
  }
  layer.passed.blendSource = sfactor;
  layer.passed.blendDestination = dfactor;
  if (layer.ready) layer.es2.glBlendFunc(sfactor, dfactor);
}

void glClear(GLbitfield mask) {
  if (gles::RefusedInsideBeginEnd("glClear")) return;
  if (mask & ~(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | kStencilBufferBit | kAccumBufferBit)) {
    gles::Refuse(GL_INVALID_VALUE, "glClear", "mask", mask);
    return;
  }
  // There is no accumulation buffer to clear, and ES 2 would refuse the bit.
  if (layer.ready) layer.es2.glClear(mask & ~kAccumBufferBit);
}

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
  if (gles::RefusedInsideBeginEnd("glClearColor")) return;
  const float colour[4] = {red, green, blue, alpha};
  for (int i = 0; i < 4; ++i) layer.passed.clearColour[i] = std::clamp(colour[i], 0.0f, 1.0f);
  if (layer.ready) layer.es2.glClearColor(red, green, blue, alpha);
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  if (gles::RefusedInsideBeginEnd("glViewport")) return;
  if (width < 0 || height < 0) {
    gles::Refuse(GL_INVALID_VALUE, "glViewport", width < 0 ? "width" : "height",
                 static_cast<unsigned>(width < 0 ? width : height));
    return;
  }
  layer.passed.viewportSet = true;
  const GLint viewport[4] = {x, y, width, height};
  std::copy(viewport, viewport + 4, layer.passed.viewport);
  if (layer.ready) layer.es2.glViewport(x, y, width, height);
}

}  // extern "C"
