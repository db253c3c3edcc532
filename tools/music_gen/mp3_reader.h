#pragma once

#include <string>
#include <vector>

#include "base/result.h"

// Decodes a 44.1 kHz stereo MP3 with libmpg123 into left/right (-1..1), the
// encoder's delay and padding trimmed by the LAME tag as a player trims them.
Result ReadMp3(const std::string& path, std::vector<float>& left, std::vector<float>& right);
