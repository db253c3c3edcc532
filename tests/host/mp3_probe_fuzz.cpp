// The MP3 probe on any bytes. Besides what the sanitizers catch, its answer
// must depend on the file alone: the probe reads into one static window, so
// each input is probed twice, once after a file of MPEG frames and once after
// a file of zeros has filled that window, and the two answers must agree.
#include <cstdio>
#include <vector>

#include "host/sdl/mp3_probe.h"
#include "tests/support/fuzz_target.h"

namespace {

// Longer than the probe's window.
constexpr size_t kPrimerBytes = 80000;

std::FILE* Primer(bool frames) {
  std::vector<unsigned char> bytes(kPrimerBytes, 0);
  // MPEG 1 layer III, 128 kbit/s, 44.1 kHz: 417 bytes a frame.
  for (size_t at = 0; frames && at + 4 <= bytes.size(); at += 417) {
    bytes[at] = 0xFF;
    bytes[at + 1] = 0xFB;
    bytes[at + 2] = 0x90;
  }
  std::FILE* file = std::tmpfile();
  FuzzExpect(file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size(),
             "cannot write a primer file");
  FuzzExpect(HoldsMpegAudio(file) == frames, "the primer is not probed as it was made");
  return file;
}

bool ProbeAfter(std::FILE* primer, std::FILE* input) {
  HoldsMpegAudio(primer);
  return HoldsMpegAudio(input);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::FILE* const frames = Primer(true);
  static std::FILE* const zeros = Primer(false);
  std::FILE* input = std::fopen(FuzzInputFile(data, size).c_str(), "rb");
  FuzzExpect(input != nullptr, "cannot open the input");
  const bool afterFrames = ProbeAfter(frames, input);
  const bool afterZeros = ProbeAfter(zeros, input);
  std::fclose(input);
  FuzzExpect(afterFrames == afterZeros, "the answer depends on the file probed before");
  return 0;
}
