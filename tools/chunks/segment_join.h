#pragma once

#include <string>
#include <vector>

#include "tools/capture/capture_options.h"
#include "tools/capture/segment_manifest.h"

// Segments drawn apart (chunks of one range, on one machine or on many) put
// together into the one video or folder of frames that a single run of the
// range would have written: the video by stream copy, with the music muxed
// once over the whole range from its first sample; frames by hard link.

struct Segment {
  std::string path;
  SegmentManifest manifest;
};

// Reads each segment with its manifest and puts them in frame order. False
// with `error` naming the segment and the fault when one is missing,
// unfinished or cut short, when one differs from the first in version, kind,
// size, fps, encoder settings or range, or when together they leave part of
// their range out or hold a frame twice.
bool OrderSegments(const std::vector<std::string>& paths, std::vector<Segment>& ordered,
                   std::string& error);

// Runs the simulation undrawn through the segments' range and compares its
// state at each segment's first frame with the one the segment was drawn
// from; false with `error` naming the first that differs (a build or a
// machine whose simulation is not this one's). Stops early, false with an
// empty `error`, on a stop signal.
bool CheckSimulation(const std::vector<Segment>& ordered, std::string& error);

struct JoinRequest {
  OutputKind kind = OutputKind::kVideo;
  std::string output;  // NAME.mp4, or a folder for frames
  std::vector<std::string> segments;
  bool force = false;
  bool quiet = false;
  bool checkSimulation = true;  // CheckSimulation, for segments drawn elsewhere
};

// Checks the segments and writes the output atomically; nothing is written
// when a check fails. Returns the exit status: 0 done, 1 failed, 128 + signal
// when a stop signal ended it.
int JoinSegments(const JoinRequest& request);
