#pragma once

#include <cstdio>

// Whether `file`, read from its start, holds MPEG audio: after any ID3v2
// tags and within 64 KiB of them, three frames in a row of the same version,
// layer and sample rate. The decoder behind the mixer takes anything as MP3
// and reports every false frame it finds, so a file that fails this is never
// handed to it. Leaves the file's position anywhere.
bool HoldsMpegAudio(std::FILE* file);
