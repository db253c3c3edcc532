// The two matrices (no stacks: the piece loads and builds them afresh) and
// GLU's perspective and look-at.

#include "gl/gles/fixed_function.h"
#include "gl/gles/matrix_math.h"
#include "gl/glu_subset.h"

namespace {

float* CurrentMatrix() {
  return fixedFunction.matrixMode == GL_PROJECTION ? fixedFunction.projection
                                                   : fixedFunction.modelview;
}

}  // namespace

extern "C" {

void glMatrixMode(GLenum mode) {
  if (mode != GL_MODELVIEW && mode != GL_PROJECTION) {
    ReportUnsupported("glMatrixMode mode", mode);
    return;
  }
  fixedFunction.matrixMode = mode;
}

void glLoadIdentity(void) { SetIdentity(CurrentMatrix()); }

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
  ApplyPerspective(CurrentMatrix(), fovy, aspect, zNear, zFar);
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,
               GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ) {
  const double eye[3] = {eyeX, eyeY, eyeZ};
  const double centre[3] = {centerX, centerY, centerZ};
  const double up[3] = {upX, upY, upZ};
  ApplyLookAt(CurrentMatrix(), eye, centre, up);
}

}  // extern "C"
