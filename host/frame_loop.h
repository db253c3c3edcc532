#pragma once

#include "base/result.h"
#include "host/show_options.h"

// Start-up, frame loop and shutdown of the piece, above the platform seam.
// With options.loop the piece plays again from its start in the same window
// and GL context each time a run reaches its end. Fails, saying why, only
// when no window could be opened; the run's exit status is then the
// platform's (PlatformExitStatus).
Result RunPiece(const ShowOptions& options = {});

// RunPiece as a program's exit status, a failure said on stderr first.
int RunPieceToExitStatus(const ShowOptions& options = {});
