#pragma once

#include <cstddef>

#include "gl/gl_subset.h"

// The OpenGL ES 2 / WebGL 1 entry points the layer draws with, as one list
// that makes the table, fills it and empties it. They come from the
// platform's loader, never from the link, so ES 2's glEnable and the layer's
// own never meet.

typedef char GLchar;
typedef std::ptrdiff_t GLsizeiptr;
typedef std::ptrdiff_t GLintptr;

#define GLES_ES2_ENTRY_POINTS(X)                                                                \
  X(void, glEnable, (GLenum cap))                                                               \
  X(void, glDisable, (GLenum cap))                                                              \
  X(void, glDepthMask, (GLboolean flag))                                                        \
  X(void, glBlendFunc, (GLenum sfactor, GLenum dfactor))                                        \
  X(void, glClear, (GLbitfield mask))                                                           \
  X(void, glClearColor, (GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha))          \
  X(void, glViewport, (GLint x, GLint y, GLsizei width, GLsizei height))                        \
  X(GLenum, glGetError, ())                                                                     \
  X(void, glGetIntegerv, (GLenum pname, GLint * params))                                        \
  X(void, glGenTextures, (GLsizei n, GLuint * textures))                                        \
  X(void, glDeleteTextures, (GLsizei n, const GLuint* textures))                                \
  X(void, glBindTexture, (GLenum target, GLuint texture))                                       \
  X(void, glTexParameteri, (GLenum target, GLenum pname, GLint param))                          \
  X(void, glTexImage2D,                                                                         \
    (GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,           \
     GLint border, GLenum format, GLenum type, const void* pixels))                             \
  X(GLuint, glCreateShader, (GLenum type))                                                      \
  X(void, glShaderSource,                                                                       \
    (GLuint shader, GLsizei count, const GLchar* const* strings, const GLint* lengths))         \
  X(void, glCompileShader, (GLuint shader))                                                     \
  X(void, glGetShaderiv, (GLuint shader, GLenum pname, GLint * params))                         \
  X(void, glGetShaderInfoLog, (GLuint shader, GLsizei size, GLsizei * length, GLchar * log))    \
  X(void, glDeleteShader, (GLuint shader))                                                      \
  X(GLuint, glCreateProgram, ())                                                                \
  X(void, glAttachShader, (GLuint program, GLuint shader))                                      \
  X(void, glBindAttribLocation, (GLuint program, GLuint index, const GLchar* name))             \
  X(void, glLinkProgram, (GLuint program))                                                      \
  X(void, glGetProgramiv, (GLuint program, GLenum pname, GLint * params))                       \
  X(void, glGetProgramInfoLog, (GLuint program, GLsizei size, GLsizei * length, GLchar * log))  \
  X(void, glDeleteProgram, (GLuint program))                                                    \
  X(void, glUseProgram, (GLuint program))                                                       \
  X(GLint, glGetUniformLocation, (GLuint program, const GLchar* name))                          \
  X(void, glUniform1i, (GLint location, GLint value))                                           \
  X(void, glUniform3fv, (GLint location, GLsizei count, const GLfloat* value))                  \
  X(void, glUniform4fv, (GLint location, GLsizei count, const GLfloat* value))                  \
  X(void, glUniformMatrix3fv,                                                                   \
    (GLint location, GLsizei count, GLboolean transpose, const GLfloat* value))                 \
  X(void, glUniformMatrix4fv,                                                                   \
    (GLint location, GLsizei count, GLboolean transpose, const GLfloat* value))                 \
  X(void, glGenBuffers, (GLsizei n, GLuint * buffers))                                          \
  X(void, glBindBuffer, (GLenum target, GLuint buffer))                                         \
  X(void, glBufferData, (GLenum target, GLsizeiptr size, const void* data, GLenum usage))       \
  X(void, glBufferSubData, (GLenum target, GLintptr offset, GLsizeiptr size, const void* data)) \
  X(void, glDeleteBuffers, (GLsizei n, const GLuint* buffers))                                  \
  X(void, glVertexAttribPointer,                                                                \
    (GLuint index, GLint size, GLenum type, GLboolean normalized, GLsizei stride,               \
     const void* pointer))                                                                      \
  X(void, glEnableVertexAttribArray, (GLuint index))                                            \
  X(void, glDrawArrays, (GLenum mode, GLint first, GLsizei count))

namespace gles {

struct Es2Api {
#define GLES_ES2_MEMBER(result, name, parameters) result(*name) parameters = nullptr;
  GLES_ES2_ENTRY_POINTS(GLES_ES2_MEMBER)
#undef GLES_ES2_MEMBER
};

// ES 2 enumerants beyond the GL 1.1 subset.
inline constexpr GLenum kEs2Float = 0x1406;
inline constexpr GLenum kEs2MaxTextureSize = 0x0D33;
inline constexpr GLenum kEs2ArrayBuffer = 0x8892;
inline constexpr GLenum kEs2DynamicDraw = 0x88E8;
inline constexpr GLenum kEs2FragmentShader = 0x8B30;
inline constexpr GLenum kEs2VertexShader = 0x8B31;
inline constexpr GLenum kEs2CompileStatus = 0x8B81;
inline constexpr GLenum kEs2LinkStatus = 0x8B82;

}  // namespace gles
