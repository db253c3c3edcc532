#include "host/web/canvas_context.h"

#include <GL/gl.h>
#include <emscripten/html5_webgl.h>

#include "host/gles/gles_layer.h"
#include "host/web/page_hooks.h"
#include "scene/camera.h"

namespace {

EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
int viewportWidth = 0;
int viewportHeight = 0;
// The layer's objects are gone with a lost context until they are rebuilt.
bool layerCurrent = false;

void DrawingBufferSize(int& width, int& height) {
  width = height = 0;
  emscripten_webgl_get_drawing_buffer_size(context, &width, &height);
}

}  // namespace

bool OpenCanvasContext(const PixelFormatRequest& format, bool keepPictures, const char** error) {
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
    *error = "this browser gives no WebGL context";
    return false;
  }
  emscripten_webgl_make_context_current(context);
  if (!StartGlesLayer(emscripten_webgl_get_proc_address, error)) {
    emscripten_webgl_make_context_current(0);
    emscripten_webgl_destroy_context(context);
    context = 0;
    return false;
  }
  layerCurrent = true;
  DrawingBufferSize(viewportWidth, viewportHeight);
  PageCanvasOpened();
  return true;
}

bool CanvasContextDrawable() {
  return context && layerCurrent && !emscripten_is_webgl_context_lost(context);
}

void FollowCanvasContext() {
  if (!context) return;
  if (emscripten_is_webgl_context_lost(context)) {
    layerCurrent = false;
    return;
  }
  // Given back after a loss: nothing the layer made exists in it; the frames
  // stay undrawn until the layer can rebuild them.
  if (!layerCurrent) return;
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
  StopGlesLayer();
  layerCurrent = false;
  // The runtime keeps the current context (and so its canvas) reachable.
  emscripten_webgl_make_context_current(0);
  emscripten_webgl_destroy_context(context);
  context = 0;
  ForgetWebGLObjects();
}
