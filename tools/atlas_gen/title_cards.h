#pragma once

#include <string>

#include "base/result.h"
#include "tools/atlas_gen/atlas_image.h"

// The screen shows each 2-unit-wide card cut by its edge: card 1 only from s 0.15,
// card 2 only up to s 0.85. Text (with its glow) stays inside with a small margin.
inline constexpr float kCardOneVisibleS[2] = {0.15f, 0.999f};
inline constexpr float kCardTwoVisibleS[2] = {0.0001f, 0.85f};

inline constexpr const char* kTitleText = "quorvane";
inline constexpr const char* kClosingText = "every light returns home";

// Renders both cards into the rows t 0..0.35 on a transparent background. The
// title uses titleFont, the closing line lineFont. Fails, saying why, when
// FreeType cannot load a face.
Result PaintTitleCards(AtlasImage& image, const std::string& titleFont,
                       const std::string& lineFont);
