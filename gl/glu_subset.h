#pragma once

// The three GLU functions the scene and the frame code use, declared as the
// system's GLU declares them (no import attribute on Win32: glu32's own
// header has none).

#include "gl/gl_subset.h"

#define GLU_INVALID_ENUM 100900
#define GLU_INVALID_VALUE 100901
#define GLU_OUT_OF_MEMORY 100902

#ifdef __cplusplus
extern "C" {
#endif

void QUORVANE_GL_ENTRY gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear,
                                      GLdouble zFar);
void QUORVANE_GL_ENTRY gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX,
                                 GLdouble centerY, GLdouble centerZ, GLdouble upX, GLdouble upY,
                                 GLdouble upZ);
GLint QUORVANE_GL_ENTRY gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width,
                                          GLsizei height, GLenum format, GLenum type,
                                          const void* data);

#ifdef __cplusplus
}
#endif
