// The two matrices (no stacks: the piece loads and builds them afresh) and
// GLU's perspective and look-at.

#include "gl/gles/layer.h"
#include "gl/gles/matrix_math.h"
#include "gl/glu_subset.h"

namespace {

float* CurrentMatrix() {
  gles::FixedFunction& fixed = gles::layer.fixed;
  return fixed.matrixMode == GL_PROJECTION ? fixed.projection : fixed.modelview;
}

}  // namespace

extern "C" {

void glMatrixMode(GLenum mode) {
  if (gles::RefusedInsideBeginEnd("glMatrixMode")) return;
  // GL_TEXTURE too: the layer has no texture matrix.
  if (mode != GL_MODELVIEW && mode != GL_PROJECTION) {
    gles::Refuse(GL_INVALID_ENUM, "glMatrixMode", "mode", mode);
    return;
  }
  gles::layer.fixed.matrixMode = mode;
}

void glLoadIdentity(void) {
  if (gles::RefusedInsideBeginEnd("glLoadIdentity")) return;
  gles::SetIdentity(CurrentMatrix());
}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
  if (gles::RefusedInsideBeginEnd("gluPerspective")) return;
  gles::ApplyPerspective(CurrentMatrix(), fovy, aspect, zNear, zFar);
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,
               GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ) {
  if (gles::RefusedInsideBeginEnd("gluLookAt")) return;
  const double eye[3] = {eyeX, eyeY, eyeZ};
  const double centre[3] = {centerX, centerY, centerZ};
  const double up[3] = {upX, upY, upZ};
  gles::ApplyLookAt(CurrentMatrix(), eye, centre, up);
}

}  // extern "C"
