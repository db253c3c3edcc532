#pragma once

#include <string>
#include <vector>

#include "tools/capture/frame_schedule.h"
#include "tools/common/options.h"

enum class OutputKind { kVideo, kFrames };

// What measured best on the 2-core development machine (see the README).
inline constexpr int kDefaultJobs = 1;

struct CaptureOptions {
  int fps = 60;
  int width = 1920;
  int height = 1080;
  double fromSeconds = 0.0;
  double toSeconds = -1.0;  // negative: to the end of the piece
  FrameSpan frames;         // --frames; first 0: the range is --from/--to
  int crf = 20;
  std::string preset = "superfast";
  int encoderThreads = 0;  // 0: ffmpeg's own choice
  int chunkIndex = 0;      // --chunk I/N, I from 1; N 0 when the run is no chunk
  int chunkCount = 0;
  int jobs = kDefaultJobs;
  int slurmChunks = 0;  // --slurm N; 0: no submission
  int slurmCpus = 2;
  std::vector<std::string> slurmOptions;
  std::string segmentsFolder;  // for --slurm; empty: beside the output
  int workerOf = 0;            // the process id of the --jobs run this is a worker of
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

// The range asked for (--frames, or --from and --to) and the frames this run
// draws of it (the range, or its --chunk). False with `error` when the range
// holds no frame of the piece or is too short for its chunks.
bool CaptureFrames(const CaptureOptions& options, FrameSpan& range, FrameSpan& drawn,
                   std::string& error);

// The options a chunk of `range` is drawn with, by a --jobs worker or a
// Slurm task with `cores` cores: everything but --chunk and the output.
std::vector<std::string> ChunkArguments(const CaptureOptions& options, FrameSpan range, int cores);

// What follows the program's name on the command line of a --jobs worker
// drawing part `index` of `count` of `range` into `segment`.
std::vector<std::string> ChunkCommandLine(const CaptureOptions& options, FrameSpan range, int index,
                                          int count, int cores, const std::string& segment);

// The kind of output a name asks for: NAME.mp4 a video, NAME/ or an existing
// folder PNG frames. `path` is the name without trailing slashes. False with
// `error` for any other name.
bool ClassifyOutput(std::string name, OutputKind& kind, std::string& path, std::string& error);
