#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/common/options.h"

struct StillsOptions {
  int width = 0;
  int height = 0;
  std::string outDir;
  std::vector<double> seconds;
  bool force = false;
};

// The command line of quorvane-stills, with its help text.
void DefineStillsOptions(CLI::App& app, StillsOptions& options);

// The frames that show the moments asked for, in order, each once.
std::vector<int64_t> StillFrames(const StillsOptions& options);

// OUTDIR/still-<ms>ms.png for the frame.
std::string StillPath(const StillsOptions& options, int64_t frame);
