#pragma once

#include <string>

#include "base/result.h"
#include "tools/atlas_gen/atlas_image.h"

// The 18-byte header of an uncompressed 32-bit true-colour TGA of the atlas's size,
// origin at the lower left (rows stored bottom-up), 8 alpha bits, no identification
// field and no colour map.
void BuildTgaHeader(unsigned char header[kAtlasHeaderBytes]);

// Writes header and pixels to path atomically (tools/common/atomic_output.h), so a
// failed run never leaves a half-written atlas that looks up to date.
Result WriteAtlasTga(const std::string& path, const AtlasImage& image);
