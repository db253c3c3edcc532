#include "host/frame_loop.h"

// SDL_main.h is left out on purpose: the piece has no command line, and on
// Linux SDL needs no entry wrapper.
int main() { return RunPiece(); }
