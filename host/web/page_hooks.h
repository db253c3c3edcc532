#pragma once

#include <cstdint>

// All the JavaScript the program calls on the page, declared here alone: the
// web build derives the JavaScript side from these lines
// (host/web/page_hooks_js.cmake), each PageName handing over to the hook
// `name` that the page puts in Module.page, its arguments read as their C
// types say. A hook the page lacks stops the program at its start. Keep each
// declaration on one line, with parameters of the types the derivation knows
// (int, double, uint32_t, const char*) and a result of void or bool.
extern "C" {

// A fresh canvas in place of the old one, sized in device pixels to the area
// it covers, with the proportions `aspect` where the area's are far from them.
void PageReplaceCanvas(double aspect);
// The canvas has its WebGL context: the page checks what size it was granted.
void PageCanvasOpened();
void PageEnterFullscreen();
void PageShowCanvas();
void PageHideCursor();
void PageFramePresented();
// Yields to the browser until its next frame (Asyncify unwinds the loop): the
// page's hook is handed the function that wakes the program.
void PageWaitForFrame();
// The run is over: cursor, wake lock and full screen go back to the page.
void PageRelease();
// The loop's first timer reading, the start of the piece's clock.
void PageClockStarted(uint32_t nowMs);
// True once for each time the page asks the run to end: full screen left on
// purpose, or starting again after the graphics were lost for good.
bool PageTakeEndRequest();

void PageMusicOpenOutput(int sampleRate);
void PageMusicOpen(const char* fileName);
void PageMusicPlay();
void PageMusicStop();
void PageMusicFree();

void PageReportCheckpoint(int frame, int elapsedMs, const char* stateHash, uint32_t random);
}
