#include "tools/chunks/jobs.h"

#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tools/capture/output_target.h"
#include "tools/capture/progress.h"
#include "tools/capture/stop_signal.h"
#include "tools/chunks/segment_join.h"
#include "tools/chunks/segment_manifest.h"
#include "tools/common/atomic_output.h"
#include "tools/common/child_process.h"
#include "base/parse_number.h"
#include "tools/common/tool_report.h"

namespace {

constexpr int kPollMilliseconds = 200;

struct Worker {
  std::string name;     // "chunk 2/4"
  std::string segment;  // what it writes
  pid_t pid = -1;
  int progress = -1;  // read end of its standard output
  std::string line;   // the part of a line read so far
  int64_t handedOver = 0;
  bool ended = false;
  int waitStatus = 0;
};

// A --jobs run's workers and their folder. However the run ends, the
// destructor stops the workers still running, waits for each, and removes
// the folder with all they wrote.
struct JobsHold {
  JobsHold() = default;
  JobsHold(const JobsHold&) = delete;
  JobsHold& operator=(const JobsHold&) = delete;
  ~JobsHold() {
    StopWorkers();
    DiscardAtomicOutput(folder);
  }
  // Each worker still running removes what it began when told to stop.
  void StopWorkers() {
    for (const Worker& worker : workers)
      if (!worker.ended) kill(worker.pid, SIGTERM);
    for (Worker& worker : workers) {
      if (!worker.ended) worker.waitStatus = WaitForChild(worker.pid);
      worker.ended = true;
      if (worker.progress >= 0) close(worker.progress);
      worker.progress = -1;
    }
  }

  AtomicOutput folder;
  std::vector<Worker> workers;
};

int CoresHere() {
  cpu_set_t set;
  if (sched_getaffinity(0, sizeof set, &set) == 0) return CPU_COUNT(&set);
  return static_cast<int>(std::max(1L, sysconf(_SC_NPROCESSORS_ONLN)));
}

Result StartWorker(const CaptureOptions& options, FrameSpan range, int index, int count, int cores,
                   Worker& worker) {
  std::vector<std::string> arguments = {ThisProgram(), "--quiet", "--worker-of",
                                        std::to_string(getpid())};
  const std::vector<std::string> chunk =
      ChunkCommandLine(options, range, index, count, cores, worker.segment);
  arguments.insert(arguments.end(), chunk.begin(), chunk.end());
  ChildSetup setup;
  setup.ownGroup = true;  // a terminal's Ctrl-C reaches the run, which stops its workers
  // llvmpipe rasterises on as many threads as there are cores unless told otherwise.
  if (std::getenv("LP_NUM_THREADS") == nullptr)
    setup.environment.push_back("LP_NUM_THREADS=" + std::to_string(cores));
  return StartChildWithPipe(arguments, setup, ChildPipe::kOutput, worker.pid, worker.progress);
}

// Reads what the worker has said of its progress, closing its end at the end.
void ReadProgress(Worker& worker) {
  char buffer[512];
  const ssize_t count = read(worker.progress, buffer, sizeof buffer);
  if (count < 0 && errno == EINTR) return;
  if (count <= 0) {
    close(worker.progress);
    worker.progress = -1;
    return;
  }
  worker.line.append(buffer, static_cast<size_t>(count));
  for (size_t end; (end = worker.line.find('\n')) != std::string::npos;) {
    long long frames = 0;
    if (ParseWhole(std::string_view(worker.line).substr(0, end), frames))
      worker.handedOver = frames;
    worker.line.erase(0, end + 1);
  }
}

// Waits for the workers, showing their progress as one, until all have
// ended, one has failed, or a stop signal came; fails naming a worker that
// failed, or saying that the run was stopped.
Result WatchWorkers(std::vector<Worker>& workers, int64_t total, bool quiet) {
  Progress progress;
  StartProgress(progress, total, quiet);
  for (;;) {
    std::vector<pollfd> reading;
    std::vector<Worker*> readers;
    for (Worker& worker : workers) {
      if (worker.progress < 0) continue;
      reading.push_back({worker.progress, POLLIN, 0});
      readers.push_back(&worker);
    }
    if (poll(reading.data(), reading.size(), kPollMilliseconds) > 0) {
      for (size_t i = 0; i < reading.size(); ++i)
        if (reading[i].revents != 0) ReadProgress(*readers[i]);
    }
    int64_t handedOver = 0;
    bool allEnded = true;
    for (Worker& worker : workers) {
      if (!worker.ended && waitpid(worker.pid, &worker.waitStatus, WNOHANG) == worker.pid)
        worker.ended = true;
      if (worker.ended && worker.waitStatus != 0) {
        const int status = ExitStatusOf(worker.waitStatus);
        if (progress.terminal && !quiet) std::fputc('\n', stderr);
        return Fail(worker.name + (WIFEXITED(worker.waitStatus)
                                       ? " failed with exit status " + std::to_string(status)
                                       : " was stopped by signal " + std::to_string(status - 128)));
      }
      allEnded = allEnded && worker.ended;
      handedOver += worker.handedOver;
    }
    if (captureStopSignal != 0) {
      if (progress.terminal && !quiet) std::fputc('\n', stderr);
      return Fail(kStoppedMessage);
    }
    if (allEnded) {
      EndProgress(progress, total);
      return {};
    }
    UpdateProgress(progress, handedOver);
  }
}

}  // namespace

