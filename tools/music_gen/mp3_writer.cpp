#include "tools/music_gen/mp3_writer.h"

#include <lame/lame.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/common/atomic_output.h"
#include "tools/music_gen/synth.h"

namespace {

Result Encode(lame_t lame, std::FILE* file, const std::vector<float>& left,
              const std::vector<float>& right) {
  const int kChunk = 8192;
  std::vector<unsigned char> out(static_cast<size_t>(1.25 * kChunk + 7200));
  // At this bit rate LAME scales its input by 0.97 for headroom of its own;
  // the master has left that room already and set the loudness, so the
  // scale is undone and the file plays at the level it was mastered to.
  const float scale = lame_get_scale(lame);
  const float undo = scale > 0.0f ? 1.0f / scale : 1.0f;
  std::vector<float> chunkLeft(kChunk), chunkRight(kChunk);
  for (size_t at = 0; at < left.size(); at += kChunk) {
    int count = static_cast<int>(std::min(left.size() - at, static_cast<size_t>(kChunk)));
    for (int i = 0; i < count; ++i) {
      chunkLeft[static_cast<size_t>(i)] = undo * left[at + static_cast<size_t>(i)];
      chunkRight[static_cast<size_t>(i)] = undo * right[at + static_cast<size_t>(i)];
    }
    int bytes = lame_encode_buffer_ieee_float(lame, chunkLeft.data(), chunkRight.data(), count,
                                              out.data(), static_cast<int>(out.size()));
    if (bytes < 0 || std::fwrite(out.data(), 1, static_cast<size_t>(bytes), file) !=
                         static_cast<size_t>(bytes))
      return Fail(bytes < 0 ? "LAME failed to encode (code " + std::to_string(bytes) + ")"
                            : std::string("cannot write: ") + std::strerror(errno));
  }
  int bytes = lame_encode_flush(lame, out.data(), static_cast<int>(out.size()));
  if (bytes < 0 ||
      std::fwrite(out.data(), 1, static_cast<size_t>(bytes), file) != static_cast<size_t>(bytes))
    return Fail("LAME failed to flush");
  // The first frame was a placeholder; now that the length is known, fill it in.
  unsigned char tag[2880];
  size_t tagBytes = lame_get_lametag_frame(lame, tag, sizeof tag);
  if (tagBytes == 0 || tagBytes > sizeof tag || std::fseek(file, 0, SEEK_SET) != 0 ||
      std::fwrite(tag, 1, tagBytes, file) != tagBytes)
    return Fail("cannot write the LAME tag");
  return {};
}

}  // namespace

Result WriteMp3(const std::string& path, const std::vector<float>& left,
                const std::vector<float>& right) {
  lame_t lame = lame_init();
  if (!lame) return Fail("cannot start LAME");
  lame_set_in_samplerate(lame, kSampleRate);
  lame_set_out_samplerate(lame, kSampleRate);
  lame_set_num_channels(lame, 2);
  lame_set_mode(lame, JOINT_STEREO);
  lame_set_brate(lame, 192);
  lame_set_VBR(lame, vbr_off);
  lame_set_quality(lame, 3);
  lame_set_bWriteVbrTag(lame, 1);
  lame_set_write_id3tag_automatic(lame, 0);
  if (lame_init_params(lame) < 0) {
    lame_close(lame);
    return Fail("LAME rejected the encoder settings");
  }
  Result written =
      WriteFileAtomically(path, [&](std::FILE* stream) { return Encode(lame, stream, left, right); });
  lame_close(lame);
  return written;
}
