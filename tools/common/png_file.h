#pragma once

#include <string>

// Writes width x height RGBA pixels, top row first, as an 8-bit RGBA PNG,
// atomically (tools/common/atomic_output.h). False with `error` naming the
// cause, e.g. "cannot write 'a.png': No space left on device".
bool WritePngFile(const std::string& path, const unsigned char* rgba, int width, int height,
                  std::string& error);
