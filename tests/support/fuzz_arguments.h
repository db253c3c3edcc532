#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// An input read as a command line: the arguments after the program's name,
// separated by NUL bytes, as a dictionary of option names mutates them best.
struct FuzzArguments {
  std::vector<std::string> words;
  std::vector<const char*> argv;  // program, then words
  int argc() const { return static_cast<int>(argv.size()); }
};

// At most `maxWords` arguments: longer command lines reach nothing new.
FuzzArguments SplitArguments(const char* program, const uint8_t* data, size_t size,
                             size_t maxWords = 64);
