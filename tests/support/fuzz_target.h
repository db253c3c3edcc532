#pragma once

// What every fuzz target shares. A target defines LLVMFuzzerTestOneInput and
// is built twice: with libFuzzer (make fuzz), and in the normal build with
// the replay driver (fuzz_replay.cpp), which feeds it the target's corpus.

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// Ends the process with `what` on stderr when `holds` is false. libFuzzer
// keeps the input that did it as a finding; the replay fails.
void FuzzExpect(bool holds, const char* what);

// A path that names a regular file holding exactly the input, for readers
// that open files themselves. In memory, so that nothing is left on disk
// whichever way the process ends; each call replaces the previous input.
const std::string& FuzzInputFile(const uint8_t* data, size_t size);
