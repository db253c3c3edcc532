#include "tools/atlas_gen/title_cards.h"

#include <ft2build.h>

#include <algorithm>
#include <cmath>
#include <vector>
#include FT_BITMAP_H
#include FT_FREETYPE_H

namespace {

// A card spans 2 x 0.5 device units: on a 16:9 screen one texel across is
// 1024 * 9 / (16 * 716.8) = 0.80 of one texel up, so glyphs are set that much narrower.
constexpr float kSqueeze = 1024.0f * 9.0f / (16.0f * 4.0f * kCardRows);
constexpr int kGlowRadius = 14;
constexpr float kGlowSigma = 5.0f;
constexpr int kLineWidth = 2048;
constexpr int kLineHeight = 320;
constexpr int kBaseline = 230;

struct CardStyle {
  const char* text;
  int firstRow;
  float centreS;  // horizontal centre of the ink
  float visibleS[2];
  float emPixels;  // wanted em height; shrunk when the line would not fit
  float tracking;  // extra advance per letter, in em
  float ink[3];
  float glow[3];
  float glowStrength;
};

struct Coverage {
  std::vector<float> value =
      std::vector<float>(static_cast<size_t>(kLineWidth) * kLineHeight, 0.0f);
  int left = kLineWidth, right = -1, top = kLineHeight, bottom = -1;  // ink box, inclusive
};

// A letter as one byte of coverage a pixel, top row first. Outlines render
// so already; bitmap fonts store 1, 2 or 4 bits a pixel or colour, and may
// store their rows bottom-up (a negative pitch).
struct GreyLetter {
  FT_Library library;
  FT_Bitmap bitmap;
  explicit GreyLetter(FT_Library owner) : library(owner) { FT_Bitmap_Init(&bitmap); }
  ~GreyLetter() { FT_Bitmap_Done(library, &bitmap); }
  GreyLetter(const GreyLetter&) = delete;
  GreyLetter& operator=(const GreyLetter&) = delete;

  // A letter without ink (a space, or a bitmap font's empty glyph) may come
  // without a buffer, which FT_Bitmap_Convert must not be given.
  bool Convert(const FT_Bitmap& glyph) {
    if (glyph.rows == 0 || glyph.width == 0 || glyph.buffer == nullptr) return true;
    return FT_Bitmap_Convert(library, &glyph, &bitmap, 1) == 0 && bitmap.num_grays >= 2;
  }
  float At(unsigned row, unsigned column) const {
    const unsigned stride = static_cast<unsigned>(bitmap.pitch < 0 ? -bitmap.pitch : bitmap.pitch);
    const unsigned stored = bitmap.pitch < 0 ? bitmap.rows - 1 - row : row;
    return bitmap.buffer[stored * stride + column] / static_cast<float>(bitmap.num_grays - 1);
  }
};

// Sets the line into a scratch buffer (rows top-down) at the given em size.
Result SetLine(FT_Face face, const CardStyle& style, float emPixels, Coverage& line) {
  FT_F26Dot6 height = static_cast<FT_F26Dot6>(std::lround(emPixels * 64.0f));
  FT_F26Dot6 width = static_cast<FT_F26Dot6>(std::lround(emPixels * kSqueeze * 64.0f));
  if (FT_Set_Char_Size(face, width, height, 72, 72) != 0)
    return Fail("FreeType cannot set the character size");
  long pen = 64L * 64;
  long tracking = std::lround(style.tracking * emPixels * kSqueeze * 64.0f);
  FT_UInt previous = 0;
  for (const char* p = style.text; *p; ++p) {
    FT_UInt glyph = FT_Get_Char_Index(face, static_cast<unsigned char>(*p));
    if (previous && glyph && FT_HAS_KERNING(face)) {
      FT_Vector kern;
      if (FT_Get_Kerning(face, previous, glyph, FT_KERNING_UNFITTED, &kern) == 0) pen += kern.x;
    }
    if (FT_Load_Glyph(face, glyph, FT_LOAD_RENDER | FT_LOAD_NO_HINTING) != 0)
      return Fail(std::string("FreeType cannot render the letter '") + *p + "'");
    const FT_GlyphSlot slot = face->glyph;
    GreyLetter letter(slot->library);
    if (!letter.Convert(slot->bitmap))
      return Fail(std::string("FreeType cannot give the letter '") + *p + "' as grey levels");
    const FT_Bitmap& bitmap = letter.bitmap;
    int x0 = static_cast<int>((pen + 32) >> 6) + slot->bitmap_left;
    int y0 = kBaseline - slot->bitmap_top;
    for (unsigned r = 0; r < bitmap.rows; ++r) {
      for (unsigned c = 0; c < bitmap.width; ++c) {
        int x = x0 + static_cast<int>(c), y = y0 + static_cast<int>(r);
        float v = letter.At(r, c);
        if (v <= 0.0f || x < 0 || x >= kLineWidth || y < 0 || y >= kLineHeight) continue;
        float& out = line.value[static_cast<size_t>(y) * kLineWidth + x];
        out = std::max(out, v);
        line.left = std::min(line.left, x);
        line.right = std::max(line.right, x);
        line.top = std::min(line.top, y);
        line.bottom = std::max(line.bottom, y);
      }
    }
    pen += slot->advance.x + (p[1] ? tracking : 0);
    previous = glyph;
  }
  return {};
}

std::vector<float> Blur(const std::vector<float>& source, int width, int height) {
  float kernel[2 * kGlowRadius + 1];
  float sum = 0.0f;
  for (int i = -kGlowRadius; i <= kGlowRadius; ++i)
    sum += kernel[i + kGlowRadius] = std::exp(-0.5f * i * i / (kGlowSigma * kGlowSigma));
  for (float& k : kernel) k /= sum;
  std::vector<float> across(source.size(), 0.0f), result(source.size(), 0.0f);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int i = -kGlowRadius; i <= kGlowRadius; ++i)
        if (x + i >= 0 && x + i < width)
          across[static_cast<size_t>(y) * width + x] +=
              kernel[i + kGlowRadius] * source[static_cast<size_t>(y) * width + x + i];
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int i = -kGlowRadius; i <= kGlowRadius; ++i)
        if (y + i >= 0 && y + i < height)
          result[static_cast<size_t>(y) * width + x] +=
              kernel[i + kGlowRadius] * across[static_cast<size_t>(y + i) * width + x];
  return result;
}

