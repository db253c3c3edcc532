// The layer drawing on an OpenGL ES 2 context, through the subset's headers
// as the scene draws, with colours worked out by hand from GL
// 1.1's equations.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "gl/gl_subset.h"
#include "gl/gles/gles_layer.h"
#include "gl/gles/layer.h"
#include "gl/glu_subset.h"
#include "tests/host/gl_surface.h"

namespace {

constexpr int kSide = 32;

struct Rgba {
  int r, g, b, a;
};

class GlesRender : public OffscreenSurfaceTest<kSide, kSide> {
 protected:
  void SetUp() override {
    OffscreenSurfaceTest::SetUp();
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }

  // The pixel at column x, row y counted from the top.
  Rgba Pixel(int x, int y) {
    const std::vector<unsigned char> rgba = ReadPixels();
    const unsigned char* p = &rgba[(y * kSide + x) * 4];
    return {p[0], p[1], p[2], p[3]};
  }
  Rgba Centre() { return Pixel(kSide / 2, kSide / 2); }
};

void ExpectRgb(Rgba actual, int r, int g, int b, int tolerance = 1) {
  SCOPED_TRACE(testing::Message() << "got " << actual.r << ", " << actual.g << ", " << actual.b);
  EXPECT_NEAR(actual.r, r, tolerance);
  EXPECT_NEAR(actual.g, g, tolerance);
  EXPECT_NEAR(actual.b, b, tolerance);
}

// The whole screen at depth z, counter-clockwise (front-facing) or not.
void ScreenQuad(bool front, float z = 0.0f) {
  glBegin(GL_QUADS);
  if (front) {
    glVertex3f(-1, -1, z);
    glVertex3f(1, -1, z);
    glVertex3f(1, 1, z);
    glVertex3f(-1, 1, z);
  } else {
    glVertex3f(-1, -1, z);
    glVertex3f(-1, 1, z);
    glVertex3f(1, 1, z);
    glVertex3f(1, -1, z);
  }
  glEnd();
}

// The piece's light: ambient (0.3, 0.23, 0.2), diffuse (0.9, 0.85, 0.4),
// from (0.7, 0, 0.7), that is L = (0.7071, 0, 0.7071). With the default
// material, a vertex gets 0.2 * 0.2 + 0.2 * ambient + max(n.L, 0) * 0.8 * diffuse:
//   n.L = 0.7071: (0.6091, 0.5668, 0.3063) -> (155, 145, 78)
//   n.L <= 0:     (0.1000, 0.0860, 0.0800) -> (26, 22, 20)
//   n.L = 1.4142: (1.1182, 1.0476, 0.5325) -> clamped (255, 255, 136)
void SetPieceLight() {
  const GLfloat ambient[4] = {0.3f, 0.23f, 0.2f, 1.0f};
  const GLfloat diffuse[4] = {0.9f, 0.85f, 0.4f, 1.0f};
  const GLfloat specular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  const GLfloat position[4] = {0.7f, 0.0f, 0.7f, 0.0f};
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
  glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
  glLightfv(GL_LIGHT0, GL_POSITION, position);
}

TEST_F(GlesRender, LightingAtFrontBackAndGrazingNormals) {
  SetPieceLight();
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
  struct Case {
    const char* what;
    GLfloat normal[3];
    bool front;
    int r, g, b;
  };
  const Case cases[] = {
      {"front face towards the light", {0, 0, 1}, true, 155, 145, 78},
      {"front face away from it", {0, 0, -1}, true, 26, 22, 20},
      {"back face, lit by its negated normal", {0, 0, -1}, false, 155, 145, 78},
      {"back face of a face towards the light", {0, 0, 1}, false, 26, 22, 20},
      {"grazing", {0.70710678f, 0, -0.70710678f}, true, 26, 22, 20},
      {"twice unit length, not renormalised", {0, 0, 2}, true, 255, 255, 136},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    glNormal3fv(c.normal);
    ScreenQuad(c.front);
    ExpectRgb(Centre(), c.r, c.g, c.b);
  }

  // One-sided, a back face uses the normal as given.
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
  const GLfloat away[3] = {0, 0, -1};
  glNormal3fv(away);
  ScreenQuad(false);
  ExpectRgb(Centre(), 26, 22, 20);

  // Without GL_LIGHT0 only the scene ambient is left: 0.2 * 0.2 -> 10.
  glDisable(GL_LIGHT0);
  ScreenQuad(true);
  ExpectRgb(Centre(), 10, 10, 10);
}

TEST_F(GlesRender, LightAndNormalsFollowTheModelview) {
  // A view from the origin along +x: world (x, y, z) lands at eye (z, y, -x).
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(0, 0, 0, 1, 0, 0, 0, 1, 0);
  // The light shines from the eye's side, given under the view.
  const GLfloat white[4] = {1, 1, 1, 1};
  const GLfloat black[4] = {0, 0, 0, 1};
  const GLfloat fromEye[4] = {-1, 0, 0, 0};
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glLightfv(GL_LIGHT0, GL_AMBIENT, black);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
  glLightfv(GL_LIGHT0, GL_POSITION, fromEye);

  // The plane x = 0.5 facing the eye, with its world normal (-1, 0, 0): fully
  // lit only if normal and light both went through the view.
  // 0.2 * 0.2 + 1 * 0.8 -> 0.84 -> 214.
  const GLfloat towardsEye[3] = {-1, 0, 0};
  glNormal3fv(towardsEye);
  glBegin(GL_QUADS);
  glVertex3f(0.5f, -1, -1);
  glVertex3f(0.5f, -1, 1);
  glVertex3f(0.5f, 1, 1);
  glVertex3f(0.5f, 1, -1);
  glEnd();
  ExpectRgb(Centre(), 214, 214, 214);

  // The light stays where the view put it when the modelview changes later.
  glLoadIdentity();
  const GLfloat eyeNormal[3] = {0, 0, 1};
  glNormal3fv(eyeNormal);
  ScreenQuad(true, -0.5f);
  ExpectRgb(Centre(), 214, 214, 214);
}

TEST_F(GlesRender, PerspectiveAndLookAtPlacePoints) {
  // 90 degrees, aspect 1, eye at z = 5: world (2, 1, 0) lands at (0.4, 0.2),
  // pixel column 22.4, row 12.8 from the top.
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(90, 1, 1, 10);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(0, 0, 5, 0, 0, 0, 0, 1, 0);
  glColor4f(1, 1, 0, 1);
  glBegin(GL_TRIANGLES);
  glVertex3f(1.75f, 0.75f, 0);
  glVertex3f(2.25f, 0.75f, 0);
  glVertex3f(2.0f, 1.25f, 0);
  glEnd();
  ExpectRgb(Pixel(22, 13), 255, 255, 0);
  ExpectRgb(Pixel(9, 13), 0, 0, 255);   // mirrored in x
  ExpectRgb(Pixel(22, 19), 0, 0, 255);  // mirrored in y
}

TEST_F(GlesRender, ColoursClampPerVertexBeforeInterpolation) {
  // Red from 2 to 0 and green from -1 to 1 across the screen: clamped first,
  // both read about half in the middle (clamped after, 1 and 0).
  glBegin(GL_QUADS);
  glColor4f(2, -1, 0, 1);
  glVertex3f(-1, -1, 0);
  glColor4f(0, 1, 0, 1);
  glVertex3f(1, -1, 0);
  glVertex3f(1, 1, 0);
  glColor4f(2, -1, 0, 1);
  glVertex3f(-1, 1, 0);
  glEnd();
  ExpectRgb(Centre(), 128, 128, 0, 6);
  ExpectRgb(Pixel(0, 0), 251, 4, 0, 6);
}

TEST_F(GlesRender, CurrentAttributesHoldAcrossBatches) {
  // Colour: set once, before two batches.
  glColor4f(0, 1, 0, 1);
  glBegin(GL_TRIANGLES);
  glEnd();
  ScreenQuad(true);
  ExpectRgb(Centre(), 0, 255, 0);

  // Normal: the last one of a batch lights the next.
  SetPieceLight();
  const GLfloat lit[3] = {0, 0, 1};
  glBegin(GL_TRIANGLES);
  glNormal3fv(lit);
  glEnd();
  ScreenQuad(true);
  ExpectRgb(Centre(), 155, 145, 78);
  glDisable(GL_LIGHTING);

  // Texture coordinate: the closing fade's case, a batch with none of its own
  // samples where the last batch left it. A 2 x 2 blue-green-red-alpha atlas;
  // (0.75, 0.75) is the texel (1, 1).
  const unsigned char bgra[16] = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 200, 128};
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLfloat>(GL_CLAMP_TO_EDGE));
  ASSERT_EQ(gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA8, 2, 2, GL_BGRA, GL_UNSIGNED_BYTE, bgra), 0);
  glEnable(GL_TEXTURE_2D);
  glBegin(GL_TRIANGLES);
  glTexCoord2f(0.75f, 0.75f);
  glEnd();
  // Modulated by (1, 0.5, 1, 1): red 200, green 10, blue 10, alpha 128.
  glColor4f(1, 0.5f, 1, 1);
  ScreenQuad(true);
  const Rgba texel = Centre();
  ExpectRgb(texel, 200, 10, 10);
  EXPECT_NEAR(texel.a, 128, 1);
}

