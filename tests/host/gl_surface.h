#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "host/offscreen.h"

// Every GL test runs on its own offscreen surface of this size.
inline constexpr int kSurfaceWidth = 160;
inline constexpr int kSurfaceHeight = 90;

class GlSurfaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* error = nullptr;
    ASSERT_TRUE(OpenOffscreenSurface(kSurfaceWidth, kSurfaceHeight, &error)) << error;
  }
  void TearDown() override { CloseOffscreenSurface(); }

  std::vector<unsigned char> ReadPixels() {
    std::vector<unsigned char> rgba(kSurfaceWidth * kSurfaceHeight * 4);
    ReadOffscreenPixels(rgba.data());
    return rgba;
  }
};

// The pixel under normalised device coordinates (x, y) of a top-row-first picture.
inline const unsigned char* PixelAt(const std::vector<unsigned char>& rgba, float x, float y) {
  const int column = static_cast<int>((x + 1.0f) * 0.5f * kSurfaceWidth);
  const int row = static_cast<int>((1.0f - y) * 0.5f * kSurfaceHeight);
  return &rgba[(row * kSurfaceWidth + column) * 4];
}
