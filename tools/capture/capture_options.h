#pragma once

#include <string>
#include <vector>

#include "base/piece_facts.h"
#include "base/result.h"
#include "tools/capture/frame_schedule.h"
#include "tools/common/options.h"

enum class OutputKind { kVideo, kFrames };

// The most parts a range is split into, by --chunk or --slurm.
inline constexpr int kMaxParts = 100000;

// What one render of a range takes: the range, the picture and its encoding,
// the output, and the part of the range it draws when it is a chunk.
struct CaptureOptions {
  int fps = kPieceFps;
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
  bool quiet = false;
  bool force = false;
  std::vector<std::string> outputs;  // as given; one is wanted
  OutputKind kind = OutputKind::kVideo;
  std::string output;  // without trailing slashes for a folder
};

// The render's part of the command line of quorvane-capture, with its help
// text; the option --chunk, which the chunks' options exclude.
CLI::Option* DefineCaptureOptions(CLI::App& app, CaptureOptions& options);

// What the parser cannot check option by option: one output, named as a
// video or a folder; the range; even sizes for H.264. Sets `kind` and
// `output`. A failure names the offending option.
Result CheckCaptureOptions(CaptureOptions& options);

// The range asked for: --frames, or --from and --to. Fails when it holds no
// frame of the piece.
Result CaptureRange(const CaptureOptions& options, FrameSpan& range);

// Whether `range` splits into `parts` parts (for the option `option`, which
// the message names) without leaving one empty.
Result CheckParts(FrameSpan range, int parts, const char* option);

// The options a chunk of `range` is drawn with, by a --jobs worker or a
// Slurm task with `cores` cores: everything but --chunk and the output.
std::vector<std::string> ChunkArguments(const CaptureOptions& options, FrameSpan range, int cores);

// What follows the program's name on the command line of a --jobs worker
// drawing part `index` of `count` of `range` into `segment`.
std::vector<std::string> ChunkCommandLine(const CaptureOptions& options, FrameSpan range, int index,
                                          int count, int cores, const std::string& segment);

// The kind of output a name asks for: NAME.mp4 a video, NAME/ or an existing
// folder PNG frames. `path` is the name without trailing slashes. Fails for
// any other name.
Result ClassifyOutput(std::string name, OutputKind& kind, std::string& path);

// The output as quorvane-capture and quorvane-join take it: a folder of
// frames named with a trailing '/', so that no one takes it for a bad video
// name.
std::string OutputArgument(const std::string& path, OutputKind kind);