TEST_F(GlesRender, TextureWithoutImagesLeavesColoursPlain) {
  // GL 1.1 textures nothing with an incomplete texture; ES 2 would sample black.
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLfloat>(GL_LINEAR));
  glEnable(GL_TEXTURE_2D);
  glColor4f(1, 1, 1, 1);
  ScreenQuad(true);
  ExpectRgb(Centre(), 255, 255, 255);
}

TEST_F(GlesRender, BlendingAndDepthPassThrough) {
  glEnable(GL_DEPTH_TEST);
  glColor4f(1, 0, 0, 1);
  ScreenQuad(true, 0.5f);
  glColor4f(0, 1, 0, 1);
  ScreenQuad(true, 0.9f);  // behind: hidden
  ExpectRgb(Centre(), 255, 0, 0);

  glDepthMask(GL_FALSE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glColor4f(0, 1, 0, 0.5f);
  ScreenQuad(true, 0.0f);  // in front, adds half its green
  ScreenQuad(true, 0.0f);  // and again: no depth was written
  ExpectRgb(Centre(), 255, 255, 0);
}

// A batch of `triangles` out of view but for the last, which covers the
// screen when `lastInView`.
void Batch(int triangles, bool lastInView) {
  glBegin(GL_TRIANGLES);
  for (int i = 0; i < triangles - 1; ++i) {
    glVertex3f(5, 5, 0);
    glVertex3f(6, 5, 0);
    glVertex3f(5, 6, 0);
  }
  const float offset = lastInView ? 0.0f : 10.0f;
  glVertex3f(-1 + offset, -1, 0);
  glVertex3f(3 + offset, -1, 0);
  glVertex3f(-1 + offset, 3, 0);
  glEnd();
}

TEST_F(GlesRender, EachBatchIsOneDrawAndAFullBufferGetsFreshStorage) {
  // The piece's largest batch, 4000 triangles, goes out in one draw; an
  // empty batch in none.
  Batch(4000, false);
  glBegin(GL_QUADS);
  glEnd();
  GlesLayerCounters counters = ReadGlesLayerCounters();
  EXPECT_EQ(counters.draws, 1);
  EXPECT_EQ(counters.vertices, 12000);

  // The next batches follow in the buffer while they fit...
  const int batchesPerBuffer = gles::kBufferCapacity / 12000;
  ASSERT_GE(batchesPerBuffer, 2);
  for (int i = 1; i < batchesPerBuffer; ++i) Batch(4000, false);
  EXPECT_EQ(ReadGlesLayerCounters().orphans, 0);
  // ...and the one that does not gets fresh storage, and is drawn from it.
  glColor4f(0, 1, 0, 1);
  Batch(4000, true);
  counters = ReadGlesLayerCounters();
  EXPECT_EQ(counters.orphans, 1);
  EXPECT_EQ(counters.draws, batchesPerBuffer + 1);
  ExpectRgb(Centre(), 0, 255, 0);
}

TEST_F(GlesRender, BatchesLongerThanOneDrawAreDrawnWhole) {
  // 5000 triangles in one batch: the first fills the left half, the last the
  // right half, the rest lie outside the screen.
  glColor4f(1, 1, 1, 1);
  glBegin(GL_TRIANGLES);
  glVertex3f(-1, -1, 0);
  glVertex3f(0, -1, 0);
  glVertex3f(-1, 3, 0);
  for (int i = 0; i < 4998; ++i) {
    glVertex3f(5, 5, 0);
    glVertex3f(6, 5, 0);
    glVertex3f(5, 6, 0);
  }
  glVertex3f(0, -1, 0);
  glVertex3f(1, -1, 0);
  glVertex3f(1, 3, 0);
  glEnd();
  ExpectRgb(Pixel(4, 28), 255, 255, 255);
  ExpectRgb(Pixel(28, 28), 255, 255, 255);
  EXPECT_EQ(ReadGlesLayerCounters().draws, 2);
}

// Values GL 1.1 takes but the layer does not carry out, and values GL 1.1
// refuses where ES 2 would take them: refused with GL's error, named once on
// stderr with the argument that was wrong, and without effect. (Mesa takes
// most of these, so tests/gl/errors_test.cpp cannot hold them.)
TEST_F(GlesRender, WhatTheLayerDoesNotCarryOutIsRefusedByName) {
  const unsigned char pixel[4] = {};
  struct Case {
    const char* said;
    std::function<void()> call;
    GLenum error;
  };
  const Case cases[] = {
      {"glEnable cap 0x0B44", [] { glEnable(0x0B44); }, GL_INVALID_ENUM},           // GL_CULL_FACE
      {"glMatrixMode mode 0x1702", [] { glMatrixMode(0x1702); }, GL_INVALID_ENUM},  // GL_TEXTURE
      {"glLightfv light 0x4001",
       [] {
         const GLfloat red[4] = {1, 0, 0, 1};
         glLightfv(0x4001, GL_DIFFUSE, red);  // GL_LIGHT1
       },
       GL_INVALID_ENUM},
      {"glLightfv GL_POSITION with w other than 0",
       [] {
         const GLfloat positional[4] = {0, 0, 1, 1};
         glLightfv(GL_LIGHT0, GL_POSITION, positional);
       },
       GL_INVALID_VALUE},
      {"glBegin mode 0x0000", [] { glBegin(0x0000); }, GL_INVALID_ENUM},  // GL_POINTS
      {"glEnd without glBegin", [] { glEnd(); }, GL_INVALID_OPERATION},
      // GL 1.1 has neither a source's own colour as its factor nor the
      // constant colour, which ES 2 would take.
      {"glBlendFunc sfactor 0x0300", [] { glBlendFunc(0x0300, GL_ONE); }, GL_INVALID_ENUM},
      {"glBlendFunc dfactor 0x8001", [] { glBlendFunc(GL_ONE, 0x8001); }, GL_INVALID_ENUM},
      // Nor mirrored repeat; and ES 2 has no GL_CLAMP.
      {"glTexParameteri param 0x8370",
       [] { glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, 0x8370); }, GL_INVALID_ENUM},
      {"glTexParameteri param 0x2900",
       [] { glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, 0x2900); }, GL_INVALID_ENUM},
      {"gluBuild2DMipmaps internalFormat 0x1907",  // GL_RGB: would drop alpha
       [&] {
         EXPECT_EQ(gluBuild2DMipmaps(GL_TEXTURE_2D, 0x1907, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel),
                   0);
       },
       GL_INVALID_VALUE},
      // Where GLU itself would crash on a null pointer.
      {"gluBuild2DMipmaps between glBegin and glEnd",
       [&] {
         glBegin(GL_TRIANGLES);
         EXPECT_EQ(
             gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA8, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel), 0);
         glEnd();
       },
       GL_INVALID_OPERATION},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.said);
    testing::internal::CaptureStderr();
    c.call();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(glGetError(), c.error);
    EXPECT_EQ(glGetError(), GL_NO_ERROR);
    EXPECT_NE(said.find(c.said), std::string::npos) << said;
  }

  // GLU's own refusals, in its return value alone.
  struct GluCase {
    const char* said;
    GLsizei width, height;
    GLenum format, type;
    const void* data;
    GLint returned;
  };
  const GluCase gluCases[] = {
      {"format 0x80E0", 1, 1, 0x80E0, GL_UNSIGNED_BYTE, pixel, GLU_INVALID_ENUM},  // GL_BGR
      {"type 0x1406", 1, 1, GL_RGBA, 0x1406, pixel, GLU_INVALID_ENUM},             // GL_FLOAT
      // GLU would rescale other sizes to powers of two.
      {"width 0x0003", 3, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel, GLU_INVALID_VALUE},
      {"height 0x0005", 1, 5, GL_RGBA, GL_UNSIGNED_BYTE, pixel, GLU_INVALID_VALUE},
      {"without data", 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, nullptr, GLU_INVALID_VALUE},
  };
  for (const GluCase& c : gluCases) {
    SCOPED_TRACE(c.said);
    testing::internal::CaptureStderr();
    EXPECT_EQ(
        gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA8, c.width, c.height, c.format, c.type, c.data),
        c.returned);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(glGetError(), GL_NO_ERROR);
    EXPECT_NE(said.find(std::string("gluBuild2DMipmaps ") + c.said), std::string::npos) << said;
  }

  // Nothing of it took effect: no culling, the modelview current, no points.
  ExpectRgb(Centre(), 0, 0, 255);
  glColor4f(0, 1, 0, 1);
  glLoadIdentity();
  ScreenQuad(false);
  ExpectRgb(Centre(), 0, 255, 0);
}

