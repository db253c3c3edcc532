// The platform seam on SDL2: the window the screen request asks for (by
// default borderless and desktop-sized) with a GL context, a non-blocking
// event drain, the Escape query and the timer.
#include <SDL.h>
#include <SDL_syswm.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <utility>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#endif

#include "gl/gl_subset.h"
#include "host/platform.h"

namespace {

using Kind = ScreenRequest::Kind;

SDL_Window* window = nullptr;
SDL_GLContext glContext = nullptr;
ScreenRequest screen;
// SIGHUP while the display's mode is switched: SDL turns SIGINT and SIGTERM
// into a quit notification itself, and the mode must come back after any of them.
volatile std::sig_atomic_t hangUp = 0;
// The window another program owns went away under the run: its owner is done.
bool ownerWindowGone = false;
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

// A window of kind kDesktop, kWindow or kModeSwitch on the requested display.
SDL_Window* CreateScreenWindow(const char* title, Uint32 extraFlags) {
  const int d = screen.display;
  switch (screen.kind) {
    case Kind::kWindow:
      return SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED_DISPLAY(d),
                              SDL_WINDOWPOS_CENTERED_DISPLAY(d), screen.width, screen.height,
                              SDL_WINDOW_RESIZABLE | extraFlags);
    case Kind::kModeSwitch: {
      // SDL switches to the display's mode closest to the window's size: the
      // requested one, which PlatformScreenOffered found among its modes. At
      // the display's corner: with no window manager to place it, SDL would
      // leave it centred on the desktop as it was before the switch.
      SDL_Rect bounds{};
      if (SDL_GetDisplayBounds(d, &bounds) != 0) return nullptr;
      return SDL_CreateWindow(title, bounds.x, bounds.y, screen.width, screen.height,
                              SDL_WINDOW_FULLSCREEN | SDL_WINDOW_BORDERLESS | extraFlags);
    }
    default: {
      SDL_DisplayMode desktop{};
      if (SDL_GetDesktopDisplayMode(d, &desktop) != 0) return nullptr;
      // Displays on other X screens share the origin (0, 0): only the
      // display-numbered position tells SDL which one is meant.
      const int position = d == 0 ? 0 : SDL_WINDOWPOS_UNDEFINED_DISPLAY(d);
      // Created at the desktop's size so that the context's first viewport is the
      // full screen; fullscreen-desktop never changes the display mode.
      return SDL_CreateWindow(title, position, position, desktop.w, desktop.h,
                              SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS | extraFlags);
    }
  }
}

#if defined(SDL_VIDEO_DRIVER_X11)
// The window that screen savers draw on for "the root": a virtual root where
// a desktop or an older XScreenSaver has one (__SWM_VROOT), else the root.
Window RootToDrawOn(Display* display) {
  Window root = DefaultRootWindow(display);
  const Atom vroot = XInternAtom(display, "__SWM_VROOT", False);
  Window parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  Window found = root;
  if (XQueryTree(display, root, &root, &parent, &children, &count)) {
    for (unsigned int i = 0; i < count && found == root; ++i) {
      Atom type = None;
      int format = 0;
      unsigned long items = 0, after = 0;
      unsigned char* value = nullptr;
      if (XGetWindowProperty(display, children[i], vroot, 0, 1, False, XA_WINDOW, &type, &format,
                             &items, &after, &value) == Success &&
          value && type == XA_WINDOW && items == 1)
        found = *reinterpret_cast<Window*>(value);
      if (value) XFree(value);
    }
    if (children) XFree(children);
  }
  return found;
}
#endif

#if defined(SDL_VIDEO_DRIVER_X11)
Window adoptedWindow = 0;
int (*defaultXErrorHandler)(Display*, XErrorEvent*) = nullptr;

// Xlib's own handler would end the process with status 1 at the first
// request on a window that its owner has destroyed.
int OnXError(Display* display, XErrorEvent* error) {
  if (error->resourceid == adoptedWindow &&
      (error->error_code == BadWindow || error->error_code == BadDrawable)) {
    ownerWindowGone = true;
    return 0;
  }
  return defaultXErrorHandler ? defaultXErrorHandler(display, error) : 0;
}
#endif

