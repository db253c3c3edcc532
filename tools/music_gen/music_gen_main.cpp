// Synthesises the soundtrack and writes it as an MP3.
//   quorvane-music-gen OUTPUT.mp3
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/music_gen/mixdown.h"
#include "tools/music_gen/mp3_writer.h"
#include "tools/music_gen/score.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.mp3\n", argv[0]);
    return 2;
  }
  MixBuses main, outro;
  ResizeBuses(main, kPieceFrames);
  ResizeBuses(outro, kPieceFrames);
  RenderScore(main, outro);
  std::vector<float> left, right;
  // -1.5 dBFS leaves room for the encoder's small overshoots.
  MixDown(main, outro, 0.84f, left, right);
  std::string error;
  if (!WriteMp3(argv[1], left, right, &error)) {
    std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
    return 1;
  }
  return 0;
}
