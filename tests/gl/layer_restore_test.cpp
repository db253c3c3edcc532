// A lost ES 2 context replaced by a new one: after RestoreGlesLayer the
// scene's next frame, with no state set again, draws what the lost context
// drew, under the texture names the scene already holds.

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "gl/gl_subset.h"
#include "gl/gles/gles_layer.h"
#include "gl/glu_subset.h"
#include "host/egl/offscreen_egl.h"
#include "host/egl/proc_address.h"
#include "host/offscreen.h"

namespace {

constexpr int kSide = 32;

// The ES 2 surface with the layer started or restored by `start`; without
// `stop`, closing it loses the context under a layer that keeps its state.
void OpenSurface(OffscreenLayer layer) {
  const Result opened = OpenEglSurface(OffscreenContext::kEs2, layer, kSide, kSide);
  ASSERT_TRUE(opened) << opened.error;
}

std::vector<unsigned char> ReadPixels() {
  std::vector<unsigned char> rgba(kSide * kSide * 4);
  ReadOffscreenPixels(rgba.data());
  return rgba;
}

void Quad(float left, float right, float z, float s0 = 0, float s1 = 1) {
  glBegin(GL_QUADS);
  glTexCoord2f(s0, s0);
  glVertex3f(left, -1, z);
  glTexCoord2f(s1, s0);
  glVertex3f(right, -1, z);
  glTexCoord2f(s1, s1);
  glVertex3f(right, 1, z);
  glTexCoord2f(s0, s1);
  glVertex3f(left, 1, z);
  glEnd();
}

struct Textures {
  GLuint mipmapped = 0;
  GLuint clamped = 0;
};

// State of every kind that lives in the ES 2 context, each chosen so that
// losing it would change the picture.
Textures SetState() {
  Textures names;
  // A 4 x 4 image whose levels all differ, sampled between levels.
  unsigned char bgra[4 * 4 * 4];
  for (int i = 0; i < 64; ++i) bgra[i] = static_cast<unsigned char>(i * 37 % 251);
  glGenTextures(1, &names.mipmapped);
  glBindTexture(GL_TEXTURE_2D, names.mipmapped);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  EXPECT_EQ(gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA8, 4, 4, GL_BGRA, GL_UNSIGNED_BYTE, bgra), 0);
  // Two texels, magnified without filtering and clamped to their edges.
  const unsigned char rgba[8] = {250, 20, 0, 255, 0, 40, 230, 255};
  glGenTextures(1, &names.clamped);
  glBindTexture(GL_TEXTURE_2D, names.clamped);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, 0x2600);  // GL_NEAREST
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, 0x2600);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLfloat>(GL_CLAMP_TO_EDGE));
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  EXPECT_EQ(gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, 2, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba), 0);
  glBindTexture(GL_TEXTURE_2D, names.mipmapped);  // not the last one made
  glEnable(GL_TEXTURE_2D);

  glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
  glViewport(0, 0, kSide, kSide / 2);  // the lower half
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  return names;
}

// A frame that sets no state but the binding, and leaves that as it found it.
void DrawFrame(const Textures& names) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glColor4f(1, 1, 1, 0.5f);
  Quad(0, 1, 0.0f, 0, 0.3f);  // the bound texture, between levels, half over the clear colour
  glBindTexture(GL_TEXTURE_2D, names.clamped);
  glColor4f(1, 1, 1, 1);
  Quad(-1, 0, 0.5f, -0.5f, 1.5f);  // its edges stretched
  glColor4f(0.5f, 1, 0.5f, 1);
  Quad(-0.5f, 0, 0.9f);  // behind it: hidden while the depth test is on
  Quad(0.75f, 1, 1.0f);  // on the far plane: not drawn while the depth test is on
  glBindTexture(GL_TEXTURE_2D, names.mipmapped);
}

TEST(GlesRestore, ANewContextDrawsAsTheLostOneDid) {
  ASSERT_NO_FATAL_FAILURE(OpenSurface({StartGlesLayer, nullptr}));
  const Textures names = SetState();
  DrawFrame(names);
  const std::vector<unsigned char> before = ReadPixels();
  CloseOffscreenSurface();  // the context goes, and every object in it

  ASSERT_NO_FATAL_FAILURE(OpenSurface({RestoreGlesLayer, StopGlesLayer}));
  DrawFrame(names);
  const std::vector<unsigned char> after = ReadPixels();
  CloseOffscreenSurface();

  // A picture worth comparing: the clear colour above, several colours below.
  std::set<unsigned> below;
  for (int i = kSide * kSide / 2; i < kSide * kSide; ++i)
    below.insert(before[4 * i] << 16 | before[4 * i + 1] << 8 | before[4 * i + 2]);
  EXPECT_GE(below.size(), 5u);
  EXPECT_EQ(before[0], 51);
  EXPECT_EQ(before[1], 102);
  EXPECT_EQ(before[2], 153);
  EXPECT_TRUE(before == after) << "the restored context draws another picture";
}

