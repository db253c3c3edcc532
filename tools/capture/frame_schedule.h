#pragma once

#include <cstdint>

// The capture's frame k (k = 1, 2, ...) runs at ScheduledElapsedMs(k, fps) of
// the headless runner.

// Frames first..last of the schedule, both included.
struct FrameSpan {
  int64_t first = 0;
  int64_t last = 0;
  int64_t Count() const { return last - first + 1; }
};

// Part `index` (1 to `parts`) of `parts` near-equal parts of `range`, in
// order; their lengths differ by one frame at most. `parts` must not exceed
// the range's frames.
FrameSpan ChunkOfRange(FrameSpan range, int index, int parts);

// The last frame of the piece: the first whose scene time is not below the end.
int64_t LastFrameOfPiece(int fps);

// Frames recorded for a range of scene seconds: frame k shows the end of the
// interval ((k - 1) / fps, k / fps], so [from, to] holds (to - from) * fps frames.
// A negative `toSeconds` means the end of the piece. False when the range
// holds no frame of the piece.
bool RecordedFrames(double fromSeconds, double toSeconds, int fps, int64_t& first, int64_t& last);

// Index of the audio sample at which frame k's interval ends, rounded.
int64_t AudioSampleAtFrame(int64_t k, int fps, int sampleRate);
