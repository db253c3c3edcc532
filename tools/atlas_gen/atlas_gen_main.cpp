// Writes the texture atlas: backdrop nebula and the two title cards.
//   quorvane-atlas-gen OUTPUT.tga TITLE_FONT.ttf LINE_FONT.ttf
#include <cstdio>
#include <string>

#include "tools/atlas_gen/backdrop.h"
#include "tools/atlas_gen/tga_file.h"
#include "tools/atlas_gen/title_cards.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s OUTPUT.tga TITLE_FONT.ttf LINE_FONT.ttf\n", argv[0]);
    return 2;
  }
  static AtlasImage image;
  std::string error;
  if (!PaintTitleCards(image, argv[2], argv[3], &error)) {
    std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
    return 1;
  }
  PaintBackdrop(image);
  if (!WriteAtlasTga(argv[1], image, &error)) {
    std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
    return 1;
  }
  return 0;
}
