#pragma once

#include "host/show_options.h"

// Start-up, frame loop and shutdown of the piece, above the platform seam.
// With options.loop the piece plays again from its start in the same window
// and GL context each time a run reaches its end. Returns the process exit
// status.
int RunPiece(const ShowOptions& options = {});
