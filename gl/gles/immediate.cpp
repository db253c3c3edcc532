// glBegin/glEnd with current-attribute semantics: each vertex takes the
// colour, normal and texture coordinate current at its glVertex3f.

#include <cstring>

#include "gl/gles/draw.h"
#include "gl/gles/fixed_function.h"

namespace {

// The corners of the primitive in progress.
BatchVertex corners[4];
int cornerCount = 0;
// Whole triangles, drawn at glEnd.
BatchVertex batch[kBatchCapacity];
int batchCount = 0;

void AppendTriangle(int a, int b, int c) {
  // A batch larger than the buffer goes out in several draws.
  if (batchCount + 3 > kBatchCapacity) {
    DrawTriangles(batch, batchCount);
    batchCount = 0;
  }
  batch[batchCount++] = corners[a];
  batch[batchCount++] = corners[b];
  batch[batchCount++] = corners[c];
}

}  // namespace

extern "C" {

void glBegin(GLenum mode) {
  if (fixedFunction.primitive != kNoPrimitive) return;  // GL: an error, and the call is ignored
  if (mode != GL_TRIANGLES && mode != GL_QUADS) {
    ReportUnsupported("glBegin mode", mode);
    return;
  }
  fixedFunction.primitive = mode;
  cornerCount = 0;
  batchCount = 0;
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
  if (fixedFunction.primitive == kNoPrimitive) return;
  BatchVertex& v = corners[cornerCount++];
  v.position[0] = x;
  v.position[1] = y;
  v.position[2] = z;
  std::memcpy(v.colour, fixedFunction.colour, sizeof v.colour);
  std::memcpy(v.normal, fixedFunction.normal, sizeof v.normal);
  std::memcpy(v.texCoord, fixedFunction.texCoord, sizeof v.texCoord);

  if (fixedFunction.primitive == GL_TRIANGLES && cornerCount == 3) {
    AppendTriangle(0, 1, 2);
    cornerCount = 0;
  } else if (cornerCount == 4) {
    // Split along the diagonal from the first corner to the third, as Mesa
    // does: the backdrop's corners wobble independently, so the other
    // diagonal would interpolate its texture coordinates differently.
    AppendTriangle(0, 1, 2);
    AppendTriangle(0, 2, 3);
    cornerCount = 0;
  }
}

void glEnd(void) {
  if (fixedFunction.primitive == kNoPrimitive) return;
  // The corners of an unfinished primitive are dropped, as GL drops them.
  if (batchCount > 0) DrawTriangles(batch, batchCount);
  fixedFunction.primitive = kNoPrimitive;
  cornerCount = 0;
  batchCount = 0;
}

void glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
  fixedFunction.colour[0] = red;
  fixedFunction.colour[1] = green;
  fixedFunction.colour[2] = blue;
  fixedFunction.colour[3] = alpha;
}

void glNormal3fv(const GLfloat* v) { std::memcpy(fixedFunction.normal, v, 3 * sizeof(float)); }

void glTexCoord2f(GLfloat s, GLfloat t) {
  fixedFunction.texCoord[0] = s;
  fixedFunction.texCoord[1] = t;
}

}  // extern "C"
