// The offscreen surface of host/offscreen.h with an OpenGL ES 2 context
// instead of a desktop one, the piece's GL 1.1 calls carried out on it by
// host/gles. Every GL entry point here comes through eglGetProcAddress: the
// program links no GL library, so none can stand in for the layer's.

#include <EGL/egl.h>
#include <EGL/eglext.h>
#define GL_GLES_PROTOTYPES 0
#include <GLES2/gl2.h>
#include <GLES2/gl2ext.h>

#include <cstddef>

#include "host/egl/gl_procs.h"
#include "host/egl/surfaceless_display.h"
#include "host/gles/gles_layer.h"
#include "host/offscreen.h"

namespace {

struct {
  PFNGLGETERRORPROC getError;
  PFNGLVIEWPORTPROC viewport;
  PFNGLPIXELSTOREIPROC pixelStorei;
  PFNGLREADPIXELSPROC readPixels;
  PFNGLGENFRAMEBUFFERSPROC genFramebuffers;
  PFNGLBINDFRAMEBUFFERPROC bindFramebuffer;
  PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer;
  PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus;
  PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers;
  PFNGLGENRENDERBUFFERSPROC genRenderbuffers;
  PFNGLBINDRENDERBUFFERPROC bindRenderbuffer;
  PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage;
  PFNGLGETRENDERBUFFERPARAMETERIVPROC getRenderbufferParameteriv;
  PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers;
} gl;

EGLDisplay display = EGL_NO_DISPLAY;
EGLContext context = EGL_NO_CONTEXT;
bool layerStarted = false;
GLuint framebuffer = 0;
GLuint colourBuffer = 0;
GLuint depthBuffer = 0;
int surfaceWidth = 0;
int surfaceHeight = 0;
int depthBits = 0;

bool LoadSurfaceProcs() {
  return LoadGlProc(gl.getError, "glGetError") && LoadGlProc(gl.viewport, "glViewport") &&
         LoadGlProc(gl.pixelStorei, "glPixelStorei") && LoadGlProc(gl.readPixels, "glReadPixels") &&
         LoadGlProc(gl.genFramebuffers, "glGenFramebuffers") &&
         LoadGlProc(gl.bindFramebuffer, "glBindFramebuffer") &&
         LoadGlProc(gl.framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
         LoadGlProc(gl.checkFramebufferStatus, "glCheckFramebufferStatus") &&
         LoadGlProc(gl.deleteFramebuffers, "glDeleteFramebuffers") &&
         LoadGlProc(gl.genRenderbuffers, "glGenRenderbuffers") &&
         LoadGlProc(gl.bindRenderbuffer, "glBindRenderbuffer") &&
         LoadGlProc(gl.renderbufferStorage, "glRenderbufferStorage") &&
         LoadGlProc(gl.getRenderbufferParameteriv, "glGetRenderbufferParameteriv") &&
         LoadGlProc(gl.deleteRenderbuffers, "glDeleteRenderbuffers");
}

void* LoadEglProc(const char* name) { return reinterpret_cast<void*>(eglGetProcAddress(name)); }

EGLContext CreateEs2Context() {
  const EGLint configAttributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_ES2_BIT, EGL_NONE};
  EGLConfig config = nullptr;
  EGLint configCount = 0;
  if (!eglChooseConfig(display, configAttributes, &config, 1, &configCount) || configCount < 1)
    config = nullptr;  // a context without a config serves where the display offers none
  const EGLint contextAttributes[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
  return eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
}

// The deepest depth format ES 2 and its extensions complete a framebuffer with.
bool AttachDeepestDepth(int width, int height) {
  const GLenum formats[] = {GL_DEPTH_COMPONENT32_OES, GL_DEPTH_COMPONENT24_OES,
                            GL_DEPTH_COMPONENT16};
  for (GLenum format : formats) {
    while (gl.getError() != GL_NO_ERROR) {
    }
    gl.bindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
    gl.renderbufferStorage(GL_RENDERBUFFER, format, width, height);
    if (gl.getError() != GL_NO_ERROR) continue;
    gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
    if (gl.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) continue;
    GLint bits = 0;
    gl.getRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_DEPTH_SIZE, &bits);
    depthBits = bits;
    return true;
  }
  return false;
}

bool Fail(const char** error, const char* message) {
  if (error != nullptr) *error = message;
  CloseOffscreenSurface();
  return false;
}

}  // namespace

