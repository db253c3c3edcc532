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

// Opens the borderless window covering the screen at the desktop's current
// resolution, titled `title`, and tries to give it a GL context with `format`.
// Fails, saying why, only when no window at all could be opened.
Result PlatformOpenWindow(const char* title, const PixelFormatRequest& format);
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
// Deletes the GL context (still current), then releases the drawing surface.
void PlatformRelease();