// Adopts the window that another program owns, with GL on its own visual.
Result AdoptWindow() {
#if defined(SDL_VIDEO_DRIVER_X11)
  uint64_t id = screen.inside;
  if (id == 0) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return Fail("cannot reach the X server to find its root window");
    id = RootToDrawOn(display);
    XCloseDisplay(display);
  }
  SDL_SetHint(SDL_HINT_VIDEO_FOREIGN_WINDOW_OPENGL, "1");
  window = SDL_CreateWindowFrom(reinterpret_cast<void*>(static_cast<uintptr_t>(id)));
  if (!window) return Fail(SDL_GetError());
  // SDL asks a foreign window for no events: its size changes are wanted.
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11)
    XSelectInput(info.info.x11.display, info.info.x11.window, StructureNotifyMask);
  adoptedWindow = static_cast<Window>(id);
  defaultXErrorHandler = XSetErrorHandler(OnXError);
  return {};
#else
  return Fail("drawing into another program's window is done on X11 only");
#endif
}

// SDL's attributes are lower bounds, so asking for less depth, then for any
// colour sizes, walks toward the closest format that the display offers.
bool OpenGlWindow(const char* title, const PixelFormatRequest& format) {
  const int depths[] = {format.depthBits, 24, 16, 0};
  for (int anyColour = 0; anyColour < 2; ++anyColour) {
    for (int depthBits : depths) {
      if (depthBits > format.depthBits) continue;
      RequestGlFormat(format, depthBits, anyColour != 0);
      window = CreateScreenWindow(title, SDL_WINDOW_OPENGL);
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

void OnHangUp(int) { hangUp = 1; }

// Another program's window, or one the viewer may resize: the picture
// follows its size, as a full-screen one covers the screen.
bool FollowsWindowSize() { return screen.kind == Kind::kWindow || screen.kind == Kind::kInside; }

void FollowDrawableSize() {
  int width = 0, height = 0;
  SDL_GL_GetDrawableSize(window, &width, &height);
  glViewport(0, 0, width, height);
}

void SetVsync() {
  if (screen.vsync == ScreenRequest::Vsync::kDriver) return;
  const bool on = screen.vsync == ScreenRequest::Vsync::kOn;
  if (SDL_GL_SetSwapInterval(on ? 1 : 0) != 0)
    std::fprintf(stderr,
                 "quorvane: the driver does not let vsync be turned %s (%s); it stays as the "
                 "driver has it\n",
                 on ? "on" : "off", SDL_GetError());
}

// The video subsystem on a driver that shows something, with the hints that
// must be given before it starts.
Result StartVideo(const char* title) {
  // The window class, where the window system has one, carries the title too.
  SDL_setenv("SDL_VIDEO_X11_WMCLASS", title, 1);
  SDL_setenv("SDL_VIDEO_WAYLAND_WMCLASS", title, 1);
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  // Drawing for a screen saver, the screen saver is not to be held off.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, screen.kind == Kind::kInside ? "1" : "0");
  if (Result chosen = ChooseVideoDriver(); !chosen) return chosen;
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return QuitWith(SDL_GetError());
  if (!ShowsOnScreen(SDL_GetCurrentVideoDriver()))
    return QuitWith("no display: SDL offers only a video driver that shows nothing");
  return {};
}

// The distinct sizes of a display's modes, largest first, as "1920x1080 1280x720".
void DescribeModes(int display, char* text, size_t size) {
  text[0] = '\0';
  int lastWidth = 0, lastHeight = 0;
  for (int i = 0; i < SDL_GetNumDisplayModes(display); ++i) {
    SDL_DisplayMode mode{};
    if (SDL_GetDisplayMode(display, i, &mode) != 0) continue;
    if (mode.w == lastWidth && mode.h == lastHeight) continue;  // another refresh rate
    lastWidth = mode.w;
    lastHeight = mode.h;
    const size_t used = SDL_strlen(text);
    SDL_snprintf(text + used, size - used, "%s%dx%d", used ? " " : "", mode.w, mode.h);
  }
}

// SDL lists the displays of every X screen, but opens its windows on the
// first screen whichever display is asked for: with several X screens only
// display 0 is known to be reachable.
int XScreenCount() {
#if defined(SDL_VIDEO_DRIVER_X11)
  if (SDL_strcmp(SDL_GetCurrentVideoDriver(), "x11") != 0) return 1;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 1;
  const int count = ScreenCount(display);
  XCloseDisplay(display);
  return count;
#else
  return 1;
#endif
}

bool OffersMode(int display, int width, int height) {
  for (int i = 0; i < SDL_GetNumDisplayModes(display); ++i) {
    SDL_DisplayMode mode{};
    if (SDL_GetDisplayMode(display, i, &mode) == 0 && mode.w == width && mode.h == height)
      return true;
  }
  return false;
}

}  // namespace

Result PlatformScreenOffered(const ScreenRequest& request) {
  screen = request;
  if (!StartVideo("quorvane")) return {};
  char message[1024];
  const int displays = SDL_GetNumVideoDisplays();
  if (request.kind != Kind::kInside && request.display >= displays) {
    SDL_snprintf(message, sizeof message,
                 "there is no display %d: this screen has %d (from 0; --list-displays names "
                 "them)",
                 request.display, displays);
    return Fail(message);
  }
  if (request.kind != Kind::kInside && request.display > 0 && XScreenCount() > 1) {
    SDL_snprintf(message, sizeof message,
                 "display %d cannot be told from the first: this X server has %d screens, and "
                 "windows open on the first one; use its monitors (RandR outputs) instead",
                 request.display, XScreenCount());
    return Fail(message);
  }
  if (request.kind == Kind::kModeSwitch &&
      !OffersMode(request.display, request.width, request.height)) {
    char modes[768];
    DescribeModes(request.display, modes, sizeof modes);
    SDL_snprintf(message, sizeof message, "display %d offers no mode %dx%d; its modes: %s",
                 request.display, request.width, request.height, modes);
    return Fail(message);
  }
  return {};
}

Result PlatformListDisplays() {
  if (Result started = StartVideo("quorvane"); !started) return started;
  for (int d = 0; d < SDL_GetNumVideoDisplays(); ++d) {
    SDL_Rect bounds{};
    SDL_GetDisplayBounds(d, &bounds);
    char modes[768];
    DescribeModes(d, modes, sizeof modes);
    const char* name = SDL_GetDisplayName(d);
    std::printf("%d: %s, %dx%d at %d,%d; modes for --fullscreen: %s\n", d, name ? name : "?",
                bounds.w, bounds.h, bounds.x, bounds.y, modes);
  }
  if (XScreenCount() > 1)
    std::printf("This X server has %d screens: windows open on the first, so only display 0 "
                "can be chosen.\n",
                XScreenCount());
  return {};
}

Result PlatformOpenWindow(const char* title, const PixelFormatRequest& format,
                          const ScreenRequest& request) {
  screen = request;
  if (Result started = StartVideo(title); !started) return started;
  if (screen.kind == Kind::kModeSwitch) std::signal(SIGHUP, OnHangUp);
  if (screen.kind == Kind::kInside) {
    // The owner chose the window's pixel format; GL takes its visual as it is.
    if (Result adopted = AdoptWindow(); !adopted) return QuitWith(adopted.error);
    glContext = SDL_GL_CreateContext(window);
    if (glContext) SetVsync();
    return {};  // without GL drawn nowhere, but still ended by its owner
  }
  if (OpenGlWindow(title, format)) {
    glContext = SDL_GL_CreateContext(window);
    if (glContext) {
      SetVsync();
      return {};
    }
    SDL_DestroyWindow(window);
  }
  // No GL at all: a plain window still carries the run, undrawn.
  window = CreateScreenWindow(title, 0);
  if (window) return {};
  return QuitWith(SDL_GetError());
}

bool PlatformHasGraphics() { return glContext != nullptr; }

void PlatformShowWindow() {
  if (screen.kind == Kind::kInside) return;  // its owner shows it
  SDL_ShowWindow(window);
  SDL_RaiseWindow(window);
}

void PlatformHideCursor() {
  SDL_ShowCursor(SDL_DISABLE);
  if (screen.kind != Kind::kInside) SDL_DisableScreenSaver();
}

bool PlatformDrainEvents() {
  bool quit = hangUp != 0 || ownerWindowGone;
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    if (event.type == SDL_QUIT) quit = true;
    if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED &&
        glContext && FollowsWindowSize())
      FollowDrawableSize();
    NoteKey(event);
  }
  return quit;
}

void PlatformMakeCurrent() { SDL_GL_MakeCurrent(window, glContext); }

void PlatformPresent() { SDL_GL_SwapWindow(window); }

bool PlatformEscapeQuery() {
  // In another program's window the owner decides when the run ends.
  if (screen.ending == ScreenRequest::Ending::kNothing) return false;
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
  // A switched display keeps its mode after the process unless it is given
  // back: destroying the window restores the desktop's mode.
  if (screen.kind == Kind::kModeSwitch) SDL_DestroyWindow(window);
  // Otherwise the window and the display connection end with the process,
  // which also gives the screen saver back. SDL_Quit is not called: it
  // unloads the GL and D-Bus libraries, whose start-up allocations could then
  // no longer be told apart from leaks of ours.
}
