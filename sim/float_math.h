#pragma once

#include <cmath>

// Sine and cosine of a 32-bit argument, rounded to 32 bits. Every angle of the
// simulation and the scene goes through these two, so the whole piece uses
// one definition of them.
inline float Sin32(float x) { return static_cast<float>(std::sin(static_cast<double>(x))); }
inline float Cos32(float x) { return static_cast<float>(std::cos(static_cast<double>(x))); }
