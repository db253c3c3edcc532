#include "tools/chunks/segment_join.h"

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "host/headless_run.h"
#include "sim/state_hash.h"
#include "tools/capture/capture_assets.h"
#include "tools/capture/encoder_arguments.h"
#include "tools/capture/encoder_process.h"
#include "tools/capture/music_probe.h"
#include "tools/capture/output_target.h"
#include "tools/capture/stop_signal.h"
#include "tools/common/asset_search.h"
#include "tools/common/child_process.h"
#include "tools/common/tool_report.h"

namespace {

// Removes the file it names when it goes.
struct TemporaryFile {
  std::string path;
  ~TemporaryFile() {
    if (!path.empty()) unlink(path.c_str());
  }
};

// The concat demuxer's list, absolute paths quoted as it reads them.
Result WriteConcatList(const std::vector<Segment>& ordered, TemporaryFile& list) {
  std::string pattern = std::filesystem::temp_directory_path().string() + "/quorvane-join-XXXXXX";
  const int file = mkstemp(pattern.data());
  if (file < 0)
    return Fail("cannot write a list of the segments in " + pattern + ": " + std::strerror(errno));
  list.path = pattern;
  std::string text;
  for (const Segment& segment : ordered) {
    char* absolute = realpath(segment.path.c_str(), nullptr);
    if (absolute == nullptr) {
      Result failed = Fail("cannot find '" + segment.path + "': " + std::strerror(errno));
      close(file);
      return failed;
    }
    std::string quoted = absolute;
    free(absolute);
    for (size_t at = 0; (at = quoted.find('\'', at)) != std::string::npos; at += 4)
      quoted.replace(at, 1, "'\\''");
    text += "file '" + quoted + "'\n";
  }
  const bool written = write(file, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  if (close(file) != 0 || !written)
    return Fail("cannot write the list of the segments in " + list.path + ": " +
                std::strerror(errno));
  return {};
}

// ffmpeg joins the videos and muxes the music in; a stop signal kills it.
Result JoinVideo(const std::vector<Segment>& ordered, const std::string& path) {
  const SegmentManifest& range = ordered.front().manifest;
  const std::string musicFile = FindAssetFile(kMusicFile);
  const MusicState music = ProbeMusic(musicFile.c_str());
  if (music != MusicState::kUsable)
    ReportWarning(std::string(kMusicFile) + " " + DescribeMusicState(music) +
                  "; the video will have no sound");
  TemporaryFile list;
  if (Result written = WriteConcatList(ordered, list); !written) return written;
  ChildSetup setup;
  setup.ownGroup = true;
  pid_t pid = -1;
  if (Result started = StartChild(
          JoinArguments(list.path, range.fps, path,
                        music == MusicState::kUsable ? musicFile.c_str() : nullptr,
                        range.rangeFirst, range.rangeLast),
          setup, pid);
      !started)
    return WithFfmpegHint(started);
  int status = 0;
  if (!WaitForChildUnless(pid, captureStopSignal, status)) {
    kill(pid, SIGKILL);
    WaitForChild(pid);
    return Fail(kStoppedMessage);
  }
  return FfmpegEnded(status);
}

// Frames are linked into the new folder, or copied where the segments lie on
// another file system; the segments stay as they are.
Result JoinFrames(const std::vector<Segment>& ordered, const std::string& folder) {
  for (const Segment& segment : ordered) {
    for (int64_t k = segment.manifest.first; k <= segment.manifest.last; ++k) {
      if (captureStopSignal != 0) return Fail(kStoppedMessage);
      const std::string from = segment.path + "/" + FrameFileName(k);
      const std::string to = folder + "/" + FrameFileName(k);
      if (link(from.c_str(), to.c_str()) == 0) continue;
      std::error_code fault;
      if (errno != EXDEV || !std::filesystem::copy_file(from, to, fault))
        return Fail("cannot put '" + from + "' into the output: " +
                    (fault ? fault.message() : std::string(std::strerror(errno))));
    }
  }
  return {};
}

}  // namespace

Result OrderSegments(const std::vector<std::string>& paths, std::vector<Segment>& ordered) {
  ordered.clear();
  if (paths.empty()) return Fail("no segment given");
  for (std::string path : paths) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    Segment segment{path, {}};
    if (Result read = ReadCompleteSegment(path, segment.manifest); !read) return read;
    if (!ordered.empty()) {
      const std::string difference = DescribeDifference(segment.manifest, ordered.front().manifest);
      if (!difference.empty())
        return Fail("'" + path + "' does not match '" + ordered.front().path + "': " + difference);
    }
    ordered.push_back(segment);
  }
  std::stable_sort(ordered.begin(), ordered.end(), [](const Segment& a, const Segment& b) {
    return a.manifest.first < b.manifest.first;
  });
  const SegmentManifest& range = ordered.front().manifest;
  if (range.first > range.rangeFirst)
    return Fail(FrameRangeText(range.rangeFirst, range.first - 1) +
                " of the range are in no segment (before '" + ordered.front().path + "')");
  for (size_t i = 1; i < ordered.size(); ++i) {
    const Segment& before = ordered[i - 1];
    const Segment& next = ordered[i];
    if (next.manifest.first <= before.manifest.last)
      return Fail("'" + next.path + "' overlaps '" + before.path + "': " +
                  FrameRangeText(next.manifest.first,
                                 std::min(before.manifest.last, next.manifest.last)) +
                  " are in both");
    if (next.manifest.first > before.manifest.last + 1)
      return Fail(FrameRangeText(before.manifest.last + 1, next.manifest.first - 1) +
                  " are in no segment (between '" + before.path + "' and '" + next.path + "')");
  }
  const Segment& end = ordered.back();
  if (end.manifest.last < range.rangeLast)
    return Fail(FrameRangeText(end.manifest.last + 1, range.rangeLast) +
                " of the range are in no segment (after '" + end.path + "')");
  return {};
}