Result PaintCard(FT_Face face, const CardStyle& style, AtlasImage& image) {
  const int margin = kGlowRadius + 2;
  const float available = (style.visibleS[1] - style.visibleS[0]) * kAtlasSize - 2.0f * margin;
  const float maxHalf =
      std::min(style.centreS - style.visibleS[0], style.visibleS[1] - style.centreS) * kAtlasSize -
      margin;
  float em = style.emPixels;
  Coverage line;
  for (int attempt = 0; attempt < 4; ++attempt) {
    line = Coverage();
    if (Result set = SetLine(face, style, em, line); !set) return set;
    if (line.right < 0)
      return Fail(std::string("the font has no visible letters for \"") + style.text + "\"");
    float inkWidth = static_cast<float>(line.right - line.left + 1);
    float inkHeight = static_cast<float>(line.bottom - line.top + 1);
    float shrink = std::min({1.0f, available / inkWidth, 2.0f * maxHalf / inkWidth,
                             (kCardRows - 2.0f * margin) / inkHeight});
    if (shrink >= 1.0f) break;
    em *= shrink * 0.98f;
  }

  std::vector<float> coverage(static_cast<size_t>(kAtlasSize) * kCardRows, 0.0f);
  int shiftX =
      static_cast<int>(std::lround(style.centreS * kAtlasSize - 0.5f * (line.left + line.right)));
  int shiftY =
      static_cast<int>(std::lround(0.5f * (kCardRows - 1) - 0.5f * (line.top + line.bottom)));
  for (int y = line.top; y <= line.bottom; ++y)
    for (int x = line.left; x <= line.right; ++x) {
      int cx = x + shiftX, cy = y + shiftY;
      if (cx >= 0 && cx < kAtlasSize && cy >= 0 && cy < kCardRows)
        coverage[static_cast<size_t>(cy) * kAtlasSize + cx] =
            line.value[static_cast<size_t>(y) * kLineWidth + x];
    }
  std::vector<float> glow = Blur(coverage, kAtlasSize, kCardRows);

  for (int cy = 0; cy < kCardRows; ++cy) {
    int row = style.firstRow + (kCardRows - 1 - cy);  // card rows are stored bottom-up
    for (int cx = 0; cx < kAtlasSize; ++cx) {
      float ink = coverage[static_cast<size_t>(cy) * kAtlasSize + cx];
      float halo =
          std::min(1.0f, style.glowStrength * glow[static_cast<size_t>(cy) * kAtlasSize + cx]);
      float alpha = ink + (1.0f - ink) * halo;
      // Transparent texels keep a colour too, so filtering never pulls dark fringes in.
      float r = style.glow[0], g = style.glow[1], b = style.glow[2];
      if (alpha > 0.0f) {
        r = (ink * style.ink[0] + (1.0f - ink) * halo * style.glow[0]) / alpha;
        g = (ink * style.ink[1] + (1.0f - ink) * halo * style.glow[1]) / alpha;
        b = (ink * style.ink[2] + (1.0f - ink) * halo * style.glow[2]) / alpha;
      }
      SetTexel(image, row, cx, r, g, b, alpha);
    }
  }
  return {};
}

Result PaintWithFont(FT_Library library, const std::string& fontPath, const CardStyle& style,
                     AtlasImage& image) {
  FT_Face face;
  if (FT_New_Face(library, fontPath.c_str(), 0, &face) != 0)
    return Fail("cannot load the font " + fontPath);
  Result painted = PaintCard(face, style, image);
  FT_Done_Face(face);
  return painted;
}

}  // namespace

Result PaintTitleCards(AtlasImage& image, const std::string& titleFont,
                       const std::string& lineFont) {
  // Centred on the screen: card 1 spans x -1.3..0.7 and card 2 x -0.7..1.3.
  const CardStyle title = {kTitleText,
                           kCardOneFirstRow,
                           0.65f,
                           {kCardOneVisibleS[0], kCardOneVisibleS[1]},
                           150.0f,
                           0.16f,
                           {1.0f, 0.96f, 0.9f},
                           {1.0f, 0.55f, 0.25f},
                           0.9f};
  const CardStyle closing = {kClosingText,
                             kCardTwoFirstRow,
                             0.35f,
                             {kCardTwoVisibleS[0], kCardTwoVisibleS[1]},
                             46.0f,
                             0.12f,
                             {0.86f, 0.88f, 0.95f},
                             {0.45f, 0.55f, 1.0f},
                             0.7f};
  FT_Library library;
  if (FT_Init_FreeType(&library) != 0) return Fail("cannot start FreeType");
  Result painted = PaintWithFont(library, titleFont, title, image);
  if (painted) painted = PaintWithFont(library, lineFont, closing, image);
  FT_Done_FreeType(library);
  return painted;
}
