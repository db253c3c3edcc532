#include "tools/music_gen/mp3_reader.h"

#include <mpg123.h>

#include "tools/music_gen/synth.h"

namespace {

std::string Said(mpg123_handle* decoder) { return mpg123_strerror(decoder); }

Result Decode(mpg123_handle* decoder, const std::string& path, std::vector<float>& left,
              std::vector<float>& right) {
  mpg123_param(decoder, MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0.0);
  mpg123_format_none(decoder);
  if (mpg123_format(decoder, kSampleRate, MPG123_STEREO, MPG123_ENC_FLOAT_32) != MPG123_OK) {
    return Fail("libmpg123 cannot decode to 32-bit float: " + Said(decoder));
  }
  if (mpg123_open(decoder, path.c_str()) != MPG123_OK) {
    return Fail("cannot open " + path + " as MP3: " + Said(decoder));
  }
  long rate = 0;
  int channels = 0, encoding = 0;
  if (mpg123_getformat(decoder, &rate, &channels, &encoding) != MPG123_OK || rate != kSampleRate ||
      channels != 2) {
    return Fail(path + " is not a 44.1 kHz stereo MP3");
  }
  float buffer[2 * 4096];
  for (;;) {
    size_t bytes = 0;
    const int status =
        mpg123_read(decoder, reinterpret_cast<unsigned char*>(buffer), sizeof buffer, &bytes);
    for (size_t i = 0; i + 1 < bytes / sizeof(float); i += 2) {
      left.push_back(buffer[i]);
      right.push_back(buffer[i + 1]);
    }
    if (status == MPG123_DONE) return {};
    if (status == MPG123_NEW_FORMAT) {
      return Fail(path + " changes its format part way");
    }
    if (status != MPG123_OK) {
      return Fail("cannot decode " + path + ": " + Said(decoder));
    }
  }
}

}  // namespace

Result ReadMp3(const std::string& path, std::vector<float>& left, std::vector<float>& right) {
  left.clear();
  right.clear();
  int status = MPG123_OK;
  mpg123_handle* decoder = mpg123_new(nullptr, &status);
  if (!decoder) {
    return Fail("cannot start libmpg123");
  }
  const Result decoded = Decode(decoder, path, left, right);
  mpg123_close(decoder);
  mpg123_delete(decoder);
  return decoded;
}
