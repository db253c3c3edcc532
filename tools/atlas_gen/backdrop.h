#pragma once

#include "tools/atlas_gen/atlas_image.h"

// Paints the nebula from kBackdropFirstRow to the top row, fully opaque.
void PaintBackdrop(AtlasImage& image);
