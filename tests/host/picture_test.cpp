#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "host/frame.h"
#include "host/headless_run.h"
#include "scene/backdrop.h"
#include "tests/host/atlas_run_fixture.h"

namespace {

class HostPicture : public AtlasRunTest {
 protected:
  // The picture of the piece at `seconds`, as the stills tool draws it.
  std::vector<unsigned char> DrawMoment(double seconds) {
    RunUpToFrame(FrameShowing(seconds, 60), RunSceneFrame);
    return ReadPixels();
  }

  // A frame at a clock reading between the schedule's frames.
  std::vector<unsigned char> DrawAt(int32_t elapsedMs) {
    RunFrameAt(elapsedMs, RunSceneFrame);
    return ReadPixels();
  }

  // Pixels that solid triangles wrote depth to; nothing else writes depth.
  int SolidPixels() {
    std::vector<float> depth(kSurfaceWidth * kSurfaceHeight);
    glReadPixels(0, 0, kSurfaceWidth, kSurfaceHeight, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    return static_cast<int>(
        std::count_if(depth.begin(), depth.end(), [](float d) { return d < 1.0f; }));
  }
};

void ExpectColour(const std::vector<unsigned char>& picture, float x, float y, Rgb8 expected,
                  int tolerance = 2) {
  const unsigned char* p = PixelAt(picture, x, y);
  SCOPED_TRACE(testing::Message() << "at (" << x << ", " << y << ") got " << int(p[0]) << ","
                                  << int(p[1]) << "," << int(p[2]));
  EXPECT_NEAR(p[0], expected.r, tolerance);
  EXPECT_NEAR(p[1], expected.g, tolerance);
  EXPECT_NEAR(p[2], expected.b, tolerance);
}

Rgb8 Scaled(Rgb8 c, float f) {
  return {int(c.r * f + 0.5f), int(c.g * f + 0.5f), int(c.b * f + 0.5f)};
}

Rgb8 Over(Rgb8 top, float alpha, Rgb8 below) {
  auto mix = [alpha](int a, int b) { return int(a * alpha + b * (1.0f - alpha) + 0.5f); };
  return {mix(top.r, below.r), mix(top.g, below.g), mix(top.b, below.b)};
}

int MaxDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
  int most = 0;
  for (size_t i = 0; i < a.size(); ++i) most = std::max(most, std::abs(a[i] - b[i]));
  return most;
}

int Brightest(const std::vector<unsigned char>& picture) {
  int most = 0;
  for (size_t i = 0; i < picture.size(); i += 4)
    most = std::max({most, int(picture[i]), int(picture[i + 1]), int(picture[i + 2])});
  return most;
}

TEST_F(HostPicture, BackdropShowsTheUpperBandRightWayUp) {
  const std::vector<unsigned char> picture = DrawAt(1000);
  ExpectColour(picture, -0.81f, 0.69f, kTopLeftMarker);
  ExpectColour(picture, 0.81f, 0.69f, kTopRightMarker);
  ExpectColour(picture, -0.81f, -0.69f, kBottomLeftMarker);
  ExpectColour(picture, 0.81f, -0.69f, kBottomRightMarker);
  for (float x : {-0.5f, 0.0f, 0.5f})
    for (float y : {-0.9f, -0.3f, 0.0f, 0.3f, 0.9f}) ExpectColour(picture, x, y, kBackdropColour);
}

TEST_F(HostPicture, SwarmPassesStartOnTime) {
  const std::vector<unsigned char> at3300 = DrawAt(3300);
  EXPECT_EQ(SolidPixels(), 0);
  const std::vector<unsigned char> at3301 = DrawAt(3301);
  const std::vector<unsigned char> at3302 = DrawAt(3302);
  EXPECT_LE(MaxDifference(at3300, at3301), 2) << "a spark before 3302 ms";
  EXPECT_GT(MaxDifference(at3301, at3302), 16) << "no spark at 3302 ms";

  DrawMoment(11.3);
  EXPECT_EQ(SolidPixels(), 0);
  DrawAt(11307);
  EXPECT_EQ(SolidPixels(), 0);
  DrawAt(11308);
  EXPECT_GT(SolidPixels(), 0);
}

TEST_F(HostPicture, RunClosesWithFadeThenCards) {
  const std::vector<unsigned char> at219 = DrawMoment(219.0);
  ExpectColour(at219, 0.81f, 0.69f, kTopRightMarker, 40);
  EXPECT_GT(Brightest(at219), 240);

  const std::vector<unsigned char> at220 = DrawMoment(220.0);
  ExpectColour(at220, 0.81f, 0.69f, Scaled(kTopRightMarker, 0.5f), 40);
  EXPECT_LE(Brightest(at220), 129);

  const std::vector<unsigned char> at221 = DrawMoment(221.0);
  EXPECT_EQ(Brightest(at221), 0);

  const Rgb8 black{0, 0, 0};
  const std::vector<unsigned char> at221half = DrawMoment(221.5);
  ExpectColour(at221half, -0.9f, 0.2f, Scaled(kCard1Colour, 0.5f));
  ExpectColour(at221half, 0.9f, -0.3f, Scaled(kCard2Colour, 0.5f));
  ExpectColour(at221half, 0.0f, -0.05f, Over(kCard2Colour, 0.5f, Scaled(kCard1Colour, 0.5f)));

  const std::vector<unsigned char> at222 = DrawMoment(222.0);
  ExpectColour(at222, -0.9f, 0.2f, kCard1Colour);
  ExpectColour(at222, 0.6f, 0.3f, kCard1Colour);
  ExpectColour(at222, 0.9f, -0.3f, kCard2Colour);
  ExpectColour(at222, -0.6f, -0.4f, kCard2Colour);
  ExpectColour(at222, 0.0f, -0.05f, kCard2Colour);
  for (float x : {-0.9f, 0.0f, 0.9f}) {
    ExpectColour(at222, x, 0.7f, black);
    ExpectColour(at222, x, -0.8f, black);
  }
  ExpectColour(at222, 0.9f, 0.2f, black);
  ExpectColour(at222, -0.9f, -0.3f, black);
}

// The fade gives no texture coordinate of its own: the atlas texel under the
// last spark's coordinate scales its alpha.
TEST_F(HostPicture, FadeStrengthFollowsTheLastSparksTexel) {
  const float behindTexel[2] = {0.5f, 0.7f};  // backdrop band, opaque
  const float gapTexel[2] = {0.5f, 0.375f};   // transparent
  for (const float* texCoord : {behindTexel, gapTexel}) {
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glDepthMask(GL_FALSE);
    glTexCoord2f(texCoord[0], texCoord[1]);
    SceneClock clock{};
    clock.sceneSeconds = 220.0f;
    DrawClosingOverlays(clock);
    const int expected = texCoord == gapTexel ? 255 : 128;
    ExpectColour(ReadPixels(), 0.0f, 0.0f, {expected, expected, expected}, 1);
  }
}

}  // namespace
