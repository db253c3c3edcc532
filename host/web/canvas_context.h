#pragma once

#include "host/platform.h"

// The browser's stand-in for a window with a GL context: a fresh canvas from
// the page, a WebGL 1 context on it, and the fixed-function layer started on
// that context. Each run gets a new canvas, so no GL state of an earlier run
// can leak into the first frame of the next.

// `keepPictures` keeps the drawing buffer after presentation, so that the test
// page can read a scripted frame back; the real-time piece leaves it off.
// False when the browser gives no WebGL context or the layer cannot start on
// it; `error` then says why and the canvas stays blank.
bool OpenCanvasContext(const PixelFormatRequest& format, bool keepPictures, const char** error);
void MakeCanvasContextCurrent();
// Stops the layer and gives the context's resources back to the browser.
void CloseCanvasContext();
