// The layer's mipmap filters against GLU's own: gluBuild2DMipmaps on desktop
// Mesa, the levels read back with glGetTexImage. Its own process, since it
// links the real GL and GLU, which the layer stands in for elsewhere.

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "gl/gles/mipmap_filter.h"
#include "tests/host/gl_surface.h"

namespace {

std::vector<unsigned char> NoiseImage(int width, int height) {
  std::vector<unsigned char> bytes(static_cast<size_t>(width) * height * 4);
  uint32_t state = 12345;
  for (unsigned char& b : bytes) {
    state = state * 1664525u + 1013904223u;
    b = static_cast<unsigned char>(state >> 24);
  }
  return bytes;
}

void ExpectLevelsMatchGlu(int width, int height) {
  SCOPED_TRACE(testing::Message() << width << " x " << height);
  const std::vector<unsigned char> bgra = NoiseImage(width, height);
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  ASSERT_EQ(gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA8, width, height, GL_BGRA, GL_UNSIGNED_BYTE,
                              bgra.data()),
            0);

  std::vector<unsigned char> ours = bgra;
  std::vector<unsigned char> glus(ours.size());
  for (int level = 0;; ++level) {
    glGetTexImage(GL_TEXTURE_2D, level, GL_BGRA, GL_UNSIGNED_BYTE, glus.data());
    const size_t bytes = static_cast<size_t>(width) * height * 4;
    ASSERT_TRUE(std::equal(ours.begin(), ours.begin() + bytes, glus.begin()))
        << "level " << level << " differs";
    if (width == 1 && height == 1) break;
    gles::HalveImage(ours.data(), width, height, ours.data(), 4);
    width = width > 1 ? width / 2 : 1;
    height = height > 1 ? height / 2 : 1;
  }
  glDeleteTextures(1, &texture);
}

TEST(GlesGluMipmapMatch, EveryLevelOfSquareAndOblongImages) {
  const ScopedOffscreenSurface surface(16, 16);
  ASSERT_TRUE(surface.opened()) << surface.error();
  ExpectLevelsMatchGlu(64, 64);
  ExpectLevelsMatchGlu(32, 4);  // ends in GLU's one-row halving
  ExpectLevelsMatchGlu(2, 16);  // and its one-column halving
}

// Images wider or taller than Mesa's largest side, 16384: GLU halves both
// sides until the image fits and brings it down to that size first.
TEST(GlesGluMipmapMatch, LevelZeroOfImagesTooLargeForTheContext) {
  const ScopedOffscreenSurface surface(16, 16);
  ASSERT_TRUE(surface.opened()) << surface.error();
  const struct {
    int width, height, fitWidth, fitHeight;
  } sizes[] = {
      {32768, 2, 16384, 1},  // halved
      {32768, 4, 16384, 2},  // halved
      {32768, 1, 16384, 1},  // averaged by two along the row, which GLU leaves black
      {65536, 4, 16384, 1},  // averaged in boxes of 4 x 4, the last one a row short
      {2, 65536, 1, 16384},  // averaged by two down the column
  };
  for (const auto& size : sizes) {
    SCOPED_TRACE(testing::Message() << size.width << " x " << size.height);
    const std::vector<unsigned char> bgra = NoiseImage(size.width, size.height);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    ASSERT_EQ(gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA8, size.width, size.height, GL_BGRA,
                                GL_UNSIGNED_BYTE, bgra.data()),
              0);
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    ASSERT_EQ(width, size.fitWidth);
    ASSERT_EQ(height, size.fitHeight);
    std::vector<unsigned char> glus(static_cast<size_t>(width) * height * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_BYTE, glus.data());
    std::vector<unsigned char> ours(glus.size());
    gles::ShrinkImage(bgra.data(), size.width, size.height, ours.data(), width, height, 4);
    EXPECT_TRUE(ours == glus);
    glDeleteTextures(1, &texture);
  }
}

}  // namespace