bool OpenOffscreenSurface(int width, int height, const char** error) {
  if (display != EGL_NO_DISPLAY) return Fail(error, "an offscreen surface is already open");
  if (width < 1 || height < 1 || width > 16384 || height > 16384)
    return Fail(error, "surface size must be between 1 and 16384 pixels each way");

  display = SurfacelessDisplay();
  if (display == EGL_NO_DISPLAY)
    return Fail(error, "EGL has no surfaceless platform (is Mesa's EGL installed?)");
  EGLint major = 0;
  EGLint minor = 0;
  if (!eglInitialize(display, &major, &minor)) {
    display = EGL_NO_DISPLAY;
    return Fail(error, "EGL could not be initialised on the surfaceless platform");
  }
  if (!eglBindAPI(EGL_OPENGL_ES_API)) return Fail(error, "EGL offers no OpenGL ES");
  context = CreateEs2Context();
  if (context == EGL_NO_CONTEXT) return Fail(error, "EGL could not create an OpenGL ES 2 context");
  if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context))
    return Fail(error, "EGL could not make the context current without a surface");
  if (!LoadSurfaceProcs()) return Fail(error, "the ES 2 context lacks a core entry point");

  surfaceWidth = width;
  surfaceHeight = height;
  gl.genFramebuffers(1, &framebuffer);
  gl.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  gl.genRenderbuffers(1, &colourBuffer);
  gl.bindRenderbuffer(GL_RENDERBUFFER, colourBuffer);
  gl.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8_OES, width, height);
  gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colourBuffer);
  gl.genRenderbuffers(1, &depthBuffer);
  if (!AttachDeepestDepth(width, height))
    return Fail(error, "the ES 2 driver completes no framebuffer with RGBA8 and a depth buffer");
  gl.viewport(0, 0, width, height);
  const char* layerError = nullptr;
  if (!StartGlesLayer(LoadEglProc, &layerError)) return Fail(error, layerError);
  layerStarted = true;
  return true;
}

int OffscreenDepthBits() { return depthBits; }

void ReadOffscreenPixels(unsigned char* rgba) {
  gl.pixelStorei(GL_PACK_ALIGNMENT, 1);
  const size_t rowBytes = static_cast<size_t>(surfaceWidth) * 4;
  // GL reads bottom row first; fill from the last row up so the result is top row first.
  for (int y = 0; y < surfaceHeight; ++y) {
    gl.readPixels(0, y, surfaceWidth, 1, GL_RGBA, GL_UNSIGNED_BYTE,
                  rgba + rowBytes * static_cast<size_t>(surfaceHeight - 1 - y));
  }
  gl.pixelStorei(GL_PACK_ALIGNMENT, 4);
}

void CloseOffscreenSurface() {
  if (context != EGL_NO_CONTEXT && eglGetCurrentContext() == context) {
    if (layerStarted) StopGlesLayer();
    if (framebuffer != 0) gl.deleteFramebuffers(1, &framebuffer);
    if (colourBuffer != 0) gl.deleteRenderbuffers(1, &colourBuffer);
    if (depthBuffer != 0) gl.deleteRenderbuffers(1, &depthBuffer);
  }
  layerStarted = false;
  framebuffer = colourBuffer = depthBuffer = 0;
  // The display stays initialised, as on the desktop surface: terminating it
  // unloads the driver, and the next open would load it again.
  if (display != EGL_NO_DISPLAY) {
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context != EGL_NO_CONTEXT) eglDestroyContext(display, context);
  }
  context = EGL_NO_CONTEXT;
  display = EGL_NO_DISPLAY;
  surfaceWidth = surfaceHeight = depthBits = 0;
}
