#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/capture/capture_options.h"

inline constexpr int kMusicSampleRate = 44100;

// The ffmpeg command line for a video of frames first..last, read raw (RGBA,
// bottom row first) on standard input, written as MP4 to `path`. With a music
// file, its samples from the one that matches the start of frame `first` are
// muxed in, trimmed or padded with silence to exactly the video's length.
// A chunk's segment (options.chunkCount > 0) is video alone: the music goes in
// once, when the segments are joined.
std::vector<std::string> EncoderArguments(const CaptureOptions& options, const std::string& path,
                                          const char* musicFile, int64_t first, int64_t last);

// The ffmpeg command line that joins the videos listed in `listFile` (ffmpeg's
// concat list) by stream copy into `path`, muxing the music over frames
// first..last of the schedule as EncoderArguments does for one run.
std::vector<std::string> JoinArguments(const std::string& listFile, int fps,
                                       const std::string& path, const char* musicFile,
                                       int64_t first, int64_t last);
