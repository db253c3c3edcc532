#pragma once

#include <cstddef>

#include "gl/gl_subset.h"

// The OpenGL ES 2 / WebGL 1 entry points the layer draws with. They come
// from the host's loader at start-up, never from the link, so the real
// glEnable and the layer's own never meet.

typedef char GLchar;
typedef std::ptrdiff_t GLsizeiptr;
typedef std::ptrdiff_t GLintptr;

struct Es2Api {
  void (*enable)(GLenum cap);
  void (*disable)(GLenum cap);
  void (*depthMask)(GLboolean flag);
  void (*blendFunc)(GLenum sfactor, GLenum dfactor);
  void (*clear)(GLbitfield mask);
  void (*clearColor)(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha);
  void (*viewport)(GLint x, GLint y, GLsizei width, GLsizei height);

  void (*genTextures)(GLsizei n, GLuint* textures);
  void (*bindTexture)(GLenum target, GLuint texture);
  void (*texParameterf)(GLenum target, GLenum pname, GLfloat param);
  void (*texParameteri)(GLenum target, GLenum pname, GLint param);
  void (*texImage2D)(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                     GLsizei height, GLint border, GLenum format, GLenum type, const void* pixels);

  GLuint (*createShader)(GLenum type);
  void (*shaderSource)(GLuint shader, GLsizei count, const GLchar* const* strings,
                       const GLint* lengths);
  void (*compileShader)(GLuint shader);
  void (*getShaderiv)(GLuint shader, GLenum pname, GLint* params);
  void (*getShaderInfoLog)(GLuint shader, GLsizei size, GLsizei* length, GLchar* log);
  void (*deleteShader)(GLuint shader);
  GLuint (*createProgram)();
  void (*attachShader)(GLuint program, GLuint shader);
  void (*bindAttribLocation)(GLuint program, GLuint index, const GLchar* name);
  void (*linkProgram)(GLuint program);
  void (*getProgramiv)(GLuint program, GLenum pname, GLint* params);
  void (*getProgramInfoLog)(GLuint program, GLsizei size, GLsizei* length, GLchar* log);
  void (*deleteProgram)(GLuint program);
  void (*useProgram)(GLuint program);
  GLint (*getUniformLocation)(GLuint program, const GLchar* name);
  void (*uniform1i)(GLint location, GLint value);
  void (*uniform3fv)(GLint location, GLsizei count, const GLfloat* value);
  void (*uniform4fv)(GLint location, GLsizei count, const GLfloat* value);
  void (*uniformMatrix3fv)(GLint location, GLsizei count, GLboolean transpose,
                           const GLfloat* value);
  void (*uniformMatrix4fv)(GLint location, GLsizei count, GLboolean transpose,
                           const GLfloat* value);

  void (*genBuffers)(GLsizei n, GLuint* buffers);
  void (*bindBuffer)(GLenum target, GLuint buffer);
  void (*bufferData)(GLenum target, GLsizeiptr size, const void* data, GLenum usage);
  void (*bufferSubData)(GLenum target, GLintptr offset, GLsizeiptr size, const void* data);
  void (*deleteBuffers)(GLsizei n, const GLuint* buffers);
  void (*vertexAttribPointer)(GLuint index, GLint size, GLenum type, GLboolean normalized,
                              GLsizei stride, const void* pointer);
  void (*enableVertexAttribArray)(GLuint index);
  void (*drawArrays)(GLenum mode, GLint first, GLsizei count);
};

// Filled by StartGlesLayer, emptied by StopGlesLayer.
extern Es2Api es2;
// True between a successful StartGlesLayer and StopGlesLayer; the entry
// points that reach ES 2 do nothing outside that span, as GL calls without
// a current context do.
extern bool es2Ready;

// ES 2 enumerants beyond the GL 1.1 subset.
inline constexpr GLenum kEs2Float = 0x1406;
inline constexpr GLenum kEs2ArrayBuffer = 0x8892;
inline constexpr GLenum kEs2DynamicDraw = 0x88E8;
inline constexpr GLenum kEs2FragmentShader = 0x8B30;
inline constexpr GLenum kEs2VertexShader = 0x8B31;
inline constexpr GLenum kEs2CompileStatus = 0x8B81;
inline constexpr GLenum kEs2LinkStatus = 0x8B82;
