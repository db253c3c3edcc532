#pragma once

#include <string>
#include <vector>

#include "base/result.h"
#include "tools/capture/capture_options.h"
#include "tools/common/options.h"

// What measured best on the 2-core development machine (see the README).
inline constexpr int kDefaultJobs = 1;

// How quorvane-capture hands a range out in chunks instead of drawing it:
// to worker processes on this machine, or to a Slurm cluster.
struct ChunkOptions {
  int jobs = kDefaultJobs;
  int slurmChunks = 0;  // --slurm N; 0: no submission
  int slurmCpus = 2;
  std::vector<std::string> slurmOptions;
  std::string segmentsFolder;  // for --slurm; empty: beside the output
  int workerOf = 0;            // the process id of the --jobs run this is a worker of
};

// The chunks' part of the command line of quorvane-capture, after the
// render's (tools/capture/capture_options.h), whose --chunk they exclude.
void DefineChunkOptions(CLI::App& app, ChunkOptions& options, CLI::Option* chunk);

// What the parser cannot check of quorvane-capture's whole command line: the
// render's options (CheckCaptureOptions), the range, which it sets, and that
// --chunk or --slurm leaves no part of it empty.
Result CheckCaptureCommandLine(CaptureOptions& options, const ChunkOptions& chunks,
                               FrameSpan& range);

// Before a run hands its work to other processes (--jobs, --slurm): the
// atlas can be read here and the output may be written.
Result ReadyToHandOut(const CaptureOptions& options);
