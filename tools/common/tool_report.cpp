#include "tools/common/tool_report.h"

#include <cstdio>

namespace {

const char* toolName = "quorvane";

}  // namespace

void SetToolName(const char* name) { toolName = name; }

const char* ToolName() { return toolName; }

int ReportFailure(const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", toolName, message.c_str());
  return kExitFailed;
}

void ReportWarning(const std::string& message) {
  std::fprintf(stderr, "%s: warning: %s\n", toolName, message.c_str());
}

void ReportNote(const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", toolName, message.c_str());
}
