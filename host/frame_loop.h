#pragma once

#include "base/result.h"

// Start-up, frame loop and shutdown of the piece, above the platform seam.
// Fails, saying why, only when no window could be opened; the run's exit
// status is then the platform's (PlatformExitStatus).
Result RunPiece();
