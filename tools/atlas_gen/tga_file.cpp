#include "tools/atlas_gen/tga_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/common/atomic_output.h"

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

Result WriteAtlasTga(const std::string& path, const AtlasImage& image) {
  return WriteFileAtomically(path, [&image, &path](std::FILE* stream) {
    unsigned char header[kAtlasHeaderBytes];
    BuildTgaHeader(header);
    if (std::fwrite(header, 1, sizeof header, stream) == sizeof header &&
        std::fwrite(image.bgra.data(), 1, image.bgra.size(), stream) == image.bgra.size())
      return Result{};
    return Fail("cannot write '" + path + "': " + std::strerror(errno));
  });
}
