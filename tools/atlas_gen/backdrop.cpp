#include "tools/atlas_gen/backdrop.h"

#include <cmath>
#include <vector>

#include "base/hash.h"
#include "tools/atlas_gen/noise.h"

namespace {

// The band t 0.4..1 fills a 16:9 screen; painting in screen-shaped units keeps
// round things round there.
constexpr float kScreenAspect = 16.0f / 9.0f;
constexpr int kRows = kAtlasSize - kBackdropFirstRow;

struct Colour {
  float r, g, b;
};

Colour Mix(Colour a, Colour b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

float Smoothstep(float edge0, float edge1, float x) {
  float t = (x - edge0) / (edge1 - edge0);
  t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
  return t * t * (3.0f - 2.0f * t);
}

float ScreenX(int column) {
  return (static_cast<float>(column) + 0.5f) / kAtlasSize * kScreenAspect;
}
float ScreenY(int row) { return ((static_cast<float>(row) + 0.5f) / kAtlasSize - 0.4f) / 0.6f; }

// Emission runs along the bottom and up into the right: the sparks sample the
// lower third and the upper right of this band, so those regions carry the bright gas.
float EmissionMask(float x, float y, float wobble) {
  float floor = std::exp(-(y - 0.12f - 0.1f * wobble) * (y - 0.12f - 0.1f * wobble) / 0.07f);
  float dx = x - 1.45f, dy = y - 0.8f;
  float corner = std::exp(-(dx * dx * 0.7f + dy * dy) / 0.09f);
  float arc = std::exp(
      -std::pow(std::fabs(y - 0.12f - 0.55f * (x - 0.6f) * (x - 0.6f) * (x > 0.6f ? 1.0f : 0.0f)),
                2.0f) /
      0.03f);
  float mask = floor + corner + 0.6f * arc;
  return mask > 1.0f ? 1.0f : mask;
}

Colour GasColour(float hue) {
  const Colour kViolet = {0.42f, 0.16f, 0.85f};
  const Colour kMagenta = {0.95f, 0.22f, 0.55f};
  const Colour kTeal = {0.10f, 0.62f, 0.78f};
  const Colour kAmber = {1.0f, 0.62f, 0.28f};
  hue = hue < 0.0f ? 0.0f : (hue > 1.0f ? 1.0f : hue);
  if (hue < 0.33f) return Mix(kTeal, kViolet, hue / 0.33f);
  if (hue < 0.66f) return Mix(kViolet, kMagenta, (hue - 0.33f) / 0.33f);
  return Mix(kMagenta, kAmber, (hue - 0.66f) / 0.34f);
}

void PaintGas(std::vector<Colour>& light) {
  for (int row = 0; row < kRows; ++row) {
    float y = ScreenY(row + kBackdropFirstRow);
    for (int column = 0; column < kAtlasSize; ++column) {
      float x = ScreenX(column);
      // Domain warping bends the clouds into flowing, filament-like shapes.
      float wx = Fbm(x * 1.4f + 3.1f, y * 1.4f + 7.7f, 5, 11);
      float wy = Fbm(x * 1.4f - 5.2f, y * 1.4f + 1.3f, 5, 12);
      float qx = x + 0.55f * wx;
      float qy = y + 0.55f * wy;
      float mask = EmissionMask(x, y, wx);

      float cloud = Smoothstep(-0.25f, 0.75f, Fbm(qx * 2.3f, qy * 2.3f, 7, 21));
      float ridge = RidgedFbm(qx * 3.2f + 1.7f, qy * 3.2f, 6, 31);
      float filament = std::pow(ridge, 9.0f);
      float dust = Smoothstep(0.05f, 0.55f, Fbm(qx * 3.6f + 9.0f, qy * 3.6f, 6, 41));
      float hue = 0.5f + 0.9f * Fbm(qx * 0.9f, qy * 0.9f, 3, 51) + 0.5f * (0.4f - y);
      float haze = 0.5f + 0.5f * Fbm(x * 1.1f, y * 1.1f, 4, 61);

      float fog = Smoothstep(-0.3f, 0.8f, Fbm(qx * 1.2f + 4.0f, qy * 1.2f, 4, 71));

      Colour gas = GasColour(hue);
      Colour hot = Mix(gas, {1.0f, 0.92f, 0.85f}, 0.45f);
      float density = cloud * (0.25f + 0.75f * mask);
      float lit = 1.1f * density * density * (0.3f + 0.7f * mask);
      float glow = 0.32f * fog * (0.15f + 0.85f * mask);
      float core = 0.9f * std::pow(cloud, 5.0f) * mask * mask;
      float strands = filament * (0.35f + 1.6f * mask);
      float shadow = 1.0f - 0.8f * dust * (0.4f + 0.6f * cloud);

      Colour c = {0.010f + 0.03f * haze, 0.012f + 0.02f * haze, 0.035f + 0.07f * haze};
      c.r = (c.r + gas.r * (lit + glow) + hot.r * (strands + core)) * shadow;
      c.g = (c.g + gas.g * (lit + glow) + hot.g * (strands + core)) * shadow;
      c.b = (c.b + gas.b * (lit + glow) + hot.b * (strands + core)) * shadow;
      light[static_cast<size_t>(row) * kAtlasSize + column] = c;
    }
  }
}

// Adds one star as a small Gaussian, with a wider faint halo for the bright ones.
void SplatStar(std::vector<Colour>& light, float sx, float sy, float radius, float brightness,
               Colour tint) {
  float texelX = kScreenAspect / kAtlasSize;
  float texelY = 1.0f / (0.6f * kAtlasSize);
  float reach = radius * 6.0f;
  int c0 = static_cast<int>((sx - reach) / texelX) - 1,
      c1 = static_cast<int>((sx + reach) / texelX) + 1;
  int r0 = static_cast<int>((sy - reach) / texelY) - 1,
      r1 = static_cast<int>((sy + reach) / texelY) + 1;
  for (int r = r0; r <= r1; ++r) {
    if (r < 0 || r >= kRows) continue;
    for (int c = c0; c <= c1; ++c) {
      if (c < 0 || c >= kAtlasSize) continue;
      float dx = (static_cast<float>(c) + 0.5f) * texelX - sx;
      float dy = (static_cast<float>(r) + 0.5f) * texelY - sy;
      float d2 = (dx * dx + dy * dy) / (radius * radius);
      float v = brightness * (std::exp(-d2) + 0.04f * std::exp(-d2 * 0.08f));
      Colour& out = light[static_cast<size_t>(r) * kAtlasSize + c];
      out.r += tint.r * v;
      out.g += tint.g * v;
      out.b += tint.b * v;
    }
  }
}

void PaintStars(std::vector<Colour>& light) {
  float height = static_cast<float>(kRows) / (0.6f * kAtlasSize);
  uint32_t state = 0x51a5u;
  auto next = [&state]() {
    state = HashU32(state + 0x632be5abu);
    return static_cast<float>(state >> 8) / 16777216.0f;
  };
  const int kStars = 3200;
  for (int i = 0; i < kStars; ++i) {
    float x = next() * kScreenAspect;
    float y = next() * height;
    float size = next();
    float temperature = next();
    Colour tint = temperature < 0.5f
                      ? Mix({0.62f, 0.72f, 1.0f}, {1.0f, 1.0f, 1.0f}, temperature * 2.0f)
                      : Mix({1.0f, 1.0f, 1.0f}, {1.0f, 0.78f, 0.5f}, temperature * 2.0f - 1.0f);
    // Many faint pinpricks, few bright stars: brightness falls off steeply with rank.
    float power = std::pow(size, 12.0f);
    float radius = 0.0009f + 0.0016f * power;
    float brightness = 0.12f + 0.5f * size * size + 2.4f * power;
    SplatStar(light, x, y, radius, brightness, tint);
  }
}

float ToneMap(float v) { return std::pow(1.0f - std::exp(-1.35f * v), 0.92f); }

}  // namespace

void PaintBackdrop(AtlasImage& image) {
  std::vector<Colour> light(static_cast<size_t>(kRows) * kAtlasSize);
  PaintGas(light);
  PaintStars(light);
  for (int row = 0; row < kRows; ++row) {
    for (int column = 0; column < kAtlasSize; ++column) {
      const Colour& c = light[static_cast<size_t>(row) * kAtlasSize + column];
      SetTexel(image, row + kBackdropFirstRow, column, ToneMap(c.r), ToneMap(c.g), ToneMap(c.b),
               1.0f);
    }
  }
}
