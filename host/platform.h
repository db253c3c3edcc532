#pragma once

#include <cstdint>

#include "base/result.h"

// The few things the frame loop needs from a window system. One implementation
// per platform (SDL2 now); the loop itself is written once, above this seam.

// Pixel format the piece asks for; where it cannot be had exactly, the closest
// format offered is used whatever its sizes.
struct PixelFormatRequest {
  int redBits = 8, greenBits = 8, blueBits = 8, alphaBits = 8;
  int depthBits = 32;
  int stencilBits = 0;
  int accumBits = 0;
  bool doubleBuffer = true;
};

// Where the picture is shown. The default is the piece's own: a borderless
// window covering the first display at the desktop's current resolution.
struct ScreenRequest {
  enum class Kind {
    kDesktop,     // borderless, covering display `display` at the desktop's resolution
    kWindow,      // a normal, resizable window of width x height on display `display`
    kModeSwitch,  // full screen on display `display`, switched to the mode width x height
    kInside,      // inside the window `inside` that another program owns (a screensaver's)
  };
  enum class Vsync { kDriver, kOn, kOff };
  // What ends the run besides a quit notification.
  enum class Ending {
    kEscape,    // the Escape key
    kNothing,   // only the owner of the window (a screensaver daemon, a dialog)
    kAnyInput,  // any key, button or mouse move (a screensaver shown full screen)
  };
  Kind kind = Kind::kDesktop;
  int width = 0;
  int height = 0;
  int display = 0;
  // kInside: the window system's handle of the window to draw in (X window
  // id, HWND); 0 with kInside means the root window.
  uint64_t inside = 0;
  Vsync vsync = Vsync::kDriver;
  Ending ending = Ending::kEscape;
};

// Opens the window that `screen` asks for, titled `title`, and tries to give
// it a GL context with `format`. Fails, saying why, only when no window at
// all could be opened.
Result PlatformOpenWindow(const char* title, const PixelFormatRequest& format,
                          const ScreenRequest& screen);
// Whether the GL context exists (setting the pixel format succeeded) and can
// be drawn to. Asked at the opening and before every frame: natively the
// answer never changes; a browser can lose its context and get it back.
bool PlatformHasGraphics();
void PlatformShowWindow();
// Also refuses the screen saver and display power-down for the whole run.
void PlatformHideCursor();
// Removes every pending event without blocking; true when a quit notification
// (window closed, SIGTERM, SIGINT) was among them.
bool PlatformDrainEvents();
void PlatformMakeCurrent();
void PlatformPresent();
// True when Escape is down now or was pressed since the previous query.
bool PlatformEscapeQuery();
// A 32-bit millisecond counter; callers subtract with wrap-around.
uint32_t PlatformMilliseconds();
// The process exit status once the loop has ended.
int PlatformExitStatus();
// Deletes the GL context (still current), gives the display its desktop mode
// back where it was switched, then releases the drawing surface.
void PlatformRelease();

// Native platforms only, before the window opens. Whether the displays offer
// what `screen` asks for (the display exists, the mode is one of its own);
// fails saying why not. Succeeds when there is no display to ask: opening the
// window then fails as it would have.
Result PlatformScreenOffered(const ScreenRequest& screen);
// Names the displays, where they lie and their full-screen modes on stdout;
// fails when the window system cannot be reached.
Result PlatformListDisplays();
