#include "host/sdl/mp3_probe.h"

#include <cstring>

namespace {

// How far past the tags the first frame may start: decoders skip some junk
// there, and so must this.
constexpr long kSearchBytes = 64 * 1024;
constexpr int kFramesInARow = 3;
// Layer II at 160 kbit/s and 8 kHz, with padding.
constexpr int kLongestFrameBytes = 2881;
constexpr int kId3HeaderBytes = 10;

// The stream after its tags: the span searched and three of the longest frames.
unsigned char window[kSearchBytes + kFramesInARow * kLongestFrameBytes];

struct FrameHeader {
  int version;  // 0 MPEG 2.5, 2 MPEG 2, 3 MPEG 1
  int layer;    // 1..3
  int sampleRate;
  int bytes;
};

// kbit/s by [MPEG 1 or not][layer - 1][bitrate index - 1].
constexpr int kBitrates[2][3][14] = {
    {{32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
     {32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
    {{32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
     {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
constexpr int kSampleRates[4][3] = {
    {11025, 12000, 8000}, {0, 0, 0}, {22050, 24000, 16000}, {44100, 48000, 32000}};

// Free-format frames (bitrate index 0) are refused: their length is not in
// the header.
bool ParseHeader(const unsigned char* p, FrameHeader* header) {
  if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return false;
  const int version = (p[1] >> 3) & 3;
  const int layerBits = (p[1] >> 1) & 3;
  const int bitrateIndex = p[2] >> 4;
  const int rateIndex = (p[2] >> 2) & 3;
  const int padding = (p[2] >> 1) & 1;
  if (version == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
    return false;
  const int layer = 4 - layerBits;
  const bool mpeg1 = version == 3;
  const int bitrate = kBitrates[mpeg1 ? 0 : 1][layer - 1][bitrateIndex - 1] * 1000;
  const int rate = kSampleRates[version][rateIndex];
  int bytes = 0;
  if (layer == 1)
    bytes = (12 * bitrate / rate + padding) * 4;
  else if (layer == 3 && !mpeg1)
    bytes = 72 * bitrate / rate + padding;
  else
    bytes = 144 * bitrate / rate + padding;
  *header = {version, layer, rate, bytes};
  return true;
}

bool FramesInARowAt(long offset, long size) {
  FrameHeader first{};
  for (int frame = 0; frame < kFramesInARow; ++frame) {
    FrameHeader header{};
    if (offset + 4 > size || !ParseHeader(window + offset, &header)) return false;
    if (frame == 0) first = header;
    if (header.version != first.version || header.layer != first.layer ||
        header.sampleRate != first.sampleRate)
      return false;
    offset += header.bytes;
  }
  return true;
}

// Moves past ID3v2 tags at the file's position, seeking rather than reading:
// album art makes them megabytes long. False on a seek error.
bool SkipId3v2Tags(std::FILE* file) {
  for (;;) {
    const long start = std::ftell(file);
    unsigned char tag[kId3HeaderBytes];
    if (start < 0) return false;
    if (std::fread(tag, 1, sizeof tag, file) != sizeof tag || std::memcmp(tag, "ID3", 3) != 0 ||
        ((tag[6] | tag[7] | tag[8] | tag[9]) & 0x80) != 0)
      return std::fseek(file, start, SEEK_SET) == 0;
    const long size = (long{tag[6]} << 21) | (long{tag[7]} << 14) | (long{tag[8]} << 7) | tag[9];
    const long footer = (tag[5] & 0x10) ? kId3HeaderBytes : 0;
    if (std::fseek(file, size + footer, SEEK_CUR) != 0) return false;
  }
}

}  // namespace

bool HoldsMpegAudio(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_SET) != 0 || !SkipId3v2Tags(file)) return false;
  const long size = static_cast<long>(std::fread(window, 1, sizeof window, file));
  for (long offset = 0; offset < kSearchBytes && offset < size; ++offset)
    if (FramesInARowAt(offset, size)) return true;
  return false;
}
