#pragma once

// GLU's mipmap filters for images of 8-bit samples whose sides are powers of
// two, so that every level matches what gluBuild2DMipmaps gives on desktop GL
// (glGenerateMipmap would filter as the driver likes).

namespace gles {

// The next level down, into `out` (which may be `pixels` itself): each
// sample is (a + b + c + d + 2) / 4 of the 2 x 2 block above it, or, once
// one side is down to 1, (a + b) / 2 of the pair above it. Needs width,
// height > 0 and not both 1; the new size is max(width / 2, 1) x
// max(height / 2, 1).
void HalveImage(const unsigned char* pixels, int width, int height, unsigned char* out,
                int components);

// An image too large for the context brought down to `outWidth` x
// `outHeight`, each side the input's divided by a power of two, as GLU
// brings it down before the levels: by halving when both sides halve, else
// by summing boxes of samples and truncating the mean, with GLU's slips
// kept (the boxes of the last row leave out the input's last row, which
// leaves a single row black, and the first sample of a box's n-th row
// below its first is taken n - 1 columns right of the box's edge).
void ShrinkImage(const unsigned char* in, int width, int height, unsigned char* out, int outWidth,
                 int outHeight, int components);

// Blue-green-red-alpha to red-green-blue-alpha (and back), in place.
void SwapRedAndBlue(unsigned char* pixels, int pixelCount);

}  // namespace gles
