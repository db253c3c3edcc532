#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The platform and music seams driven by a script, so that the real frame
// loop runs in a test without a window system or a sound card. Timer
// readings, quit notifications, Escape answers and the presence of GL come
// from the script; every call is recorded in order.

// A loop that never ends by itself is stopped by a quit notification at
// runawayDrain, so that a faulty loop fails its test instead of hanging it.
struct SeamScript {
  bool windowOpens = true;
  const char* openError = "scripted: no window";
  bool graphics = false;
  // Drains (counted from 1) after which the context cannot be drawn to, as a
  // browser's lost context cannot.
  std::vector<int> graphicsLostAtDrains;
  // One reading per timer call, the clock start's first; the last repeats.
  std::vector<uint32_t> timerReadings{0};
  // When not 0, timer call n (from 0) reads n * timerStepMs instead.
  uint32_t timerStepMs = 0;
  // The drain, counted from 1, that reports a quit notification; 0 for none.
  int quitAtDrain = 0;
  // One answer per Escape query, the start-up query's first; false beyond.
  std::vector<bool> escapeAnswers;
  int exitStatus = 0;
  // The drain that stops a loop that never ends by itself.
  int runawayDrain = 10000;
  // Off, nothing is recorded: a long run's record would grow with it.
  bool record = true;
  // Called at every seam call, with the operation's name, as the call begins.
  std::function<void(const std::string& name)> onCall;
};

struct SeamCall {
  std::string name;  // the operation without its prefix, with its argument if any
  uint32_t rngState;
  uint32_t atlasTexture;
};

// Loads `script` and clears the record.
void ScriptSeams(const SeamScript& script);
const std::vector<SeamCall>& RecordedCalls();
std::vector<std::string> RecordedNames();
