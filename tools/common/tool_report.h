#pragma once

#include <string>

#include "base/exit_status.h"
#include "base/result.h"

// How every tool of the piece reports: one line on stderr, "NAME: message",
// "NAME: warning: ..." for what does not stop it.

// The NAME of the lines; the program's own name by default.
void SetToolName(const char* name);
const char* ToolName();

void ReportFailure(const std::string& message);
void ReportWarning(const std::string& message);
void ReportNote(const std::string& message);

// For a tool's main: the exit status that ends a run with `run`, from the one
// table. kExitDone when it worked; when a stop signal (`stopSignal`, 0 for
// none) ended it, its message as a note and 128 + the signal; otherwise its
// message reported and kExitFailed.
int ExitStatusAfter(const Result& run, int stopSignal = 0);
