#include "tools/capture/frame_writer.h"

#include <utility>

FrameWriter::FrameWriter(FrameSink sink)
    : sink_(std::move(sink)), thread_([this](std::stop_token stop) { Write(stop); }) {}

void FrameWriter::Write(std::stop_token stop) {
  std::unique_lock<std::mutex> guard(lock_);
  for (;;) {
    changed_.wait(guard, stop, [this] { return finishing_ || !queue_.empty(); });
    if (stop.stop_requested() || queue_.empty() || failed_) break;
    const Job job = queue_.front();
    queue_.pop_front();
    busySlot_ = job.slot;
    guard.unlock();
    std::string error;
    const bool written = sink_(job.pixels, job.k, error);
    guard.lock();
    busySlot_ = -1;
    if (!written) {
      failed_ = true;
      error_ = error;
    }
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

bool FrameWriter::Failed(std::string& error) {
  std::lock_guard<std::mutex> guard(lock_);
  if (failed_) error = error_;
  return failed_;
}

bool FrameWriter::Finish() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    finishing_ = true;
    changed_.notify_all();
  }
  if (thread_.joinable()) thread_.join();
  return !failed_;
}
