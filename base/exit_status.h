#pragma once

// The exit statuses of every program of the piece, as their --help and the
// README give them. Only the programs' main functions choose one.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitBadArguments = 2;

// A run that a signal stopped ends as a shell reports a process the signal
// killed.
inline constexpr int ExitStoppedBy(int signal) { return 128 + signal; }
