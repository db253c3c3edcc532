// The layer's mipmap filter against GLU's own: gluBuild2DMipmaps on desktop
// Mesa, every level read back with glGetTexImage. Its own process, since it
// links the real GL and GLU, which the layer stands in for elsewhere.

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "gl/gles/mipmap_filter.h"
#include "host/offscreen.h"

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
  const char* error = nullptr;
  ASSERT_TRUE(OpenOffscreenSurface(16, 16, &error)) << error;
  ExpectLevelsMatchGlu(64, 64);
  ExpectLevelsMatchGlu(32, 4);  // ends in GLU's one-row halving
  ExpectLevelsMatchGlu(2, 16);  // and its one-column halving
  CloseOffscreenSurface();
}

}  // namespace
