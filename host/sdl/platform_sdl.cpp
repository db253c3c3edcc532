// The platform seam on SDL2: a borderless desktop-sized window with a GL
// context, a non-blocking event drain, the Escape query and the timer.
#include <SDL.h>
#include <SDL_syswm.h>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xlib.h>
#include <X11/keysym.h>
#endif

#include <string>
#include <utility>

#include "host/platform.h"

namespace {

SDL_Window* window = nullptr;
SDL_GLContext glContext = nullptr;
// A key-down of Escape seen since the previous query: a press and its release
// can arrive in one batch of events, so the key state alone would miss it.
bool escapePressed = false;

// SDL's error text does not survive SDL_Quit, so it is taken before.
Result QuitWith(std::string why) {
  SDL_Quit();
  return Fail(std::move(why));
}

void RequestGlFormat(const PixelFormatRequest& format, int depthBits, bool anyColour) {
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, anyColour ? 0 : format.redBits);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, anyColour ? 0 : format.greenBits);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, anyColour ? 0 : format.blueBits);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, anyColour ? 0 : format.alphaBits);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, format.stencilBits);
  SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, format.accumBits);
  SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, format.accumBits);
  SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, format.accumBits);
  SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, format.accumBits);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, format.doubleBuffer ? 1 : 0);
}

SDL_Window* CreateDesktopWindow(const char* title, Uint32 extraFlags) {
  SDL_DisplayMode desktop{};
  if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) return nullptr;
  // Created at the desktop's size so that the context's first viewport is the
  // full screen; fullscreen-desktop never changes the display mode.
  return SDL_CreateWindow(title, 0, 0, desktop.w, desktop.h,
                          SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS | extraFlags);
}

// SDL's attributes are lower bounds, so asking for less depth, then for any
// colour sizes, walks toward the closest format that the display offers.
bool OpenGlWindow(const char* title, const PixelFormatRequest& format) {
  const int depths[] = {format.depthBits, 24, 16, 0};
  for (int anyColour = 0; anyColour < 2; ++anyColour) {
    for (int depthBits : depths) {
      if (depthBits > format.depthBits) continue;
      RequestGlFormat(format, depthBits, anyColour != 0);
      window = CreateDesktopWindow(title, SDL_WINDOW_OPENGL);
      if (window) return true;
    }
  }
  return false;
}

// Left to itself SDL falls back to its offscreen driver when there is no
// display, and would run the whole piece unseen; and asking Wayland with no
// Wayland session prints a complaint. So only the window systems that the
// environment names are tried, unless SDL_VIDEODRIVER names its own; drivers
// that show nothing are refused either way.
Result ChooseVideoDriver() {
#ifdef __linux__
  if (SDL_getenv("SDL_VIDEODRIVER")) return {};
  const bool x11 = SDL_getenv("DISPLAY") && *SDL_getenv("DISPLAY");
  const bool wayland = SDL_getenv("WAYLAND_DISPLAY") && *SDL_getenv("WAYLAND_DISPLAY");
  if (!x11 && !wayland) return Fail("no display: neither DISPLAY nor WAYLAND_DISPLAY is set");
  SDL_SetHint(SDL_HINT_VIDEODRIVER, x11 && wayland ? "x11,wayland" : x11 ? "x11" : "wayland");
#endif
  return {};
}

bool ShowsOnScreen(const char* driver) {
  return driver && SDL_strcmp(driver, "offscreen") != 0 && SDL_strcmp(driver, "dummy") != 0;
}

// Whether the window system holds Escape down now, whoever has the focus, as
// GetAsyncKeyState reports it. X sends a newly mapped window no events for
// keys already down, and a window manager may keep the focus from it, so
// neither the events nor SDL's keyboard state need show a key held since
// before start-up. Wayland tells no client the keyboard's state: there the
// events alone count.
bool EscapeDownOnServer() {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  Display* display = info.info.x11.display;
  const KeyCode escape = XKeysymToKeycode(display, XK_Escape);
  if (escape == 0) return false;
  char keys[32];
  XQueryKeymap(display, keys);
  return (keys[escape / 8] >> (escape % 8)) & 1;
#else
  return false;
#endif
}

void NoteKey(const SDL_Event& event) {
  if (event.type == SDL_KEYDOWN && event.key.keysym.scancode == SDL_SCANCODE_ESCAPE) {
    escapePressed = true;
  }
}

}  // namespace

Result PlatformOpenWindow(const char* title, const PixelFormatRequest& format) {
  // The window class, where the window system has one, carries the title too.
  SDL_setenv("SDL_VIDEO_X11_WMCLASS", title, 1);
  SDL_setenv("SDL_VIDEO_WAYLAND_WMCLASS", title, 1);
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "0");
  if (Result chosen = ChooseVideoDriver(); !chosen) return chosen;
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return QuitWith(SDL_GetError());
  if (!ShowsOnScreen(SDL_GetCurrentVideoDriver()))
    return QuitWith("no display: SDL offers only a video driver that shows nothing");
  if (OpenGlWindow(title, format)) {
    glContext = SDL_GL_CreateContext(window);
    if (glContext) return {};
    SDL_DestroyWindow(window);
  }
  // No GL at all: a plain window still carries the run, undrawn.
  window = CreateDesktopWindow(title, 0);
  if (window) return {};
  return QuitWith(SDL_GetError());
}

bool PlatformHasGraphics() { return glContext != nullptr; }

void PlatformShowWindow() {
  SDL_ShowWindow(window);
  SDL_RaiseWindow(window);
}

void PlatformHideCursor() {
  SDL_ShowCursor(SDL_DISABLE);
  SDL_DisableScreenSaver();
}

bool PlatformDrainEvents() {
  bool quit = false;
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    if (event.type == SDL_QUIT) quit = true;
    NoteKey(event);
  }
  return quit;
}

void PlatformMakeCurrent() { SDL_GL_MakeCurrent(window, glContext); }

void PlatformPresent() { SDL_GL_SwapWindow(window); }

bool PlatformEscapeQuery() {
  // Key events that came in after the drain count as well; other events stay
  // queued for the next drain.
  SDL_PumpEvents();
  SDL_Event event;
  while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_KEYDOWN, SDL_KEYUP) > 0) NoteKey(event);
  const bool down = SDL_GetKeyboardState(nullptr)[SDL_SCANCODE_ESCAPE] != 0 || EscapeDownOnServer();
  const bool result = down || escapePressed;
  escapePressed = false;
  return result;
}

uint32_t PlatformMilliseconds() { return SDL_GetTicks(); }

int PlatformExitStatus() { return 0; }

void PlatformRelease() {
  if (glContext) SDL_GL_DeleteContext(glContext);
  glContext = nullptr;
  // The window and the display connection end with the process, which also
  // gives the screen saver back. SDL_Quit is not called: it unloads the GL and
  // D-Bus libraries, whose start-up allocations could then no longer be told
  // apart from leaks of ours.
}
