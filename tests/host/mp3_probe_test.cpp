// Which files the music seam hands to the mixer's MP3 decoder: streams as
// encoders write them, and nothing that would make the decoder report false
// frames line after line.
#include "host/sdl/mp3_probe.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

struct FrameKind {
  unsigned char versionLayer, bitrateRate;  // header bytes 1 and 2
  int bytes;                                // length without padding
};
// 128 kbit/s at 44.1 kHz, 64 kbit/s at 22.05 kHz, 192 kbit/s at 48 kHz.
constexpr FrameKind kMpeg1Layer3{0xFB, 0x90, 417};
constexpr FrameKind kMpeg2Layer3{0xF3, 0x80, 208};
constexpr FrameKind kMpeg1Layer2{0xFD, 0xA4, 576};
constexpr FrameKind kMpeg1Layer3At48k{0xFB, 0x94, 384};

void AppendFrames(Bytes& file, const FrameKind& kind, int count) {
  for (int i = 0; i < count; ++i) {
    const bool padded = i % 2 == 1;
    Bytes frame(kind.bytes + (padded ? 1 : 0), 0x55);
    frame[0] = 0xFF;
    frame[1] = kind.versionLayer;
    frame[2] = static_cast<unsigned char>(kind.bitrateRate | (padded ? 0x02 : 0));
    frame[3] = 0x44;
    file.insert(file.end(), frame.begin(), frame.end());
  }
}

// An ID3v2.4 tag of `size` bytes after its header, the size stored syncsafe.
Bytes Id3Tag(uint32_t size) {
  Bytes tag = {'I', 'D', '3', 4, 0, 0};
  for (int shift : {21, 14, 7, 0})
    tag.push_back(static_cast<unsigned char>((size >> shift) & 0x7F));
  tag.resize(tag.size() + size, 0);
  return tag;
}

// Low-amplitude 16-bit noise: many 0xFF and 0xFE bytes, as quiet audio has.
Bytes Noise(size_t bytes, int amplitude) {
  Bytes noise(bytes);
  uint32_t state = 12345;
  for (size_t i = 0; i + 1 < bytes; i += 2) {
    state = state * 1103515245u + 12345u;
    const int16_t sample = static_cast<int16_t>(static_cast<int>(state >> 16) % amplitude);
    noise[i] = static_cast<unsigned char>(sample & 0xFF);
    noise[i + 1] = static_cast<unsigned char>((sample >> 8) & 0xFF);
  }
  return noise;
}

bool Probe(const Bytes& bytes) {
  std::FILE* file = std::tmpfile();
  if (file == nullptr ||
      (!bytes.empty() && std::fwrite(bytes.data(), bytes.size(), 1, file) != 1)) {
    ADD_FAILURE() << "cannot write a temporary file";
    if (file != nullptr) std::fclose(file);
    return false;
  }
  const bool holds = HoldsMpegAudio(file);
  std::fclose(file);
  return holds;
}

TEST(HostMp3Probe, AcceptsStreamsAsEncodersWriteThem) {
  for (const FrameKind& kind : {kMpeg1Layer3, kMpeg2Layer3, kMpeg1Layer2}) {
    Bytes plain;
    AppendFrames(plain, kind, 10);
    EXPECT_TRUE(Probe(plain)) << "first header byte " << int{kind.versionLayer};
  }
  // A tag longer than what is read past it, as album art makes one.
  Bytes tagged = Id3Tag(300000);
  AppendFrames(tagged, kMpeg1Layer3, 10);
  EXPECT_TRUE(Probe(tagged));
  Bytes padded = Id3Tag(100);
  padded.resize(padded.size() + 2000, 0);
  AppendFrames(padded, kMpeg1Layer3, 10);
  EXPECT_TRUE(Probe(padded));
}

TEST(HostMp3Probe, RefusesWhatHoldsNoMpegAudio) {
  EXPECT_FALSE(Probe({}));
  EXPECT_FALSE(Probe(Id3Tag(1000)));

  const std::string riff = "RIFF\x24\x10\x0a\x00WAVEfmt ";
  Bytes wav(riff.begin(), riff.end());
  const Bytes quiet = Noise(600000, 600);
  wav.insert(wav.end(), quiet.begin(), quiet.end());
  EXPECT_FALSE(Probe(wav)) << "quiet WAV";
  EXPECT_FALSE(Probe(Noise(600000, 65536))) << "random bytes";

  // Headers that chain but change rate, as a decoder's false frames do.
  Bytes mixed;
  for (int i = 0; i < 4; ++i) {
    AppendFrames(mixed, kMpeg1Layer3, 1);
    AppendFrames(mixed, kMpeg1Layer3At48k, 1);
  }
  EXPECT_FALSE(Probe(mixed)) << "sample rate changing";

  Bytes freeFormat;
  AppendFrames(freeFormat, {0xFB, 0x00, 417}, 10);
  EXPECT_FALSE(Probe(freeFormat)) << "free format";

  Bytes lateStart(70000, 0);
  AppendFrames(lateStart, kMpeg1Layer3, 10);
  EXPECT_FALSE(Probe(lateStart)) << "frames only after 70000 bytes";
}

}  // namespace