TEST_F(GlesRender, ValuesThatShowNothingAreTakenQuietly) {
  testing::internal::CaptureStderr();
  glLightModeli(0x0B51, 1);                   // GL_LIGHT_MODEL_LOCAL_VIEWER: specular only
  glTexParameteri(GL_TEXTURE_2D, 0x8066, 0);  // GL_TEXTURE_PRIORITY
  glClear(GL_COLOR_BUFFER_BIT | 0x00000200);  // GL_ACCUM_BUFFER_BIT: there is none
  EXPECT_EQ(glGetError(), GL_NO_ERROR);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(GlesRender, TexturesBeyondSixteenAreRefusedAndTheBindingStays) {
  // The first sixteen names, each with a texture; the last one red.
  GLuint names[16] = {};
  glGenTextures(16, names);
  ASSERT_EQ(glGetError(), GL_NO_ERROR);
  const unsigned char red[4] = {255, 0, 0, 255};
  for (GLuint name : names) {
    glBindTexture(GL_TEXTURE_2D, name);
    ASSERT_EQ(gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA8, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, red), 0);
  }
  EXPECT_EQ(names[15], 16u);

  GLuint more = 0;
  glGenTextures(1, &more);
  EXPECT_EQ(glGetError(), GL_OUT_OF_MEMORY);
  EXPECT_EQ(more, 0u);
  glBindTexture(GL_TEXTURE_2D, 1000);  // a name never given out
  EXPECT_EQ(glGetError(), GL_OUT_OF_MEMORY);
  // Still the red one: texturing a white quad red.
  glEnable(GL_TEXTURE_2D);
  glColor4f(1, 1, 1, 1);
  ScreenQuad(true);
  ExpectRgb(Centre(), 255, 0, 0);
}

TEST(GlesLifetime, CallsWithoutAStartedLayerDoNothing) {
  glClear(GL_COLOR_BUFFER_BIT);
  glEnable(GL_BLEND);
  glBegin(GL_TRIANGLES);
  glVertex3f(0, 0, 0);
  glVertex3f(1, 0, 0);
  glVertex3f(0, 1, 0);
  glEnd();
  GLuint texture = 0;
  glGenTextures(1, &texture);
  EXPECT_EQ(texture, 0u);
  const unsigned char pixel[4] = {};
  EXPECT_EQ(gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA8, 1, 1, GL_BGRA, GL_UNSIGNED_BYTE, pixel), 0);

  EXPECT_EQ(StartGlesLayer(nullptr).error, "no loader for the GL entry points");
  EXPECT_EQ(StartGlesLayer([](const char*) -> void* { return nullptr; }).error,
            "the GL context has no glEnable");
}

}  // namespace