Result CheckSimulation(const std::vector<Segment>& ordered) {
  StartHeadlessRun(ordered.front().manifest.fps);
  for (const Segment& segment : ordered) {
    if (!RunUndrawnUnlessStopped(segment.manifest.first)) return Fail(kStoppedMessage);
    const uint64_t here = HashSimulationState();
    if (here != segment.manifest.simulationHash) {
      char hashes[80];
      std::snprintf(hashes, sizeof hashes, "%016" PRIx64 " where this machine has %016" PRIx64,
                    segment.manifest.simulationHash, here);
      return Fail("'" + segment.path + "' was drawn from another simulation: its state at frame " +
                  std::to_string(segment.manifest.first) + " is " + hashes);
    }
  }
  return {};
}

Result JoinSegments(const JoinRequest& request) {
  const auto started = std::chrono::steady_clock::now();
  std::vector<Segment> ordered;
  if (Result read = OrderSegments(request.segments, ordered); !read)
    return Fail(read.error + "; nothing was written");
  const SegmentManifest& range = ordered.front().manifest;
  if (range.kind != request.kind)
    return Fail("the segments hold " +
                std::string(range.kind == OutputKind::kVideo ? "video; name a video (NAME.mp4)"
                                                             : "PNG frames; name a folder (NAME/)") +
                "; nothing was written");
  if (request.checkSimulation) {
    if (Result same = CheckSimulation(ordered); !same && captureStopSignal == 0)
      return Fail(same.error + "; nothing was written");
  }
  if (captureStopSignal != 0) return Fail(kStoppedMessage);

  OutputTarget target;  // removed when it goes, unless committed
  if (Result prepared =
          PrepareOutputNotingLeftovers(request.kind, request.output, request.force, target, "run");
      !prepared)
    return prepared;
  Result joined = request.kind == OutputKind::kVideo ? JoinVideo(ordered, target.output.tempPath)
                                                     : JoinFrames(ordered, target.output.tempPath);
  if (captureStopSignal != 0) return Fail(kStoppedMessage);
  if (joined) joined = CommitOutput(target);
  if (!joined) return Fail(joined.error + "; nothing was written");
  if (!request.quiet) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    char summary[200];
    std::snprintf(summary, sizeof summary,
                  "%zu segments, %lld frames of %dx%d at %d fps, joined in %.1f s", ordered.size(),
                  static_cast<long long>(range.rangeLast - range.rangeFirst + 1), range.width,
                  range.height, range.fps, seconds);
    ReportNote("wrote " + target.output.finalPath + ": " + summary);
  }
  return {};
}
