// One light, GL_LIGHT0, with GL's default material; the lighting equation
// itself runs per vertex in the draw program.

#include <cmath>
#include <cstring>

#include "gl/gles/layer.h"
#include "gl/gles/matrix_math.h"

namespace {

constexpr GLenum kLightModelLocalViewer = 0x0B51;

}  // namespace

using gles::layer;

extern "C" {

void glLightfv(GLenum light, GLenum pname, const GLfloat* params) {
  if (gles::RefusedInsideBeginEnd("glLightfv")) return;
  // GL_LIGHT1 and on exist in GL but not in the layer.
  if (light != GL_LIGHT0) {
    gles::Refuse(GL_INVALID_ENUM, "glLightfv", "light", light);
    return;
  }
  gles::FixedFunction& fixed = layer.fixed;
  switch (pname) {
    case GL_AMBIENT:
      std::memcpy(fixed.lightAmbient, params, 4 * sizeof(float));
      return;
    case GL_DIFFUSE:
      std::memcpy(fixed.lightDiffuse, params, 4 * sizeof(float));
      return;
    case GL_SPECULAR:
      return;  // the default material's specular is black: it never shows
    case GL_POSITION: {
      // A positional light (w != 0) is GL's, not the layer's.
      if (params[3] != 0.0f) {
        gles::RefuseCall(GL_INVALID_VALUE, "glLightfv", "GL_POSITION with w other than 0");
        return;
      }
      // Fixed in eye space by the modelview of this moment, as GL does.
      float eye[3];
      gles::TransformDirection(fixed.modelview, params, eye);
      const float length = std::sqrt(eye[0] * eye[0] + eye[1] * eye[1] + eye[2] * eye[2]);
      for (int i = 0; i < 3; ++i) fixed.lightDirection[i] = length > 0.0f ? eye[i] / length : 0.0f;
      return;
    }
    default:
      // Spot and attenuation parameters too: the layer has neither.
      gles::Refuse(GL_INVALID_ENUM, "glLightfv", "pname", pname);
  }
}

void glLightModeli(GLenum pname, GLint param) {
  if (gles::RefusedInsideBeginEnd("glLightModeli")) return;
  switch (pname) {
    case GL_LIGHT_MODEL_TWO_SIDE:
      layer.fixed.twoSided = param != 0;
      return;
    case kLightModelLocalViewer:
      return;  // it moves specular highlights only, and the material has none
    default:
      // GL_LIGHT_MODEL_AMBIENT too, which takes four values.
      gles::Refuse(GL_INVALID_ENUM, "glLightModeli", "pname", pname);
  }
}

}  // extern "C"
