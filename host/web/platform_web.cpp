// The platform seam in a browser: the canvas is the window, full screen is
// asked for at the opening (which runs inside the page's begin gesture, since
// browsers grant full screen only then), and presenting hands the frame to the
// browser by waiting for its next animation frame.
#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <cstring>

#include "host/platform.h"
#include "host/web/canvas_context.h"
#include "host/web/web_clock.h"

namespace {

bool graphics = false;
bool escapeDown = false;
bool escapePressed = false;
bool wasFullscreen = false;
bool cursorHidden = false;
bool clockRead = false;

EM_BOOL OnKey(int eventType, const EmscriptenKeyboardEvent* event, void*) {
  if (std::strcmp(event->key, "Escape") != 0) return EM_FALSE;
  escapeDown = eventType == EMSCRIPTEN_EVENT_KEYDOWN;
  if (escapeDown) escapePressed = true;
  return EM_TRUE;
}

// Browsers keep Escape for leaving full screen and may not pass the key on,
// so leaving full screen is taken as the Escape press it usually is.
EM_BOOL OnFullscreenChange(int, const EmscriptenFullscreenChangeEvent* event, void*) {
  if (event->isFullscreen) {
    wasFullscreen = true;
  } else if (wasFullscreen) {
    escapePressed = true;
  }
  return EM_FALSE;
}

void ListenForEscape(bool listen) {
  const em_key_callback_func key = listen ? OnKey : nullptr;
  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, key);
  emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, key);
  emscripten_set_fullscreenchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_FALSE,
                                           listen ? OnFullscreenChange : nullptr);
}

EM_JS(void, RequestPageFullscreen, (), { Module.enterFullscreen(); });
EM_JS(void, ShowPageCanvas, (), { Module.showCanvas(); });
EM_JS(void, HidePageCursor, (), { Module.hideCursor(); });
EM_JS(void, NotePresent, (), { Module.notePresent(); });
EM_JS(void, ReleasePage, (), { Module.releasePage(); });
EM_JS(void, NoteClockStart, (uint32_t nowMs), { Module.note('clock-start', nowMs >>> 0); });

// An animation frame when the tab is shown; in a hidden tab, where the browser
// runs none, a timer that the browser slows to about one a second. The clock
// keeps running there, as a covered native window's does, so the run still
// ends at its time and the music, which a hidden tab keeps playing, stays in
// step with the picture when the tab is shown again.
// clang-format off
EM_ASYNC_JS(void, WaitForNextFrame, (), {
  await new Promise(resolve => {
    let timer = 0;
    const frame = requestAnimationFrame(() => {
      clearTimeout(timer);
      resolve();
    });
    timer = setTimeout(() => {
      cancelAnimationFrame(frame);
      resolve();
    }, 250);
  });
});
// clang-format on

}  // namespace

bool PlatformOpenWindow(const char*, const PixelFormatRequest& format, const char**) {
  escapeDown = escapePressed = wasFullscreen = cursorHidden = clockRead = false;
  RequestPageFullscreen();
  ListenForEscape(true);
  // Without WebGL the run goes on undrawn, as natively without a GL context;
  // the page has already said so before the gesture.
  const char* graphicsError = nullptr;
  graphics = OpenCanvasContext(format, false, &graphicsError);
  if (!graphics) std::fprintf(stderr, "quorvane: %s\n", graphicsError);
  return true;
}

bool PlatformHasGraphics() { return graphics; }

void PlatformShowWindow() { ShowPageCanvas(); }

void PlatformHideCursor() {
  if (cursorHidden) return;
  HidePageCursor();
  cursorHidden = true;
}

// Events reach the page's listeners only while the loop waits; a drawn run
// waits in PlatformPresent, an undrawn one (no WebGL) here, so that it never
// holds the page. Closing the tab ends the page itself: no quit notification.
bool PlatformDrainEvents() {
  if (!graphics) WaitForNextFrame();
  return false;
}

void PlatformMakeCurrent() { MakeCanvasContextCurrent(); }

void PlatformPresent() {
  NotePresent();
  WaitForNextFrame();
}

bool PlatformEscapeQuery() {
  const bool result = escapeDown || escapePressed;
  escapePressed = false;
  return result;
}

uint32_t PlatformMilliseconds() {
  const uint32_t now = WebClockMilliseconds();
  // The loop's first reading starts its clock; the page's log shows where
  // that falls among full screen and the music.
  if (!clockRead) NoteClockStart(now);
  clockRead = true;
  return now;
}

int PlatformExitStatus() { return 0; }

void PlatformRelease() {
  ListenForEscape(false);
  CloseCanvasContext();
  graphics = false;
  ReleasePage();
}