// What ES 2 itself holds of the state the layer passes through to it.
struct Es2State {
  GLboolean blend, depthTest, depthMask;
  GLint blendSource, blendDestination, viewport[4];
  GLfloat clearColour[4];
  bool operator==(const Es2State&) const = default;
};

Es2State ReadEs2State() {
  GLboolean (*isEnabled)(GLenum) = nullptr;
  void (*getBooleanv)(GLenum, GLboolean*) = nullptr;
  void (*getIntegerv)(GLenum, GLint*) = nullptr;
  void (*getFloatv)(GLenum, GLfloat*) = nullptr;
  EXPECT_TRUE(LoadProc(isEnabled, "glIsEnabled") && LoadProc(getBooleanv, "glGetBooleanv") &&
              LoadProc(getIntegerv, "glGetIntegerv") && LoadProc(getFloatv, "glGetFloatv"));
  Es2State state{};
  if (isEnabled == nullptr || getBooleanv == nullptr || getIntegerv == nullptr ||
      getFloatv == nullptr)
    return state;
  state.blend = isEnabled(GL_BLEND);
  state.depthTest = isEnabled(GL_DEPTH_TEST);
  getBooleanv(0x0B72, &state.depthMask);         // GL_DEPTH_WRITEMASK
  getIntegerv(0x80C9, &state.blendSource);       // GL_BLEND_SRC_RGB
  getIntegerv(0x80C8, &state.blendDestination);  // GL_BLEND_DST_RGB
  getIntegerv(0x0BA2, state.viewport);           // GL_VIEWPORT
  getFloatv(0x0C22, state.clearColour);          // GL_COLOR_CLEAR_VALUE
  return state;
}

TEST(GlesRestore, ANewContextHoldsWhatThePassedThroughStateWas) {
  ASSERT_NO_FATAL_FAILURE(OpenSurface({StartGlesLayer, nullptr}));
  SetState();
  glDepthMask(GL_FALSE);  // not in the picture: with it, glClear leaves depth alone
  const Es2State before = ReadEs2State();
  CloseOffscreenSurface();
  ASSERT_NO_FATAL_FAILURE(OpenSurface({RestoreGlesLayer, StopGlesLayer}));
  const Es2State after = ReadEs2State();
  CloseOffscreenSurface();

  EXPECT_TRUE(before.blend && before.depthTest && !before.depthMask);
  EXPECT_EQ(before.blendDestination, GL_ONE_MINUS_SRC_ALPHA);
  EXPECT_EQ(before.viewport[3], kSide / 2);
  EXPECT_FLOAT_EQ(before.clearColour[1], 0.4f);
  EXPECT_TRUE(before == after) << "the state passed through to ES 2 was not restored";
}

TEST(GlesRestore, IsRefusedBeforeAStartAndCanBeTriedAgainAfterAFailure) {
  const auto nothing = [](const char*) -> void* { return nullptr; };
  EXPECT_EQ(RestoreGlesLayer(nothing).error, "the GLES layer is not started");

  ASSERT_NO_FATAL_FAILURE(OpenSurface({StartGlesLayer, nullptr}));
  CloseOffscreenSurface();
  // A new context that lacks what the layer needs: refused, and the layer
  // waits, drawing nothing, for one that has it.
  const OffscreenLayer lacking = {[](GlesProcLoader) {
                                    return RestoreGlesLayer(
                                        [](const char*) -> void* { return nullptr; });
                                  },
                                  nullptr};
  EXPECT_EQ(OpenEglSurface(OffscreenContext::kEs2, lacking, kSide, kSide).error,
            "the GL context has no glEnable");
  glClear(GL_COLOR_BUFFER_BIT);
  Quad(-1, 1, 0);

  ASSERT_NO_FATAL_FAILURE(OpenSurface({RestoreGlesLayer, StopGlesLayer}));
  glClearColor(0, 1, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  EXPECT_EQ(ReadPixels()[1], 255);
  CloseOffscreenSurface();
}

}  // namespace
