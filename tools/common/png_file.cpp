#include "tools/common/png_file.h"

#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "tools/common/atomic_output.h"

namespace {

// What went wrong inside libpng, which reports by longjmp.
struct PngTrouble {
  std::FILE* stream = nullptr;
  int writeErrno = 0;
  const char* libpngMessage = nullptr;
};

void WriteBytes(png_structp png, png_bytep data, size_t length) {
  auto* trouble = static_cast<PngTrouble*>(png_get_io_ptr(png));
  if (std::fwrite(data, 1, length, trouble->stream) != length) {
    trouble->writeErrno = errno != 0 ? errno : EIO;
    png_error(png, "write failed");
  }
}

void FlushBytes(png_structp png) {
  auto* trouble = static_cast<PngTrouble*>(png_get_io_ptr(png));
  if (std::fflush(trouble->stream) != 0) {
    trouble->writeErrno = errno != 0 ? errno : EIO;
    png_error(png, "write failed");
  }
}

void OnPngError(png_structp png, png_const_charp message) {
  static_cast<PngTrouble*>(png_get_error_ptr(png))->libpngMessage = message;
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// libpng reports failures by longjmp, so nothing with a destructor may live
// in this frame.
bool Encode(PngTrouble& trouble, const unsigned char* rgba, int width, int height) {
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, &trouble, OnPngError, OnPngWarning);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &trouble, WriteBytes, FlushBytes);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const size_t rowBytes = static_cast<size_t>(width) * 4;
  for (int y = 0; y < height; ++y) png_write_row(png, rgba + rowBytes * static_cast<size_t>(y));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

Result SizeIsValid(int width, int height) {
  if (width >= 1 && height >= 1) return {};
  return Fail("picture size must be at least 1 x 1");
}

Result EncodeInto(std::FILE* stream, const std::string& path, const unsigned char* rgba, int width,
                  int height) {
  PngTrouble trouble;
  trouble.stream = stream;
  errno = 0;
  if (Encode(trouble, rgba, width, height)) return {};
  const std::string cause = trouble.writeErrno != 0 ? std::strerror(trouble.writeErrno)
                            : trouble.libpngMessage != nullptr
                                ? std::string("libpng: ") + trouble.libpngMessage
                                : std::string("libpng could not start");
  return Fail("cannot write '" + path + "': " + cause);
}

}  // namespace

Result WritePngFile(const std::string& path, const unsigned char* rgba, int width, int height) {
  if (Result valid = SizeIsValid(width, height); !valid) return valid;
  return WriteFileAtomically(path, [&](std::FILE* stream) {
    return EncodeInto(stream, path, rgba, width, height);
  });
}

Result WritePngInFolder(const std::string& path, const unsigned char* rgba, int width,
                        int height) {
  if (Result valid = SizeIsValid(width, height); !valid) return valid;
  std::FILE* stream = std::fopen(path.c_str(), "wbx");
  if (stream == nullptr) return Fail("cannot write '" + path + "': " + std::strerror(errno));
  Result written = EncodeInto(stream, path, rgba, width, height);
  // What stdio still holds is written here, so a full disk may show only now.
  if (std::fclose(stream) != 0 && written)
    written = Fail("cannot write '" + path + "': " + std::strerror(errno));
  if (!written) unlink(path.c_str());
  return written;
}
