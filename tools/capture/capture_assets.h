#pragma once

#include <string>

#include "tools/capture/capture_options.h"

// The files a capture reads, from its working folder or else an installed
// copy's data folder (tools/common/asset_search.h).
inline constexpr const char* kAtlasFile = "TEX.tga";
inline constexpr const char* kMusicFile = "RX_muc.mp3";

// Why a capture cannot run here, or empty when the atlas is there to be read.
std::string MissingAtlas();

// Before a run hands its work to other processes (--jobs, --slurm): the atlas
// is here and the output may be written. False with `error` otherwise.
bool ReadyToHandOut(const CaptureOptions& options, std::string& error);
