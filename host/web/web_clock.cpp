#include "host/web/web_clock.h"

#include <emscripten/emscripten.h>

namespace {

double clockRate = 1.0;

}  // namespace

void SetWebClockRate(double rate) {
  constexpr double kFastestRate = 1000.0;
  clockRate = rate > 0.0 && rate <= kFastestRate ? rate : 1.0;
}

uint32_t WebClockMilliseconds() {
  // Reduced modulo 2^32 like a native 32-bit counter; callers subtract with
  // wrap-around.
  return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now() * clockRate));
}
