#include "tools/common/tool_report.h"

#include <cstdio>

namespace {

const char* toolName = "quorvane";

}  // namespace

void SetToolName(const char* name) { toolName = name; }

const char* ToolName() { return toolName; }

void ReportFailure(const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", toolName, message.c_str());
}

void ReportWarning(const std::string& message) {
  std::fprintf(stderr, "%s: warning: %s\n", toolName, message.c_str());
}

void ReportNote(const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", toolName, message.c_str());
}

int ExitStatusAfter(const Result& run, int stopSignal) {
  if (run) return kExitDone;
  if (stopSignal != 0) {
    ReportNote(run.error);
    return ExitStoppedBy(stopSignal);
  }
  ReportFailure(run.error);
  return kExitFailed;
}
