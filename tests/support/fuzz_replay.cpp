// The corpus replay of a fuzz target without libFuzzer: every file named, and
// every file in every folder named, fed to LLVMFuzzerTestOneInput once, each
// in a buffer of exactly its size so that a sanitizer build sees any read
// past its end. An empty corpus fails: a replay of nothing proves nothing.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/fuzz_target.h"

// libFuzzer calls it first when a target has one.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) __attribute__((weak));

namespace {

bool ReadWhole(const std::filesystem::path& path, std::vector<char>& bytes) {
  std::ifstream file(path, std::ios::binary);
  bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return !file.bad() && file.is_open();
}

}  // namespace

int main(int argc, char** argv) {
  if (LLVMFuzzerInitialize != nullptr) LLVMFuzzerInitialize(&argc, &argv);
  std::vector<std::filesystem::path> inputs;
  for (int i = 1; i < argc; ++i) {
    std::error_code fault;
    if (!std::filesystem::is_directory(argv[i], fault)) {
      inputs.emplace_back(argv[i]);
      continue;
    }
    for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[i], fault))
      if (entry.is_regular_file()) inputs.push_back(entry.path());
    if (fault) {
      std::fprintf(stderr, "fuzz replay: cannot list %s: %s\n", argv[i], fault.message().c_str());
      return 1;
    }
  }
  std::sort(inputs.begin(), inputs.end());
  if (inputs.empty()) {
    std::fprintf(stderr, "fuzz replay: no input given\n");
    return 1;
  }
  for (const auto& path : inputs) {
    std::vector<char> bytes;
    if (!ReadWhole(path, bytes)) {
      std::fprintf(stderr, "fuzz replay: cannot read %s\n", path.c_str());
      return 1;
    }
    // Echoed first, so that a crash names the input that caused it.
    std::fprintf(stderr, "%s\n", path.c_str());
    std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), exact.get());
    LLVMFuzzerTestOneInput(exact.get(), bytes.size());
  }
  std::printf("%zu inputs replayed\n", inputs.size());
  return 0;
}
