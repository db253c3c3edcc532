// glBegin/glEnd with current-attribute semantics: each vertex takes the
// colour, normal and texture coordinate current at its glVertex3f.

#include <cstring>

#include "gl/gles/layer.h"

namespace gles {

namespace {

void AppendTriangle(int a, int b, int c) {
  // A batch larger than the array goes out in several draws.
  if (layer.batchCount + 3 > kBatchCapacity) {
    DrawTriangles(layer.batch, layer.batchCount);
    layer.batchCount = 0;
  }
  layer.batch[layer.batchCount++] = layer.corners[a];
  layer.batch[layer.batchCount++] = layer.corners[b];
  layer.batch[layer.batchCount++] = layer.corners[c];
}

}  // namespace

}  // namespace gles

using gles::layer;

extern "C" {

void glBegin(GLenum mode) {
  if (gles::RefusedInsideBeginEnd("glBegin")) return;
  if (mode != GL_TRIANGLES && mode != GL_QUADS) {
    // GL 1.1's other modes too: the layer draws none of them.
    gles::Refuse(GL_INVALID_ENUM, "glBegin", "mode", mode);
    return;
  }
  layer.fixed.primitive = mode;
  layer.cornerCount = 0;
  layer.batchCount = 0;
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
  // Outside glBegin/glEnd GL leaves the effect undefined; nothing is drawn.
  if (layer.fixed.primitive == gles::kNoPrimitive) return;
  gles::BatchVertex& v = layer.corners[layer.cornerCount++];
  v.position[0] = x;
  v.position[1] = y;
  v.position[2] = z;
  std::memcpy(v.colour, layer.fixed.colour, sizeof v.colour);
  std::memcpy(v.normal, layer.fixed.normal, sizeof v.normal);
  std::memcpy(v.texCoord, layer.fixed.texCoord, sizeof v.texCoord);

  if (layer.fixed.primitive == GL_TRIANGLES && layer.cornerCount == 3) {
    gles::AppendTriangle(0, 1, 2);
    layer.cornerCount = 0;
  } else if (layer.cornerCount == 4) {
    // Split along the diagonal from the first corner to the third, as Mesa
    // does: the backdrop's corners wobble independently, so the other
    // diagonal would interpolate its texture coordinates differently.
    gles::AppendTriangle(0, 1, 2);
    gles::AppendTriangle(0, 2, 3);
    layer.cornerCount = 0;
  }
}

void glEnd(void) {
  if (layer.fixed.primitive == gles::kNoPrimitive) {
    gles::RefuseCall(GL_INVALID_OPERATION, "glEnd", "without glBegin");
    return;
  }
  // The corners of an unfinished primitive are dropped, as GL drops them.
  gles::DrawTriangles(layer.batch, layer.batchCount);
  layer.fixed.primitive = gles::kNoPrimitive;
  layer.cornerCount = 0;
  layer.batchCount = 0;
}

void glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
  float* colour = layer.fixed.colour;
  colour[0] = red;
  colour[1] = green;
  colour[2] = blue;
  colour[3] = alpha;
}

void glNormal3fv(const GLfloat* v) { std::memcpy(layer.fixed.normal, v, 3 * sizeof(float)); }

void glTexCoord2f(GLfloat s, GLfloat t) {
  layer.fixed.texCoord[0] = s;
  layer.fixed.texCoord[1] = t;
}

}  // extern "C"
