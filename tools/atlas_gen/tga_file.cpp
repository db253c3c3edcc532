#include "tools/atlas_gen/tga_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

void BuildTgaHeader(unsigned char header[kAtlasHeaderBytes]) {
  std::memset(header, 0, kAtlasHeaderBytes);
  header[2] = 2;  // uncompressed true colour
  header[12] = static_cast<unsigned char>(kAtlasSize & 0xff);
  header[13] = static_cast<unsigned char>(kAtlasSize >> 8);
  header[14] = static_cast<unsigned char>(kAtlasSize & 0xff);
  header[15] = static_cast<unsigned char>(kAtlasSize >> 8);
  header[16] = 32;
  header[17] = 8;  // alpha bits; origin bits 4 and 5 clear = lower left
}

bool WriteAtlasTga(const std::string& path, const AtlasImage& image, std::string* error) {
  std::string temporary = path + ".part";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) {
    *error = "cannot create " + temporary + ": " + std::strerror(errno);
    return false;
  }
  unsigned char header[kAtlasHeaderBytes];
  BuildTgaHeader(header);
  bool written = std::fwrite(header, 1, sizeof header, file) == sizeof header &&
                 std::fwrite(image.bgra.data(), 1, image.bgra.size(), file) == image.bgra.size();
  bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    *error = "cannot write " + temporary + ": " + std::strerror(errno);
    std::remove(temporary.c_str());
    return false;
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    *error = "cannot rename " + temporary + " to " + path + ": " + std::strerror(errno);
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}
