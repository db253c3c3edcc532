#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "host/offscreen.h"

// The offscreen surface of the GL tests, drawn on with whichever GL the test
// program links: the desktop's, or the ES 2 layer's.

// Open from construction to destruction, so that a failed assertion closes
// it too.
class ScopedOffscreenSurface {
 public:
  ScopedOffscreenSurface(int width, int height) : width_(width), height_(height) {
    opened_ = OpenOffscreenSurface(width, height);
  }
  ~ScopedOffscreenSurface() {
    if (opened_) CloseOffscreenSurface();
  }
  ScopedOffscreenSurface(const ScopedOffscreenSurface&) = delete;
  ScopedOffscreenSurface& operator=(const ScopedOffscreenSurface&) = delete;

  bool opened() const { return static_cast<bool>(opened_); }
  const std::string& error() const { return opened_.error; }

  // The picture, top row first.
  std::vector<unsigned char> ReadPixels() const {
    std::vector<unsigned char> rgba(static_cast<size_t>(width_) * height_ * 4);
    ReadOffscreenPixels(rgba.data());
    return rgba;
  }

 private:
  int width_;
  int height_;
  Result opened_;
};

// Every test of the fixture on its own surface of Width x Height.
template <int Width, int Height>
class OffscreenSurfaceTest : public ::testing::Test {
 protected:
  static constexpr int kWidth = Width;
  static constexpr int kHeight = Height;

  void SetUp() override {
    surface_.emplace(Width, Height);
    ASSERT_TRUE(surface_->opened()) << surface_->error();
  }
  void TearDown() override { surface_.reset(); }

  std::vector<unsigned char> ReadPixels() const { return surface_->ReadPixels(); }

 private:
  std::optional<ScopedOffscreenSurface> surface_;
};

inline constexpr int kSurfaceWidth = 160;
inline constexpr int kSurfaceHeight = 90;
using GlSurfaceTest = OffscreenSurfaceTest<kSurfaceWidth, kSurfaceHeight>;

// The pixel under normalised device coordinates (x, y) of a top-row-first
// picture of GlSurfaceTest's size.
inline const unsigned char* PixelAt(const std::vector<unsigned char>& rgba, float x, float y) {
  const int column = static_cast<int>((x + 1.0f) * 0.5f * kSurfaceWidth);
  const int row = static_cast<int>((1.0f - y) * 0.5f * kSurfaceHeight);
  return &rgba[(row * kSurfaceWidth + column) * 4];
}
