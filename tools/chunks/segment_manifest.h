#pragma once

#include <cstdint>
#include <string>

#include "base/result.h"
#include "tools/capture/capture_options.h"
#include "tools/capture/output_target.h"

// What a chunk of a capture (a segment) holds, in a small JSON file beside it
// (NAME.mp4.json, or FOLDER.json for a folder of frames), so that a join can
// check the segments before putting them together. Written only once the
// segment is complete, and naming its size in bytes, so that a segment that
// is missing, cut short or still being written is never taken for whole.
struct SegmentManifest {
  std::string version;
  OutputKind kind = OutputKind::kVideo;
  int width = 0;
  int height = 0;
  int fps = 0;
  std::string encoder;  // the settings that must agree for a stream copy
  int64_t first = 0;    // frames held, by number in the whole run
  int64_t last = 0;
  int64_t rangeFirst = 0;  // the range the segment is a chunk of
  int64_t rangeLast = 0;
  uint64_t simulationHash = 0;  // the simulation state once frame `first` has run
  uint64_t bytes = 0;           // of the video file, or of all its frames together
};

// The version of quorvane that drew a segment; segments join only with their own.
const char* QuorvaneVersion();

// "libx264 preset=superfast crf=20 yuv420p bt709" for video, "png" for frames.
std::string EncoderSettings(const CaptureOptions& options);

// What the segment of frames `chunk` of `range`, drawn with `options` by this
// build, says of itself, but for its simulation hash and its size.
SegmentManifest ChunkManifest(const CaptureOptions& options, FrameSpan range, FrameSpan chunk);

// "frames 121-240", or "frame 7".
std::string FrameRangeText(int64_t first, int64_t last);

// What sets `other` apart from `reference` among what must agree for
// segments to join (version, kind, size, fps, encoder settings, range), as
// "size 640x360 against 320x180"; empty when nothing does.
std::string DescribeDifference(const SegmentManifest& other, const SegmentManifest& reference);

// "chunk-I.mp4", or the folder "chunk-I" of frames: the segment of chunk I
// wherever the chunks of a range are drawn together (--jobs, --slurm). `index`
// is text, so that a job script can name it by a shell variable.
std::string ChunkSegmentName(const std::string& index, OutputKind kind);

std::string ManifestPath(const std::string& segment);
std::string FormatManifest(const SegmentManifest& manifest);
// Fails, saying what is wrong with `text`, for anything but a whole manifest.
Result ParseManifest(const std::string& text, SegmentManifest& manifest);

// Written atomically beside `segment`.
Result WriteManifest(const std::string& segment, const SegmentManifest& manifest);

// The segment's manifest, checked against the segment itself: fails ("'S' is
// missing", "'S' has no manifest ...", "'S' is cut short ...") when either is
// missing, unreadable, or not what the manifest says.
Result ReadCompleteSegment(const std::string& segment, SegmentManifest& manifest);

// Size of a segment as the manifest counts it: the file, or frames first..last
// of the folder; fails naming the first missing frame.
Result MeasureSegment(const std::string& segment, OutputKind kind, int64_t first, int64_t last,
                      uint64_t& bytes);

// Puts a rendered chunk under its name with `manifest` (its size filled in)
// beside it. An older manifest goes first, so that it never stands beside
// the new segment; the manifest comes last, so that a segment without one is
// never taken for whole.
Result CommitSegment(SegmentManifest manifest, OutputTarget& target);
