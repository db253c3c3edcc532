#pragma once

#include <CLI/CLI.hpp>

#include "base/exit_status.h"
#include "base/result.h"

// Command lines of the tools, on CLI11: --opt value and --opt=value, grouped
// help, and checks whose messages say what was wanted and what was given.

// "must be a whole number from LOW to HIGH, not 'X'"
CLI::Validator WholeNumberFrom(long low, long high);
// "must be a number of seconds from LOW to HIGH, not 'X'"; HIGH < 0: no upper limit.
CLI::Validator SecondsFrom(double low, double high);

// Parses argv into `app`: success when it parsed, or when --help or
// --version was asked for (`help` set); otherwise what is wrong.
Result ParseArguments(CLI::App& app, int argc, const char* const* argv, bool& help);

// Reports a bad argument and where to look.
void ReportBadArguments(const std::string& error);

// What a tool's command line asks for: a run, or nothing more because the
// help or the version has been printed to stdout or a bad argument reported.
enum class CommandLine { kRun, kAnswered, kBadArguments };

// ParseArguments for a tool's main, with a --version flag added.
CommandLine ParseCommandLine(CLI::App& app, int argc, const char* const* argv);

// The exit status of a command line that asks for no run.
inline int ExitStatusFor(CommandLine answered) {
  return answered == CommandLine::kAnswered ? kExitDone : kExitBadArguments;
}
