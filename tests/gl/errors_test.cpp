// What GL answers outside what the scene does: errors through glGetError
// and the picture after them. Compiled once against the subset and linked
// twice, with Mesa's fixed function and with the ES 2 layer, so that each
// case holds for both: the layer behaves as GL does.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

#include "gl/gl_subset.h"
#include "gl/glu_subset.h"
#include "host/atlas.h"
#include "host/frame.h"
#include "host/headless_run.h"
#include "tests/host/gl_surface.h"
#include "tests/host/synthetic_atlas.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr int kSide = 32;
constexpr GLint kNearest = 0x2600;

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Rgb& c) {
  return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

// Within one step of each channel, where a half lands either side of it.
bool Near(const Rgb& a, const Rgb& b) {
  return std::abs(a.r - b.r) <= 1 && std::abs(a.g - b.g) <= 1 && std::abs(a.b - b.b) <= 1;
}

// Quads in the current colour: the whole screen, or the top-left quarter of
// it as seen without any view.
void Quad(float left, float bottom, float right, float top, float z = 0) {
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex3f(left, bottom, z);
  glTexCoord2f(1, 0);
  glVertex3f(right, bottom, z);
  glTexCoord2f(1, 1);
  glVertex3f(right, top, z);
  glTexCoord2f(0, 1);
  glVertex3f(left, top, z);
  glEnd();
}
void ScreenQuad() { Quad(-1, -1, 1, 1); }

GLuint OnePixelTexture(unsigned char r, unsigned char g, unsigned char b) {
  const unsigned char rgba[4] = {r, g, b, 255};
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  EXPECT_EQ(gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA8, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba), 0);
  return name;
}

class Errors : public OffscreenSurfaceTest<kSide, kSide> {
 protected:
  void SetUp() override {
    OffscreenSurfaceTest::SetUp();
    if (HasFatalFailure()) return;
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ASSERT_EQ(glGetError(), GL_NO_ERROR);
  }

  // The pixel at column x, row y counted from the top.
  Rgb Pixel(int x, int y) const {
    const std::vector<unsigned char> rgba = ReadPixels();
    const unsigned char* p = &rgba[(y * kSide + x) * 4];
    return {p[0], p[1], p[2]};
  }
};

TEST_F(Errors, CallsBetweenBeginAndEndAreRefusedAndThePrimitiveGoesOn) {
  // A view turned half round, a white texture, blending that would hide
  // whatever it touched: a call let through would show in the picture.
  glMatrixMode(GL_MODELVIEW);
  gluLookAt(0, 0, 0, 0, 0, -1, 0, -1, 0);
  const GLuint white = OnePixelTexture(255, 255, 255);
  const GLuint red = OnePixelTexture(255, 0, 0);
  glBindTexture(GL_TEXTURE_2D, white);
  glEnable(GL_TEXTURE_2D);
  glBlendFunc(0, GL_ONE);  // GL_ZERO
  ASSERT_EQ(glGetError(), GL_NO_ERROR);

  struct Case {
    const char* what;
    std::function<void()> call;
  };
  const Case cases[] = {
      {"glBegin", [] { glBegin(GL_QUADS); }},
      {"glEnable", [] { glEnable(GL_BLEND); }},
      {"glDisable", [] { glDisable(GL_TEXTURE_2D); }},
      {"glDepthMask", [] { glDepthMask(GL_FALSE); }},
      {"glBlendFunc", [] { glBlendFunc(GL_ONE, GL_ONE); }},
      {"glClear", [] { glClear(GL_COLOR_BUFFER_BIT); }},
      {"glClearColor", [] { glClearColor(1, 0, 0, 1); }},
      {"glViewport", [] { glViewport(0, 0, 1, 1); }},
      {"glMatrixMode", [] { glMatrixMode(GL_PROJECTION); }},
      {"glLoadIdentity", [] { glLoadIdentity(); }},
      {"gluPerspective", [] { gluPerspective(30, 1, 1, 2); }},
      {"gluLookAt", [] { gluLookAt(0, 0, 0, 0, 0, -1, 0, 1, 0); }},
      {"glLightfv",
       [] {
         const GLfloat black[4] = {0, 0, 0, 1};
         glLightfv(GL_LIGHT0, GL_DIFFUSE, black);
       }},
      {"glLightModeli", [] { glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1); }},
      {"glTexParameteri", [] { glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, kNearest); }},
      {"glTexParameterf",
       [] {
         glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLfloat>(kNearest));
       }},
      {"glGenTextures",
       [] {
         GLuint name = 0;
         glGenTextures(1, &name);
         EXPECT_EQ(name, 0u);
       }},
      {"glBindTexture", [red] { glBindTexture(GL_TEXTURE_2D, red); }},
      {"glGetError", [] { EXPECT_EQ(glGetError(), GL_NO_ERROR); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor4f(0, 1, 0, 1);
    // The top-left quarter, which the view puts at the bottom right.
    glBegin(GL_TRIANGLES);
    glVertex3f(-1, 0, 0);
    c.call();
    glVertex3f(0, 0, 0);
    glVertex3f(0, 1, 0);
    glVertex3f(-1, 0, 0);
    glVertex3f(0, 1, 0);
    glVertex3f(-1, 1, 0);
    glEnd();
    EXPECT_EQ(glGetError(), GL_INVALID_OPERATION);
    EXPECT_EQ(glGetError(), GL_NO_ERROR);
    EXPECT_EQ(Pixel(24, 24), (Rgb{0, 255, 0}));
    EXPECT_EQ(Pixel(8, 8), (Rgb{0, 0, 255}));
  }
}

