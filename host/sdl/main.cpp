#include <csignal>

#include "host/frame_loop.h"

// SDL_main.h is left out on purpose: the piece has no command line, and on
// Linux SDL needs no entry wrapper.
int main() {
  // Nothing the piece writes is needed, so a stderr whose reader has gone
  // (quorvane 2>&1 | head) must not end the run.
  std::signal(SIGPIPE, SIG_IGN);
  return RunPiece();
}
