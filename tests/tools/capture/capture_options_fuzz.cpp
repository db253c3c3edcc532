// The capture tool's command line on any arguments. What it accepts must be a
// range of the piece whose chunks tile it, and the arguments a --jobs run
// hands each worker must read back as the same capture into the same output.
#include <algorithm>

#include "tests/support/fuzz_arguments.h"
#include "tests/support/fuzz_target.h"
#include "tools/capture/capture_options.h"
#include "tools/chunks/chunk_options.h"

namespace {

// Parsed and checked as the tool does; false where the tool would refuse.
bool Accept(const FuzzArguments& arguments, CaptureOptions& options, ChunkOptions& chunks,
            FrameSpan& range) {
  CLI::App app{"", "quorvane-capture"};
  DefineChunkOptions(app, chunks, DefineCaptureOptions(app, options));
  bool help = false;
  if (!ParseArguments(app, arguments.argc(), arguments.argv.data(), help) || help) return false;
  return static_cast<bool>(CheckCaptureCommandLine(options, chunks, range));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CaptureOptions options;
  ChunkOptions chunks;
  FrameSpan range;
  if (!Accept(SplitArguments("quorvane-capture", data, size), options, chunks, range)) return 0;
  FuzzExpect(
      range.first >= 1 && range.first <= range.last && range.last <= LastFrameOfPiece(options.fps),
      "the range is not frames of the piece");
  FuzzExpect(
      options.kind != OutputKind::kVideo || (options.width % 2 == 0 && options.height % 2 == 0),
      "an odd size for H.264");
  if (options.chunkCount > 0) {
    const FrameSpan drawn = ChunkOfRange(range, options.chunkIndex, options.chunkCount);
    FuzzExpect(drawn.first >= range.first && drawn.first <= drawn.last && drawn.last <= range.last,
               "the frames drawn lie outside the range");
  }

  const int parts = std::max({options.chunkCount, chunks.slurmChunks, chunks.jobs});
  if (parts <= range.Count()) {
    int64_t next = range.first;
    const int checked = std::min(parts, 64);
    for (int index = 1; index <= checked; ++index) {
      const FrameSpan chunk = ChunkOfRange(range, index, parts);
      FuzzExpect(chunk.first == next && chunk.first <= chunk.last, "chunks do not tile the range");
      next = chunk.last + 1;
    }
    FuzzExpect(ChunkOfRange(range, parts, parts).last == range.last,
               "the last chunk does not end the range");
  }

  // A --jobs worker's command line, drawing into a segment named as the output.
  FuzzArguments worker;
  worker.words = ChunkCommandLine(options, range, 1, 1, 1, options.output);
  worker.argv.push_back("quorvane-capture");
  for (const std::string& word : worker.words) worker.argv.push_back(word.c_str());
  CaptureOptions again;
  ChunkOptions againChunks;
  FrameSpan againRange;
  FuzzExpect(Accept(worker, again, againChunks, againRange), "a chunk's arguments are refused");
  FuzzExpect(againRange.first == range.first && againRange.last == range.last &&
                 again.fps == options.fps && again.width == options.width &&
                 again.height == options.height && again.crf == options.crf &&
                 again.preset == options.preset && again.kind == options.kind &&
                 again.output == options.output,
             "a chunk's arguments describe another capture");
  return 0;
}
