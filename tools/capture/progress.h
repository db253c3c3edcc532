#pragma once

#include <chrono>
#include <cstdint>
#include <string>

// Progress of the recorded frames on stderr: a bar redrawn in place when stderr
// is a terminal, otherwise one line per few percent (logs, CI).
struct Progress {
  bool quiet = false;
  bool terminal = false;
  int64_t total = 0;
  int nextPercent = 0;
  std::chrono::steady_clock::time_point start;
  std::chrono::steady_clock::time_point lastDrawn;
};

void StartProgress(Progress& progress, int64_t total, bool quiet);
void UpdateProgress(Progress& progress, int64_t done);
// Draws the final state and ends the bar's line.
void EndProgress(Progress& progress, int64_t done);

// "[====>     ]  120/600 frames  31.4 fps  0:15 left"; without the bar when barWidth is 0.
std::string FormatProgress(int64_t done, int64_t total, double elapsedSeconds, int barWidth);

// The closing note of a capture: "wrote PATH: N frames of WxH at F fps in S s",
// S counted from `started`.
void ReportWritten(const std::string& path, int64_t frames, int width, int height, int fps,
                   std::chrono::steady_clock::time_point started);
