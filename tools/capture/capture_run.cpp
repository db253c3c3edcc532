#include "tools/capture/capture_run.h"

#include <algorithm>
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
#include "tools/capture/stop_signal.h"
#include "tools/common/asset_search.h"
#include "tools/common/png_file.h"
#include "tools/common/tool_report.h"

namespace {

FrameSink VideoSink(const EncoderProcess& encoder, size_t frameBytes) {
  return [&encoder, frameBytes](const unsigned char* pixels, int64_t) {
    if (WriteToEncoder(encoder, pixels, frameBytes)) return Result{};
    return Fail("ffmpeg stopped taking frames");
  };
}

FrameSink PngSink(const OutputTarget& target, int width, int height) {
  std::vector<unsigned char> topDown(static_cast<size_t>(width) * height * 4);
  return [&target, width, height, topDown](const unsigned char* pixels, int64_t k) mutable {
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    for (int y = 0; y < height; ++y)
      std::memcpy(topDown.data() + rowBytes * y, pixels + rowBytes * (height - 1 - y), rowBytes);
    return WritePngInFolder(FramePath(target, k), topDown.data(), width, height);
  };
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
    FinishEncoder(encoder);
  }

  OutputTarget target;  // removed last, unless committed
  bool surface = false;
  bool readback = false;
  EncoderProcess encoder;
  std::optional<FrameWriter> writer;
};

}  // namespace

Result RunCapture(const CaptureOptions& options, FrameSpan drawn, const RenderSteps& steps) {
  std::string atlas;
  if (Result found = FindCaptureAtlas(atlas); !found) return found;
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
  if (Result prepared = PrepareOutputNotingLeftovers(options.kind, options.output, options.force,
                                                     target, "capture");
      !prepared)
    return prepared;
  if (Result opened = OpenOffscreenSurface(options.width, options.height); !opened)
    return Fail("cannot render without a display: " + opened.error);
  hold.surface = true;
  const auto started = std::chrono::steady_clock::now();
  StartHeadlessRun(options.fps);
  if (Result loaded = LoadTextureAtlas(atlas.c_str()); !loaded) return loaded;
  if (Result reading = StartReadback(options.width, options.height); !reading) return reading;
  hold.readback = true;
  EncoderProcess& encoder = hold.encoder;
  if (video) {
    if (Result encoding =
            StartEncoder(EncoderArguments(options, target.output.tempPath,
                                          music ? musicFile.c_str() : nullptr, first, last),
                         encoder);
        !encoding)
      return encoding;
  }

  // Frames before the range only move the simulation and the random source
  // on. Frame first - 1 is drawn too (by RunUpToFrame), so that the first
  // recorded frame starts from the GL state a drawn frame leaves.
  if (!options.quiet && first - 2 > 0)
    ReportNote("running the first " + std::to_string(first - 2) + " frames undrawn");
  Result run = RunUndrawnUnlessStopped(first - 2) ? Result{} : Fail(kStoppedMessage);

  const size_t frameBytes = static_cast<size_t>(options.width) * options.height * 4;
  FrameWriter& writer = hold.writer.emplace(video ? VideoSink(encoder, frameBytes)
                                                  : PngSink(target, options.width, options.height));
  Progress progress;
  StartProgress(progress, last - first + 1, options.quiet);
  // Frame k is read into one slot while frame k - 1, read into the slot
  // before, is mapped and written by the writer thread.
  bool writerFailed = false;
  uint64_t simulationHash = 0;
  for (int64_t k = first; run && k <= last + 1; ++k) {
    run = writer.Failure();
    writerFailed = !run;
    if (captureStopSignal != 0) run = Fail(kStoppedMessage);
    if (!run) break;
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
        run = Fail("the GL driver could not map a read-back buffer");
        break;
      }
      writer.Queue(previous, pixels, k - 1);
      UpdateProgress(progress, k - first);
      if (steps.framesHandedOver != nullptr) steps.framesHandedOver(k - first);
    }
  }

  // An ffmpeg that stopped by itself is left to report its own exit status;
  // one that is still running is killed by the hold when the run failed.
  if (run)
    run = writer.Finish();
  else if (writerFailed)
    hold.writer.reset();
  if (video && (run || writerFailed)) {
    // ffmpeg's own account outweighs "stopped taking frames"
    if (Result encoded = FinishEncoder(encoder); !encoded) run = encoded;
  }
  if (run)
    EndProgress(progress, last - first + 1);
  else if (progress.terminal && !options.quiet)
    std::fputc('\n', stderr);

  if (captureStopSignal != 0) return Fail(kStoppedMessage);
  if (run) run = steps.commit ? steps.commit(target, simulationHash) : CommitOutput(target);
  if (!run) return Fail(run.error + "; nothing was written");
  if (!options.quiet)
    ReportWritten(target.output.finalPath, last - first + 1, options.width, options.height,
                  options.fps, started);
  return {};
}
