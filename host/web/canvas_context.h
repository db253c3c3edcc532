#pragma once

#include "host/platform.h"

// The browser's stand-in for a window with a GL context: a fresh canvas from
// the page, a WebGL 1 context on it, and the fixed-function layer started on
// that context. Each run gets a new canvas, so no GL state of an earlier run
// can leak into the first frame of the next.

// `keepPictures` keeps the drawing buffer after presentation, so that the test
// page can read a scripted frame back; the real-time piece leaves it off.
// Fails, saying why, when the browser gives no WebGL context or the layer
// cannot start on it; the canvas then stays blank.
Result OpenCanvasContext(const PixelFormatRequest& format, bool keepPictures);
// Whether the context can be drawn to now: the browser may take it away (a
// lost GPU, too many contexts) and give it back later.
bool CanvasContextDrawable();
// Between frames: follows what changed since the last frame. A drawing buffer
// resized by the page gets its whole area as viewport, as a fresh context
// would have it; a context given back after a loss gets what the layer held.
void FollowCanvasContext();
void MakeCanvasContextCurrent();
// Stops the layer and gives the context's resources back to the browser.
void CloseCanvasContext();
