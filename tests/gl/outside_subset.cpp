// Compiled, never run: a file that draws as the scene does, through the
// subset's headers alone. With OUTSIDE_THE_SUBSET it also calls a GL 1.1
// function that the subset leaves out, and must then fail to compile.

#include "gl/gl_subset.h"
#include "gl/glu_subset.h"

void DrawATriangle() {
  glBegin(GL_TRIANGLES);
  glVertex3f(0, 0, 0);
  glVertex3f(1, 0, 0);
  glVertex3f(0, 1, 0);
  glEnd();
#ifdef OUTSIDE_THE_SUBSET
  glRotatef(90, 0, 0, 1);
#endif
}
