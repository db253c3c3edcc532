#include <EGL/egl.h>
#include <EGL/eglext.h>

#include "host/offscreen.h"
#define GL_GLEXT_PROTOTYPES 0
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstddef>

#include "host/egl/gl_procs.h"
#include "host/egl/surfaceless_display.h"

namespace {

// Framebuffer-object entry points are not part of GL 1.1, so they come
// through eglGetProcAddress rather than from the link.
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

EGLDisplay display = EGL_NO_DISPLAY;
EGLContext context = EGL_NO_CONTEXT;
GLuint framebuffer = 0;
GLuint colourBuffer = 0;
GLuint depthBuffer = 0;
int surfaceWidth = 0;
int surfaceHeight = 0;
int depthBits = 0;

bool LoadFramebufferProcs() {
  return LoadGlProc(genFramebuffers, "glGenFramebuffers") &&
         LoadGlProc(bindFramebuffer, "glBindFramebuffer") &&
         LoadGlProc(framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
         LoadGlProc(checkFramebufferStatus, "glCheckFramebufferStatus") &&
         LoadGlProc(deleteFramebuffers, "glDeleteFramebuffers") &&
         LoadGlProc(genRenderbuffers, "glGenRenderbuffers") &&
         LoadGlProc(bindRenderbuffer, "glBindRenderbuffer") &&
         LoadGlProc(renderbufferStorage, "glRenderbufferStorage") &&
         LoadGlProc(getRenderbufferParameteriv, "glGetRenderbufferParameteriv") &&
         LoadGlProc(deleteRenderbuffers, "glDeleteRenderbuffers");
}

EGLContext CreateCompatibilityContext() {
  const EGLint configAttributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
  EGLConfig config = nullptr;
  EGLint configCount = 0;
  if (!eglChooseConfig(display, configAttributes, &config, 1, &configCount) || configCount < 1)
    config = nullptr;  // a context without a config serves where the display offers none
  const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                      EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
  return eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
}

// The deepest depth format the driver completes a framebuffer with.
bool AttachDeepestDepth(int width, int height) {
  const GLenum formats[] = {GL_DEPTH_COMPONENT32, GL_DEPTH_COMPONENT24, GL_DEPTH_COMPONENT16};
  for (GLenum format : formats) {
    while (glGetError() != GL_NO_ERROR) {
    }
    bindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
    renderbufferStorage(GL_RENDERBUFFER, format, width, height);
    if (glGetError() != GL_NO_ERROR) continue;
    framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
    if (checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) continue;
    GLint bits = 0;
    getRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_DEPTH_SIZE, &bits);
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
  if (!eglBindAPI(EGL_OPENGL_API)) return Fail(error, "EGL offers no desktop OpenGL");
  context = CreateCompatibilityContext();
  if (context == EGL_NO_CONTEXT)
    return Fail(error, "EGL could not create an OpenGL compatibility-profile context");
  if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context))
    return Fail(error, "EGL could not make the context current without a surface");
  if (!LoadFramebufferProcs()) return Fail(error, "the GL context has no framebuffer objects");

  surfaceWidth = width;
  surfaceHeight = height;
  genFramebuffers(1, &framebuffer);
  bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  genRenderbuffers(1, &colourBuffer);
  bindRenderbuffer(GL_RENDERBUFFER, colourBuffer);
  renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colourBuffer);
  genRenderbuffers(1, &depthBuffer);
  if (!AttachDeepestDepth(width, height))
    return Fail(error, "the GL driver completes no framebuffer with RGBA8 and a depth buffer");
  glViewport(0, 0, width, height);
  return true;
}

int OffscreenDepthBits() { return depthBits; }

void ReadOffscreenPixels(unsigned char* rgba) {
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  const size_t rowBytes = static_cast<size_t>(surfaceWidth) * 4;
  // GL reads bottom row first; fill from the last row up so the result is top row first.
  for (int y = 0; y < surfaceHeight; ++y) {
    glReadPixels(0, y, surfaceWidth, 1, GL_RGBA, GL_UNSIGNED_BYTE,
                 rgba + rowBytes * static_cast<size_t>(surfaceHeight - 1 - y));
  }
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
}

void CloseOffscreenSurface() {
  if (context != EGL_NO_CONTEXT && eglGetCurrentContext() == context) {
    if (framebuffer != 0) deleteFramebuffers(1, &framebuffer);
    if (colourBuffer != 0) deleteRenderbuffers(1, &colourBuffer);
    if (depthBuffer != 0) deleteRenderbuffers(1, &depthBuffer);
  }
  framebuffer = colourBuffer = depthBuffer = 0;
  // The display stays initialised: terminating it unloads the driver, whose
  // own leftovers then show in leak reports under no module name at all, and
  // the next open would load it again.
  if (display != EGL_NO_DISPLAY) {
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context != EGL_NO_CONTEXT) eglDestroyContext(display, context);
  }
  context = EGL_NO_CONTEXT;
  display = EGL_NO_DISPLAY;
  surfaceWidth = surfaceHeight = depthBits = 0;
}
