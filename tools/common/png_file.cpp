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

bool SizeIsValid(int width, int height, std::string& error) {
  if (width >= 1 && height >= 1) return true;
  error = "picture size must be at least 1 x 1";
  return false;
}

bool EncodeInto(std::FILE* stream, const std::string& path, const unsigned char* rgba, int width,
                int height, std::string& error) {
  PngTrouble trouble;
  trouble.stream = stream;
  errno = 0;
  if (Encode(trouble, rgba, width, height)) return true;
  const std::string cause = trouble.writeErrno != 0 ? std::strerror(trouble.writeErrno)
                            : trouble.libpngMessage != nullptr
                                ? std::string("libpng: ") + trouble.libpngMessage
                                : std::string("libpng could not start");
  error = "cannot write '" + path + "': " + cause;
  return false;
}

}  // namespace

bool WritePngFile(const std::string& path, const unsigned char* rgba, int width, int height,
                  std::string& error) {
  if (!SizeIsValid(width, height, error)) return false;
  return WriteFileAtomically(
      path,
      [&](std::FILE* stream, std::string& streamError) {
        return EncodeInto(stream, path, rgba, width, height, streamError);
      },
      error);
}

bool WritePngInFolder(const std::string& path, const unsigned char* rgba, int width, int height,
                      std::string& error) {
  if (!SizeIsValid(width, height, error)) return false;
  std::FILE* stream = std::fopen(path.c_str(), "wbx");
  if (stream == nullptr) {
    error = "cannot write '" + path + "': " + std::strerror(errno);
    return false;
  }
  bool written = EncodeInto(stream, path, rgba, width, height, error);
  // What stdio still holds is written here, so a full disk may show only now.
  if (std::fclose(stream) != 0 && written) {
    error = "cannot write '" + path + "': " + std::strerror(errno);
    written = false;
  }
  if (!written) unlink(path.c_str());
  return written;
}
