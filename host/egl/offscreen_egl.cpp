// The offscreen surface on EGL, with either kind of context. Its GL entry
// points all come through eglGetProcAddress: the ES 2 programs link no GL
// library, so that none can stand in for gl/gles's.

#include "host/egl/offscreen_egl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#define GL_GLES_PROTOTYPES 0
#include <GLES2/gl2.h>
#include <GLES2/gl2ext.h>

#include <cstddef>
#include <string>
#include <utility>

#include "base/piece_facts.h"
#include "host/egl/proc_address.h"
#include "host/egl/surfaceless_display.h"
#include "host/offscreen.h"

namespace {

// What sets the contexts apart. After creation both take the same calls:
// desktop GL has every one of them, and the OES formats below have the same
// values there (GL_RGBA8, GL_DEPTH_COMPONENT32, GL_DEPTH_COMPONENT24).
struct ContextKind {
  EGLenum api;
  EGLint renderableType;
  EGLint attributes[3];
  const char* noApi;
  const char* noContext;
  const char* noEntryPoint;
  const char* noFramebuffer;
};

constexpr ContextKind kDesktopCompatibility = {
    EGL_OPENGL_API,
    EGL_OPENGL_BIT,
    {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE},
    "EGL offers no desktop OpenGL",
    "EGL could not create an OpenGL compatibility-profile context",
    "the GL context has no framebuffer objects",
    "the GL driver completes no framebuffer with RGBA8 and a depth buffer"};

constexpr ContextKind kEs2 = {
    EGL_OPENGL_ES_API,
    EGL_OPENGL_ES2_BIT,
    {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE},
    "EGL offers no OpenGL ES",
    "EGL could not create an OpenGL ES 2 context",
    "the ES 2 context lacks a core entry point",
    "the ES 2 driver completes no framebuffer with RGBA8 and a depth buffer"};

struct {
  PFNGLGETERRORPROC getError;
  PFNGLVIEWPORTPROC viewport;
  PFNGLPIXELSTOREIPROC pixelStorei;
  PFNGLREADPIXELSPROC readPixels;
  PFNGLFINISHPROC finish;
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
void (*stopLayer)() = nullptr;  // set while a layer runs
GLuint framebuffer = 0;
GLuint colourBuffer = 0;
GLuint depthBuffer = 0;
int surfaceWidth = 0;
int surfaceHeight = 0;
int depthBits = 0;

bool LoadEntryPoints() {
  return LoadProc(gl.getError, "glGetError") && LoadProc(gl.viewport, "glViewport") &&
         LoadProc(gl.pixelStorei, "glPixelStorei") && LoadProc(gl.readPixels, "glReadPixels") &&
         LoadProc(gl.finish, "glFinish") && LoadProc(gl.genFramebuffers, "glGenFramebuffers") &&
         LoadProc(gl.bindFramebuffer, "glBindFramebuffer") &&
         LoadProc(gl.framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
         LoadProc(gl.checkFramebufferStatus, "glCheckFramebufferStatus") &&
         LoadProc(gl.deleteFramebuffers, "glDeleteFramebuffers") &&
         LoadProc(gl.genRenderbuffers, "glGenRenderbuffers") &&
         LoadProc(gl.bindRenderbuffer, "glBindRenderbuffer") &&
         LoadProc(gl.renderbufferStorage, "glRenderbufferStorage") &&
         LoadProc(gl.getRenderbufferParameteriv, "glGetRenderbufferParameteriv") &&
         LoadProc(gl.deleteRenderbuffers, "glDeleteRenderbuffers");
}

EGLContext CreateContext(const ContextKind& kind) {
  const EGLint configAttributes[] = {EGL_RENDERABLE_TYPE, kind.renderableType, EGL_NONE};
  EGLConfig config = nullptr;
  EGLint configCount = 0;
  if (!eglChooseConfig(display, configAttributes, &config, 1, &configCount) || configCount < 1)
    config = nullptr;  // a context without a config serves where the display offers none
  return eglCreateContext(display, config, EGL_NO_CONTEXT, kind.attributes);
}

// The deepest depth format the driver completes a framebuffer with.
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

// Fails once what the open has made so far is undone.
Result Undo(std::string why) {
  CloseOffscreenSurface();
  return Fail(std::move(why));
}

}  // namespace

Result OpenEglSurface(OffscreenContext kind, OffscreenLayer layer, int width, int height) {
  // Refused without closing: the surface that is open stays usable.
  if (display != EGL_NO_DISPLAY) return Fail("an offscreen surface is already open");
  if (width < 1 || height < 1 || width > kLargestPictureSide || height > kLargestPictureSide)
    return Fail("surface size must be between 1 and " + std::to_string(kLargestPictureSide) +
                " pixels each way");
  const ContextKind& wanted = kind == OffscreenContext::kEs2 ? kEs2 : kDesktopCompatibility;

  display = SurfacelessDisplay();
  if (display == EGL_NO_DISPLAY)
    return Undo("EGL has no surfaceless platform (is Mesa's EGL installed?)");
  EGLint major = 0;
  EGLint minor = 0;
  if (!eglInitialize(display, &major, &minor)) {
    display = EGL_NO_DISPLAY;
    return Undo("EGL could not be initialised on the surfaceless platform");
  }
  if (!eglBindAPI(wanted.api)) return Undo(wanted.noApi);
  context = CreateContext(wanted);
  if (context == EGL_NO_CONTEXT) return Undo(wanted.noContext);
  if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context))
    return Undo("EGL could not make the context current without a surface");
  if (!LoadEntryPoints()) return Undo(wanted.noEntryPoint);

  surfaceWidth = width;
  surfaceHeight = height;
  gl.genFramebuffers(1, &framebuffer);
  gl.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  gl.genRenderbuffers(1, &colourBuffer);
  gl.bindRenderbuffer(GL_RENDERBUFFER, colourBuffer);
  gl.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8_OES, width, height);
  gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colourBuffer);
  gl.genRenderbuffers(1, &depthBuffer);
  if (!AttachDeepestDepth(width, height)) return Undo(wanted.noFramebuffer);
  gl.viewport(0, 0, width, height);
  if (layer.start == nullptr) return {};
  if (Result started = layer.start(ProcAddress); !started) return Undo(started.error);
  stopLayer = layer.stop;
  return {};
}

int OffscreenDepthBits() { return depthBits; }

void FinishOffscreenFrame() {
  if (surfaceWidth != 0) gl.finish();
}

void ReadOffscreenPixels(unsigned char* rgba) {
  if (surfaceWidth == 0) return;  // nothing open, nothing to read
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
    if (stopLayer != nullptr) stopLayer();
    if (framebuffer != 0) gl.deleteFramebuffers(1, &framebuffer);
    if (colourBuffer != 0) gl.deleteRenderbuffers(1, &colourBuffer);
    if (depthBuffer != 0) gl.deleteRenderbuffers(1, &depthBuffer);
  }
  stopLayer = nullptr;
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
