#include "tools/capture/capture_run.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "host/atlas.h"
#include "host/frame.h"
#include "host/headless_run.h"
#include "host/offscreen.h"
#include "sim/state_hash.h"
#include "tools/capture/capture_assets.h"
#include "tools/capture/encoder_arguments.h"
#include "tools/capture/encoder_process.h"
#include "tools/capture/frame_writer.h"
#include "tools/capture/music_probe.h"
#include "tools/capture/output_target.h"
#include "tools/capture/progress.h"
#include "tools/capture/readback_ring.h"
#include "tools/capture/segment_manifest.h"
#include "tools/capture/stop_signal.h"
#include "tools/common/asset_search.h"
#include "tools/common/png_file.h"
#include "tools/common/tool_report.h"

namespace {

FrameSink VideoSink(const EncoderProcess& encoder, size_t frameBytes) {
  return [&encoder, frameBytes](const unsigned char* pixels, int64_t, std::string& error) {
    if (WriteToEncoder(encoder, pixels, frameBytes)) return true;
    error = "ffmpeg stopped taking frames";
    return false;
  };
}

FrameSink PngSink(const OutputTarget& target, int width, int height) {
  std::vector<unsigned char> topDown(static_cast<size_t>(width) * height * 4);
  return [&target, width, height, topDown](const unsigned char* pixels, int64_t k,
                                           std::string& error) mutable {
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    for (int y = 0; y < height; ++y)
      std::memcpy(topDown.data() + rowBytes * y, pixels + rowBytes * (height - 1 - y), rowBytes);
    return WritePngInFolder(FramePath(target, k), topDown.data(), width, height, error);
  };
}

// Frames before the range only move the simulation and the random source on,
// a few seconds of the piece at a time so that a stop request is heard soon.
bool RunUndrawnUpTo(int64_t last, bool quiet) {
  constexpr int64_t kFramesBetweenChecks = 600;
  if (!quiet && last > 0)
    ReportNote("running the first " + std::to_string(last) + " frames undrawn");
  while (HeadlessFrame() < last) {
    if (captureStopSignal != 0) return false;
    RunUpToFrame(std::min(last, HeadlessFrame() + kFramesBetweenChecks), kUndrawn);
  }
  return true;
}

// What a capture holds while it runs. However the run ends (done, failed,
// stopped), the destructor lets go of it in the one order that cannot hang:
// ffmpeg killed unless it was finished, so that a write blocked on its pipe
// returns; the writer thread ended; the read-back buffers and the surface
// released; ffmpeg reaped; the output removed unless it was committed.
struct CaptureHold {
  CaptureHold() = default;
  CaptureHold(const CaptureHold&) = delete;
  CaptureHold& operator=(const CaptureHold&) = delete;
  ~CaptureHold() {
    KillEncoder(encoder);
    writer.reset();
    if (readback) EndReadback();
    if (surface) CloseOffscreenSurface();
    std::string ignored;
    FinishEncoder(encoder, ignored);
  }

  OutputTarget target;  // removed last, unless committed
  bool surface = false;
  bool readback = false;
  EncoderProcess encoder;
  std::optional<FrameWriter> writer;
};

// A --jobs worker tells its parent how many frames it has handed over, one
// number a line; a parent that has gone only costs the line.
void TellParent(int64_t frames) {
  char line[24];
  const int length = std::snprintf(line, sizeof line, "%lld\n", static_cast<long long>(frames));
  if (write(STDOUT_FILENO, line, static_cast<size_t>(length)) < 0) return;
}

// A segment's manifest goes beside it once the segment is under its name; an
// older one goes first, so that it never stands beside the new segment.
bool CommitSegment(const CaptureOptions& options, FrameSpan range, FrameSpan drawn,
                   uint64_t simulationHash, OutputTarget& target, std::string& error) {
  SegmentManifest manifest = ChunkManifest(options, range, drawn);
  manifest.simulationHash = simulationHash;
  const std::string manifestPath = ManifestPath(options.output);
  if (unlink(manifestPath.c_str()) != 0 && errno != ENOENT) {
    error = "cannot replace '" + manifestPath + "': " + std::strerror(errno);
    return false;
  }
  if (!CommitOutput(target, error)) return false;
  if (MeasureSegment(options.output, options.kind, drawn.first, drawn.last, manifest.bytes,
                     error) &&
      WriteManifest(options.output, manifest, error))
    return true;
  if (options.kind == OutputKind::kVideo)
    unlink(options.output.c_str());
  else
    RemoveFolderOfFiles(options.output);
  return false;
}

}  // namespace

