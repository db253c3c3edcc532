#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/atlas.h"

// Rows of the atlas, counted from t = 0 upward as the file stores them.
inline constexpr int kCardRows = 179;  // t 0 to 0.175 per card
inline constexpr int kCardOneFirstRow = 0;
inline constexpr int kCardTwoFirstRow = kCardRows;  // t 0.175 to 0.35
// The backdrop is read from t = 0.4 (row 409.6); it starts a little lower so that
// filtering at its bottom edge only ever meets opaque texels, while the rows just
// above card 2 stay clear so the card's top edge picks up no stray colour.
inline constexpr int kBackdropFirstRow = 384;

// Bytes blue, green, red, alpha, row 0 first, exactly as they go to the file.
struct AtlasImage {
  std::vector<uint8_t> bgra = std::vector<uint8_t>(static_cast<size_t>(kAtlasPixelBytes), 0);
};

inline void SetTexel(AtlasImage& image, int row, int column, float r, float g, float b, float a) {
  auto byte = [](float v) {
    v = v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
    return static_cast<uint8_t>(v * 255.0f + 0.5f);
  };
  uint8_t* texel =
      &image.bgra[(static_cast<size_t>(row) * kAtlasSize + static_cast<size_t>(column)) * 4];
  texel[0] = byte(b);
  texel[1] = byte(g);
  texel[2] = byte(r);
  texel[3] = byte(a);
}
