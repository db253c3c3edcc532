#pragma once

#include <cstdio>

// Opens one of the piece's input files for binary reading, or gives nullptr
// when it cannot: missing, unreadable, or not a regular file. A folder or a
// FIFO then counts as absent, as it does on Windows, and opening never waits
// for a FIFO's writer.
std::FILE* OpenAssetFile(const char* path);
