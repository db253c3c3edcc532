#pragma once

#include <cstdint>

inline constexpr int kAtlasSize = 1024;
inline constexpr int kAtlasHeaderBytes = 18;
inline constexpr int kAtlasPixelBytes = kAtlasSize * kAtlasSize * 4;

// The one texture of the run, bound to GL_TEXTURE_2D from the load on.
extern uint32_t atlasTexture;
// Staging buffer the file's pixels are read into; zero at program start.
extern unsigned char atlasPixels[kAtlasPixelBytes];

// Reads the atlas file (the piece: TEX.tga in the working directory) into a
// mipmapped texture. Requires a current GL context. Leaves the texture bound
// and GL_TEXTURE_2D off.
void LoadTextureAtlas(const char* path = "TEX.tga");
