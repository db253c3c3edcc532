#pragma once

// GLU's mipmap filter for images of 8-bit samples whose sides are powers of
// two, so that every level matches what gluBuild2DMipmaps gives on desktop GL
// (glGenerateMipmap would filter as the driver likes).

// The next level down, written over the start of `pixels`: each sample is
// (a + b + c + d + 2) / 4 of the 2 x 2 block above it, or, once one side is
// down to 1, (a + b) / 2 of the pair above it. Needs width, height > 0 and
// not both 1; the new size is max(width / 2, 1) x max(height / 2, 1).
void HalveImageInPlace(unsigned char* pixels, int width, int height, int components);

// Blue-green-red-alpha to red-green-blue-alpha (and back), in place.
void SwapRedAndBlue(unsigned char* pixels, int pixelCount);
