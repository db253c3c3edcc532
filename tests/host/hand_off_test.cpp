#include <GL/gl.h>

#include <array>
#include <cmath>
#include <vector>

#include "host/atlas.h"
#include "host/frame.h"
#include "host/frame_clock.h"
#include "host/headless_run.h"
#include "scene/backdrop.h"
#include "scene/camera.h"
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

// GL_LIGHT0's stored direction taken back into the world through the view
// (whose upper 3x3 is a rotation, so its transpose undoes it).
std::array<float, 3> WorldLight() {
  std::array<float, 3> world{};
  GLfloat view[16];
  GLfloat eye[4];
  glGetFloatv(GL_MODELVIEW_MATRIX, view);
  glGetLightfv(GL_LIGHT0, GL_POSITION, eye);
  for (int i = 0; i < 3; ++i)
    world[i] = view[4 * i] * eye[0] + view[4 * i + 1] * eye[1] + view[4 * i + 2] * eye[2];
  return world;
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

  // The projection shows the field of view the camera asks for at this time.
  GLfloat projection[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  const float fov = FieldOfViewFor(CameraDistanceAt(clock.sceneSeconds));
  EXPECT_NEAR(projection[5], 1.0f / std::tan(fov * 0.5f * 3.14159265f / 180.0f), 1e-4f);
  EXPECT_NEAR(projection[0] * kProjectionAspect, projection[5], 1e-4f);

  // The light stays fixed in the world while the camera orbits: taken back
  // through each frame's view, its direction is the same at 12 s and 90 s.
  const std::array<float, 3> lightAt12 = WorldLight();
  BeginSceneFrame(NextClock(90000));
  const std::array<float, 3> lightAt90 = WorldLight();
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(lightAt12[i], lightAt90[i], 1e-5f);
  BeginSceneFrame(clock);

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

// A frame looks the same whether the frame before it was drawn or not (the
// first one on a fresh context): nothing a frame leaves behind shows in the
// next, after the swarm's passes or after the fade and the cards.
TEST_F(HostHandOff, AFramesPictureDoesNotDependOnTheFrameBefore) {
  for (const int32_t before : {12000, 222000}) {
    std::vector<unsigned char> pictures[2];
    for (const bool drawnBefore : {false, true}) {
      StartHeadlessRun(60);
      RunFrameAt(before, drawnBefore ? RunSceneFrame : kUndrawn);
      RunFrameAt(before + 16, RunSceneFrame);
      pictures[drawnBefore] = ReadPixels();
    }
    EXPECT_TRUE(pictures[0] == pictures[1]) << "after the frame at " << before << " ms";
  }
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
