// Starting, restoring and stopping the layer: what it makes in a context,
// from its state.

#include <string>

#include "gl/gles/gles_layer.h"
#include "gl/gles/layer.h"

namespace gles {

Layer layer;

namespace {

Result LoadEs2(GlesProcLoader load) {
#define GLES_ES2_LOAD(result, name, parameters)                         \
  layer.es2.name = reinterpret_cast<result(*) parameters>(load(#name)); \
  if (layer.es2.name == nullptr) return Fail(std::string("the GL context has no ") + #name);
  GLES_ES2_ENTRY_POINTS(GLES_ES2_LOAD)
#undef GLES_ES2_LOAD
  return {};
}

// Everything the layer makes in a context, from its state.
Result MakeEs2Objects(GlesProcLoader load) {
  if (load == nullptr) return Fail("no loader for the GL entry points");
  Result made = LoadEs2(load);
  if (made) made = CreateDrawResources();
  if (!made) {
    layer.es2 = Es2Api{};
    return made;
  }
  layer.es2.glGetIntegerv(kEs2MaxTextureSize, &layer.maxTextureSide);
  layer.ready = true;
  Result restored = RestoreTextures();
  if (restored) {
    RestorePassedThrough();
    return restored;
  }
  DeleteTextures();
  DeleteDrawResources();
  layer.ready = false;
  layer.es2 = Es2Api{};
  return restored;
}

}  // namespace
}  // namespace gles

using gles::layer;

Result StartGlesLayer(GlesProcLoader load) {
  if (layer.started) return Fail("the GLES layer is already started");
  layer.fixed = gles::FixedFunction{};
  layer.passed = gles::PassedThrough{};
  gles::ForgetTextures();
  layer.cornerCount = layer.batchCount = 0;
  layer.error = GL_NO_ERROR;
  layer.counters = {};
  layer.reportCount = 0;
  Result made = gles::MakeEs2Objects(load);
  if (made) layer.started = true;
  return made;
}

Result RestoreGlesLayer(GlesProcLoader load) {
  if (!layer.started) return Fail("the GLES layer is not started");
  // The lost context took its objects along: their names mean nothing now.
  layer.ready = false;
  for (gles::Texture& texture : layer.textures) texture.es2Name = 0;
  return gles::MakeEs2Objects(load);
}

void StopGlesLayer() {
  if (layer.ready) {
    gles::DeleteTextures();
    gles::DeleteDrawResources();
  }
  gles::ForgetTextures();
  layer.ready = layer.started = false;
  layer.es2 = gles::Es2Api{};
}

GlesLayerCounters ReadGlesLayerCounters() { return layer.counters; }
