#include "scene/camera.h"

#include "gl/gl_subset.h"
#include "gl/glu_subset.h"
#include "sim/float_math.h"

namespace {

constexpr float kAspect = 1.8f;  // fixed, whatever the window's shape
constexpr float kNear = 0.1f;
constexpr float kFar = 100.0f;

constexpr GLfloat kLightAmbient[4] = {0.3f, 0.23f, 0.2f, 1.0f};
constexpr GLfloat kLightDiffuse[4] = {0.9f, 0.85f, 0.4f, 1.0f};
constexpr GLfloat kLightSpecular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
// w = 0: directional, given under the view matrix so it stays fixed in the world.
constexpr GLfloat kLightPosition[4] = {0.7f, 0.0f, 0.7f, 0.0f};

}  // namespace

float CameraDistanceAt(float t) {
  if (t <= 150.0f) return 20.0f;
  const float late = t - 150.0f;
  return 3.0f + 17.0f / (1.0f + 0.1f * (late * late));
}

float OrbitAngleAt(float m) {
  return 17.0f * Sin32(0.000013f * m) + 25.0f * Sin32(0.000008f * m) + 3.0f * (0.00005f * m);
}

float FieldOfViewFor(float distance) { return 500.0f / distance; }

void SetCameraAndLights(const SceneClock& clock) {
  const float d = CameraDistanceAt(clock.sceneSeconds);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(FieldOfViewFor(d), kAspect, kNear, kFar);

  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  const float a = OrbitAngleAt(static_cast<float>(clock.elapsedMs));
  const float sinA = Sin32(a);
  const float cosA = Cos32(a);
  gluLookAt(d * sinA, 0.0f, -d * cosA, cosA, 0.5f, sinA, 0.0f, 1.0f, 0.0f);

  glDisable(GL_TEXTURE_2D);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glLightfv(GL_LIGHT0, GL_AMBIENT, kLightAmbient);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, kLightDiffuse);
  glLightfv(GL_LIGHT0, GL_SPECULAR, kLightSpecular);
  glLightfv(GL_LIGHT0, GL_POSITION, kLightPosition);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
}
