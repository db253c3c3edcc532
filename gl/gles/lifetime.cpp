// Starting, restoring and stopping the layer: what it makes in a context,
// from its state.

#include <cstdio>

#include "gl/gles/gles_layer.h"
#include "gl/gles/layer.h"

namespace gles {

Layer layer;

namespace {

char missingMessage[128];

bool LoadEs2(GlesProcLoader load, const char** error) {
#define GLES_ES2_LOAD(result, name, parameters)                                              \
  layer.es2.name = reinterpret_cast<result(*) parameters>(load(#name));                      \
  if (layer.es2.name == nullptr) {                                                           \
    std::snprintf(missingMessage, sizeof missingMessage, "the GL context has no %s", #name); \
    *error = missingMessage;                                                                 \
    return false;                                                                            \
  }
  GLES_ES2_ENTRY_POINTS(GLES_ES2_LOAD)
#undef GLES_ES2_LOAD
  return true;
}

// Everything the layer makes in a context, from its state.
bool MakeEs2Objects(GlesProcLoader load, const char** error) {
  if (load == nullptr) {
    *error = "no loader for the GL entry points";
    return false;
  }
  if (!LoadEs2(load, error) || !CreateDrawResources(error)) {
    layer.es2 = Es2Api{};
    return false;
  }
  layer.es2.glGetIntegerv(kEs2MaxTextureSize, &layer.maxTextureSide);
  layer.ready = true;
  if (RestoreTextures(error)) {
    RestorePassedThrough();
    return true;
  }
  DeleteTextures();
  DeleteDrawResources();
  layer.ready = false;
  layer.es2 = Es2Api{};
  return false;
}

}  // namespace
}  // namespace gles

using gles::layer;

bool StartGlesLayer(GlesProcLoader load, const char** error) {
  const char* ignored = nullptr;
  if (error == nullptr) error = &ignored;
  if (layer.started) {
    *error = "the GLES layer is already started";
    return false;
  }
  layer.fixed = gles::FixedFunction{};
  layer.passed = gles::PassedThrough{};
  gles::ForgetTextures();
  layer.cornerCount = layer.batchCount = 0;
  layer.error = GL_NO_ERROR;
  layer.counters = {};
  layer.reportCount = 0;
  if (!gles::MakeEs2Objects(load, error)) return false;
  layer.started = true;
  return true;
}

bool RestoreGlesLayer(GlesProcLoader load, const char** error) {
  const char* ignored = nullptr;
  if (error == nullptr) error = &ignored;
  if (!layer.started) {
    *error = "the GLES layer is not started";
    return false;
  }
  // The lost context took its objects along: their names mean nothing now.
  layer.ready = false;
  for (gles::Texture& texture : layer.textures) texture.es2Name = 0;
  return gles::MakeEs2Objects(load, error);
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
