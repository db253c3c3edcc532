#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>
#include <string>

#include "tools/capture/capture_jobs.h"
#include "tools/capture/capture_options.h"
#include "tools/capture/capture_run.h"
#include "tools/capture/slurm_submit.h"
#include "tools/capture/stop_signal.h"
#include "tools/common/tool_report.h"

int main(int argc, char** argv) {
  SetToolName("quorvane-capture");
  CaptureOptions options;
  CLI::App app{"", "quorvane-capture"};
  DefineCaptureOptions(app, options);
  if (const int status = ParseCommandLine(app, argc, argv); status >= 0) return status;
  std::string error;
  if (!CheckCaptureOptions(options, error)) return ReportBadArguments(error);
  FrameSpan range;
  FrameSpan drawn;
  if (!CaptureFrames(options, range, drawn, error)) return ReportBadArguments(error);

  CatchStopSignals();
  if (options.slurmChunks > 0) return SubmitToSlurm(options, range);
  if (options.jobs > 1) return RunJobs(options, range);

  static std::string workerName;
  if (options.workerOf != 0) {
    // A worker goes with the run that started it, even one killed outright.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != options.workerOf) return 128 + SIGTERM;
    workerName = "quorvane-capture (chunk " + std::to_string(options.chunkIndex) + "/" +
                 std::to_string(options.chunkCount) + ")";
    SetToolName(workerName.c_str());
  }
  return RunCapture(options, range, drawn);
}
