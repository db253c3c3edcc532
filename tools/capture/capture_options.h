#pragma once

#include <string>
#include <vector>

#include "tools/common/options.h"

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
  bool force = false;
  std::vector<std::string> outputs;  // as given; one is wanted
  OutputKind kind = OutputKind::kVideo;
  std::string output;  // without trailing slashes for a folder
};

// The command line of quorvane-capture, with its help text.
void DefineCaptureOptions(CLI::App& app, CaptureOptions& options);

// What the parser cannot check option by option: one output, named as a
// video or a folder; the range; even sizes for H.264. Sets `kind` and
// `output`. False with `error` naming the offending option.
bool CheckCaptureOptions(CaptureOptions& options, std::string& error);
