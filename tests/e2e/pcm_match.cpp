// Checks that a captured output stream (raw 16-bit samples) plays a reference
// decode exactly TIMES times (once by default): each time silence, then every
// reference sample unchanged; then silence to the end. The output device adds
// leading silence of its own, so each play is aligned on its first non-zero
// sample.
//   pcm_match PLAYED.raw REFERENCE.raw [TIMES]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
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

size_t FirstSound(const std::vector<int16_t>& samples, size_t from = 0) {
  size_t i = from;
  while (i < samples.size() && samples[i] == 0) ++i;
  return i;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: pcm_match PLAYED.raw REFERENCE.raw [TIMES]\n");
    return 2;
  }
  const int times = argc == 4 ? std::atoi(argv[3]) : 1;
  std::vector<int16_t> played, reference;
  if (times < 1 || !ReadSamples(argv[1], played) || !ReadSamples(argv[2], reference)) {
    std::fprintf(stderr, "pcm_match: cannot read the input files\n");
    return 2;
  }
  const size_t referenceStart = FirstSound(reference);
  if (referenceStart == reference.size()) {
    std::fprintf(stderr, "pcm_match: the reference is silent\n");
    return 2;
  }
  size_t end = 0;  // of the play before
  for (int play = 1; play <= times; ++play) {
    const size_t playedStart = FirstSound(played, end);
    if (playedStart == played.size() || playedStart < end + referenceStart) {
      std::fprintf(stderr, "pcm_match: play %d: no sound where the reference has\n", play);
      return 1;
    }
    const size_t offset = playedStart - referenceStart;
    if (played.size() < offset + reference.size()) {
      std::fprintf(stderr, "pcm_match: play %d: played %zu samples, need %zu\n", play,
                   played.size(), offset + reference.size());
      return 1;
    }
    for (size_t i = 0; i < reference.size(); ++i) {
      if (played[offset + i] != reference[i]) {
        std::fprintf(stderr,
                     "pcm_match: play %d, sample %zu of the reference: played %d, expected %d\n",
                     play, i, played[offset + i], reference[i]);
        return 1;
      }
    }
    std::printf("pcm_match: play %d: %zu samples equal from sample %zu\n", play, reference.size(),
                offset);
    end = offset + reference.size();
  }
  for (size_t i = end; i < played.size(); ++i) {
    if (played[i] != 0) {
      std::fprintf(stderr, "pcm_match: sound after the end of the track, at sample %zu\n", i);
      return 1;
    }
  }
  return 0;
}
