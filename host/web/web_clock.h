#pragma once

#include <cstdint>

// The browser's millisecond timer (performance.now), optionally running
// faster than real time so that tests can reach the end of the piece quickly.
void SetWebClockRate(double rate);
uint32_t WebClockMilliseconds();
