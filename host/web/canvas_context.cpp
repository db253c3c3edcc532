#include "host/web/canvas_context.h"

#include <emscripten/html5_webgl.h>

#include <cstdio>

#include "gl/gl_subset.h"
#include "gl/gles/gles_layer.h"
#include "host/web/page_hooks.h"
#include "scene/camera.h"

// The runtime's tables of WebGL objects emptied once no context is left
// (webgl_objects.js).
extern "C" void ForgetWebGLObjects();

namespace {

// What the layer has in the context: all it made; nothing, since the
// browser took the context away; or nothing usable, since rebuilding failed.
enum class Layer { kCurrent, kLost, kUnusable };

EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
Layer layer = Layer::kUnusable;
int viewportWidth = 0;
int viewportHeight = 0;

void DrawingBufferSize(int& width, int& height) {
  width = height = 0;
  emscripten_webgl_get_drawing_buffer_size(context, &width, &height);
}

// Heard from the browser rather than only seen between frames: a context can
// be lost and given back between two looks, and the layer's objects with it.
EM_BOOL OnContextLost(int, const void*, void*) {
  layer = Layer::kLost;
  return EM_TRUE;
}

void ListenForLoss(bool listen) {
  emscripten_set_webglcontextlost_callback("#canvas", nullptr, EM_FALSE,
                                           listen ? OnContextLost : nullptr);
}

}  // namespace

Result OpenCanvasContext(const PixelFormatRequest& format, bool keepPictures) {
  CloseCanvasContext();
  PageReplaceCanvas(kProjectionAspect);
  EmscriptenWebGLContextAttributes attributes;
  emscripten_webgl_init_context_attributes(&attributes);
  // An alpha channel in the canvas would let the page show through wherever the
  // scene leaves alpha below one; a native window never shows its alpha either.
  attributes.alpha = false;
  attributes.depth = format.depthBits > 0;
  attributes.stencil = format.stencilBits > 0;
  attributes.antialias = false;
  attributes.preserveDrawingBuffer = keepPictures;
  attributes.powerPreference = EM_WEBGL_POWER_PREFERENCE_HIGH_PERFORMANCE;
  attributes.majorVersion = 1;
  attributes.minorVersion = 0;
  context = emscripten_webgl_create_context("#canvas", &attributes);
  if (context <= 0) {
    context = 0;
    return Fail("this browser gives no WebGL context");
  }
  emscripten_webgl_make_context_current(context);
  if (Result started = StartGlesLayer(emscripten_webgl_get_proc_address); !started) {
    emscripten_webgl_make_context_current(0);
    emscripten_webgl_destroy_context(context);
    context = 0;
    return started;
  }
  layer = Layer::kCurrent;
  ListenForLoss(true);
  DrawingBufferSize(viewportWidth, viewportHeight);
  PageCanvasOpened();
  return {};
}

bool CanvasContextDrawable() {
  return context && layer == Layer::kCurrent && !emscripten_is_webgl_context_lost(context);
}

void FollowCanvasContext() {
  if (!context) return;
  if (emscripten_is_webgl_context_lost(context)) {
    layer = Layer::kLost;
    return;
  }
  if (layer == Layer::kUnusable) return;
  if (layer == Layer::kLost) {
    // Given back empty: the layer makes again all it held, the atlas and its
    // mipmaps under the name the scene holds included. Tried once per loss.
    emscripten_webgl_make_context_current(context);
    if (Result restored = RestoreGlesLayer(emscripten_webgl_get_proc_address); !restored) {
      std::fprintf(stderr, "quorvane: the graphics came back but cannot be used: %s\n",
                   restored.error.c_str());
      layer = Layer::kUnusable;
      return;
    }
    layer = Layer::kCurrent;
  }
  int width = 0;
  int height = 0;
  DrawingBufferSize(width, height);
  if (width == viewportWidth && height == viewportHeight) return;
  viewportWidth = width;
  viewportHeight = height;
  emscripten_webgl_make_context_current(context);
  glViewport(0, 0, width, height);
}

void MakeCanvasContextCurrent() {
  if (context) emscripten_webgl_make_context_current(context);
}

void CloseCanvasContext() {
  if (!context) return;
  ListenForLoss(false);
  StopGlesLayer();
  layer = Layer::kUnusable;
  // The runtime keeps the current context (and so its canvas) reachable.
  emscripten_webgl_make_context_current(0);
  emscripten_webgl_destroy_context(context);
  context = 0;
  ForgetWebGLObjects();
}
