// The platform seam in a browser: the canvas is the window, full screen is
// asked for at the opening (which runs inside the page's begin gesture, since
// browsers grant full screen only then), and presenting hands the frame to the
// browser by waiting for its next animation frame.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <cstring>

#include "host/platform.h"
#include "host/web/canvas_context.h"
#include "host/web/page_hooks.h"
#include "host/web/web_clock.h"

namespace {

bool graphics = false;
bool escapeDown = false;
bool escapePressed = false;
bool cursorHidden = false;
bool clockRead = false;

EM_BOOL OnKey(int eventType, const EmscriptenKeyboardEvent* event, void*) {
  if (std::strcmp(event->key, "Escape") != 0) return EM_FALSE;
  escapeDown = eventType == EMSCRIPTEN_EVENT_KEYDOWN;
  if (escapeDown) escapePressed = true;
  return EM_TRUE;
}

void ListenForEscape(bool listen) {
  const em_key_callback_func key = listen ? OnKey : nullptr;
  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, key);
  emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, key);
}

}  // namespace

Result PlatformOpenWindow(const char*, const PixelFormatRequest& format, const ScreenRequest&) {
  escapeDown = escapePressed = cursorHidden = clockRead = false;
  PageEnterFullscreen();
  ListenForEscape(true);
  // Without WebGL the run goes on undrawn, as natively without a GL context;
  // the page has already said so before the gesture.
  const Result opened = OpenCanvasContext(format, false);
  graphics = static_cast<bool>(opened);
  if (!graphics) std::fprintf(stderr, "quorvane: %s\n", opened.error.c_str());
  return {};
}

// Asked every frame: a lost context leaves the frames undrawn until it is back.
bool PlatformHasGraphics() { return graphics && CanvasContextDrawable(); }

void PlatformShowWindow() { PageShowCanvas(); }

void PlatformHideCursor() {
  if (cursorHidden) return;
  PageHideCursor();
  cursorHidden = true;
}

// Events reach the page's listeners only while the loop waits; a drawn frame
// waits in PlatformPresent, an undrawn one here, so that no frame holds the
// page. Closing the tab ends the page itself: no quit notification.
bool PlatformDrainEvents() {
  if (graphics) FollowCanvasContext();
  if (!PlatformHasGraphics()) PageWaitForFrame();
  return false;
}

void PlatformMakeCurrent() { MakeCanvasContextCurrent(); }

void PlatformPresent() {
  PageFramePresented();
  PageWaitForFrame();
}

// Browsers keep Escape for leaving full screen and may not pass the key on,
// so the page's word that full screen was left on purpose counts as Escape.
bool PlatformEscapeQuery() {
  const bool result = escapeDown || escapePressed || PageTakeEndRequest();
  escapePressed = false;
  return result;
}

uint32_t PlatformMilliseconds() {
  const uint32_t now = WebClockMilliseconds();
  if (!clockRead) PageClockStarted(now);
  clockRead = true;
  return now;
}

int PlatformExitStatus() { return 0; }

void PlatformRelease() {
  ListenForEscape(false);
  CloseCanvasContext();
  graphics = false;
  PageRelease();
}
