#include "sim/steering.h"

#include <cmath>

#include "sim/swarm.h"
#include "sim/vector_ops.h"

void SteerSwarm(FieldMode fieldMode, float dt, float alignGain) {
  AnimateAttractors(dt);
  const float turn = dt * kTurnRate;
  for (int i = 0; i < kAgentCount; ++i) {
    Vec3& position = swarm.position[i];
    Vec3& heading = swarm.heading[i];
    Vec3& up = swarm.up[i];
    const Vec3& target = swarm.target[i];

    Vec3 toTarget{target.x - position.x, target.y - position.y, target.z - position.z};
    SafeNormalize(toTarget);
    BlendNormalize(toTarget, heading, heading, turn);
    Orthonormalize(up, heading);

    const float value = FieldValue(position, fieldMode);
    Vec3 normal;
    FieldGradient(position, fieldMode, normal);
    float k = 1.0f - std::fabs(value);
    if (k < 0.0f) k = 0.0f;
    const float align = k * alignGain;
    BlendNormalize(normal, up, up, align);
    // The up vector leads at the end of the step: the heading is fitted to it.
    Orthonormalize(heading, up);
  }
}

void AdvanceSwarm(float dt) {
  for (int i = 0; i < kAgentCount; ++i) {
    Vec3& p = swarm.position[i];
    const Vec3& h = swarm.heading[i];
    p.x = p.x + h.x * dt * kCruiseSpeed;
    p.y = p.y + h.y * dt * kCruiseSpeed;
    p.z = p.z + h.z * dt * kCruiseSpeed;
    float s = 0.0f + p.x * p.x;
    s = s + p.y * p.y;
    s = s + p.z * p.z;
    if (s > kWrapRadiusSquared) p = Vec3{-p.x, -p.y, -p.z};
  }
}
