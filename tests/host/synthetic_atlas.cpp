#include "tests/host/synthetic_atlas.h"

#include "host/atlas.h"

namespace {

float RowT(int row) { return (static_cast<float>(row) + 0.5f) / kAtlasSize; }

bool IsGapRow(int row) { return RowT(row) >= 0.35f && RowT(row) < 0.4f; }

Rgb8 TexelColour(int row, int column) {
  if (RowT(row) < 0.175f) return kCard1Colour;
  if (RowT(row) < 0.35f) return kCard2Colour;
  if (IsGapRow(row)) return kGapColour;
  // Markers are inset from the band's edges so filtering never mixes them
  // with a neighbouring band.
  const bool top = row >= kAtlasSize - 160 && row < kAtlasSize - 32;
  const bool bottom = row >= 442 && row < 570;
  const bool left = column >= 32 && column < 160;
  const bool right = column >= kAtlasSize - 160 && column < kAtlasSize - 32;
  if (top && left) return kTopLeftMarker;
  if (top && right) return kTopRightMarker;
  if (bottom && left) return kBottomLeftMarker;
  if (bottom && right) return kBottomRightMarker;
  return kBackdropColour;
}

}  // namespace

std::vector<unsigned char> SyntheticAtlasFile() {
  std::vector<unsigned char> bytes(kAtlasHeaderBytes + kAtlasPixelBytes, 0);
  bytes[2] = 2;  // uncompressed true colour, 1024 x 1024, 32 bits, origin bottom left
  bytes[13] = bytes[15] = 0x04;
  bytes[16] = 32;
  bytes[17] = 8;
  for (int row = 0; row < kAtlasSize; ++row) {
    for (int column = 0; column < kAtlasSize; ++column) {
      const Rgb8 c = TexelColour(row, column);
      unsigned char* p = &bytes[kAtlasHeaderBytes + (row * kAtlasSize + column) * 4];
      p[0] = static_cast<unsigned char>(c.b);
      p[1] = static_cast<unsigned char>(c.g);
      p[2] = static_cast<unsigned char>(c.r);
      p[3] = IsGapRow(row) ? 0 : 255;
    }
  }
  return bytes;
}
