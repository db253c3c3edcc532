#include "tools/capture/readback_ring.h"

#include <EGL/egl.h>
#define GL_GLEXT_PROTOTYPES 0
#include <GL/gl.h>
#include <GL/glext.h>

#include "host/egl/proc_address.h"

namespace {

// Buffer objects are not part of GL 1.1, so they come through eglGetProcAddress.
PFNGLGENBUFFERSPROC genBuffers;
PFNGLBINDBUFFERPROC bindBuffer;
PFNGLBUFFERDATAPROC bufferData;
PFNGLMAPBUFFERPROC mapBuffer;
PFNGLUNMAPBUFFERPROC unmapBuffer;
PFNGLDELETEBUFFERSPROC deleteBuffers;

GLuint buffers[kReadbackSlots];
const unsigned char* mapped[kReadbackSlots];
int readWidth = 0;
int readHeight = 0;

}  // namespace

Result StartReadback(int width, int height) {
  if (!(LoadProc(genBuffers, "glGenBuffers") && LoadProc(bindBuffer, "glBindBuffer") &&
        LoadProc(bufferData, "glBufferData") && LoadProc(mapBuffer, "glMapBuffer") &&
        LoadProc(unmapBuffer, "glUnmapBuffer") && LoadProc(deleteBuffers, "glDeleteBuffers")))
    return Fail("the GL context has no pixel buffer objects");
  readWidth = width;
  readHeight = height;
  const GLsizeiptr bytes = static_cast<GLsizeiptr>(width) * height * 4;
  genBuffers(kReadbackSlots, buffers);
  for (GLuint buffer : buffers) {
    bindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
    bufferData(GL_PIXEL_PACK_BUFFER, bytes, nullptr, GL_STREAM_READ);
  }
  bindBuffer(GL_PIXEL_PACK_BUFFER, 0);
  return {};
}

void ReadIntoSlot(int slot) {
  bindBuffer(GL_PIXEL_PACK_BUFFER, buffers[slot]);
  glReadPixels(0, 0, readWidth, readHeight, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  // Unbound again, so that no other read-back of the frame lands in the buffer.
  bindBuffer(GL_PIXEL_PACK_BUFFER, 0);
}

const unsigned char* MapSlot(int slot) {
  bindBuffer(GL_PIXEL_PACK_BUFFER, buffers[slot]);
  mapped[slot] = static_cast<const unsigned char*>(mapBuffer(GL_PIXEL_PACK_BUFFER, GL_READ_ONLY));
  bindBuffer(GL_PIXEL_PACK_BUFFER, 0);
  return mapped[slot];
}

void UnmapSlot(int slot) {
  if (mapped[slot] == nullptr) return;
  bindBuffer(GL_PIXEL_PACK_BUFFER, buffers[slot]);
  unmapBuffer(GL_PIXEL_PACK_BUFFER);
  bindBuffer(GL_PIXEL_PACK_BUFFER, 0);
  mapped[slot] = nullptr;
}

void EndReadback() {
  if (deleteBuffers == nullptr) return;
  for (int slot = 0; slot < kReadbackSlots; ++slot) UnmapSlot(slot);
  deleteBuffers(kReadbackSlots, buffers);
  for (GLuint& buffer : buffers) buffer = 0;
}
