#pragma once

#include <cstdio>

#include "base/result.h"

// Opens one of the piece's input files for binary reading into `file`, or
// fails, saying why, when it cannot: missing, unreadable, or not a regular
// file. A folder or a FIFO then counts as absent, as it does on Windows, and
// opening never waits for a FIFO's writer. The piece goes on without the
// file; the tools say what was wrong.
Result OpenAssetFile(const char* path, std::FILE*& file);
