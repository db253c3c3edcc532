#include "scene/swarm_draw.h"

#include "gl/gl_subset.h"
#include "script/spark_values.h"
#include "sim/swarm.h"

namespace {

constexpr float kSolidSize = 0.2f;
constexpr float kSparkReach = 0.6f;
constexpr float kSparkSetBack = 0.2f;
constexpr float kSparkTipDrop = 0.1f;
constexpr float kSparkRearDrop = 0.001f;

Vec3 Side(const Vec3& h, const Vec3& u) {
  return {u.z * h.y - u.y * h.z, h.z * u.x - u.z * h.x, u.y * h.x - h.y * u.x};
}

}  // namespace

void DrawSwarm(int32_t elapsedMs, float sceneSeconds) {
  const int solidCount = SolidCountAt(elapsedMs);
  const int sparkCount = SparkCountAt(elapsedMs);

  glBegin(GL_TRIANGLES);
  for (int i = 0; i < solidCount; ++i) {
    const Vec3& p = swarm.position[i];
    const Vec3& h = swarm.heading[i];
    const Vec3 s = Side(h, swarm.up[i]);
    glNormal3fv(&swarm.up[i].x);
    glVertex3f(p.x + kSolidSize * h.x, p.y + kSolidSize * h.y, p.z + kSolidSize * h.z);
    glVertex3f(p.x + kSolidSize * s.x, p.y + kSolidSize * s.y, p.z + kSolidSize * s.z);
    glVertex3f(p.x - kSolidSize * s.x, p.y - kSolidSize * s.y, p.z - kSolidSize * s.z);
  }
  glEnd();

  // Sparks are hidden behind solids but add light over one another.
  glDepthMask(GL_FALSE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glDisable(GL_LIGHTING);
  glEnable(GL_TEXTURE_2D);
  glBegin(GL_TRIANGLES);
  const float sparkAlpha = SparkAlphaAt(sceneSeconds);
  for (int i = 0; i < sparkCount; ++i) {
    const Vec3& p = swarm.position[i];
    const Vec3& h = swarm.heading[i];
    const Vec3 s = Side(h, swarm.up[i]);
    float rgb[3];
    SparkColour(i, sceneSeconds, rgb);
    glColor4f(rgb[0], rgb[1], rgb[2], sparkAlpha);
    glNormal3fv(&swarm.up[i].x);
    float st[6];
    NextSparkTexCoords(st);
    glTexCoord2f(st[0], st[1]);
    glVertex3f(p.x + kSparkReach * h.x, p.y + kSparkReach * h.y,
               p.z + kSparkReach * h.z - kSparkTipDrop);
    glTexCoord2f(st[2], st[3]);
    glVertex3f(p.x + kSparkReach * s.x - kSparkSetBack * h.x,
               p.y + kSparkReach * s.y - kSparkSetBack * h.y,
               p.z + kSparkReach * s.z - kSparkSetBack * h.z - kSparkRearDrop);
    glTexCoord2f(st[4], st[5]);
    glVertex3f(p.x - kSparkReach * s.x - kSparkSetBack * h.x,
               p.y - kSparkReach * s.y - kSparkSetBack * h.y,
               p.z - kSparkReach * s.z - kSparkSetBack * h.z - kSparkRearDrop);
  }
  glEnd();
}