TEST_F(Errors, ValuesOutsideGlAreRefusedAndChangeNothing) {
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  struct Case {
    const char* what;
    void (*call)();
    GLenum error;
  };
  const GLenum kBad = 0x1234;
  const Case cases[] = {
      {"glEnable", [] { glEnable(kBad); }, GL_INVALID_ENUM},
      {"glDisable", [] { glDisable(kBad); }, GL_INVALID_ENUM},
      {"glBlendFunc source", [] { glBlendFunc(kBad, GL_ONE); }, GL_INVALID_ENUM},
      {"glBlendFunc destination", [] { glBlendFunc(GL_ONE, kBad); }, GL_INVALID_ENUM},
      {"glClear", [] { glClear(GL_COLOR_BUFFER_BIT | 0x1); }, GL_INVALID_VALUE},
      {"glViewport", [] { glViewport(0, 0, -1, 4); }, GL_INVALID_VALUE},
      {"glMatrixMode", [] { glMatrixMode(kBad); }, GL_INVALID_ENUM},
      {"glLightfv light",
       [] {
         const GLfloat black[4] = {0, 0, 0, 1};
         glLightfv(GL_LIGHT0 + 8, GL_AMBIENT, black);
       },
       GL_INVALID_ENUM},
      {"glLightfv pname",
       [] {
         const GLfloat one[4] = {1, 1, 1, 1};
         glLightfv(GL_LIGHT0, 0x1601, one);  // GL_SHININESS, a material's
       },
       GL_INVALID_ENUM},
      {"glLightModeli", [] { glLightModeli(kBad, 1); }, GL_INVALID_ENUM},
      {"glGenTextures", [] { glGenTextures(-1, nullptr); }, GL_INVALID_VALUE},
      {"glBindTexture", [] { glBindTexture(kBad, 1); }, GL_INVALID_ENUM},
      {"glTexParameteri target", [] { glTexParameteri(kBad, GL_TEXTURE_MIN_FILTER, GL_LINEAR); },
       GL_INVALID_ENUM},
      {"glTexParameteri pname", [] { glTexParameteri(GL_TEXTURE_2D, kBad, GL_LINEAR); },
       GL_INVALID_ENUM},
      {"glTexParameteri param", [] { glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, kBad); },
       GL_INVALID_ENUM},
      {"a mipmap filter to magnify",
       [] { glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR_MIPMAP_LINEAR); },
       GL_INVALID_ENUM},
      {"a float between two filters, rounded",
       [] { glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR + 0.5f); },
       GL_INVALID_ENUM},
      {"glEnd without glBegin", [] { glEnd(); }, GL_INVALID_OPERATION},
      {"glBegin",
       [] {
         glBegin(kBad);  // and what follows it is no primitive
         glVertex3f(-1, -1, 0);
         glVertex3f(1, -1, 0);
         glVertex3f(1, 1, 0);
       },
       GL_INVALID_ENUM},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.call();
    EXPECT_EQ(glGetError(), c.error);
    EXPECT_EQ(glGetError(), GL_NO_ERROR);
  }
  glEnd();
  EXPECT_EQ(glGetError(), GL_INVALID_OPERATION);
  // The blending as it was set, over the whole screen, on a blue ground that
  // nothing cleared.
  glColor4f(0, 1, 0, 0.5f);
  ScreenQuad();
  EXPECT_PRED2(Near, Pixel(16, 16), (Rgb{0, 128, 128}));
  EXPECT_PRED2(Near, Pixel(0, 31), (Rgb{0, 128, 128}));
}

TEST_F(Errors, ThePieceRaisesNone) {
  TempWorkingDirectory folder;
  ASSERT_TRUE(WriteFileBytes("TEX.tga", SyntheticAtlasFile()));
  StartHeadlessRun(60);
  LoadTextureAtlas();
  EXPECT_EQ(glGetError(), GL_NO_ERROR);
  // The backdrop alone, the sphere, the rings, the dive, the fade and cards.
  for (int64_t frame : {120, 1800, 6000, 9600, 13320}) {
    RunUpToFrame(frame, RunSceneFrame);
    EXPECT_EQ(glGetError(), GL_NO_ERROR) << "frame " << frame;
  }
}

TEST_F(Errors, TheFirstErrorIsKeptUntilRead) {
  glEnable(0x1234);
  glClear(0x1);
  EXPECT_EQ(glGetError(), GL_INVALID_ENUM);
  EXPECT_EQ(glGetError(), GL_NO_ERROR);
}

