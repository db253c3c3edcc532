#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>

#include "base/result.h"

// Writes read-back frames on a thread of its own while the next frame is
// drawn. Frames are identified by read-back slot, so the drawing thread knows
// when a slot's pixels may be reused.

// Writes one frame (bottom row first), failing with the reason.
using FrameSink = std::function<Result(const unsigned char* pixels, int64_t k)>;

class FrameWriter {
 public:
  // Starts the thread.
  explicit FrameWriter(FrameSink sink);
  // Drops what is still queued and ends the thread: a stopped or failed
  // capture does not wait for frames nobody will keep.
  ~FrameWriter() = default;
  FrameWriter(const FrameWriter&) = delete;
  FrameWriter& operator=(const FrameWriter&) = delete;

  void Queue(int slot, const unsigned char* pixels, int64_t k);
  // Blocks until the writer holds no frame of `slot`, queued or being written.
  void WaitForSlot(int slot);
  // The first write that failed, or success while none has.
  Result Failure();
  // Writes what is queued and ends the thread. Success when every frame
  // handed over was written; otherwise the first failure.
  Result Finish();

 private:
  struct Job {
    int slot;
    const unsigned char* pixels;
    int64_t k;
  };
  void Write(std::stop_token stop);
  bool HoldsSlot(int slot) const;

  FrameSink sink_;
  std::mutex lock_;
  std::condition_variable_any changed_;
  std::deque<Job> queue_;
  int busySlot_ = -1;
  bool finishing_ = false;
  Result failure_;
  bool ended_ = false;
  std::jthread thread_;  // last: joined before the members it uses go
};
