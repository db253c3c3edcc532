#pragma once

#include <string>
#include <vector>

// Decodes a 44.1 kHz stereo MP3 with libmpg123 into left/right (-1..1), the
// encoder's delay and padding trimmed by the LAME tag as a player trims them.
bool ReadMp3(const std::string& path, std::vector<float>& left, std::vector<float>& right,
             std::string* error);
