#pragma once

// Writes width x height RGBA pixels, top row first, to an 8-bit RGBA PNG.
// Returns false with `error` set (file not writable, libpng failure); no
// half-written regular file is left behind on failure.
bool WritePngFile(const char* path, const unsigned char* rgba, int width, int height,
                  const char** error);
