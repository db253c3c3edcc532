#pragma once

#include "sim/field.h"
#include "sim/formations.h"

// One frame of the simulation over dt, in its fixed order: UpdateTargets,
// then SteerSwarm (which animates the attractors first), then AdvanceSwarm.
void StepSimulation(FormationMode formationMode, FieldMode fieldMode, float dt, float swell);
