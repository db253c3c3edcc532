#include "tools/music_gen/mp3_reader.h"

#include <mpg123.h>

#include "tools/music_gen/synth.h"

namespace {

std::string Said(mpg123_handle* decoder) { return mpg123_strerror(decoder); }

bool Decode(mpg123_handle* decoder, const std::string& path, std::vector<float>& left,
            std::vector<float>& right, std::string* error) {
  mpg123_param(decoder, MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0.0);
  mpg123_format_none(decoder);
  if (mpg123_format(decoder, kSampleRate, MPG123_STEREO, MPG123_ENC_FLOAT_32) != MPG123_OK) {
    *error = "libmpg123 cannot decode to 32-bit float: " + Said(decoder);
    return false;
  }
  if (mpg123_open(decoder, path.c_str()) != MPG123_OK) {
    *error = "cannot open " + path + " as MP3: " + Said(decoder);
    return false;
  }
  long rate = 0;
  int channels = 0, encoding = 0;
  if (mpg123_getformat(decoder, &rate, &channels, &encoding) != MPG123_OK || rate != kSampleRate ||
      channels != 2) {
    *error = path + " is not a 44.1 kHz stereo MP3";
    return false;
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
    if (status == MPG123_DONE) return true;
    if (status == MPG123_NEW_FORMAT) {
      *error = path + " changes its format part way";
      return false;
    }
    if (status != MPG123_OK) {
      *error = "cannot decode " + path + ": " + Said(decoder);
      return false;
    }
  }
}

}  // namespace

bool ReadMp3(const std::string& path, std::vector<float>& left, std::vector<float>& right,
             std::string* error) {
  left.clear();
  right.clear();
  int status = MPG123_OK;
  mpg123_handle* decoder = mpg123_new(nullptr, &status);
  if (!decoder) {
    *error = "cannot start libmpg123";
    return false;
  }
  const bool decoded = Decode(decoder, path, left, right, error);
  mpg123_close(decoder);
  mpg123_delete(decoder);
  return decoded;
}
