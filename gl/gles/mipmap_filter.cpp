#include "gl/gles/mipmap_filter.h"

#include <utility>

// In place is safe: output sample i is written after every input sample it
// reads, and each input lies at i or beyond.
void HalveImageInPlace(unsigned char* pixels, int width, int height, int components) {
  const int rowBytes = width * components;
  unsigned char* out = pixels;
  if (width == 1 || height == 1) {
    // A single row or column: GLU averages pairs and truncates.
    for (int pair = 0; pair < width * height / 2; ++pair) {
      const unsigned char* in = pixels + 2 * pair * components;
      for (int k = 0; k < components; ++k)
        *out++ = static_cast<unsigned char>((in[k] + in[k + components]) / 2);
    }
    return;
  }
  for (int row = 0; row < height / 2; ++row) {
    for (int column = 0; column < width / 2; ++column) {
      const unsigned char* in = pixels + 2 * row * rowBytes + 2 * column * components;
      for (int k = 0; k < components; ++k) {
        const int sum =
            in[k] + in[k + components] + in[k + rowBytes] + in[k + rowBytes + components];
        *out++ = static_cast<unsigned char>((sum + 2) / 4);
      }
    }
  }
}

void SwapRedAndBlue(unsigned char* pixels, int pixelCount) {
  for (int i = 0; i < pixelCount; ++i) std::swap(pixels[4 * i], pixels[4 * i + 2]);
}
