#pragma once

#include <string>

#include "base/result.h"

// The files a capture reads, from its working folder or else an installed
// copy's data folder (tools/common/asset_search.h).
inline constexpr const char* kAtlasFile = "TEX.tga";
inline constexpr const char* kMusicFile = "RX_muc.mp3";

// Where the atlas is, into `path`; fails, saying what is wrong and where to
// run instead, when the piece could not read it there.
Result FindCaptureAtlas(std::string& path);
