// Checks that a captured output stream (raw 16-bit samples) plays a reference
// decode exactly once: silence, then every reference sample unchanged, then
// silence again. The output device adds leading silence of its own, so the
// two are aligned on their first non-zero sample.
//   pcm_match PLAYED.raw REFERENCE.raw
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

bool ReadSamples(const char* path, std::vector<int16_t>& samples) {
  std::FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  int16_t buffer[4096];
  size_t count = 0;
  while ((count = std::fread(buffer, sizeof buffer[0], 4096, file)) > 0) {
    samples.insert(samples.end(), buffer, buffer + count);
  }
  std::fclose(file);
  return true;
}

size_t FirstSound(const std::vector<int16_t>& samples) {
  size_t i = 0;
  while (i < samples.size() && samples[i] == 0) ++i;
  return i;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: pcm_match PLAYED.raw REFERENCE.raw\n");
    return 2;
  }
  std::vector<int16_t> played, reference;
  if (!ReadSamples(argv[1], played) || !ReadSamples(argv[2], reference)) {
    std::fprintf(stderr, "pcm_match: cannot read the input files\n");
    return 2;
  }
  const size_t referenceStart = FirstSound(reference);
  const size_t playedStart = FirstSound(played);
  if (referenceStart == reference.size()) {
    std::fprintf(stderr, "pcm_match: the reference is silent\n");
    return 2;
  }
  if (playedStart == played.size() || playedStart < referenceStart) {
    std::fprintf(stderr, "pcm_match: the played stream has no sound where the reference has\n");
    return 1;
  }
  const size_t offset = playedStart - referenceStart;
  if (played.size() < offset + reference.size()) {
    std::fprintf(stderr, "pcm_match: played %zu samples, need %zu\n", played.size(),
                 offset + reference.size());
    return 1;
  }
  for (size_t i = 0; i < reference.size(); ++i) {
    if (played[offset + i] != reference[i]) {
      std::fprintf(stderr, "pcm_match: sample %zu of the reference: played %d, expected %d\n", i,
                   played[offset + i], reference[i]);
      return 1;
    }
  }
  for (size_t i = offset + reference.size(); i < played.size(); ++i) {
    if (played[i] != 0) {
      std::fprintf(stderr, "pcm_match: sound after the end of the track, at sample %zu\n", i);
      return 1;
    }
  }
  std::printf("pcm_match: %zu samples equal after %zu samples of leading silence\n",
              reference.size(), offset);
  return 0;
}
