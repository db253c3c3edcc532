#include "gl/gles/mipmap_filter.h"

#include <cstddef>
#include <utility>

namespace gles {

// In place is safe: output sample i is written after every input sample it
// reads, and each input lies at i or beyond.
void HalveImage(const unsigned char* pixels, int width, int height, unsigned char* out,
                int components) {
  const int rowBytes = width * components;
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

void ShrinkImage(const unsigned char* in, int width, int height, unsigned char* out, int outWidth,
                 int outHeight, int components) {
  if (width == 2 * outWidth && height == 2 * outHeight) {
    HalveImage(in, width, height, out, components);  // with GLU's rounding
    return;
  }
  const int boxWidth = width / outWidth;
  const int boxHeight = height / outHeight;
  // The sums are whole numbers below 2^24 and the area a power of two, so
  // GLU's float arithmetic is exact and its result the truncated quotient.
  const float area = static_cast<float>(boxWidth) * static_cast<float>(boxHeight);
  const size_t samples = static_cast<size_t>(width) * height;
  auto at = [&](size_t sample, int k) {
    return sample < samples ? in[sample * components + k] : 0;  // GLU would read past the end
  };
  for (int row = 0; row < outHeight; ++row) {
    const int firstRow = row * boxHeight;
    // GLU clamps the last box's end to the input's last row, and then leaves
    // that row out: a single row comes out black.
    const int endRow = row == outHeight - 1 ? height - 1 : firstRow + boxHeight;
    for (int column = 0; column < outWidth; ++column) {
      const size_t firstColumn = static_cast<size_t>(column) * boxWidth;
      for (int k = 0; k < components; ++k) {
        int sum = 0;
        for (int y = firstRow; y < endRow; ++y) {
          const size_t rowStart = static_cast<size_t>(y) * width + firstColumn;
          // GLU takes the first sample of the box's n-th row below its first
          // n - 1 columns right of the box's edge.
          sum += at(y == firstRow ? rowStart : rowStart + (y - firstRow - 1), k);
          for (int x = 1; x < boxWidth; ++x) sum += at(rowStart + x, k);
        }
        *out++ = static_cast<unsigned char>(static_cast<float>(sum) / area);
      }
    }
  }
}

void SwapRedAndBlue(unsigned char* pixels, int pixelCount) {
  for (int i = 0; i < pixelCount; ++i) std::swap(pixels[4 * i], pixels[4 * i + 2]);
}

}  // namespace gles
