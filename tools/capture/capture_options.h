#pragma once

#include <string>

enum class OutputKind { kVideo, kFrames };

struct CaptureOptions {
  int fps = 60;
  int width = 1920;
  int height = 1080;
  double fromSeconds = 0.0;
  double toSeconds = -1.0;  // negative: to the end of the piece
  int crf = 20;
  std::string preset = "superfast";
  bool quiet = false;
  bool help = false;
  OutputKind kind = OutputKind::kVideo;
  std::string output;  // without trailing slashes for a folder
};

// Parses argv[1..]. On failure returns false and sets `error` to a message
// naming the offending option; `options` is then not to be used.
bool ParseCaptureOptions(int argc, const char* const* argv, CaptureOptions& options,
                         std::string& error);

const char* CaptureUsage();
