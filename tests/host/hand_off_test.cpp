#include <GL/gl.h>

#include <cmath>

#include "host/atlas.h"
#include "host/frame.h"
#include "host/frame_clock.h"
#include "host/headless_run.h"
#include "scene/backdrop.h"
#include "scene/swarm_draw.h"
#include "scene/timeline.h"
#include "script/spark_values.h"
#include "sim/rng.h"
#include "tests/host/atlas_run_fixture.h"

namespace {

class HostHandOff : public AtlasRunTest {
 protected:
  static SceneClock NextClock(int32_t elapsedMs) {
    SceneClock clock = HeadlessClock();
    TickSceneClock(clock, static_cast<uint32_t>(elapsedMs));
    return clock;
  }

  static GLint Integer(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
  }

  static void ExpectBoundAtlas() {
    EXPECT_EQ(static_cast<GLuint>(Integer(GL_TEXTURE_BINDING_2D)), atlasTexture);
  }
};

// Column-major 4x4 times (x, y, z, w).
void Transform(const GLfloat m[16], const float v[4], float out[4]) {
  for (int row = 0; row < 4; ++row)
    out[row] = m[row] * v[0] + m[4 + row] * v[1] + m[8 + row] * v[2] + m[12 + row] * v[3];
}

TEST_F(HostHandOff, EachStageOfAFrameLeavesWhatTheNextReliesOn) {
  const SceneClock clock = NextClock(12000);

  BeginSceneFrame(clock);
  EXPECT_EQ(Integer(GL_MATRIX_MODE), GL_MODELVIEW);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
  EXPECT_EQ(Integer(GL_LIGHT_MODEL_TWO_SIDE), 1);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_EQ(Integer(GL_DEPTH_WRITEMASK), GL_TRUE);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  ExpectBoundAtlas();

  // Perspective of 25 degrees at aspect 1.8, near 0.1, far 100.
  GLfloat projection[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  const float focal = 1.0f / std::tan(12.5f * 3.14159265f / 180.0f);
  EXPECT_NEAR(projection[5], focal, 1e-4f);
  EXPECT_NEAR(projection[0], focal / 1.8f, 1e-4f);
  EXPECT_NEAR(projection[10], -100.1f / 99.9f, 1e-5f);
  EXPECT_NEAR(projection[14], -20.0f / 99.9f, 1e-5f);

  // The light is fixed in the world: stored in eye space through the view.
  GLfloat view[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, view);
  const float worldLight[4] = {0.7f, 0.0f, 0.7f, 0.0f};
  float eyeLight[4];
  Transform(view, worldLight, eyeLight);
  GLfloat stored[4];
  glGetLightfv(GL_LIGHT0, GL_POSITION, stored);
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(stored[i], eyeLight[i], 1e-5f);
  GLfloat diffuse[4];
  glGetLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
  EXPECT_FLOAT_EQ(diffuse[0], 0.9f);
  EXPECT_FLOAT_EQ(diffuse[2], 0.4f);

  const uint32_t randomAfterStep = Rng15::State();
  DrawSwarm(clock.elapsedMs, clock.sceneSeconds);
  EXPECT_EQ(Integer(GL_DEPTH_WRITEMASK), GL_FALSE);
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  EXPECT_EQ(Integer(GL_BLEND_SRC), GL_SRC_ALPHA);
  EXPECT_EQ(Integer(GL_BLEND_DST), GL_ONE);
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  ExpectBoundAtlas();

  // Current colour and texture coordinate: those of the last spark's last corner.
  const int lastSpark = 3999;
  float rgb[3];
  SparkColour(lastSpark, clock.sceneSeconds, rgb);
  GLfloat colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(colour[i], std::fmin(rgb[i], 1.0f), 1e-6f);
  EXPECT_NEAR(colour[3], SparkAlphaAt(clock.sceneSeconds), 1e-6f);
  const uint32_t randomAfterSparks = Rng15::State();
  Rng15::SetState(randomAfterStep);
  float st[6];
  for (int i = 0; i <= lastSpark; ++i) NextSparkTexCoords(st);
  EXPECT_EQ(Rng15::State(), randomAfterSparks);
  GLfloat texCoord[4];
  glGetFloatv(GL_CURRENT_TEXTURE_COORDS, texCoord);
  EXPECT_EQ(texCoord[0], st[4]);
  EXPECT_EQ(texCoord[1], st[5]);

  DrawClosingOverlays(clock);
  EXPECT_EQ(Integer(GL_BLEND_SRC), GL_SRC_ALPHA);
  EXPECT_EQ(Integer(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  EXPECT_EQ(Integer(GL_DEPTH_WRITEMASK), GL_TRUE);
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_EQ(Integer(GL_MATRIX_MODE), GL_MODELVIEW);

  // With the cards drawn the quads switch the depth test back on.
  SceneClock cards = clock;
  cards.sceneSeconds = 222.0f;
  DrawClosingOverlays(cards);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

  RunSceneFrame(NextClock(12016));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  ExpectBoundAtlas();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(HostHandOff, CameraLooksFromTheOrbitTowardTheCentre) {
  // At 0 ms the eye is at (0, 0, -20) looking at (1, 0.5, 0).
  const SceneClock clock = NextClock(0);
  BeginSceneFrame(clock);
  GLfloat view[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, view);
  const float eye[4] = {0.0f, 0.0f, -20.0f, 1.0f};
  const float centre[4] = {1.0f, 0.5f, 0.0f, 1.0f};
  float out[4];
  Transform(view, eye, out);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(out[i], 0.0f, 1e-4f);
  Transform(view, centre, out);
  EXPECT_NEAR(out[0], 0.0f, 1e-4f);
  EXPECT_NEAR(out[1], 0.0f, 1e-4f);
  EXPECT_NEAR(out[2], -std::sqrt(1.0f + 0.25f + 400.0f), 1e-3f);
}

}  // namespace
