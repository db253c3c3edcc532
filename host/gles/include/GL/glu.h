#pragma once

// The three GLU functions the piece uses, carried out by host/gles as
// Mesa's libGLU computes them.

#include <GL/gl.h>

#define GLU_INVALID_ENUM 100900
#define GLU_INVALID_VALUE 100901
#define GLU_OUT_OF_MEMORY 100902

#ifdef __cplusplus
extern "C" {
#endif

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar);
void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,
               GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ);
// GL_TEXTURE_2D, GL_RGBA8 or GL_RGBA, power-of-two sizes, GL_BGRA or GL_RGBA
// bytes; 0, or a GLU error code for anything else (nothing is uploaded then).
GLint gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
                        GLenum format, GLenum type, const void* data);

#ifdef __cplusplus
}
#endif
