#include "tests/host/scripted_platform.h"

#include <algorithm>
#include <utility>

#include "host/atlas.h"
#include "host/music.h"
#include "host/platform.h"
#include "sim/rng.h"

namespace {

SeamScript script;
std::vector<SeamCall> calls;
size_t timerCalls = 0;
int drains = 0;
size_t escapeQueries = 0;

void Record(std::string name) {
  if (script.onCall) script.onCall(name.substr(0, name.find(' ')));
  if (script.record) calls.push_back({std::move(name), Rng15::State(), atlasTexture});
}

}  // namespace

void ScriptSeams(const SeamScript& newScript) {
  script = newScript;
  calls.clear();
  timerCalls = 0;
  drains = 0;
  escapeQueries = 0;
}

const std::vector<SeamCall>& RecordedCalls() { return calls; }

std::vector<std::string> RecordedNames() {
  std::vector<std::string> names;
  for (const SeamCall& call : calls) names.push_back(call.name);
  return names;
}

Result PlatformOpenWindow(const char* title, const PixelFormatRequest&, const ScreenRequest&) {
  Record(std::string("OpenWindow ") + title);
  if (!script.windowOpens) return Fail(script.openError);
  return {};
}

// Queries of state, not steps: left out of the record.
bool PlatformHasGraphics() {
  const std::vector<int>& lost = script.graphicsLostAtDrains;
  return script.graphics && std::find(lost.begin(), lost.end(), drains) == lost.end();
}
int PlatformExitStatus() { return script.exitStatus; }

void PlatformShowWindow() { Record("ShowWindow"); }
void PlatformHideCursor() { Record("HideCursor"); }

bool PlatformDrainEvents() {
  Record("DrainEvents");
  ++drains;
  return drains == script.quitAtDrain || drains >= script.runawayDrain;
}

void PlatformMakeCurrent() { Record("MakeCurrent"); }
void PlatformPresent() { Record("Present"); }

bool PlatformEscapeQuery() {
  Record("EscapeQuery");
  const size_t query = escapeQueries++;
  return query < script.escapeAnswers.size() && script.escapeAnswers[query];
}

uint32_t PlatformMilliseconds() {
  const size_t call = timerCalls++;
  const size_t last = script.timerReadings.size() - 1;
  const uint32_t reading = script.timerStepMs != 0
                               ? static_cast<uint32_t>(call) * script.timerStepMs
                               : script.timerReadings[std::min(call, last)];
  Record("Milliseconds");
  return reading;
}

void PlatformRelease() { Record("Release"); }

void MusicOpenOutput(int sampleRate) { Record("MusicOpenOutput " + std::to_string(sampleRate)); }
void MusicCreateStream(const char* fileName) {
  Record(std::string("MusicCreateStream ") + fileName);
}
void MusicPlayFromStart() { Record("MusicPlayFromStart"); }
void MusicStartOutput() { Record("MusicStartOutput"); }
void MusicStop() { Record("MusicStop"); }
void MusicFree() { Record("MusicFree"); }
void MusicReleaseOutput() { Record("MusicReleaseOutput"); }
