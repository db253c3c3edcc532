#pragma once

#include <string>

// How every tool of the piece reports: one line on stderr, "NAME: message",
// "NAME: warning: ..." for what does not stop it. Exit status 0 when done,
// 1 when it failed, 2 for bad arguments, 128 + signal when a signal stopped it.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitBadArguments = 2;

// The NAME of the lines; the program's own name by default.
void SetToolName(const char* name);
const char* ToolName();

// Reports `message` and returns kExitFailed, for `return ReportFailure(...)`.
int ReportFailure(const std::string& message);
void ReportWarning(const std::string& message);
void ReportNote(const std::string& message);