Result RunJobs(const CaptureOptions& options, const ChunkOptions& chunks, FrameSpan range) {
  if (Result ready = ReadyToHandOut(options); !ready) return ready;
  const auto started = std::chrono::steady_clock::now();
  const int count = static_cast<int>(std::min<int64_t>(chunks.jobs, range.Count()));
  const int cores = std::max(1, CoresHere() / count);

  JobsHold hold;
  std::vector<std::string> removed;
  const Result prepared = BeginAtomicOutput(options.output + ".jobs", true, hold.folder, removed);
  NoteLeftovers(removed, "capture");
  if (!prepared) return prepared;
  if (!options.quiet)
    ReportNote("drawing frames " + std::to_string(range.first) + "-" + std::to_string(range.last) +
               " in " + std::to_string(count) + " processes, " + std::to_string(cores) +
               (cores == 1 ? " core" : " cores") + " each");
  std::vector<std::string> segments;
  for (int index = 1; index <= count; ++index) {
    Worker& worker = hold.workers.emplace_back();
    worker.name = "chunk " + std::to_string(index) + "/" + std::to_string(count);
    worker.segment =
        hold.folder.tempPath + "/" + ChunkSegmentName(std::to_string(index), options.kind);
    segments.push_back(worker.segment);
    if (Result begun = StartWorker(options, range, index, count, cores, worker); !begun) {
      hold.workers.pop_back();
      return Fail(begun.error + "; nothing was written");
    }
  }

  if (Result watched = WatchWorkers(hold.workers, range.Count(), options.quiet); !watched) {
    hold.StopWorkers();
    if (captureStopSignal != 0) return watched;
    return Fail(watched.error + "; nothing was written");
  }
  JoinRequest join;
  join.kind = options.kind;
  join.output = options.output;
  join.segments = segments;
  join.force = options.force;
  join.quiet = true;
  join.checkSimulation = false;  // drawn here, by this very program
  if (Result joined = JoinSegments(join); !joined) return joined;
  if (!options.quiet)
    ReportWritten(options.output, range.Count(), options.width, options.height, options.fps,
                  started);
  return {};
}

void TellParent(int64_t frames) {
  char line[24];
  const int length = std::snprintf(line, sizeof line, "%lld\n", static_cast<long long>(frames));
  // A parent that has gone only costs the line.
  if (write(STDOUT_FILENO, line, static_cast<size_t>(length)) < 0) return;
}
