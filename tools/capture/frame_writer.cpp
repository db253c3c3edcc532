#include "tools/capture/frame_writer.h"

#include <utility>

FrameWriter::FrameWriter(FrameSink sink)
    : sink_(std::move(sink)), thread_([this](std::stop_token stop) { Write(stop); }) {}

void FrameWriter::Write(std::stop_token stop) {
  std::unique_lock<std::mutex> guard(lock_);
  for (;;) {
    changed_.wait(guard, stop, [this] { return finishing_ || !queue_.empty(); });
    if (stop.stop_requested() || queue_.empty() || !failure_) break;
    const Job job = queue_.front();
    queue_.pop_front();
    busySlot_ = job.slot;
    guard.unlock();
    Result written = sink_(job.pixels, job.k);
    guard.lock();
    busySlot_ = -1;
    if (!written) failure_ = std::move(written);
    changed_.notify_all();
  }
  queue_.clear();
  ended_ = true;
  changed_.notify_all();
}

bool FrameWriter::HoldsSlot(int slot) const {
  if (busySlot_ == slot) return true;
  for (const Job& job : queue_)
    if (job.slot == slot) return true;
  return false;
}

void FrameWriter::Queue(int slot, const unsigned char* pixels, int64_t k) {
  std::lock_guard<std::mutex> guard(lock_);
  if (ended_) return;  // after a failure nothing more is written
  queue_.push_back({slot, pixels, k});
  changed_.notify_all();
}

void FrameWriter::WaitForSlot(int slot) {
  std::unique_lock<std::mutex> guard(lock_);
  changed_.wait(guard, [&] { return !HoldsSlot(slot); });
}

Result FrameWriter::Failure() {
  std::lock_guard<std::mutex> guard(lock_);
  return failure_;
}

Result FrameWriter::Finish() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    finishing_ = true;
    changed_.notify_all();
  }
  if (thread_.joinable()) thread_.join();
  return failure_;
}
