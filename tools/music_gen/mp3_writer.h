#pragma once

#include <string>
#include <vector>

#include "base/result.h"

// Encodes the stereo signal (-1..1) with LAME at a constant 192 kbit/s and writes it
// with the LAME/Xing tag filled in, so readers know the exact length. Writes
// atomically (tools/common/atomic_output.h).
Result WriteMp3(const std::string& path, const std::vector<float>& left,
                const std::vector<float>& right);
