// GL's error flag: the first error is kept until glGetError reads it, and
// ES 2's own errors come after the layer's.

#include <cstdio>

#include "gl/gles/layer.h"
#include "gl/glu_subset.h"

namespace gles {

namespace {

const char* ErrorName(GLenum error) {
  switch (error) {
    case GL_INVALID_ENUM:
      return "GL_INVALID_ENUM";
    case GL_INVALID_VALUE:
      return "GL_INVALID_VALUE";
    case GL_INVALID_OPERATION:
      return "GL_INVALID_OPERATION";
    case GL_OUT_OF_MEMORY:
      return "GL_OUT_OF_MEMORY";
    case GLU_INVALID_ENUM:
      return "GLU_INVALID_ENUM";
    case GLU_INVALID_VALUE:
      return "GLU_INVALID_VALUE";
    case GLU_OUT_OF_MEMORY:
      return "GLU_OUT_OF_MEMORY";
    default:
      return "an error";
  }
}

// On stderr once for each call, detail and value, and at most kMaxReports
// times in all: GL itself says nothing, but whoever meets a refusal of the
// layer's wants to know which argument it was.
void SayOnce(GLenum error, const char* call, const char* detail, unsigned value, bool hasValue) {
  for (int i = 0; i < layer.reportCount; ++i) {
    const Report& seen = layer.reports[i];
    if (seen.call == call && seen.detail == detail && seen.value == value) return;
  }
  if (layer.reportCount == kMaxReports) return;
  layer.reports[layer.reportCount++] = {call, detail, value};
  if (hasValue)
    std::fprintf(stderr, "quorvane gles layer: %s %s 0x%04X refused: %s\n", call, detail, value,
                 ErrorName(error));
  else
    std::fprintf(stderr, "quorvane gles layer: %s %s: %s\n", call, detail, ErrorName(error));
}

// GLU's codes are returned by the call itself; only GL's are kept.
void RecordGlError(GLenum error) {
  if (error != GLU_INVALID_ENUM && error != GLU_INVALID_VALUE && error != GLU_OUT_OF_MEMORY)
    RecordError(error);
}

}  // namespace

void RecordError(GLenum error) {
  if (layer.error == GL_NO_ERROR) layer.error = error;
}

void Refuse(GLenum error, const char* call, const char* argument, unsigned value) {
  RecordGlError(error);
  SayOnce(error, call, argument, value, true);
}

void RefuseCall(GLenum error, const char* call, const char* why) {
  RecordGlError(error);
  SayOnce(error, call, why, 0, false);
}

bool RefusedInsideBeginEnd(const char* call) {
  if (layer.fixed.primitive == kNoPrimitive) return false;
  RefuseCall(GL_INVALID_OPERATION, call, "between glBegin and glEnd");
  return true;
}

void TakeEs2Error() {
  if (!layer.ready) return;
  const GLenum error = layer.es2.glGetError();
  if (error != GL_NO_ERROR) RecordError(error);
}

}  // namespace gles

using gles::layer;

extern "C" {

GLenum glGetError(void) {
  if (gles::RefusedInsideBeginEnd("glGetError")) return GL_NO_ERROR;
  const GLenum error = layer.error;
  layer.error = GL_NO_ERROR;
  if (error != GL_NO_ERROR || !layer.ready) return error;
  return layer.es2.glGetError();
}

}  // extern "C"
