#pragma once

#include <string>
#include <vector>

// A test atlas with one plain colour per band and a marker near each corner
// of the backdrop band, so that a read-back pixel tells which part of the
// atlas (and which way up) it came from.
struct Rgb8 {
  int r, g, b;
};

inline constexpr Rgb8 kCard1Colour{255, 96, 0};
inline constexpr Rgb8 kCard2Colour{0, 160, 255};
inline constexpr Rgb8 kGapColour{255, 0, 255};  // t 0.35..0.4, alpha 0
inline constexpr Rgb8 kBackdropColour{128, 128, 128};
inline constexpr Rgb8 kTopLeftMarker{255, 0, 0};
inline constexpr Rgb8 kTopRightMarker{0, 255, 0};
inline constexpr Rgb8 kBottomLeftMarker{0, 0, 255};
inline constexpr Rgb8 kBottomRightMarker{255, 255, 0};

// The whole file: 18-byte header and 1024 x 1024 blue-green-red-alpha pixels.
std::vector<unsigned char> SyntheticAtlasFile();
