#pragma once

// The part of OpenGL 1.1 that the scene and the frame code may draw with, and
// no more: the only GL they include, on every platform. Names, types, values
// and declarations are the system library's, so the same objects link against
// the system's GL natively and against the layer over OpenGL ES 2 / WebGL 1
// (gl/gles) where there is none. A call outside this list does not compile.

// The system headers' spellings, so that a file that also includes them (a
// test, a platform) sees the same declarations twice, not two different ones.
#if defined(_WIN32)
#define QUORVANE_GL_API __declspec(dllimport)
#define QUORVANE_GL_ENTRY __stdcall
#else
#define QUORVANE_GL_API
#define QUORVANE_GL_ENTRY
#endif

typedef unsigned int GLenum;
typedef unsigned char GLboolean;
typedef unsigned int GLbitfield;
typedef int GLint;
typedef int GLsizei;
typedef unsigned int GLuint;
typedef float GLfloat;
typedef float GLclampf;
typedef double GLdouble;
typedef void GLvoid;

#define GL_FALSE 0
#define GL_TRUE 1

#define GL_NO_ERROR 0
#define GL_INVALID_ENUM 0x0500
#define GL_INVALID_VALUE 0x0501
#define GL_INVALID_OPERATION 0x0502
#define GL_OUT_OF_MEMORY 0x0505

#define GL_TRIANGLES 0x0004
#define GL_QUADS 0x0007

#define GL_DEPTH_BUFFER_BIT 0x00000100
#define GL_COLOR_BUFFER_BIT 0x00004000

#define GL_ONE 1
#define GL_SRC_ALPHA 0x0302
#define GL_ONE_MINUS_SRC_ALPHA 0x0303

#define GL_LIGHTING 0x0B50
#define GL_LIGHT_MODEL_TWO_SIDE 0x0B52
#define GL_DEPTH_TEST 0x0B71
#define GL_BLEND 0x0BE2
#define GL_TEXTURE_2D 0x0DE1
#define GL_LIGHT0 0x4000

#define GL_AMBIENT 0x1200
#define GL_DIFFUSE 0x1201
#define GL_SPECULAR 0x1202
#define GL_POSITION 0x1203

#define GL_UNSIGNED_BYTE 0x1401
#define GL_MODELVIEW 0x1700
#define GL_PROJECTION 0x1701
#define GL_RGBA 0x1908
#define GL_RGBA8 0x8058

#define GL_LINEAR 0x2601
#define GL_LINEAR_MIPMAP_LINEAR 0x2703
#define GL_TEXTURE_MAG_FILTER 0x2800
#define GL_TEXTURE_MIN_FILTER 0x2801
#define GL_TEXTURE_WRAP_S 0x2802
#define GL_TEXTURE_WRAP_T 0x2803

// The two OpenGL 1.2 values the atlas is loaded with.
#define GL_BGRA 0x80E1
#define GL_CLAMP_TO_EDGE 0x812F

#ifdef __cplusplus
extern "C" {
#endif

// Immediate mode: GL_TRIANGLES and GL_QUADS; colour, normal and texture
// coordinate are current state that holds until set again.
QUORVANE_GL_API void QUORVANE_GL_ENTRY glBegin(GLenum mode);
QUORVANE_GL_API void QUORVANE_GL_ENTRY glEnd(void);
QUORVANE_GL_API void QUORVANE_GL_ENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z);
QUORVANE_GL_API void QUORVANE_GL_ENTRY glNormal3fv(const GLfloat* v);
QUORVANE_GL_API void QUORVANE_GL_ENTRY glColor4f(GLfloat red, GLfloat green, GLfloat blue,
                                                 GLfloat alpha);
QUORVANE_GL_API void QUORVANE_GL_ENTRY glTexCoord2f(GLfloat s, GLfloat t);

QUORVANE_GL_API void QUORVANE_GL_ENTRY glMatrixMode(GLenum mode);
QUORVANE_GL_API void QUORVANE_GL_ENTRY glLoadIdentity(void);

// GL_LIGHTING, GL_LIGHT0, GL_TEXTURE_2D, GL_BLEND, GL_DEPTH_TEST.
QUORVANE_GL_API void QUORVANE_GL_ENTRY glEnable(GLenum cap);
QUORVANE_GL_API void QUORVANE_GL_ENTRY glDisable(GLenum cap);
QUORVANE_GL_API void QUORVANE_GL_ENTRY glDepthMask(GLboolean flag);
QUORVANE_GL_API void QUORVANE_GL_ENTRY glBlendFunc(GLenum sfactor, GLenum dfactor);
QUORVANE_GL_API void QUORVANE_GL_ENTRY glClear(GLbitfield mask);
QUORVANE_GL_API void QUORVANE_GL_ENTRY glClearColor(GLclampf red, GLclampf green, GLclampf blue,
                                                    GLclampf alpha);
QUORVANE_GL_API void QUORVANE_GL_ENTRY glViewport(GLint x, GLint y, GLsizei width, GLsizei height);

// GL_LIGHT0 only; GL's default material.
QUORVANE_GL_API void QUORVANE_GL_ENTRY glLightfv(GLenum light, GLenum pname, const GLfloat* params);
QUORVANE_GL_API void QUORVANE_GL_ENTRY glLightModeli(GLenum pname, GLint param);

QUORVANE_GL_API void QUORVANE_GL_ENTRY glGenTextures(GLsizei n, GLuint* textures);
QUORVANE_GL_API void QUORVANE_GL_ENTRY glBindTexture(GLenum target, GLuint texture);
QUORVANE_GL_API void QUORVANE_GL_ENTRY glTexParameterf(GLenum target, GLenum pname, GLfloat param);
QUORVANE_GL_API void QUORVANE_GL_ENTRY glTexParameteri(GLenum target, GLenum pname, GLint param);

// The first error since the last call (GL_NO_ERROR if none), then clears it.
QUORVANE_GL_API GLenum QUORVANE_GL_ENTRY glGetError(void);

#ifdef __cplusplus
}
#endif
