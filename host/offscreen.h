#pragma once

#include "base/result.h"

// A headless GL surface for tests and tools: EGL on Mesa's surfaceless
// platform, a desktop OpenGL compatibility context, and a framebuffer object
// with 8-bit RGBA and the deepest depth buffer offered. Needs no X server.
// quorvane_offscreen_es2 gives the same surface with an OpenGL ES 2 context,
// the piece's GL 1.1 calls carried out on it by gl/gles.

// Creates the context and a width x height framebuffer, makes it current and
// sets the viewport to its size (as a fresh window context would). Fails,
// saying why, when EGL or a suitable context is not available.
Result OpenOffscreenSurface(int width, int height);
// Depth bits of the framebuffer that was obtained.
int OffscreenDepthBits();
// Waits until the frame drawn so far is complete, as a present would.
void FinishOffscreenFrame();
// Copies the picture into `rgba` (width * height * 4 bytes), top row first.
void ReadOffscreenPixels(unsigned char* rgba);
void CloseOffscreenSurface();
