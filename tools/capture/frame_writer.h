#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

// Writes read-back frames on a thread of its own while the next frame is
// drawn. Frames are identified by read-back slot, so the drawing thread knows
// when a slot's pixels may be reused.

// Writes one frame (bottom row first); false with `error` on failure.
using FrameSink = std::function<bool(const unsigned char* pixels, int64_t k, std::string& error)>;

struct FrameWriter {
  struct Job {
    int slot;
    const unsigned char* pixels;
    int64_t k;
  };
  FrameSink sink;
  std::thread thread;
  std::mutex lock;
  std::condition_variable changed;
  std::deque<Job> queue;
  int busySlot = -1;
  bool stopping = false;
  bool dropQueued = false;
  bool failed = false;
  bool finished = false;
  std::string error;
};

void StartFrameWriter(FrameWriter& writer, FrameSink sink);
void QueueFrame(FrameWriter& writer, int slot, const unsigned char* pixels, int64_t k);
// Blocks until the writer holds no frame of `slot`, queued or being written.
void WaitForSlot(FrameWriter& writer, int slot);
// True once a write has failed; `error` then says why.
bool FrameWriterFailed(FrameWriter& writer, std::string& error);
// Ends the thread, after writing what is queued when `finish`, else dropping
// it. True when every frame handed over was written.
bool StopFrameWriter(FrameWriter& writer, bool finish);
