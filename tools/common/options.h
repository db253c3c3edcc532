#pragma once

#include <CLI/CLI.hpp>

// Command lines of the tools, on CLI11: --opt value and --opt=value, grouped
// help, and checks whose messages say what was wanted and what was given.

// "must be a whole number from LOW to HIGH, not 'X'"
CLI::Validator WholeNumberFrom(long low, long high);
// "must be a number of seconds from LOW to HIGH, not 'X'"; HIGH < 0: no upper limit.
CLI::Validator SecondsFrom(double low, double high);

// Parses argv into `app`: true when it parsed, or when --help or --version
// was asked for (`help` set); false with `error` saying what is wrong.
bool ParseArguments(CLI::App& app, int argc, const char* const* argv, bool& help,
                    std::string& error);

// Reports a bad argument and where to look; returns kExitBadArguments.
int ReportBadArguments(const std::string& error);

// ParseArguments for a tool's main, with a --version flag added: -1 when the
// tool is to go on; otherwise the exit status to end with, after printing the
// help or the version to stdout (0) or reporting the bad argument
// (kExitBadArguments).
int ParseCommandLine(CLI::App& app, int argc, const char* const* argv);
