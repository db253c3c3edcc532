// Writes the texture atlas: backdrop nebula and the two title cards.
#include <string>

#include "tools/atlas_gen/backdrop.h"
#include "tools/atlas_gen/tga_file.h"
#include "tools/atlas_gen/title_cards.h"
#include "tools/common/options.h"
#include "tools/common/tool_report.h"

int main(int argc, char** argv) {
  SetToolName("quorvane-atlas-gen");
  std::string output, titleFont, lineFont;
  CLI::App app{"Paints the texture atlas of quorvane: the backdrop and the two title cards.",
               "quorvane-atlas-gen"};
  app.add_option("OUTPUT", output, "the atlas, a 1024x1024 TGA")->required();
  app.add_option("TITLE_FONT", titleFont, "font of the title card")->required();
  app.add_option("LINE_FONT", lineFont, "font of the closing card")->required();
  if (const CommandLine line = ParseCommandLine(app, argc, argv); line != CommandLine::kRun)
    return ExitStatusFor(line);

  static AtlasImage image;
  Result made = PaintTitleCards(image, titleFont, lineFont);
  if (made) {
    PaintBackdrop(image);
    made = WriteAtlasTga(output, image);
  }
  return ExitStatusAfter(made);
}
