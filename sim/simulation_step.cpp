#include "sim/simulation_step.h"

#include "sim/steering.h"

namespace {

// The up vectors always align fully; nothing in the piece varies this.
constexpr float kAlignGain = 1.0f;

}  // namespace

void StepSimulation(FormationMode formationMode, FieldMode fieldMode, float dt, float swell) {
  UpdateTargets(formationMode, dt, swell);
  SteerSwarm(fieldMode, dt, kAlignGain);
  AdvanceSwarm(dt);
}
