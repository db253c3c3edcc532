#include "host/web/canvas_context.h"

#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>
#include <emscripten/html5_webgl.h>

#include "gl/gles/gles_layer.h"

namespace {

EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;

// The page owns the document: it replaces the canvas, sized in device pixels
// to the area it will cover, and loses the old one's context.
EM_JS(void, ReplacePageCanvas, (), { Module.replaceCanvas(); });

}  // namespace

bool OpenCanvasContext(const PixelFormatRequest& format, bool keepPictures, const char** error) {
  CloseCanvasContext();
  ReplacePageCanvas();
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
    emscripten_webgl_destroy_context(context);
    context = 0;
    return false;
  }
  return true;
}

void MakeCanvasContextCurrent() {
  if (context) emscripten_webgl_make_context_current(context);
}

void CloseCanvasContext() {
  if (!context) return;
  StopGlesLayer();
  emscripten_webgl_destroy_context(context);
  context = 0;
}