TEST_F(Errors, ValuesThatShowNothingHereAreTaken) {
  glLightModeli(0x0B51, 1);                      // GL_LIGHT_MODEL_LOCAL_VIEWER
  glTexParameterf(GL_TEXTURE_2D, 0x8066, 0.5f);  // GL_TEXTURE_PRIORITY
  glClear(GL_COLOR_BUFFER_BIT | 0x00000200);     // and GL_ACCUM_BUFFER_BIT
  const GLfloat white[4] = {1, 1, 1, 1};
  glLightfv(GL_LIGHT0, GL_SPECULAR, white);
  EXPECT_EQ(glGetError(), GL_NO_ERROR);
}

TEST_F(Errors, Build2DMipmapsAnswersWhatGluAndGlRefuse) {
  // A white texture that a refused build must leave as it is.
  OnePixelTexture(255, 255, 255);
  glEnable(GL_TEXTURE_2D);
  const unsigned char pixels[4 * 4] = {};
  struct Case {
    const char* what;
    GLenum target;
    GLint internalFormat;
    GLsizei width;
    GLenum format, type;
    GLint returned;
    GLenum error;
  };
  const Case cases[] = {
      // GLU's own checks, in its return value.
      {"format", GL_TEXTURE_2D, GL_RGBA8, 2, 0x1234, GL_UNSIGNED_BYTE, GLU_INVALID_ENUM, 0},
      {"type", GL_TEXTURE_2D, GL_RGBA8, 2, GL_RGBA, 0x1234, GLU_INVALID_ENUM, 0},
      {"no width", GL_TEXTURE_2D, GL_RGBA8, 0, GL_RGBA, GL_UNSIGNED_BYTE, GLU_INVALID_VALUE, 0},
      {"a negative width", GL_TEXTURE_2D, GL_RGBA8, -2, GL_RGBA, GL_UNSIGNED_BYTE,
       GLU_INVALID_VALUE, 0},
      // GL's, passed on through glGetError.
      {"target", 0x1234, GL_RGBA8, 2, GL_RGBA, GL_UNSIGNED_BYTE, 0, GL_INVALID_ENUM},
      {"a 1D target", 0x0DE0, GL_RGBA8, 2, GL_RGBA, GL_UNSIGNED_BYTE, 0, GL_INVALID_ENUM},
      {"internal format", GL_TEXTURE_2D, 0x1234, 2, GL_RGBA, GL_UNSIGNED_BYTE, 0, GL_INVALID_VALUE},
      {"five components", GL_TEXTURE_2D, 5, 2, GL_RGBA, GL_UNSIGNED_BYTE, 0, GL_INVALID_VALUE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(gluBuild2DMipmaps(c.target, c.internalFormat, c.width, 2, c.format, c.type, pixels),
              c.returned);
    EXPECT_EQ(glGetError(), c.error);
  }
  glColor4f(0, 1, 0, 1);
  ScreenQuad();
  EXPECT_EQ(Pixel(16, 16), (Rgb{0, 255, 0}));
}

// 32 bands of colour across `width` x `height` blue-green-red-alpha pixels.
std::vector<unsigned char> Bands(int width, int height) {
  std::vector<unsigned char> bgra(static_cast<size_t>(width) * height * 4);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int band = x / (width / 32);
      unsigned char* p = &bgra[(static_cast<size_t>(y) * width + x) * 4];
      p[0] = static_cast<unsigned char>(band * 37 % 256);
      p[1] = static_cast<unsigned char>(255 - band * 8);
      p[2] = static_cast<unsigned char>(band * 8);
      p[3] = 255;
    }
  }
  return bgra;
}

TEST_F(Errors, ATextureWiderThanTheLargestIsShrunkAsGluShrinksIt) {
  // Twice the widest side Mesa takes: GLU halves both sides until it fits,
  // 32768 x 2 to 16384 x 1, and builds the levels from that.
  glBindTexture(GL_TEXTURE_2D, 0);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, kNearest);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, kNearest);
  glEnable(GL_TEXTURE_2D);
  glColor4f(1, 1, 1, 1);
  const std::vector<unsigned char> twoRows = Bands(32768, 2);
  EXPECT_EQ(gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA8, 32768, 2, GL_BGRA, GL_UNSIGNED_BYTE,
                              twoRows.data()),
            0);
  EXPECT_EQ(glGetError(), GL_NO_ERROR);
  ScreenQuad();
  for (int band = 0; band < 32; ++band) {
    SCOPED_TRACE(testing::Message() << "band " << band);
    EXPECT_EQ(Pixel(band, 16), (Rgb{band * 8, 255 - band * 8, band * 37 % 256}));
  }

  // A single row: GLU's box for its one output row leaves out the last input
  // row, here the only one, and the texture comes out black.
  const std::vector<unsigned char> oneRow = Bands(32768, 1);
  EXPECT_EQ(gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA8, 32768, 1, GL_BGRA, GL_UNSIGNED_BYTE,
                              oneRow.data()),
            0);
  EXPECT_EQ(glGetError(), GL_NO_ERROR);
  ScreenQuad();
  EXPECT_EQ(Pixel(5, 16), (Rgb{0, 0, 0}));
  EXPECT_EQ(Pixel(30, 16), (Rgb{0, 0, 0}));
}

}  // namespace
