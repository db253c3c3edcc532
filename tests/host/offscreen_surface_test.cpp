// The offscreen surface that the GL tests, stills and capture draw on.
// Compiled once, linked twice: on the desktop context here, on the ES 2
// context with the layer in tests/gl.

#include <gtest/gtest.h>

#include <vector>

#include "gl/gl_subset.h"
#include "host/offscreen.h"

namespace {

class HostOffscreenSurface : public ::testing::Test {
 protected:
  void TearDown() override { CloseOffscreenSurface(); }
};

void Open(int width, int height) {
  const Result opened = OpenOffscreenSurface(width, height);
  ASSERT_TRUE(opened) << opened.error;
}

// Red over the top half of the screen, blue under it.
void DrawRedOverBlue() {
  glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
  glBegin(GL_QUADS);
  glVertex3f(-1, 0, 0);
  glVertex3f(1, 0, 0);
  glVertex3f(1, 1, 0);
  glVertex3f(-1, 1, 0);
  glEnd();
}

// The first and last pixel of every row read back, top row first; `height` even.
void ExpectRedOverBlue(int width, int height) {
  std::vector<unsigned char> rgba(width * height * 4);
  ReadOffscreenPixels(rgba.data());
  for (int row = 0; row < height; ++row) {
    for (int column : {0, width - 1}) {
      SCOPED_TRACE(testing::Message() << "row " << row << ", column " << column);
      const unsigned char* pixel = &rgba[(row * width + column) * 4];
      const bool top = row < height / 2;
      EXPECT_EQ(pixel[0], top ? 255 : 0);
      EXPECT_EQ(pixel[2], top ? 0 : 255);
      EXPECT_EQ(pixel[3], 255);
    }
  }
}

TEST_F(HostOffscreenSurface, ReadsBackTopRowFirstAtItsOwnSize) {
  ASSERT_NO_FATAL_FAILURE(Open(7, 6));
  EXPECT_GE(OffscreenDepthBits(), 16);
  DrawRedOverBlue();
  ExpectRedOverBlue(7, 6);
}

TEST_F(HostOffscreenSurface, ASecondOpenIsRefusedAndTheFirstStaysUsable) {
  ASSERT_NO_FATAL_FAILURE(Open(8, 4));
  EXPECT_EQ(OpenOffscreenSurface(8, 4).error, "an offscreen surface is already open");
  DrawRedOverBlue();
  ExpectRedOverBlue(8, 4);
}

TEST_F(HostOffscreenSurface, SizesOutsideOneTo16384AreRefusedAndLeaveNothingOpen) {
  const int sizes[][2] = {{0, 4}, {4, 0}, {-1, 4}, {16385, 4}, {4, 16385}};
  for (const auto& size : sizes) {
    EXPECT_EQ(OpenOffscreenSurface(size[0], size[1]).error,
              "surface size must be between 1 and 16384 pixels each way")
        << size[0] << "x" << size[1];
  }
  ASSERT_NO_FATAL_FAILURE(Open(4, 4));
}

TEST_F(HostOffscreenSurface, ReopensAtAnotherSizeAfterClosing) {
  ASSERT_NO_FATAL_FAILURE(Open(8, 4));
  CloseOffscreenSurface();
  CloseOffscreenSurface();
  EXPECT_EQ(OffscreenDepthBits(), 0);
  ASSERT_NO_FATAL_FAILURE(Open(5, 8));
  DrawRedOverBlue();
  ExpectRedOverBlue(5, 8);
}

TEST_F(HostOffscreenSurface, ReadingWithNothingOpenLeavesTheBufferAlone) {
  std::vector<unsigned char> rgba(4 * 4 * 4, 7);
  ReadOffscreenPixels(rgba.data());
  EXPECT_EQ(rgba, std::vector<unsigned char>(4 * 4 * 4, 7));
}

}  // namespace
