#pragma once

#include <string>

#include "base/result.h"

// Writes width x height RGBA pixels, top row first, as an 8-bit RGBA PNG,
// atomically (tools/common/atomic_output.h). A failure names the cause, e.g.
// "cannot write 'a.png': No space left on device".
Result WritePngFile(const std::string& path, const unsigned char* rgba, int width, int height);

// The same written straight to `path`, a new file in a folder that is itself
// written atomically (a capture's frames): no temporary name, no rescan of the
// folder, no sync per file. A failed write removes what it began.
Result WritePngInFolder(const std::string& path, const unsigned char* rgba, int width,
                        int height);
