#include "tools/capture/frame_writer.h"

#include <utility>

namespace {

void WriteFrames(FrameWriter* writer) {
  std::unique_lock<std::mutex> guard(writer->lock);
  for (;;) {
    writer->changed.wait(guard, [writer] { return writer->stopping || !writer->queue.empty(); });
    if (writer->queue.empty() || writer->failed || writer->dropQueued) break;
    const FrameWriter::Job job = writer->queue.front();
    writer->queue.pop_front();
    writer->busySlot = job.slot;
    guard.unlock();
    std::string error;
    const bool written = writer->sink(job.pixels, job.k, error);
    guard.lock();
    writer->busySlot = -1;
    if (!written) {
      writer->failed = true;
      writer->error = error;
    }
    writer->changed.notify_all();
  }
  writer->queue.clear();
  writer->finished = true;
  writer->changed.notify_all();
}

bool HoldsSlot(const FrameWriter& writer, int slot) {
  if (writer.busySlot == slot) return true;
  for (const FrameWriter::Job& job : writer.queue)
    if (job.slot == slot) return true;
  return false;
}

}  // namespace

void StartFrameWriter(FrameWriter& writer, FrameSink sink) {
  writer.sink = std::move(sink);
  writer.thread = std::thread(WriteFrames, &writer);
}

void QueueFrame(FrameWriter& writer, int slot, const unsigned char* pixels, int64_t k) {
  std::lock_guard<std::mutex> guard(writer.lock);
  if (writer.finished) return;  // after a failure nothing more is written
  writer.queue.push_back({slot, pixels, k});
  writer.changed.notify_all();
}

void WaitForSlot(FrameWriter& writer, int slot) {
  std::unique_lock<std::mutex> guard(writer.lock);
  writer.changed.wait(guard, [&] { return !HoldsSlot(writer, slot); });
}

bool FrameWriterFailed(FrameWriter& writer, std::string& error) {
  std::lock_guard<std::mutex> guard(writer.lock);
  if (writer.failed) error = writer.error;
  return writer.failed;
}

bool StopFrameWriter(FrameWriter& writer, bool finish) {
  {
    std::lock_guard<std::mutex> guard(writer.lock);
    writer.stopping = true;
    writer.dropQueued = !finish;
    writer.changed.notify_all();
  }
  if (writer.thread.joinable()) writer.thread.join();
  return !writer.failed;
}
