#include "tools/capture/capture_run.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/headless_run.h"
#include "host/offscreen.h"
#include "tools/capture/encoder_arguments.h"
#include "tools/capture/encoder_process.h"
#include "tools/capture/frame_writer.h"
#include "tools/capture/output_target.h"
#include "tools/capture/progress.h"
#include "tools/capture/readback_ring.h"
#include "tools/common/png_file.h"

volatile std::sig_atomic_t captureStopSignal = 0;

namespace {

constexpr const char* kAtlasFile = "TEX.tga";
constexpr const char* kMusicFile = "RX_muc.mp3";

int Fail(const std::string& message) {
  std::fprintf(stderr, "quorvane-capture: %s\n", message.c_str());
  return 1;
}

bool Readable(const char* path) { return access(path, R_OK) == 0; }

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
    const std::string path = FramePath(target, k);
    const char* pngError = nullptr;
    if (WritePngFile(path.c_str(), topDown.data(), width, height, &pngError)) return true;
    error = "cannot write " + path + ": " + (pngError ? pngError : "unknown error");
    return false;
  };
}

// Frames before the range only move the simulation and the random source on;
// the one just before it is drawn, so the first recorded frame starts from
// the GL state a drawn frame leaves, as in the real-time run.
bool RunUpTo(int64_t first, int fps, bool quiet) {
  if (!quiet && first > 2)
    std::fprintf(stderr, "quorvane-capture: running the first %lld frames undrawn\n",
                 static_cast<long long>(first - 2));
  for (int64_t k = 1; k < first; ++k) {
    if (captureStopSignal != 0) return false;
    RunHeadlessFrame(ScheduledElapsedMs(k, fps), k == first - 1);
  }
  return true;
}

}  // namespace

int RunCapture(const CaptureOptions& options, int64_t first, int64_t last) {
  if (!Readable(kAtlasFile))
    return Fail(std::string(kAtlasFile) +
                " is not in this folder: run quorvane-capture where TEX.tga and RX_muc.mp3 "
                "are (build/)");
  const bool video = options.kind == OutputKind::kVideo;
  const bool music = video && Readable(kMusicFile);
  if (video && !music)
    std::fprintf(stderr,
                 "quorvane-capture: warning: %s is not in this folder; the video will "
                 "have no sound\n",
                 kMusicFile);

  OutputTarget target;
  std::string error;
  if (!PrepareOutput(options, target, error)) return Fail(error);
  const char* surfaceError = nullptr;
  if (!OpenOffscreenSurface(options.width, options.height, &surfaceError)) {
    DiscardOutput(target);
    return Fail(std::string("cannot render without a display: ") + surfaceError);
  }
  const auto started = std::chrono::steady_clock::now();
  StartHeadlessRun(true);
  if (!StartReadback(options.width, options.height, error)) {
    CloseOffscreenSurface();
    DiscardOutput(target);
    return Fail(error);
  }
  EncoderProcess encoder;
  if (video && !StartEncoder(EncoderArguments(options, target.tempPath,
                                              music ? kMusicFile : nullptr, first, last),
                             encoder, error)) {
    EndReadback();
    CloseOffscreenSurface();
    DiscardOutput(target);
    return Fail(error);
  }

  bool ok = RunUpTo(first, options.fps, options.quiet);

  FrameWriter writer;
  const size_t frameBytes = static_cast<size_t>(options.width) * options.height * 4;
  StartFrameWriter(writer, video ? VideoSink(encoder, frameBytes)
                                 : PngSink(target, options.width, options.height));
  Progress progress;
  StartProgress(progress, last - first + 1, options.quiet);
  // Frame k is read into one slot while frame k - 1, read into the slot
  // before, is mapped and written by the writer thread.
  bool writerFailed = false;
  for (int64_t k = first; ok && k <= last + 1; ++k) {
    writerFailed = FrameWriterFailed(writer, error);
    if (captureStopSignal != 0 || writerFailed) {
      ok = false;
      break;
    }
    const int slot = static_cast<int>((k - first) % kReadbackSlots);
    if (k <= last) {
      RunHeadlessFrame(ScheduledElapsedMs(k, options.fps), true);
      WaitForSlot(writer, slot);
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
      QueueFrame(writer, previous, pixels, k - 1);
      UpdateProgress(progress, k - first);
    }
  }

  // An ffmpeg that stopped by itself is left to report its own exit status.
  const bool killed = !ok && video && !writerFailed;
  if (killed) KillEncoder(encoder);
  ok = StopFrameWriter(writer, ok) && ok;
  if (!writer.error.empty()) error = writer.error;
  EndReadback();
  CloseOffscreenSurface();
  std::string encoderError;
  if (video && !FinishEncoder(encoder, encoderError) && !killed) {
    ok = false;
    error = encoderError;  // ffmpeg's own account outweighs "stopped taking frames"
  }
  if (ok)
    EndProgress(progress, last - first + 1);
  else if (progress.terminal && !options.quiet)
    std::fputc('\n', stderr);

  if (captureStopSignal != 0) {
    DiscardOutput(target);
    std::fprintf(stderr, "quorvane-capture: stopped; nothing was written\n");
    return 128 + captureStopSignal;
  }
  if (!ok || !CommitOutput(target, error)) {
    DiscardOutput(target);
    return Fail(error + "; nothing was written");
  }
  if (!options.quiet) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::fprintf(stderr, "quorvane-capture: wrote %s: %lld frames of %dx%d at %d fps in %.1f s\n",
                 target.finalPath.c_str(), static_cast<long long>(last - first + 1), options.width,
                 options.height, options.fps, seconds);
  }
  return 0;
}
