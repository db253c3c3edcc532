#include "tools/music_gen/swarm_drive.h"

#include <cmath>

#include "host/headless_run.h"
#include "sim/swarm.h"

namespace {

float Spread() {
  double cx = 0.0, cy = 0.0, cz = 0.0;
  for (const Vec3& p : swarm.position) {
    cx += p.x;
    cy += p.y;
    cz += p.z;
  }
  cx /= kAgentCount;
  cy /= kAgentCount;
  cz /= kAgentCount;
  double sum = 0.0;
  for (const Vec3& p : swarm.position) {
    const double dx = p.x - cx, dy = p.y - cy, dz = p.z - cz;
    sum += std::sqrt(dx * dx + dy * dy + dz * dz);
  }
  return static_cast<float>(sum / kAgentCount);
}

}  // namespace

std::vector<float> SwarmSpreadByFrame(double seconds) {
  const int frames = static_cast<int>(std::ceil(seconds * kDriveFramesPerSecond));
  std::vector<float> spread(static_cast<size_t>(frames));
  StartHeadlessRun(kDriveFramesPerSecond);
  for (float& value : spread) {
    RunNextFrame(kUndrawn);
    value = Spread();
  }
  return spread;
}

float SpreadAt(const std::vector<float>& spreadByFrame, double seconds) {
  if (spreadByFrame.empty()) return 0.0f;
  // Frame k + 1 shows the swarm from (k + 1) / fps on.
  const double at = seconds * kDriveFramesPerSecond - 1.0;
  if (at <= 0.0) return spreadByFrame.front();
  const size_t k = static_cast<size_t>(at);
  if (k + 1 >= spreadByFrame.size()) return spreadByFrame.back();
  const float x = static_cast<float>(at - static_cast<double>(k));
  return spreadByFrame[k] + x * (spreadByFrame[k + 1] - spreadByFrame[k]);
}
