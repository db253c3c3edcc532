// The title cards painted from a font file of any content (the same file for
// both cards): FreeType refuses what it cannot read, and whatever it gives
// back must be painted inside the cards' rows, or refused with a message.
#include <algorithm>

#include "tests/support/fuzz_target.h"
#include "tools/atlas_gen/title_cards.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static AtlasImage image;
  const std::string& font = FuzzInputFile(data, size);
  PaintTitleCards(image, font, font);
  const auto belowCards = image.bgra.begin() + size_t{2} * kCardRows * kAtlasSize * 4;
  FuzzExpect(std::all_of(belowCards, image.bgra.end(), [](uint8_t b) { return b == 0; }),
             "a card was painted outside its rows");
  return 0;
}
