#pragma once

#include <cstdint>

#include "base/result.h"

inline constexpr int kAtlasSize = 1024;
inline constexpr int kAtlasHeaderBytes = 18;
inline constexpr int kAtlasPixelBytes = kAtlasSize * kAtlasSize * 4;

// The one texture of the run, bound to GL_TEXTURE_2D from the load on.
extern uint32_t atlasTexture;
// Staging buffer the file's pixels are read into; zero at program start.
extern unsigned char atlasPixels[kAtlasPixelBytes];

// Reads the atlas file (the piece: TEX.tga in the working directory) into a
// mipmapped texture. Requires a current GL context. Leaves the texture bound
// and GL_TEXTURE_2D off. Fails, saying why, when the file cannot be opened:
// the texture then has no image, which the piece runs with, saying nothing.
Result LoadTextureAtlas(const char* path = "TEX.tga");
