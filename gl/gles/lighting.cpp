// One light, GL_LIGHT0, with GL's default material; the lighting equation
// itself runs per vertex in the draw program.

#include <cmath>
#include <cstring>

#include "gl/gles/fixed_function.h"
#include "gl/gles/matrix_math.h"

extern "C" {

void glLightfv(GLenum light, GLenum pname, const GLfloat* params) {
  if (light != GL_LIGHT0) {
    ReportUnsupported("glLightfv light", light);
    return;
  }
  switch (pname) {
    case GL_AMBIENT:
      std::memcpy(fixedFunction.lightAmbient, params, 4 * sizeof(float));
      break;
    case GL_DIFFUSE:
      std::memcpy(fixedFunction.lightDiffuse, params, 4 * sizeof(float));
      break;
    case GL_SPECULAR:
      break;  // the default material's specular is black: it never shows
    case GL_POSITION: {
      // Fixed in eye space by the modelview of this moment, as GL does.
      if (params[3] != 0.0f) {
        ReportUnsupported("glLightfv GL_POSITION with w != 0", pname);
        return;
      }
      float eye[3];
      TransformDirection(fixedFunction.modelview, params, eye);
      const float length = std::sqrt(eye[0] * eye[0] + eye[1] * eye[1] + eye[2] * eye[2]);
      for (int i = 0; i < 3; ++i)
        fixedFunction.lightDirection[i] = length > 0.0f ? eye[i] / length : 0.0f;
      break;
    }
    default:
      ReportUnsupported("glLightfv parameter", pname);
  }
}

void glLightModeli(GLenum pname, GLint param) {
  if (pname != GL_LIGHT_MODEL_TWO_SIDE) {
    ReportUnsupported("glLightModeli parameter", pname);
    return;
  }
  fixedFunction.twoSided = param != 0;
}

}  // extern "C"
