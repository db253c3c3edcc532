// The join's checks over several segments: the input holds up to eight
// manifests, separated by NUL bytes, each written beside a segment of the
// size it names (frames: a folder of empty frames, up to 16). The join must
// order them exactly when each is whole, all agree with the first and
// together they tile their range, and refuse them otherwise.
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/support/fuzz_target.h"
#include "tools/capture/output_target.h"
#include "tools/chunks/segment_join.h"

namespace {

constexpr size_t kMostSegments = 8;
constexpr int64_t kMostFrames = 16;
constexpr uint64_t kMostBytes = 1 << 20;

const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "quorvane-fuzz-XXXXXX").string();
    FuzzExpect(mkdtemp(pattern.data()) != nullptr, "cannot make a temporary folder");
    std::atexit([] { std::filesystem::remove_all(Folder()); });
    return std::filesystem::path(pattern);
  }();
  return folder;
}

// The segment a manifest describes, as far as it can be made cheaply.
void MakeSegment(const std::string& path, const std::string& text) {
  std::ofstream(ManifestPath(path), std::ios::binary) << text;
  SegmentManifest manifest;
  const bool read = static_cast<bool>(ParseManifest(text, manifest));
  if (read && manifest.kind == OutputKind::kFrames &&
      manifest.last - manifest.first < kMostFrames) {
    std::filesystem::create_directory(path);
    for (int64_t k = manifest.first; k <= manifest.last; ++k)
      std::ofstream(path + "/" + FrameFileName(k));
    return;
  }
  std::ofstream(path, std::ios::binary);
  if (read && manifest.kind == OutputKind::kVideo && manifest.bytes <= kMostBytes)
    FuzzExpect(truncate(path.c_str(), static_cast<off_t>(manifest.bytes)) == 0,
               "cannot size a segment");
}

// What the join must find, worked out segment by segment.
bool Joinable(const std::vector<std::string>& paths) {
  std::vector<SegmentManifest> read;
  for (const std::string& path : paths) {
    SegmentManifest manifest;
    if (!ReadCompleteSegment(path, manifest)) return false;
    if (!read.empty() && !DescribeDifference(manifest, read.front()).empty()) return false;
    read.push_back(manifest);
  }
  std::sort(read.begin(), read.end(),
            [](const SegmentManifest& a, const SegmentManifest& b) { return a.first < b.first; });
  int64_t next = read.front().rangeFirst;
  for (const SegmentManifest& manifest : read) {
    if (manifest.first != next) return false;
    next = manifest.last + 1;
  }
  return next == read.front().rangeLast + 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::filesystem::remove_all(Folder());
  std::filesystem::create_directory(Folder());
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> paths;
  for (size_t at = 0; at <= input.size() && paths.size() < kMostSegments;) {
    const size_t end = std::min(input.find('\0', at), input.size());
    paths.push_back((Folder() / ("segment-" + std::to_string(paths.size()))).string());
    MakeSegment(paths.back(), input.substr(at, end - at));
    at = end + 1;
  }
  std::vector<Segment> ordered;
  const bool joined = static_cast<bool>(OrderSegments(paths, ordered));
  FuzzExpect(joined == Joinable(paths), joined ? "the join took segments that do not fit"
                                               : "the join refused segments that fit");
  if (!joined) return 0;
  FuzzExpect(ordered.size() == paths.size(), "the join lost or added a segment");
  for (size_t i = 1; i < ordered.size(); ++i)
    FuzzExpect(ordered[i].manifest.first == ordered[i - 1].manifest.last + 1,
               "the join's order leaves a gap or an overlap");
  return 0;
}