int RunCapture(const CaptureOptions& options, FrameSpan range, FrameSpan drawn) {
  const std::string missing = MissingAtlas();
  if (!missing.empty()) return ReportFailure(missing);
  const std::string atlas = FindAssetFile(kAtlasFile);
  const std::string musicFile = FindAssetFile(kMusicFile);
  const int64_t first = drawn.first;
  const int64_t last = drawn.last;
  const bool video = options.kind == OutputKind::kVideo;
  const bool segment = options.chunkCount > 0;
  // A segment's music goes in once, at the join.
  const MusicState musicState =
      video && !segment ? ProbeMusic(musicFile.c_str()) : MusicState::kUsable;
  const bool music = video && !segment && musicState == MusicState::kUsable;
  if (video && !segment && !music)
    ReportWarning(std::string(kMusicFile) + " " + DescribeMusicState(musicState) +
                  "; the video will have no sound");

  CaptureHold hold;
  OutputTarget& target = hold.target;
  std::string error;
  if (!PrepareOutputNotingLeftovers(options.kind, options.output, options.force, target, "capture",
                                    error))
    return ReportFailure(error);
  const Result opened = OpenOffscreenSurface(options.width, options.height);
  hold.surface = static_cast<bool>(opened);
  if (!hold.surface) return ReportFailure("cannot render without a display: " + opened.error);
  const auto started = std::chrono::steady_clock::now();
  StartHeadlessRun(options.fps);
  LoadTextureAtlas(atlas.c_str());
  hold.readback = StartReadback(options.width, options.height, error);
  if (!hold.readback) return ReportFailure(error);
  EncoderProcess& encoder = hold.encoder;
  if (video && !StartEncoder(EncoderArguments(options, target.output.tempPath,
                                              music ? musicFile.c_str() : nullptr, first, last),
                             encoder, error))
    return ReportFailure(error);

  // Frame first - 1 is drawn too (by RunUpToFrame), so that the first
  // recorded frame starts from the GL state a drawn frame leaves.
  bool ok = RunUndrawnUpTo(first - 2, options.quiet);

  const size_t frameBytes = static_cast<size_t>(options.width) * options.height * 4;
  FrameWriter& writer = hold.writer.emplace(video ? VideoSink(encoder, frameBytes)
                                                  : PngSink(target, options.width, options.height));
  Progress progress;
  StartProgress(progress, last - first + 1, options.quiet);
  // Frame k is read into one slot while frame k - 1, read into the slot
  // before, is mapped and written by the writer thread.
  bool writerFailed = false;
  uint64_t simulationHash = 0;
  for (int64_t k = first; ok && k <= last + 1; ++k) {
    writerFailed = writer.Failed(error);
    if (captureStopSignal != 0 || writerFailed) {
      ok = false;
      break;
    }
    const int slot = static_cast<int>((k - first) % kReadbackSlots);
    if (k <= last) {
      RunUpToFrame(k, RunSceneFrame);
      if (k == first) simulationHash = HashSimulationState();
      writer.WaitForSlot(slot);
      UnmapSlot(slot);
      ReadIntoSlot(slot);
    }
    if (k > first) {
      const int previous = (slot + kReadbackSlots - 1) % kReadbackSlots;
      const unsigned char* pixels = MapSlot(previous);
      if (pixels == nullptr) {
        error = "the GL driver could not map a read-back buffer";
        ok = false;
        break;
      }
      writer.Queue(previous, pixels, k - 1);
      UpdateProgress(progress, k - first);
      if (options.workerOf != 0) TellParent(k - first);
    }
  }

  // An ffmpeg that stopped by itself is left to report its own exit status;
  // one that is still running is killed by the hold when the run failed.
  if (ok) {
    ok = writer.Finish();
    if (!ok) error = writer.error();
  } else if (writerFailed) {
    hold.writer.reset();
  }
  if (video && (ok || writerFailed)) {
    std::string encoderError;
    if (!FinishEncoder(encoder, encoderError)) {
      ok = false;
      error = encoderError;  // ffmpeg's own account outweighs "stopped taking frames"
    }
  }
  if (ok)
    EndProgress(progress, last - first + 1);
  else if (progress.terminal && !options.quiet)
    std::fputc('\n', stderr);

  if (captureStopSignal != 0) {
    ReportNote("stopped; nothing was written");
    return 128 + captureStopSignal;
  }
  if (ok)
    ok = segment ? CommitSegment(options, range, drawn, simulationHash, target, error)
                 : CommitOutput(target, error);
  if (!ok) return ReportFailure(error + "; nothing was written");
  if (!options.quiet) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    char summary[160];
    std::snprintf(summary, sizeof summary, "%lld frames of %dx%d at %d fps in %.1f s",
                  static_cast<long long>(last - first + 1), options.width, options.height,
                  options.fps, seconds);
    ReportNote("wrote " + target.output.finalPath + ": " + summary);
  }
  return 0;
}
