#pragma once

// Start-up, frame loop and shutdown of the piece, above the platform seam.
// Returns the process exit status.
int RunPiece();
