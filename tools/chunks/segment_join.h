#pragma once

#include <string>
#include <vector>

#include "base/result.h"
#include "tools/capture/capture_options.h"
#include "tools/chunks/segment_manifest.h"

// Segments drawn apart (chunks of one range, on one machine or on many) put
// together into the one video or folder of frames that a single run of the
// range would have written: the video by stream copy, with the music muxed
// once over the whole range from its first sample; frames by hard link.

struct Segment {
  std::string path;
  SegmentManifest manifest;
};

// Reads each segment with its manifest and puts them in frame order. Fails,
// naming the segment and the fault, when one is missing,
// unfinished or cut short, when one differs from the first in version, kind,
// size, fps, encoder settings or range, or when together they leave part of
// their range out or hold a frame twice.
Result OrderSegments(const std::vector<std::string>& paths, std::vector<Segment>& ordered);

// Runs the simulation undrawn through the segments' range and compares its
// state at each segment's first frame with the one the segment was drawn
// from; fails naming the first that differs (a build or a machine whose
// simulation is not this one's). Stops early, failing, on a stop signal.
Result CheckSimulation(const std::vector<Segment>& ordered);

struct JoinRequest {
  OutputKind kind = OutputKind::kVideo;
  std::string output;  // NAME.mp4, or a folder for frames
  std::vector<std::string> segments;
  bool force = false;
  bool quiet = false;
  bool checkSimulation = true;  // CheckSimulation, for segments drawn elsewhere
};

// Checks the segments and writes the output atomically; nothing is written
// when a check fails or a stop signal ended it ("stopped; nothing was
// written").
Result JoinSegments(const JoinRequest& request);
