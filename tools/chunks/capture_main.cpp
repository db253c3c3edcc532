// quorvane-capture: renders a range of the piece itself (tools/capture), or
// hands it out in chunks, to worker processes on this machine or to a Slurm
// cluster, and has them joined.
#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>
#include <string>

#include "tools/capture/capture_options.h"
#include "tools/capture/capture_run.h"
#include "tools/capture/stop_signal.h"
#include "tools/chunks/chunk_options.h"
#include "tools/chunks/jobs.h"
#include "tools/chunks/segment_manifest.h"
#include "tools/chunks/slurm_submit.h"
#include "tools/common/tool_report.h"

namespace {

// A worker goes with the run that started it, even one killed outright; false
// when that run has gone already.
bool StaysWithItsRun(pid_t run) {
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  return getppid() == run;
}

// The range, or a chunk of it as a segment, drawn by this process; a --jobs
// worker also tells its parent how far it has come.
Result Render(const CaptureOptions& options, const ChunkOptions& chunks, FrameSpan range) {
  RenderSteps steps;
  static std::string workerName;
  if (chunks.workerOf != 0) {
    workerName = "quorvane-capture (chunk " + std::to_string(options.chunkIndex) + "/" +
                 std::to_string(options.chunkCount) + ")";
    SetToolName(workerName.c_str());
    steps.framesHandedOver = TellParent;
  }
  FrameSpan drawn = range;
  if (options.chunkCount > 0) {
    drawn = ChunkOfRange(range, options.chunkIndex, options.chunkCount);
    steps.commit = [&](OutputTarget& target, uint64_t simulationHash) {
      SegmentManifest manifest = ChunkManifest(options, range, drawn);
      manifest.simulationHash = simulationHash;
      return CommitSegment(manifest, target);
    };
  }
  return RunCapture(options, drawn, steps);
}

}  // namespace

int main(int argc, char** argv) {
  SetToolName("quorvane-capture");
  CaptureOptions options;
  ChunkOptions chunks;
  CLI::App app{"", "quorvane-capture"};
  DefineChunkOptions(app, chunks, DefineCaptureOptions(app, options));
  if (const CommandLine line = ParseCommandLine(app, argc, argv); line != CommandLine::kRun)
    return ExitStatusFor(line);
  FrameSpan range;
  if (Result checked = CheckCaptureCommandLine(options, chunks, range); !checked) {
    ReportBadArguments(checked.error);
    return kExitBadArguments;
  }

  CatchStopSignals();
  Result run;
  if (chunks.slurmChunks > 0)
    run = SubmitToSlurm(options, chunks, range);
  else if (chunks.jobs > 1)
    run = RunJobs(options, chunks, range);
  else if (chunks.workerOf != 0 && !StaysWithItsRun(chunks.workerOf))
    return ExitStoppedBy(SIGTERM);
  else
    run = Render(options, chunks, range);
  // Read only now: a stop signal may come at any time during the run.
  return ExitStatusAfter(run, captureStopSignal);
}
